#!/usr/bin/env bash
# How the scripts find out which Wine can run here (scripts/wine-env.sh),
# checked as on a host that runs no 32-bit programs (scripts/as-64bit-host.sh,
# root only) and on this one.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ "$(id -u)" != 0 ]; then
  echo "skipped: a private mount namespace needs root"
  exit 77
fi
failed=0
expect() { # NAME GOT WANT
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: got '$2', expected '$3'"
    failed=1
  fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Executables by the machine field of their PE header, and files that are none.
pe() { # FILE MACHINE-BYTES
  { printf 'MZ'; head -c 58 /dev/zero; printf '\100\000\000\000PE\000\000'; printf "$2"; } >"$1"
}
pe "$work/i386.exe" '\114\001'
pe "$work/amd64.exe" '\144\206'
pe "$work/arm.exe" '\304\001'
cp /bin/true "$work/elf"
printf 'MZ' >"$work/short.exe"
. "$root/scripts/wine-env.sh"
for row in i386.exe:win32 amd64.exe:win64 arm.exe: elf: short.exe:; do
  expect "the Wine for ${row%%:*}" "$(lorvane_exe_wine_arch "$work/${row%%:*}")" "${row#*:}"
done

# On this host: where Wine's 32-bit loader starts, the i686 build's Wine;
# where it is not installed, the x86_64 build's, and that said.
here=$(env -u LORVANE_HOST_32BIT -u LORVANE_WINE_ARCH bash -c \
  ". '$root/scripts/wine-env.sh'; echo \$LORVANE_WINE_ARCH \$(lorvane_wine_cannot_run win32)")
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  expect "default here" "$here" win32
elif [ ! -e /usr/lib/wine/wine ]; then
  expect "default here" "$here" "win64 Wine's 32-bit loader is not installed (bash scripts/setup.sh)"
fi

# As a host without 32-bit support (the loader covered, so only where it is
# installed): the x86_64 build's Wine and prefix, the
# reason said, an i386 program refused before Wine starts, and a prefix for
# the 32-bit Wine failing with Wine's own words and the cause.
if [ -e /usr/lib/wine/wine ]; then
  cat >"$work/as64.sh" <<EOS
. '$root/scripts/wine-env.sh'
echo "arch=\$LORVANE_WINE_ARCH"
echo "prefix=\${WINEPREFIX#$root/}"
echo "why32=\$(lorvane_wine_cannot_run win32)"
echo "why64=\$(lorvane_wine_cannot_run win64)"
bash '$root/scripts/wine.sh' '$work/i386.exe' >/dev/null 2>'$work/wine.err'
echo "wine.sh=\$? \$(cat '$work/wine.err')"
export LORVANE_WINEPREFIX='$work/prefix'
lorvane_use_wine win32
LORVANE_WINE_LOGS='$work'
DISPLAY=:0 lorvane_make_prefix 2>'$work/prefix.err'
echo "prefix made=\$?"
lorvane_stop_all
EOS
  out=$(env -u LORVANE_WINE_ARCH bash "$root/scripts/as-64bit-host.sh" bash "$work/as64.sh" 2>&1) || true
  field() { printf '%s\n' "$out" | sed -n "s/^$1=//p"; }
  expect "default arch" "$(field arch)" win64
  expect "prefix" "$(field prefix)" build/wineprefix64
  expect "reason for win32" "$(field why32)" "this machine runs no 32-bit programs"
  expect "reason for win64" "$(field why64)" ""
  expect "wine.sh on an i386 program" "$(field wine.sh)" \
    "126 wine.sh: cannot run $work/i386.exe: this machine runs no 32-bit programs"
  expect "a 32-bit prefix" "$(field 'prefix made')" 1
  for words in "Exec format error" "likely cause: the kernel refuses Wine's loader: this machine runs no 32-bit programs"; do
    grep -q "$words" "$work/prefix.err" || {
      echo "FAIL the failed prefix's message lacks \"$words\":"
      cat "$work/prefix.err"
      failed=1
    }
  done
fi

# A script with `set -e` that stops what it started from its EXIT trap
# (scripts/test.sh does) ends with its own exit code, everything stopped.
cat >"$work/stops.sh" <<EOS
set -euo pipefail
. '$root/scripts/wine-env.sh'
sleep 300 & LORVANE_XVFB_PID=\$!
sleep 300 & LORVANE_CUPSD_PID=\$!
sleep 300 & LORVANE_ANCHOR_PID=\$!
echo "\$LORVANE_XVFB_PID \$LORVANE_CUPSD_PID \$LORVANE_ANCHOR_PID" >'$work/started'
trap lorvane_stop_all EXIT
exit 0
EOS
code=0
bash "$work/stops.sh" || code=$?
expect "the exit code after stopping from the EXIT trap" "$code" 0
for pid in $(cat "$work/started"); do
  expect "process $pid stopped" "$(kill -0 "$pid" 2>/dev/null && echo running)" ""
done

# The win64 Wine starts with address randomization off where the host
# allows it (scripts/wine64/wine): with it on, a start now and then finds
# the fixed address of Wine's shared user data taken by its heap.
if setarch -R true 2>/dev/null; then
  strace -f -e trace=personality -o "$work/personality" \
    sh "$root/scripts/wine64/wine" --version >/dev/null 2>&1 || true
  grep -q 'personality(PER_LINUX|ADDR_NO_RANDOMIZE) = ' "$work/personality" || {
    echo "FAIL scripts/wine64/wine starts wine64 with address randomization on:"
    cat "$work/personality"
    failed=1
  }
fi

[ "$failed" != 0 ] || echo "ok"
exit "$failed"
