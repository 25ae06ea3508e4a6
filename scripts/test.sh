#!/usr/bin/env bash
# The test command (CI runs exactly this through .ci/run):
#
#   bash scripts/test.sh
#
# 1. native: the portable core, the checker and the hostile corpus, built
#    with GCC under AddressSanitizer and UndefinedBehaviorSanitizer
#    (build/native), run by CTest;
# 2. win32: the Windows programs cross-built with MinGW-w64 (build/win32)
#    and run by CTest under Wine, one at a time, on a virtual display, in
#    the project's prefix build/wineprefix, with CUPS and a PDF printer;
#    before CTest, scripts/release.sh makes the release archive
#    (build/release) that the release test unpacks and runs;
# 3. browser: the checker's HTML pages in headless Chromium (tests/browser),
#    against the checker and against the viewer's chart bitmap under Wine
#    (LORVANE_CHART=build/browser/chart.ppm reuses the bitmap of an earlier
#    run, without Wine);
# 4. fuzz: the one-minute fuzz smoke run (fuzz/smoke.sh, build/fuzz).
# Builds are reused incrementally. Exits non-zero if any tier fails; every
# tier runs even after an earlier one failed. Stops everything it started.
# TIERS="native win32" runs only those tiers.
set -uo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
TIERS=${TIERS:-"native win32 browser fuzz"}
LOGS=build/test-logs
mkdir -p "$LOGS"

bash scripts/setup.sh || {
  echo "test: scripts/setup.sh failed"
  exit 1
}

. scripts/wine-env.sh
. scripts/quiet-cmake.sh
trap lorvane_stop_all EXIT
trap 'exit 130' INT TERM

# Runs CTest with its output in a file (Wine's services must not hold a pipe
# of ours), prints it, and leaves the summary line in CTEST_SUMMARY.
run_ctest() {
  local dir=$1 log=$2
  shift 2
  ctest --test-dir "$dir" --output-on-failure --timeout 300 "$@" >"$log" 2>&1
  local rc=$?
  cat "$log"
  CTEST_SUMMARY=$(grep -E 'tests passed|No tests were found' "$log" | tail -1)
  return $rc
}

tier_native() {
  lorvane_configure "$LOGS/native-configure.log" -S . -B build/native -DLORVANE_SANITIZE=ON &&
    lorvane_build "$LOGS/native-build.log" build/native -j"$JOBS" || return 1
  run_ctest build/native "$LOGS/native-ctest.log" -j"$JOBS"
}

tier_win32() {
  lorvane_configure "$LOGS/win32-configure.log" -S . -B build/win32 \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake &&
    lorvane_build "$LOGS/win32-build.log" build/win32 -j"$JOBS" || return 1
  bash scripts/release.sh >"$LOGS/release.log" 2>&1 || {
    cat "$LOGS/release.log"
    return 1
  }
  lorvane_start_display || return 1
  lorvane_make_prefix || return 1
  lorvane_start_cups || return 1
  lorvane_start_anchor build/win32/tests/e2e/lorvane-wine-anchor.exe
  echo "test: Wine prefix $WINEPREFIX, display $DISPLAY"
  # One at a time: the window list and the clipboard are shared per prefix.
  run_ctest build/win32 "$LOGS/win32-ctest.log" -j1
}

tier_browser() {
  local work=build/browser chart=${LORVANE_CHART:-}
  mkdir -p "$work"
  # The native checker, built as the native tier builds it.
  lorvane_configure "$LOGS/browser-configure-native.log" -S . -B build/native \
    -DLORVANE_SANITIZE=ON &&
    lorvane_build "$LOGS/browser-build-native.log" build/native -j"$JOBS" --target lorvane-check ||
    return 1
  # The viewer's chart bitmap of the sample, as Copy gives it under Wine;
  # LORVANE_CHART names one kept from an earlier run instead (a change to
  # the page alone needs neither the Windows build nor Wine).
  if [ -z "$chart" ]; then
    chart="$work/chart.ppm"
    lorvane_configure "$LOGS/browser-configure-win32.log" -S . -B build/win32 \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake &&
      lorvane_build "$LOGS/browser-build-win32.log" build/win32 -j"$JOBS" \
        --target lorvane lorvane-drive || return 1
    lorvane_start_display && lorvane_make_prefix || return 1
    bash scripts/wine-run.sh build/win32/tests/e2e/lorvane-drive.exe build/win32/app/lorvane.exe \
      data/RULES.TXT --expect-exit 0 --chart-out "$chart" >"$LOGS/browser-drive.log" 2>&1 || {
      cat "$LOGS/browser-drive.log"
      return 1
    }
  fi
  LORVANE_CHECK=build/native/check/lorvane-check LORVANE_CHART="$chart" \
    LORVANE_WORK="$work" node --test tests/browser/page.test.mjs tests/browser/release.test.mjs \
      tests/browser/diff.test.mjs tests/browser/units.test.mjs \
    >"$LOGS/browser.log" 2>&1
  local rc=$?
  cat "$LOGS/browser.log"
  return $rc
}

tier_fuzz() {
  bash fuzz/smoke.sh
}

SUMMARY=()
FAILED=0
for tier in $TIERS; do
  echo "=== tier $tier"
  start=$SECONDS
  CTEST_SUMMARY=""
  if "tier_$tier"; then
    result=passed
  else
    result=FAILED
    FAILED=1
  fi
  SUMMARY+=("tier $tier: $result in $((SECONDS - start)) s${CTEST_SUMMARY:+ ($CTEST_SUMMARY)}")
done

echo "=== summary"
printf '%s\n' "${SUMMARY[@]}"
if [ "$FAILED" = 0 ]; then
  echo "test: all tiers passed in $SECONDS s"
else
  echo "test: FAILED"
fi
exit "$FAILED"
