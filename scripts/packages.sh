# Debian packages: which of them are missing, and installing those. Sourced
# by scripts/setup.sh and by the benchmarks that need tools of their own.
#
#   lorvane_missing_packages PACKAGE...        prints " name" for each missing one
#   lorvane_install_packages WHO PACKAGE...    installs the missing ones, saying so as WHO

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
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $todo >/dev/null
}
