#!/usr/bin/env bash
# Line coverage of the portable core (rules/, graph/, the portable chart/
# files) by the native test suite and the corpora together: clang
# source-based coverage in build/coverage. Runs every native CTest test
# (core, checker, hostile corpus, print strips), then replays the fuzz
# corpus (build/fuzz/corpus, else build/fuzz/smoke-corpus) through
# lorvane-check, and prints the figure per file and in total.
#   COVERAGE_CORPUS=DIR  replay DIR instead
set -euo pipefail
REPO="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$REPO/build/coverage"
PROFILES="$BUILD/profiles"
flags="-fprofile-instr-generate -fcoverage-mapping"

. "$REPO/scripts/quiet-cmake.sh"

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ lorvane_configure "$BUILD/configure.log" -S "$REPO" -B "$BUILD" \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate"
fi
rm -rf "$PROFILES"
mkdir -p "$PROFILES"
# %m merges the runs of one program into one file, %p keeps parallel
# processes apart.
export LLVM_PROFILE_FILE="$PROFILES/%p-%m.profraw"
lorvane_build "$BUILD/build.log" "$BUILD" -j2
rm -f "$PROFILES"/*.profraw  # test discovery at build time does not count
ctest --test-dir "$BUILD" -j2 --output-on-failure >"$BUILD/ctest.log" 2>&1 || {
  tail -n 30 "$BUILD/ctest.log"
  echo "coverage: a test failed (see $BUILD/ctest.log)"
  exit 1
}
corpus="${COVERAGE_CORPUS:-}"
if [ -z "$corpus" ]; then
  corpus="$REPO/build/fuzz/corpus"
  [ -d "$corpus" ] || corpus="$REPO/build/fuzz/smoke-corpus"
fi
checker="$BUILD/check/lorvane-check"
replayed=0
if [ -d "$corpus" ]; then
  export LLVM_PROFILE_FILE="$PROFILES/replay-%m.profraw"
  for f in "$corpus"/*; do
    "$checker" --json --metrics 11,13,0 -- "$f" >/dev/null 2>&1 || true
    replayed=$((replayed + 1))
  done
fi
llvm-profdata-14 merge -sparse -o "$BUILD/coverage.profdata" "$PROFILES"/*.profraw
# The first program is llvm-cov's positional binary, the others -object.
objects=()
for exe in $(find "$BUILD" -type f -perm -u+x \( -name 'lorvane*' -o -name '*_tests' \) | sort); do
  [ ${#objects[@]} -eq 0 ] && objects=("$exe") || objects+=(-object "$exe")
done
sources=("$REPO"/rules/*.cpp "$REPO"/graph/*.cpp "$REPO"/chart/Metrics.cpp \
  "$REPO"/chart/UnitText.cpp "$REPO"/chart/ChartText.cpp "$REPO"/app/PrintStrips.cpp)
llvm-cov-14 report -instr-profile="$BUILD/coverage.profdata" "${objects[@]}" "${sources[@]}" \
  >"$BUILD/report.txt"
llvm-cov-14 show -instr-profile="$BUILD/coverage.profdata" "${objects[@]}" "${sources[@]}" \
  -show-line-counts-or-regions -format=text >"$BUILD/lines.txt"
sed 's|'"$REPO"'/||' "$BUILD/report.txt"
total=$(awk '/^TOTAL/ {print $(NF-3)}' "$BUILD/report.txt")
echo "coverage: ctest $(grep -o '[0-9]*% tests passed.*' "$BUILD/ctest.log" || true); $replayed fuzz corpus files replayed ($corpus)"
echo "Line coverage of rules/, graph/ and the portable chart/ files: $total"
echo "uncovered lines: $BUILD/lines.txt (count 0)"
