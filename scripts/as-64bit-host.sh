#!/usr/bin/env bash
# Runs a command as on a host whose kernel runs no 32-bit programs:
#
#   bash scripts/as-64bit-host.sh bash scripts/test.sh
#
# In a private mount namespace (root only), Wine's 32-bit loader is covered
# by a copy of a program whose ELF machine field names no machine, so
# starting it fails with "Exec format error", as the kernel answers there.
# Nothing outside the namespace changes.
set -euo pipefail
if [ "$(id -u)" != 0 ]; then
  echo "as-64bit-host: needs root (a private mount namespace)" >&2
  exit 77
fi
if [ ! -e /usr/lib/wine/wine ]; then
  echo "as-64bit-host: Wine's 32-bit loader is not installed (bash scripts/setup.sh)" >&2
  exit 1
fi
refused=$(mktemp "${TMPDIR:-/tmp}/lorvane-refused.XXXXXX")
trap 'rm -f "$refused"' EXIT
cp /bin/true "$refused"
# e_machine, the two bytes at offset 18: 0xffff is no machine at all.
printf '\377\377' | dd of="$refused" bs=1 seek=18 conv=notrunc status=none
chmod 755 "$refused"
# The answer found outside must not be inherited.
unset LORVANE_HOST_32BIT
unshare --mount --propagation private -- sh -c \
  'mount --bind "$0" /usr/lib/wine/wine && exec "$@"' "$refused" "$@"
