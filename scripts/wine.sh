#!/usr/bin/env bash
# The MinGW builds' emulator (CTest runs `wine.sh prog.exe args...`): runs a
# Windows program under the Wine for its machine (win32 for i386, win64 for
# x86-64; scripts/wine-env.sh), with its streams and exit code as they are.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
arch=$(lorvane_exe_wine_arch "$1") && lorvane_use_wine "$arch"
why=$(lorvane_wine_cannot_run "$LORVANE_WINE_ARCH")
if [ -n "$why" ]; then
  echo "wine.sh: cannot run $1: $why" >&2
  exit 126
fi
exec wine "$@"
