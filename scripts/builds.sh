# The project's builds: one folder per kind of build, shared by every script
# that needs that kind, so that two scripts never build the same thing twice.
# Source it, then:
#
#   lorvane_build_dir KIND                        prints the kind's folder
#   lorvane_build_kind KIND LOG [-DNAME=VALUE...] [TARGET...]
#       configures the folder with the kind's flags (and any -D given) and
#       builds the targets (everything without), quietly: the logs are
#       LOG-configure.log and LOG-build.log (LOG empty: the folder's own
#       configure.log and build.log), shown only when a step fails
#   lorvane_machine win32|win64                   the compiler's machine (i686, x86_64)
#
# The kinds:
#   native          build/native: GCC with AddressSanitizer and UBSan, the tests
#                   (scripts/test.sh's native and browser tiers)
#   release-native  build/release-native: Release, no tests (scripts/release.sh's
#                   sample page, scripts/bench-check.sh, scripts/bench-lsp.sh,
#                   scripts/compare-checkers.sh)
#   static          build/static: Release at -O2, linked statically as the Windows
#                   release is, no tests (scripts/bench-diff.sh, scripts/bench-export.sh)
#   shared          build/shared: the same linked dynamically (scripts/bench-export.sh)
#   bench           build/bench: Release with the benchmarks (scripts/bench-load.sh,
#                   scripts/bench-export.sh)
#   win32, win64    build/win32, build/win64: MinGW-w64 i686 and x86_64 (the test
#                   command's Windows tiers and its browser tier, scripts/run.sh,
#                   scripts/bench-wine.sh)
#   release         build/release: MinGW-w64 i686, Release, the win32 thread model
#                   (scripts/release.sh)
#   web             build/web: Lorvane.html with Emscripten's CMake wrapper
#                   (Debian's emscripten), optimised, no tests (scripts/test.sh's
#                   browser tier, scripts/release.sh, scripts/bench-export.sh)
# The fuzz target has its own, build/fuzz (fuzz/common.sh).
# Returns CMake's failure: `lorvane_build_kind ... || exit 1`. JOBS (2) is
# the build's -j.

. "$(dirname "${BASH_SOURCE[0]}")/quiet-cmake.sh"

lorvane_build_dir() {
  echo "build/$1"
}

# The kind's configure flags, one a line.
lorvane_build_flags() {
  case "$1" in
    native) echo "-DLORVANE_SANITIZE=ON" ;;
    release-native) printf '%s\n' -DCMAKE_BUILD_TYPE=Release -DLORVANE_TESTS=OFF ;;
    static | shared)
      printf '%s\n' -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
        -DLORVANE_TESTS=OFF "-DLORVANE_STATIC=$([ "$1" = static ] && echo ON || echo OFF)"
      ;;
    bench) printf '%s\n' -DCMAKE_BUILD_TYPE=Release -DLORVANE_BENCH=ON -DLORVANE_TESTS=OFF ;;
    win32 | win64) echo "-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$(lorvane_machine "$1").cmake" ;;
    release)
      printf '%s\n' -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-release.cmake \
        -DCMAKE_BUILD_TYPE=Release -DLORVANE_TESTS=OFF
      ;;
    web) printf '%s\n' -DCMAKE_BUILD_TYPE=Release -DLORVANE_TESTS=OFF ;;
    *)
      echo "builds: no kind of build called '$1'" >&2
      return 1
      ;;
  esac
}

# The compiler's machine of a Windows build.
lorvane_machine() {
  case "$1" in
    win32) echo i686 ;;
    win64) echo x86_64 ;;
  esac
}

lorvane_build_kind() {
  local kind=$1 log=$2 dir flags=() defines=() targets=() arg
  dir=$(lorvane_build_dir "$kind")
  shift 2
  mapfile -t flags < <(lorvane_build_flags "$kind") && [ "${#flags[@]}" -gt 0 ] || return 1
  for arg in "$@"; do
    case "$arg" in
      -D*) defines+=("$arg") ;;
      *) targets+=("$arg") ;;
    esac
  done
  [ -n "$log" ] || log=$dir/
  [ "${log: -1}" = / ] || log=$log-
  if [ "$kind" = web ]; then
    # Emscripten configures through its wrapper, and its optimiser needs
    # Debian's own Node modules, which the machine's Node does not look for.
    mkdir -p "$(dirname "${log}configure.log")"
    NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B "$dir" "${flags[@]}" "${defines[@]}" \
      >"${log}configure.log" 2>&1 || {
      cat "${log}configure.log"
      return 1
    }
    NODE_PATH=/usr/share/nodejs lorvane_build "${log}build.log" "$dir" -j"${JOBS:-2}" \
      ${targets[@]:+--target "${targets[@]}"}
    return
  fi
  lorvane_configure "${log}configure.log" -S . -B "$dir" "${flags[@]}" "${defines[@]}" &&
    lorvane_build "${log}build.log" "$dir" -j"${JOBS:-2}" ${targets[@]:+--target "${targets[@]}"}
}
