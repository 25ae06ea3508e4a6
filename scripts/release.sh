#!/usr/bin/env bash
# The release command:
#
#   bash scripts/release.sh
#
# Builds the Windows programs optimised (build/release: MinGW-w64 i686,
# Release, win32 thread model) and packs build/release/lorvane-<version>-win32.zip with CPack:
# lorvane.exe and lorvane-check.exe (stripped), the sample RULES.TXT, its
# modified copy RULES-MOD.TXT (for --diff), its page RULES.html (written by
# a native Release build of lorvane-check in build/release-native, or by
# the checker LORVANE_PAGE_CHECK names: the test command gives its native
# tier's, which writes the same page, rather than build the core once more),
# Lorvane.html (the page maker for any rules file, in the browser, built
# with Emscripten in build/web), "Show
# the sample.cmd", README.txt for Windows users and LICENSE.txt, in one
# folder named like the archive. The version is the project version in CMakeLists.txt. The build
# is incremental (a build that is up to date takes about 2 s, packing
# included). Prints the archive's path, size and contents, and what each
# program imports.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
lorvane_set_up
. scripts/builds.sh
BUILD=$(lorvane_build_dir release)
mkdir -p "$BUILD"

# A tree configured with another toolchain starts afresh.
if ! grep -qs 'CMAKE_TOOLCHAIN_FILE:.*mingw-i686-release.cmake' "$BUILD/CMakeCache.txt"; then
  rm -rf "$BUILD"
  mkdir -p "$BUILD"
fi
echo "release: building the Windows programs in $BUILD"
lorvane_build_kind release "" || exit 1

# The sample's page, as the checker writes it for anyone (scripts/test.sh's
# release test compares it with the native tier's checker).
page_check=${LORVANE_PAGE_CHECK:-}
if [ -z "$page_check" ]; then
  lorvane_build_kind release-native "" lorvane-check || exit 1
  page_check=$(lorvane_build_dir release-native)/check/lorvane-check
fi
"$page_check" --html "$BUILD/RULES.html" --title "Lorvane sample rules" data/RULES.TXT

# Lorvane.html, as the browser tier tests it.
echo "release: building Lorvane.html in build/web"
lorvane_build_kind web "$BUILD/web" lorvane-app || exit 1
cp build/web/Lorvane.html "$BUILD/Lorvane.html"

name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$BUILD/CPackConfig.cmake")
zip="$BUILD/$name.zip"
(cd "$BUILD" && cpack) >"$BUILD/pack.log" 2>&1 || {
  cat "$BUILD/pack.log"
  exit 1
}

echo "release: $zip, $(stat -c %s "$zip") bytes"
python3 -m zipfile -l "$zip"
# What the archive's own programs (stripped by CPack) import.
unpacked=$(mktemp -d)
python3 -m zipfile -e "$zip" "$unpacked"
for exe in lorvane.exe lorvane-check.exe; do
  echo "release: $exe imports" $(i686-w64-mingw32-objdump -p "$unpacked/$name/$exe" |
    sed -n 's/^[[:space:]]*DLL Name: //p')
done
rm -rf "$unpacked"
