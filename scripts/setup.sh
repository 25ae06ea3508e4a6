#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Lorvane needs.
# Idempotent; run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh

# gnumeric: its ssconvert imports the units CSV as a spreadsheet would.
need_native="cmake g++ make clang libclang-rt-14-dev llvm-14 googletest libgtest-dev libbenchmark-dev python3 nlohmann-json3-dev libxml2-dev python3-jsonschema strace neovim gnumeric"
need_cross="g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev"
# Both Wines on every host, so that one machine is like another: the 32-bit
# one runs the i686 build, wine64 the x86_64 build (the only one that runs
# where the kernel runs no 32-bit code).
need_wine="wine wine32:i386 wine64 fonts-wine xvfb x11-utils imagemagick"
need_print="cups printer-driver-cups-pdf libcups2:i386 poppler-utils"
# Emscripten builds Lorvane.html (build/web); Debian's package brings its
# system libraries built and the Node modules its optimiser needs.
need_browser="chromium emscripten"
# Node.js and npm come with the machine; Debian's are the fallback.
command -v npm >/dev/null || need_browser="$need_browser nodejs npm"

want="$need_native $need_cross $need_wine $need_print $need_browser"
case "${1:-all}" in
  native) want="$need_native" ;;
esac

if ! dpkg --print-foreign-architectures | grep -qx i386 && [ "${1:-all}" != native ]; then
  dpkg --add-architecture i386
  rm -f /var/lib/apt/periodic/lorvane-updated
fi

# The 32-bit packages go in apart. Each must have the very version of its
# 64-bit twin, so they cannot be installed where the mirror's i386 lists
# did not update; the machine then runs the x86_64 build under wine64, as a
# host without 32-bit support does, and says so.
want_64="" want_32=""
for p in $want; do
  case "$p" in
    *:i386) want_32="$want_32 $p" ;;
    *) want_64="$want_64 $p" ;;
  esac
done
# shellcheck disable=SC2086
lorvane_install_packages setup $want_64
# shellcheck disable=SC2086
if ! lorvane_install_packages setup $want_32; then
  [ -n "${LORVANE_LISTS_STALE:-}" ] || exit 1
  echo "setup: the 32-bit packages ($(lorvane_missing_packages $want_32 | sed 's/^ //')) could not be installed from the package lists this mirror serves; the Windows programs run as their x86_64 build under wine64 until setup runs again with the lists whole" >&2
fi

# The language server's tests' npm packages (VS Code's protocol library, the
# SARIF schema), exactly as the lock file lists them.
lock=tests/lsp/package-lock.json
if ! cmp -s "$lock" tests/lsp/node_modules/.lorvane-lock; then
  echo "setup: installing the language server tests' npm packages"
  (cd tests/lsp && npm ci --no-audit --no-fund --loglevel=error)
  cp "$lock" tests/lsp/node_modules/.lorvane-lock
fi

# The browser tests' npm packages, exactly as the lock file lists them.
if [ "${1:-all}" != native ]; then
  lock=tests/browser/package-lock.json
  if ! cmp -s "$lock" tests/browser/node_modules/.lorvane-lock; then
    echo "setup: installing the browser tests' npm packages"
    (cd tests/browser && npm ci --no-audit --no-fund --loglevel=error)
    cp "$lock" tests/browser/node_modules/.lorvane-lock
  fi
fi
