#!/usr/bin/env bash
# The fuzz smoke run of the test command: half a minute of libFuzzer on a
# fresh copy of the seeds, and beside it 10 s of the language server's
# target. Fails on any finding (crash, sanitizer report, broken invariant,
# timeout); the input is left in build/fuzz/artifacts/.
set -euo pipefail
REPO="$(cd "$(dirname "$0")/.." && pwd)"
. "$REPO/fuzz/common.sh"

SECONDS_TO_RUN="${SMOKE_SECONDS:-30}"
build_fuzzer
corpus="$FUZZ_BUILD/smoke-corpus"
rm -rf "$corpus"
stage_seeds "$corpus"
log="$FUZZ_BUILD/smoke.log"
# The language server's framing and dispatch, a shorter run beside it (each
# fuzzer takes one core).
lsp_corpus="$FUZZ_BUILD/lsp-smoke-corpus"
rm -rf "$lsp_corpus"
stage_lsp_seeds "$lsp_corpus"
lsp_log="$FUZZ_BUILD/lsp-smoke.log"
FUZZ_BIN="$LSP_FUZZ_BIN" run_fuzzer "$lsp_log" "$lsp_corpus" -max_total_time="${LSP_SMOKE_SECONDS:-10}" &
lsp_run=$!
echo "fuzz smoke: $(ls "$corpus" | wc -l) seeds, ${SECONDS_TO_RUN} s, log in $log"
failed=0
if ! run_fuzzer "$log" "$corpus" -max_total_time="$SECONDS_TO_RUN"; then
  tail -n 60 "$log"
  echo "fuzz smoke: FINDING (see $log and $FUZZ_BUILD/artifacts/)"
  failed=1
else
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz smoke: passed, $runs executions, corpus $(ls "$corpus" | wc -l) files"
fi
if ! wait "$lsp_run"; then
  tail -n 60 "$lsp_log"
  echo "fuzz smoke (language server): FINDING (see $lsp_log and $FUZZ_BUILD/artifacts/)"
  exit 1
fi
echo "fuzz smoke (language server): passed, $(sed -n 's/^stat::number_of_executed_units: *//p' "$lsp_log") executions"
exit "$failed"
