#!/usr/bin/env bash
# The run command:
#
#   bash scripts/run.sh [RULES-FILE]
#
# Builds lorvane.exe if it is missing or stale, makes the project's Wine
# prefix, installs the sample data/RULES.TXT
# there as the default path C:\KRN\VEL2\RULES.TXT, and starts the viewer:
# with an empty command line (so it reads the default path), or with
# RULES-FILE, a Unix path (given to the viewer as its Z:\ path) or a Windows
# path (given unchanged). Where this host runs 32-bit programs, that is the
# i686 build (build/win32) in build/wineprefix; where it runs none, the
# x86_64 build (build/win64) under wine64 in build/wineprefix64, said in one
# line.
#
# With a DISPLAY that answers, the viewer opens there and the command waits
# until it is closed. Otherwise it runs on a virtual display: the command
# waits for its window (or its "Fatal Error" box) to be drawn, saves a
# screenshot to build/screenshot.png, says so, and closes the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build

. scripts/packages.sh
lorvane_set_up

. scripts/wine-env.sh
. scripts/builds.sh
trap lorvane_stop_all EXIT
trap 'exit 130' INT TERM
ARCH=$(lorvane_windows_arch)
if [ "$ARCH" = win64 ]; then
  echo "run: $(lorvane_wine_cannot_run win32): the viewer runs as its 64-bit build"
fi
lorvane_use_wine "$ARCH"
BUILD=$(lorvane_build_dir "$ARCH")

echo "run: building lorvane.exe ($BUILD)"
lorvane_build_kind "$ARCH" build/run lorvane || exit 1
VIEWER=$BUILD/app/lorvane.exe

ON_USER_DISPLAY=0
if lorvane_display_answers "${DISPLAY:-}"; then
  ON_USER_DISPLAY=1
  LORVANE_USE_DISPLAY=1
fi
lorvane_start_display
lorvane_make_prefix || exit 1

mkdir -p "$WINEPREFIX/drive_c/KRN/VEL2"
cp data/RULES.TXT "$WINEPREFIX/drive_c/KRN/VEL2/RULES.TXT"

ARGS=()
if [ $# -ge 1 ]; then
  path=$1
  if [ -e "$path" ] && [[ "$path" != *\\* ]]; then
    # A Unix path: Wine's drive Z: is the Unix root.
    abs=$(realpath "$path")
    path="Z:${abs//\//\\}"
  fi
  case "$path" in
    *" "* | *$'\t'*)
      # Wine quotes an argument that holds blanks, and the viewer takes its
      # command line whole, quotes included.
      echo "run: note: the path holds blanks, so it reaches the viewer in quotes" ;;
  esac
  ARGS=("$path")
  echo "run: rules file $path"
else
  echo "run: rules file C:\\KRN\\VEL2\\RULES.TXT (the sample, $WINEPREFIX/drive_c/KRN/VEL2/RULES.TXT)"
fi

LOG="$LORVANE_WINE_LOGS/run.log"
if [ "$ON_USER_DISPLAY" = 1 ]; then
  echo "run: lorvane.exe on display $DISPLAY; close its window to end"
  set +e
  wine "$VIEWER" "${ARGS[@]}" </dev/null >"$LOG" 2>&1
  code=$?
  set -e
  echo "run: lorvane.exe ended with exit code $code"
  exit 0
fi

echo "run: no display; lorvane.exe on the virtual display $DISPLAY"
wine "$VIEWER" "${ARGS[@]}" </dev/null >"$LOG" 2>&1 &
VIEWER_PID=$!
window=""
for _ in $(seq 1 200); do
  # Wine names its X window after the window's title.
  window=$(xwininfo -root -tree 2>/dev/null |
    sed -n 's/^ *\(0x[0-9a-f]*\) "\(Lorvane\|Fatal Error\)".*/\1 \2/p' | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$VIEWER_PID" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  lorvane_wine_failed "lorvane.exe showed no window" "$LOG"
  kill "$VIEWER_PID" 2>/dev/null || true
  exit 1
fi
title=${window#* }
# Drawn: two captures in a row alike, of more than one colour (before its
# first paint a window is all its background).
capture=""
for _ in $(seq 1 100); do
  previous=$capture
  capture=$(import -window "${window%% *}" build/screenshot.png 2>/dev/null &&
    identify -format '%k %#' build/screenshot.png 2>/dev/null || true)
  [ -n "$capture" ] && [ "${capture%% *}" -gt 1 ] && [ "$capture" = "$previous" ] && break
  kill -0 "$VIEWER_PID" 2>/dev/null || break
  sleep 0.1
done
echo "run: lorvane.exe showed \"$title\"; screenshot saved to $(pwd)/build/screenshot.png"
kill "$VIEWER_PID" 2>/dev/null || true
wait "$VIEWER_PID" 2>/dev/null || true
echo "run: lorvane.exe closed"
