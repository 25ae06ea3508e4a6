# Debian packages: which of them are missing, and installing those. Sourced
# by scripts/setup.sh, by the commands that set up (lorvane_set_up) and by
# the benchmarks that need tools of their own.
#
#   lorvane_missing_packages PACKAGE...        prints " name" for each missing one
#   lorvane_install_packages WHO PACKAGE...    installs the missing ones, saying so as WHO
#   lorvane_update_lists WHO                   updates the package lists once per shell
#   lorvane_set_up                             scripts/setup.sh, once per command

lorvane_missing_packages() {
  local out="" p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || out="$out $p"
  done
  echo "$out"
}

lorvane_install_packages() {
  local who=$1 todo
  shift
  todo=$(lorvane_missing_packages "$@")
  [ -n "$todo" ] || return 0
  echo "$who: installing$todo"
  export DEBIAN_FRONTEND=noninteractive
  lorvane_update_lists "$who"
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $todo >/dev/null
}

# Updates the package lists, once per shell. A mirror caught mid-sync fails
# the update ("File has unexpected size"); it passes a little later. Where
# it still fails after four tries, apt keeps every list it did fetch and the
# old ones of the rest; the installs go on with those, and
# LORVANE_LISTS_STALE=1 tells the caller that a failed install may be the
# mirror's doing.
lorvane_update_lists() {
  [ -z "${LORVANE_LISTS_TRIED:-}" ] || return 0
  LORVANE_LISTS_TRIED=1
  local try
  for try in 1 2 3 4; do
    apt-get update -qq && return 0
    [ "$try" -lt 4 ] || break
    echo "$1: the package lists did not update; trying again in 30 s"
    sleep 30
  done
  echo "$1: some package lists did not update; going on with those apt has"
  LORVANE_LISTS_STALE=1
}

# Runs scripts/setup.sh once per command: the scripts a command starts
# (scripts/release.sh from the test command) find it done.
lorvane_set_up() {
  [ -z "${LORVANE_SET_UP:-}" ] || return 0
  bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" || return 1
  export LORVANE_SET_UP=1
}
