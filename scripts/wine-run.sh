#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest (the cross build's emulator)
# or by hand: `scripts/wine-run.sh prog.exe args...`. Its output goes to a
# file first and is then printed, because Wine's background services would
# otherwise hold CTest's pipe open for ever. The exit code is the program's.
# Expects DISPLAY (and the prefix) from wine-env.sh; makes the prefix if the
# caller has not, and then stops the wineserver it started. The Wine is the
# one for the program's machine (scripts/wine-env.sh). Under scripts/test.sh
# a call that ends non-zero leaves its evidence (lorvane_wine_call).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
lorvane_wine_for "$1" wine-run || exit 126
trap lorvane_stop_all EXIT
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: DISPLAY is not set; source scripts/wine-env.sh and call lorvane_start_display" >&2
  exit 2
fi
lorvane_make_prefix || exit 2
out=$(mktemp "${TMPDIR:-/tmp}/lorvane-wine-run.XXXXXX")
rc=0
lorvane_wine_call "$@" </dev/null >"$out" 2>&1 || rc=$?
# Console programs end their lines with CR LF under Wine.
tr -d '\r' <"$out"
rm -f "$out"
exit "$rc"
