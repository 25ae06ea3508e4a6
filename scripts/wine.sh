#!/usr/bin/env bash
# The MinGW builds' emulator (CTest runs `wine.sh prog.exe args...`): runs a
# Windows program under the Wine for its machine (win32 for i386, win64 for
# x86-64; scripts/wine-env.sh), with its streams and exit code as they are.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
lorvane_wine_for "$1" wine.sh || exit 126
exec wine "$@"
