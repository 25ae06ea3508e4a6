# Configuring and building without noise, for the scripts here and in fuzz/:
# CMake's output goes to a log, which is shown only when the step fails (the
# configure log whole, the build log's last 60 lines). Source it, then:
#
#   lorvane_configure LOG [cmake arguments...]         e.g. -S . -B build/x
#   lorvane_build LOG [cmake --build arguments...]     e.g. build/x --target y
#
# Each returns CMake's failure, so a caller can stop: `lorvane_build ... || exit 1`.

lorvane_configure() {
  local log=$1
  shift
  mkdir -p "$(dirname "$log")"
  cmake "$@" >"$log" 2>&1 || {
    cat "$log"
    return 1
  }
}

lorvane_build() {
  local log=$1
  shift
  mkdir -p "$(dirname "$log")"
  cmake --build "$@" >"$log" 2>&1 || {
    tail -n 60 "$log"
    return 1
  }
}
