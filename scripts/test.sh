#!/usr/bin/env bash
# The test command (CI runs exactly this through .ci/run):
#
#   bash scripts/test.sh
#
# 1. native: the portable core, the checker and the hostile corpus, built
#    with GCC under AddressSanitizer and UndefinedBehaviorSanitizer
#    (build/native), run by CTest;
# 2. win32 and win64: the Windows programs cross-built with MinGW-w64, i686
#    (build/win32) and x86_64 (build/win64), each run by CTest under its
#    Wine (Wine's 32-bit loader, wine64), two at a time (those that use
#    the desktop alone), on a virtual display, in a prefix of its own
#    (build/wineprefix, build/wineprefix64), with CUPS and a PDF printer;
#    before CTest, scripts/release.sh makes the release archive
#    (build/release, 32-bit) that the release tests unpack and check (both
#    tiers) and run (win32). Where this host runs no 32-bit
#    programs, win32 makes only the release archive (its i686 build), and
#    the tier is reported as skipped with the reason;
# 3. browser: the checker's HTML pages in headless Chromium (tests/browser),
#    and Lorvane.html (built with Emscripten in build/web) against the
#    checker's pages, against the viewer's chart bitmap under Wine,
#    from the win32 build where it runs, else the win64 one
#    (LORVANE_CHART=build/browser/chart.ppm reuses the bitmap of an earlier
#    run, without Wine);
# 4. fuzz: the fuzz smoke run, 30 s, its two targets side by side
#    (fuzz/smoke.sh, build/fuzz).
# Builds are reused incrementally. Exits non-zero if any tier fails; every
# tier runs even after an earlier one failed. Stops everything it started.
# TIERS="native win64" runs only those tiers. The builds are the kinds of
# scripts/builds.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
export JOBS=${JOBS:-2}
TIERS=${TIERS:-"native win32 win64 browser fuzz"}
LOGS=build/test-logs
mkdir -p "$LOGS"

. scripts/packages.sh
lorvane_set_up || {
  echo "test: scripts/setup.sh failed"
  exit 1
}

. scripts/wine-env.sh
. scripts/builds.sh
trap lorvane_stop_all EXIT
trap 'exit 130' INT TERM

# Runs CTest with its output in a file (Wine's services must not hold a pipe
# of ours), prints it, and leaves the summary line in CTEST_SUMMARY, with
# the count of tests CTest did not run (skipped or disabled) where there are.
run_ctest() {
  local dir=$1 log=$2 notrun rc=0
  shift 2
  ctest --test-dir "$dir" --output-on-failure --timeout 300 "$@" >"$log" 2>&1 || rc=$?
  cat "$log"
  CTEST_SUMMARY=$(grep -E 'tests passed|No tests were found' "$log" | tail -1 || true)
  notrun=$(grep -c -E '\*\*\*(Skipped|Not Run \(Disabled\))' "$log" || true)
  if grep -q 'No tests were found' "$log" && [ "$notrun" != 0 ]; then
    CTEST_SUMMARY="$notrun tests, none run"
  elif [ "$notrun" != 0 ]; then
    CTEST_SUMMARY="$CTEST_SUMMARY; $notrun not run"
  fi
  return $rc
}

tier_native() {
  lorvane_build_kind native "$LOGS/native" || return 1
  run_ctest build/native "$LOGS/native-ctest.log" -j"$JOBS"
}

# The release archive, made once for both Windows tiers.
RELEASE_MADE=""
make_release() {
  [ -z "$RELEASE_MADE" ] || return 0
  # Its sample page by the native tier's checker (built already when that
  # tier ran), which the release test compares the page with anyway.
  lorvane_build_kind native "$LOGS/release-native" lorvane-check || return 1
  LORVANE_PAGE_CHECK=build/native/check/lorvane-check bash scripts/release.sh \
    >"$LOGS/release.log" 2>&1 || {
    cat "$LOGS/release.log"
    return 1
  }
  RELEASE_MADE=1
}

# A Windows tier: ARCH (win32, win64) is the Wine and the build. Where this
# host cannot run the build's programs, only the release archive is made
# (it is the i686 build of both programs), the tests are neither built nor
# run, and TIER_SKIPPED says why.
windows_tier() {
  local arch=$1 dir=build/$1 why
  why=$(lorvane_wine_cannot_run "$arch")
  if [ -n "$why" ]; then
    make_release || return 1
    TIER_SKIPPED=$why
    echo "test: $arch: $why; its tests are neither built nor run"
    return
  fi
  lorvane_build_kind "$arch" "$LOGS/$arch" -DLORVANE_WINE_SKIP= || return 1
  make_release || return 1
  lorvane_use_wine "$arch"
  lorvane_start_display || return 1
  lorvane_make_prefix || return 1
  lorvane_start_cups || return 1
  lorvane_start_anchor "$dir/tests/e2e/lorvane-wine-anchor.exe"
  echo "test: Wine prefix $WINEPREFIX, display $DISPLAY"
  # Every Wine call that ends non-zero leaves a record (wine-env.sh's
  # lorvane_wine_call); a failed test's evidence is gathered from them, with
  # a retry under Wine's debug channels, in $LOGS/$arch-failed.
  local calls=$PWD/$LOGS/$arch-wine-calls failed=$LOGS/$arch-failed rc=0
  rm -rf "$calls" "$failed"
  mkdir -p "$calls"
  # The tests that use the desktop (windows, the clipboard, the spooler)
  # are RUN_SERIAL, since the window list and the clipboard are shared per
  # prefix; the console programs' tests run beside each other.
  LORVANE_WINE_EVIDENCE=$calls run_ctest "$dir" "$LOGS/$arch-ctest.log" -j"$JOBS" || rc=$?
  if [ "$rc" != 0 ]; then
    LORVANE_WINE_EVIDENCE=$calls lorvane_wine_evidence "$dir" "$LOGS/$arch-ctest.log" "$PWD/$failed"
    [ ! -d "$failed" ] || CTEST_SUMMARY="$CTEST_SUMMARY; evidence in $failed"
  else
    rm -rf "$calls"
  fi
  return "$rc"
}

tier_win32() {
  windows_tier win32
}

tier_win64() {
  windows_tier win64
}

tier_browser() {
  local work=build/browser chart=${LORVANE_CHART:-}
  mkdir -p "$work"
  # The native tier's checker, and Lorvane.html.
  lorvane_build_kind native "$LOGS/browser-native" lorvane-check || return 1
  lorvane_build_kind web "$LOGS/browser-web" lorvane-app || return 1
  # The viewer's chart bitmap of the sample, as Copy gives it under Wine;
  # LORVANE_CHART names one kept from an earlier run instead (a change to
  # the page alone needs neither the Windows build nor Wine).
  if [ -z "$chart" ]; then
    chart="$work/chart.ppm"
    local arch
    arch=$(lorvane_windows_arch)
    echo "test: the viewer's chart from the $arch build"
    lorvane_build_kind "$arch" "$LOGS/browser-$arch" -DLORVANE_WINE_SKIP= lorvane lorvane-drive ||
      return 1
    lorvane_use_wine "$arch"
    lorvane_start_display && lorvane_make_prefix || return 1
    bash scripts/wine-run.sh "build/$arch/tests/e2e/lorvane-drive.exe" "build/$arch/app/lorvane.exe" \
      data/RULES.TXT --expect-exit 0 --chart-out "$chart" >"$LOGS/browser-drive.log" 2>&1 || {
      cat "$LOGS/browser-drive.log"
      return 1
    }
  fi
  # Every test file of the folder, JOBS files at a time (each its own
  # Chromium with a profile of its own; their files in the work folder have
  # names of their own). web.test.mjs, which takes a third of the time of
  # all, goes first, so that the others share the second lane beside it.
  local rc=0 files
  files=(tests/browser/web.test.mjs $(ls tests/browser/*.test.mjs | grep -v '/web\.test\.mjs$'))
  LORVANE_CHECK=build/native/check/lorvane-check LORVANE_CHART="$chart" \
    LORVANE_APP=build/web/Lorvane.html LORVANE_WORK="$work" \
    node --test --test-concurrency="$JOBS" "${files[@]}" \
    >"$LOGS/browser.log" 2>&1 || rc=$?
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
  TIER_SKIPPED=""
  if "tier_$tier"; then
    result=passed
    [ -z "$TIER_SKIPPED" ] || result="skipped ($TIER_SKIPPED)"
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
