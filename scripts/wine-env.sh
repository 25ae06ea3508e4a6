# Wine environment for running and testing lorvane.exe. Source it:
#
#   . scripts/wine-env.sh
#   lorvane_use_wine win64     # optional: the other Wine (see below)
#   lorvane_start_display      # a virtual display (or the user's, see below)
#   lorvane_make_prefix        # the project's own prefix, made once
#   lorvane_start_cups         # only the print tests need it
#   trap lorvane_stop_all EXIT # stops what the calls above started
#
# Two Wines: win32 runs the i686 build (Wine's 32-bit loader, prefix
# build/wineprefix), win64 the x86_64 build (wine64, build/wineprefix64).
# Some hosts run no 32-bit code at all; there only win64 works.
#
# Variables read:
#   LORVANE_WINE_ARCH    win32 or win64; by default win32 where this host
#                        runs 32-bit programs, else win64
#   LORVANE_WINEPREFIX   another prefix than the arch's own (e.g. a second,
#                        clean one for a test that must not see C:\KRN)
#   LORVANE_USE_DISPLAY  1: use $DISPLAY when it answers instead of Xvfb
# Variables set: LORVANE_ROOT, LORVANE_WINE_ARCH, WINEPREFIX, WINEARCH,
#   WINESERVER, WINELOADER (win64), PATH (win64: scripts/wine64 first), WINEDEBUG,
#   WINEDLLOVERRIDES, DISPLAY, LORVANE_HOST_32BIT (once found out),
#   LORVANE_WINE_LOGS (Wine's own output goes to files there: its
#   background services keep an inherited pipe open for ever).

LORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export LORVANE_ROOT
# Wine's own messages off; LORVANE_WINEDEBUG turns channels on (the retry of
# a failed test does, see lorvane_wine_evidence).
export WINEDEBUG=${LORVANE_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine reads command lines and file names in the locale's character set;
# the tests' paths are UTF-8 (the release is unpacked to a folder with a
# letter outside ASCII), which a plain C locale would garble.
case "$(locale charmap 2>/dev/null)" in
  UTF-8) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac

# Whether this host runs 32-bit programs, found out once per run (the
# answer is exported to every script started from here). The kernel's name
# does not tell: a 64-bit kernel may have its 32-bit support switched off,
# and then it refuses Wine's 32-bit loader ("Exec format error").
lorvane_host_runs_32bit() {
  if [ -z "${LORVANE_HOST_32BIT:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
      LORVANE_HOST_32BIT=yes
    else
      LORVANE_HOST_32BIT=no
    fi
    export LORVANE_HOST_32BIT
  fi
  [ "$LORVANE_HOST_32BIT" = yes ]
}

# Why this host cannot run ARCH's programs; nothing when it can.
lorvane_wine_cannot_run() {
  if [ "$1" = win32 ] && ! lorvane_host_runs_32bit; then
    if [ -e /usr/lib/wine/wine ]; then
      echo "this machine runs no 32-bit programs"
    else
      echo "Wine's 32-bit loader is not installed (bash scripts/setup.sh)"
    fi
  fi
}

# The Windows build this host runs the viewer with: win32 (the i686 build,
# Wine's 32-bit loader) where it runs 32-bit programs, else win64 (the
# x86_64 build under wine64).
lorvane_windows_arch() {
  if [ -n "$(lorvane_wine_cannot_run win32)" ]; then echo win64; else echo win32; fi
}

# The Wine for a Windows program: win64 for an x86-64 executable, win32 for
# an i386 one (the machine field of its PE header); fails for anything else.
lorvane_exe_wine_arch() {
  local at machine
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$at" ] || return 1
  machine=$(od -An -tx1 -j$((at + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  case "$machine" in
    6486) echo win64 ;;
    4c01) echo win32 ;;
    *) return 1 ;;
  esac
}

# Sets up the environment for one of the two Wines, each with its own
# loader and wineserver (Debian's /usr/bin/wineserver takes the 64-bit one
# whenever it is installed). win64 calls wine64's loader directly:
# /usr/bin/wine and wineboot take the 32-bit loader whenever it is
# installed, so scripts/wine64 (its `wine` and `wine-stable`) comes first
# on PATH. A prefix belongs to one of them.
lorvane_use_wine() {
  local suffix=""
  # What this shell started for the other Wine belongs to its prefix.
  if [ "${LORVANE_WINE_ARCH:-}" != "$1" ] && [ -n "${LORVANE_STARTED_WINESERVER:-}${LORVANE_ANCHOR_PID:-}" ]; then
    lorvane_stop_wine
  fi
  PATH=${PATH//"$LORVANE_ROOT/scripts/wine64:"/}
  case "$1" in
    win32)
      unset WINELOADER
      export WINESERVER=/usr/lib/wine/wineserver32
      ;;
    win64)
      suffix=64
      export WINELOADER=/usr/lib/wine/wine64
      export WINESERVER=/usr/lib/wine/wineserver64
      PATH="$LORVANE_ROOT/scripts/wine64:$PATH"
      ;;
    *)
      echo "wine-env: no Wine called '$1' (win32 or win64)" >&2
      return 1
      ;;
  esac
  export PATH
  export LORVANE_WINE_ARCH=$1 WINEARCH=$1
  export WINEPREFIX="${LORVANE_WINEPREFIX:-$LORVANE_ROOT/build/wineprefix$suffix}"
  LORVANE_WINE_LOGS="$LORVANE_ROOT/build/wine-logs$suffix"
  mkdir -p "$LORVANE_WINE_LOGS"
}

# Takes the Wine that PROGRAM's PE header names (the current one for
# anything else) and fails, saying why as WHO, where this host cannot run it.
lorvane_wine_for() {
  local arch why
  arch=$(lorvane_exe_wine_arch "$1") && lorvane_use_wine "$arch"
  why=$(lorvane_wine_cannot_run "$LORVANE_WINE_ARCH")
  if [ -n "$why" ]; then
    echo "$2: cannot run $1: $why" >&2
    return 1
  fi
}

if [ -z "${LORVANE_WINE_ARCH:-}" ]; then
  # Found out here, in this shell, for every later call.
  lorvane_host_runs_32bit || true
  LORVANE_WINE_ARCH=$(lorvane_windows_arch)
fi
lorvane_use_wine "$LORVANE_WINE_ARCH"

# What this shell started, stopped by lorvane_stop_all.
LORVANE_XVFB_PID=""
LORVANE_CUPSD_PID=""
LORVANE_STARTED_WINESERVER=""
LORVANE_ANCHOR_PID=""

lorvane_display_answers() {
  [ -n "${1:-}" ] && DISPLAY="$1" xdpyinfo >/dev/null 2>&1
}

# Exports DISPLAY: the caller's when LORVANE_USE_DISPLAY=1 and it answers,
# otherwise a new Xvfb on the first free display number from 90.
lorvane_start_display() {
  if [ "${LORVANE_USE_DISPLAY:-0}" = 1 ] && lorvane_display_answers "${DISPLAY:-}"; then
    return 0
  fi
  if [ -n "$LORVANE_XVFB_PID" ] && kill -0 "$LORVANE_XVFB_PID" 2>/dev/null; then
    return 0
  fi
  local n
  for n in $(seq 90 189); do
    # A display is taken when its lock file or socket exists.
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp \
      >"$LORVANE_WINE_LOGS/xvfb-$n.log" 2>&1 &
    LORVANE_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      sleep 0.1
      # Ours must still run: an Xvfb that lost the number to another one
      # ends at once, and the display that answers is not ours.
      kill -0 "$LORVANE_XVFB_PID" 2>/dev/null || break
      if lorvane_display_answers ":$n"; then
        export DISPLAY=":$n"
        return 0
      fi
    done
    # Lost a race for this number or Xvfb failed: try the next one.
    kill "$LORVANE_XVFB_PID" 2>/dev/null || true
    wait "$LORVANE_XVFB_PID" 2>/dev/null || true
    LORVANE_XVFB_PID=""
  done
  echo "wine-env: could not start a virtual display" >&2
  return 1
}

# Starts a persistent wineserver for the prefix unless one runs already
# (saves about a second on every later wine call). `wineserver -p` exits 0
# when it started a server and non-zero when one was running.
lorvane_start_wineserver() {
  mkdir -p "$WINEPREFIX"
  if "$WINESERVER" -p >>"$LORVANE_WINE_LOGS/wineserver.log" 2>&1; then
    LORVANE_STARTED_WINESERVER=1
  fi
}

# Makes the prefix once: boot, Wine's own fonts (so "MS Sans Serif" is the
# same bitmap font everywhere), no window-manager waits. A lock makes
# concurrent callers wait; the stamp makes later calls cheap. Needs DISPLAY.
lorvane_make_prefix() {
  if [ -z "${DISPLAY:-}" ]; then
    echo "wine-env: lorvane_make_prefix needs DISPLAY (call lorvane_start_display)" >&2
    return 1
  fi
  mkdir -p "$WINEPREFIX"
  lorvane_start_wineserver
  local stamp="$WINEPREFIX/.lorvane-prefix-done" log="$LORVANE_WINE_LOGS/wineboot.log"
  (
    flock 9
    if [ -f "$stamp" ]; then
      exit 0
    fi
    echo "wine-env: making the Wine prefix $WINEPREFIX" >&2
    # Wine's background services must not inherit the lock (fd 9). Each
    # attempt has a log of its own, so that a failure quotes only itself.
    wineboot -i </dev/null >"$log" 2>&1 9>&- || exit 1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf \
      "$WINEPREFIX/drive_c/windows/Fonts/" || exit 1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      </dev/null >>"$log" 2>&1 9>&- || exit 1
    date -u >"$stamp"
  ) 9>"$WINEPREFIX.lock" || {
    lorvane_wine_failed "making the prefix $WINEPREFIX failed" "$log"
    return 1
  }
}

# Says that Wine failed, quoting the last lines of its LOG and naming the
# likely cause where the log shows one.
lorvane_wine_failed() {
  local what=$1 log=$2 cause=""
  echo "wine-env: $what; the last lines of $log:" >&2
  tail -n 5 "$log" | sed 's/^/    /' >&2
  if grep -q 'Exec format error' "$log"; then
    cause="the kernel refuses Wine's loader: this machine runs no 32-bit programs (the win64 Wine, LORVANE_WINE_ARCH=win64, runs the x86_64 build)"
  elif grep -q -i 'cannot open display\|nodrv_CreateWindow' "$log"; then
    cause="Wine found no X display (DISPLAY=${DISPLAY:-})"
  elif grep -q 'is a 64-bit installation\|WINEARCH set to' "$log"; then
    cause="the prefix was made by the other Wine; stop its wineserver and remove $WINEPREFIX"
  elif grep -q 'No such file or directory' "$log"; then
    cause="part of Wine is not installed (bash scripts/setup.sh installs it)"
  fi
  [ -z "$cause" ] || echo "wine-env: likely cause: $cause" >&2
}

# What the prefix's wineserver is doing, for the evidence of a failed call:
# its folder (socket and lock) wherever this Wine keeps it (Debian's names
# the folder in $WINEPREFIX/wineserver, upstream's is /tmp/.wine-UID), the
# process that holds the lock, and every process that runs in the prefix.
lorvane_wine_state() {
  local dev ino name dir found="" lock pids
  read -r dev ino < <(stat -c '%d %i' "$WINEPREFIX" 2>/dev/null)
  echo "prefix $WINEPREFIX (WINEDEBUG=$WINEDEBUG)"
  read -r name 2>/dev/null <"$WINEPREFIX/wineserver"
  for dir in "/run/user/$(id -u)/wine" "${TMPDIR:-/tmp}/${name:-none}" "/tmp/.wine-$(id -u)"; do
    dir=$dir/$(printf 'server-%x-%x' "${dev:-0}" "${ino:-0}")
    [ -d "$dir" ] || continue
    found=1
    echo "server folder $dir:"
    ls -la --time-style=full-iso "$dir" | sed 's/^/  /'
    if [ -e "$dir/lock" ]; then
      lock=$(stat -c %i "$dir/lock")
      echo "lock held by: $(awk -v i=":$lock\$" '$6 ~ i { print $5 }' /proc/locks | sort -u | tr '\n' ' ')"
    fi
  done
  [ -n "$found" ] || echo "no server folder for this prefix (no wineserver has run in it)"
  pids=$(grep -lzx "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3 | tr '\n' ,)
  echo "processes in the prefix:"
  [ -z "$pids" ] || ps -o pid,ppid,stat,etimes,wchan:24,args -p "${pids%,}" | cut -c1-240 | sed 's/^/  /'
}

# The test that process PID belongs to, as "PID-START": its ancestor that
# CTest started (a test that calls Wine twice has one key), else PID itself.
# Read from /proc, so that a call costs no process of its own.
lorvane_test_key() {
  local pid=$1 self=$1 stat comm
  while [ "$pid" -gt 1 ] && read -r stat <"/proc/$pid/stat"; do
    # The fields after the command's name: state, parent, ..., start time.
    set -- ${stat##*) }
    read -r comm <"/proc/$2/comm" || break
    if [ "$comm" = ctest ]; then
      echo "$pid-${20}"
      return
    fi
    pid=$2
  done
  echo "$self-shell"
}

# Runs `wine ARGS...` with this shell's streams and returns its exit code.
# Where LORVANE_WINE_EVIDENCE names a folder (scripts/test.sh sets it for
# the Windows tiers), each test's calls have a folder there (its key, see
# lorvane_test_key), holding the test's command line and, for each call
# that ended non-zero, a record made as it ended: the command, exit code,
# time, the streams (copied where they are files) and the wineserver's
# state. Wine is killed with this shell (CTest's time-out kills the shell).
lorvane_wine_call() {
  local folder=${LORVANE_WINE_EVIDENCE:-}
  if [ -z "$folder" ]; then
    wine "$@"
    return
  fi
  local self=$BASHPID key start rc record fd streams=""
  key=$(lorvane_test_key "$self")
  if [ ! -e "$folder/$key/test-cmdline" ]; then
    # Never a word on the program's streams.
    mkdir -p "$folder/$key" 2>/dev/null
    tr '\0' ' ' 2>/dev/null <"/proc/${key%%-*}/cmdline" >"$folder/$key/test-cmdline"
  fi
  key=$folder/$key
  start=$EPOCHREALTIME
  setpriv --pdeathsig KILL wine "$@"
  rc=$?
  [ "$rc" = 0 ] && return 0
  record=$key/call-${start/[.,]/}
  for fd in 0 1 2; do streams="$streams fd $fd: $(readlink "/proc/$self/fd/$fd");"; done
  {
    echo "exit code $rc after $(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }') s, at $(date -u +%T.%N)"
    echo "command: $(printf '%q ' wine "$@")"
    echo "folder: $PWD"
    echo "streams:$streams"
    lorvane_wine_state
  } >"$record.txt" 2>&1
  # The program's own output, where the caller gave it files.
  for fd in 1 2; do
    [ -f "/proc/$self/fd/$fd" ] || continue
    [ "$fd" = 2 ] && [ "/proc/$self/fd/2" -ef "/proc/$self/fd/1" ] && continue
    head -c 1048576 "/proc/$self/fd/$fd" >"$record.fd$fd" 2>/dev/null
  done
  return "$rc"
}

# After a failed CTest run of a Windows build (BUILD, its log LOG): for
# each failed test, a folder in OUT with what CTest printed of it (its
# standard output and error), the records of its Wine calls that ended
# non-zero (lorvane_wine_call, in LORVANE_WINE_EVIDENCE), Wine's own logs
# and the wineserver's state now, and one retry with the Wine debug
# channels LORVANE_WINE_RETRY_DEBUG on (its calls' records beside it). The
# retry is evidence only: the test has failed whatever it gives. Prints
# one line per test.
lorvane_wine_evidence() {
  local build=$1 log=$2 out=$3 number name dir key
  local debug=${LORVANE_WINE_RETRY_DEBUG:-+process,+module,+seh}
  local calls=${LORVANE_WINE_EVIDENCE:?lorvane_wine_evidence needs LORVANE_WINE_EVIDENCE}
  rm -rf "$out"
  sed -n '/The following tests FAILED:/,$s/^[[:space:]]*\([0-9][0-9]*\) - \(.*\) ([^()]*)$/\1 \2/p' "$log" |
    while read -r number name; do
      dir=$out/${name//\//_}
      mkdir -p "$dir/calls" "$dir/retry" "$dir/wine-logs"
      # CTest's lines of this test: its result and the output after it.
      awk -v t="Test +#$number: " '$0 ~ t && !/^ *Start/ { on = 1; print; next }
        on && (/^ *Start +[0-9]+: / || /^ *[0-9]+\/[0-9]+ Test +#/ || /^[0-9]+% tests passed/) { exit }
        on' "$log" >"$dir/output.txt"
      cp "$LORVANE_WINE_LOGS"/*.log "$dir/wine-logs/" 2>/dev/null
      lorvane_wine_state >"$dir/state-after.txt" 2>&1
      LORVANE_WINE_EVIDENCE=$dir/retry LORVANE_WINEDEBUG=$debug \
        ctest --test-dir "$build" -I "$number,$number" --output-on-failure --timeout 300 \
        </dev/null >"$dir/retry/ctest.log" 2>&1
      echo "$?" >"$dir/retry/exit-code"
      # The failed run's records: the keys with the retry's command line.
      for key in "$calls"/*/; do
        cmp -s "$key/test-cmdline" "$(ls -d "$dir"/retry/*/ 2>/dev/null | head -n 1)test-cmdline" &&
          cp -r "$key" "$dir/calls/"
      done
      echo "test: $name failed; the evidence is in $dir (retry with WINEDEBUG=$debug: $(
        [ "$(cat "$dir/retry/exit-code")" = 0 ] && echo passed || echo failed))"
    done
}

# Starts a Windows program that keeps Wine's desktop process (and the
# services) alive with their output in our log files, so that programs
# started later with pipes (CTest runs `wine test.exe`) do not pass those
# pipes on to the desktop process and wait for it to let go.
lorvane_start_anchor() {
  local exe=$1
  if [ -n "$LORVANE_ANCHOR_PID" ] && kill -0 "$LORVANE_ANCHOR_PID" 2>/dev/null; then
    return 0
  fi
  wine "$exe" </dev/null >>"$LORVANE_WINE_LOGS/anchor.log" 2>&1 &
  LORVANE_ANCHOR_PID=$!
  # Wait until the desktop process runs: `wine` itself answers only then.
  wine cmd.exe /c exit </dev/null >>"$LORVANE_WINE_LOGS/anchor.log" 2>&1
}

# Starts CUPS with the PDF printer as the default, unless it runs already.
lorvane_start_cups() {
  if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    /usr/sbin/cupsd -f >"$LORVANE_WINE_LOGS/cupsd.log" 2>&1 &
    LORVANE_CUPSD_PID=$!
    local i
    for i in $(seq 1 100); do
      lpstat -r 2>/dev/null | grep -q "is running" && break
      sleep 0.1
    done
  fi
  if ! lpstat -p PDF >/dev/null 2>&1; then
    lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd || return 1
  fi
  lpadmin -d PDF
}

# Stops the anchor and the wineserver this shell started. Nothing here may
# fail: a caller with `set -e` runs it from its EXIT trap, where a failing
# command (`wait` for a killed process gives 143) would end the caller with
# that code and leave the rest running.
lorvane_stop_wine() {
  if [ -n "$LORVANE_ANCHOR_PID" ]; then
    kill "$LORVANE_ANCHOR_PID" 2>/dev/null || true
    wait "$LORVANE_ANCHOR_PID" 2>/dev/null || true
    LORVANE_ANCHOR_PID=""
  fi
  if [ -n "$LORVANE_STARTED_WINESERVER" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    LORVANE_STARTED_WINESERVER=""
  fi
}

# Stops, by PID, what this shell started.
lorvane_stop_all() {
  lorvane_stop_wine
  if [ -n "$LORVANE_CUPSD_PID" ]; then
    kill "$LORVANE_CUPSD_PID" 2>/dev/null || true
    wait "$LORVANE_CUPSD_PID" 2>/dev/null || true
    LORVANE_CUPSD_PID=""
  fi
  if [ -n "$LORVANE_XVFB_PID" ]; then
    kill "$LORVANE_XVFB_PID" 2>/dev/null || true
    wait "$LORVANE_XVFB_PID" 2>/dev/null || true
    LORVANE_XVFB_PID=""
  fi
  return 0
}
