#!/usr/bin/env bash
# The language server's speed: from a didChange to its publishDiagnostics,
# on the sample and on 1,000 advances, beside the checker's own --json of
# the same text in the same run (a process started, the file read, the
# report written); and hover and definition on 1,000 advances. Medians of
# ROUNDS (default 50), by a Release build of lorvane-check
# (build/release-native); not part of the test command.
#
#   bash scripts/bench-lsp.sh
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=build/bench-lsp
mkdir -p "$OUT"
. scripts/builds.sh
lorvane_build_kind release-native "$OUT/" lorvane-check || exit 1
CHECK=$(lorvane_build_dir release-native)/check/lorvane-check
python3 scripts/gen_stress.py --advances 1000 -o "$OUT/stress-1000.txt"
python3 scripts/bench_lsp.py "$CHECK" "${ROUNDS:-50}" data/RULES.TXT "$OUT/stress-1000.txt"
