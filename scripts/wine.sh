#!/usr/bin/env bash
# The MinGW builds' emulator (CTest runs `wine.sh prog.exe args...`): runs a
# Windows program under the Wine for its machine (win32 for i386, win64 for
# x86-64; scripts/wine-env.sh), with its streams and exit code as they are.
# Under scripts/test.sh a call that ends non-zero leaves its evidence
# (lorvane_wine_call).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
lorvane_wine_for "$1" wine.sh || exit 126
[ -n "${LORVANE_WINE_EVIDENCE:-}" ] || exec wine "$@"
lorvane_wine_call "$@" || exit $?
