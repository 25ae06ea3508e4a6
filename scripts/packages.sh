# Debian packages: which of them are missing, and installing those. Sourced
# by scripts/setup.sh, by the commands that set up (lorvane_set_up) and by
# the benchmarks that need tools of their own.
#
#   lorvane_missing_packages PACKAGE...        prints " name" for each missing one
#   lorvane_install_packages WHO PACKAGE...    installs the missing ones, saying so as WHO
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
  # A mirror caught mid-sync fails the update ("File has unexpected size");
  # it passes a little later.
  local try
  for try in 1 2 3 4; do
    apt-get update -qq && break
    [ "$try" -lt 4 ] || return 1
    echo "$who: the package lists did not update; trying again in 30 s"
    sleep 30
  done
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $todo >/dev/null
}

# Runs scripts/setup.sh once per command: the scripts a command starts
# (scripts/release.sh from the test command) find it done.
lorvane_set_up() {
  [ -z "${LORVANE_SET_UP:-}" ] || return 0
  bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" || return 1
  export LORVANE_SET_UP=1
}
