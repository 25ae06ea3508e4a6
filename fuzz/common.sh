# Shared by smoke.sh and long.sh: builds the fuzz target in build/fuzz and
# stages the seeds (the sample file, the test fixtures, the hostile corpus).
# Sourced with REPO set.
. "$REPO/scripts/quiet-cmake.sh"
FUZZ_BUILD="$REPO/build/fuzz"
FUZZ_BIN="$FUZZ_BUILD/fuzz/lorvane-fuzz"
LSP_FUZZ_BIN="$FUZZ_BUILD/fuzz/lorvane-lsp-fuzz"
FUZZ_MAX_LEN=16384

build_fuzzer() {
  if [ ! -f "$FUZZ_BUILD/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ lorvane_configure "$FUZZ_BUILD/configure.log" -S "$REPO" \
      -B "$FUZZ_BUILD" -DLORVANE_FUZZ=ON -DLORVANE_TESTS=OFF
  fi
  lorvane_build "$FUZZ_BUILD/build.log" "$FUZZ_BUILD" -j2 --target lorvane-fuzz lorvane-lsp-fuzz
}

# run_fuzzer LOG CORPUS [OPTION...]: libFuzzer on the corpus with the options
# of every run; findings go to build/fuzz/artifacts/.
run_fuzzer() {
  local log="$1" corpus="$2"
  shift 2
  mkdir -p "$FUZZ_BUILD/artifacts"
  "$FUZZ_BIN" "$@" -max_len="$FUZZ_MAX_LEN" -timeout=10 -rss_limit_mb=2048 \
    -dict="$REPO/fuzz/rules.dict" -print_final_stats=1 \
    -artifact_prefix="$FUZZ_BUILD/artifacts/" "$corpus" >"$log" 2>&1
}

# stage_seeds DIR: copies every seed no longer than the fuzzer's max_len.
stage_seeds() {
  local dir="$1" f
  mkdir -p "$dir"
  python3 "$REPO/tests/hostile/corpus.py" "$FUZZ_BUILD/seeds-hostile" --max-size "$FUZZ_MAX_LEN"
  for f in "$REPO"/data/*.TXT "$REPO"/tests/*/data/* "$REPO"/tests/*/*.txt \
      "$REPO"/tests/*/fixtures/* "$FUZZ_BUILD"/seeds-hostile/*; do
    [ -f "$f" ] || continue
    [ "$(stat -c %s "$f")" -le "$FUZZ_MAX_LEN" ] || continue
    cp "$f" "$dir/seed-$(basename "$(dirname "$f")")-$(basename "$f")"
  done
}

# stage_lsp_seeds DIR: a session of framed messages on the sample, and one
# message alone.
stage_lsp_seeds() {
  local dir="$1"
  mkdir -p "$dir"
  python3 "$REPO/fuzz/lsp_seeds.py" "$REPO/data/RULES.TXT" "$dir"
}
