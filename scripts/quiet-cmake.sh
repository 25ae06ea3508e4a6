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

# Lorvane.html in build/web, for scripts/test.sh and scripts/release.sh:
# Emscripten's CMake wrapper (Debian's emscripten, scripts/setup.sh), an
# optimised build without tests; Emscripten's optimiser needs Debian's own
# Node modules, which the machine's Node does not look for.
#
#   lorvane_build_web LOG_PREFIX     logs LOG_PREFIX-configure.log and -build.log
lorvane_build_web() {
  local log=$1
  mkdir -p "$(dirname "$log")"
  NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release \
    -DLORVANE_TESTS=OFF >"$log-configure.log" 2>&1 || {
    cat "$log-configure.log"
    return 1
  }
  NODE_PATH=/usr/share/nodejs lorvane_build "$log-build.log" build/web -j"${JOBS:-2}" --target lorvane-app
}
