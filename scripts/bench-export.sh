#!/usr/bin/env bash
# The export benchmarks (figures, not tests):
#
#   bash scripts/bench-export.sh
#
# 1. in-process (Google Benchmark, bench/BenchExport.cpp in build/bench): the
#    chart of the sample and of the 1,000-advance stress file as SVG and as
#    the HTML page, in memory;
# 2. whole process, in one run: lorvane-check --svg against Graphviz's
#    dot -Tsvg on the same graph (scripts/json_to_dot.py writes the advances
#    and links of the checker's --json as DOT), timed by hyperfine, medians
#    and their ratio. The checker is a Release build at -O2, linked
#    statically as the Windows release is (build/static), and for
#    comparison dynamically (build/shared). dot needs
#    minutes for 1,000 advances: it runs DOT_RUNS times (3), the checker
#    RUNS times (30); GRAPHS="sample" leaves the large graph out;
# 3. the page in headless Chromium (tests/browser/page-bench.mjs), at full
#    speed and with the CPU throttled 4x: sizes, the time until the route
#    of the deepest advance is marked and drawn, and with real input events
#    a click, a zoom step and a keystroke in search until drawn, and the
#    loads of a planned link and of a link with 20,000 unknown codes; it
#    saves build/bench-export/page.png (the 1,000-advance page, two
#    targets); then the loads alone for a generated tree of 5,000
#    advances; then Lorvane.html (build/web): its size, a file chosen until
#    drawn beside the checker's page of it, the module's part, the redraw
#    after a watched change.
# 4. the page of a file with very many warnings: the 1,000-advance stress
#    file with WARNING_LINES (100,000) faulty unit lines more
#    (gen_stress.py --faulty-units, seven warnings each), its load against
#    the same file without them and against its own page with the warnings
#    panel emptied, in one run, loads in turns.
# STEPS="page warnings" runs only those (of inprocess, process, page,
# warnings). Installs what it needs, graphviz and hyperfine among it (for
# benchmarks only).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
RUNS=${RUNS:-30}
DOT_RUNS=${DOT_RUNS:-3}
GRAPHS=${GRAPHS:-"sample stress-1000"}
WARNING_LINES=${WARNING_LINES:-100000}
STEPS=${STEPS:-"inprocess process page warnings"}
want() { [[ " $STEPS " == *" $1 "* ]]; }
OUT=build/bench-export
mkdir -p "$OUT/out"

. scripts/packages.sh
lorvane_set_up
. scripts/builds.sh
lorvane_install_packages bench-export graphviz hyperfine

echo "bench-export: building"
links=static
want process && links="static shared"
for link in $links; do
  lorvane_build_kind $link "$OUT/$link" lorvane-check
done
if want inprocess; then
  lorvane_build_kind bench "$OUT/bench" lorvane-bench-export
fi
static=$(lorvane_build_dir static)/check/lorvane-check
shared=$(lorvane_build_dir shared)/check/lorvane-check
checker=$static

if want inprocess; then
  echo
  echo "== In-process export (Google Benchmark, median of 5, CPU time)"
  build/bench/bench/lorvane-bench-export --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true 2>/dev/null | grep -E "^Benchmark|_median"
fi

cp data/RULES.TXT "$OUT/sample.txt"
# The in-process benchmark's stress file (bench/CMakeLists.txt), the same
# arguments.
python3 scripts/gen_stress.py --advances 1000 --order forward -o "$OUT/stress-1000.txt"
for graph in sample stress-1000; do
  "$checker" --json "$OUT/$graph.txt" | python3 scripts/json_to_dot.py >"$OUT/$graph.dot"
done

if want process; then
  echo
  echo "== Whole process: lorvane-check --svg against dot -Tsvg (hyperfine)"
  for graph in $GRAPHS; do
    dot_runs=$RUNS
    [ "$graph" = sample ] || dot_runs=$DOT_RUNS
    hyperfine -N --warmup 3 --runs "$RUNS" --export-json "$OUT/$graph-checker.json" \
      "$static --svg $OUT/out/$graph.svg $OUT/$graph.txt" \
      "$shared --svg $OUT/out/$graph.svg $OUT/$graph.txt" >/dev/null
    hyperfine -N --runs "$dot_runs" --export-json "$OUT/$graph-dot.json" \
      "dot -Tsvg -o $OUT/out/$graph-dot.svg $OUT/$graph.dot" >/dev/null
  done
  python3 scripts/bench_export_table.py "$OUT" $GRAPHS
fi

if want page; then
  echo
  echo "== The page in headless Chromium"
  lorvane_build_kind web "$OUT/web" lorvane-app || exit 1
  node tests/browser/page-bench.mjs "$checker" data/RULES.TXT "$OUT/stress-1000.txt" \
    --screenshot "$OUT/page.png" --app build/web/Lorvane.html
  python3 scripts/gen_stress.py --advances 5000 -o "$OUT/stress-5000.txt"
  node tests/browser/page-bench.mjs "$checker" "$OUT/stress-5000.txt" --loads
fi

if want warnings; then
  echo
  echo "== The page of a file with $WARNING_LINES faulty lines, against the same file without them"
  python3 scripts/gen_stress.py --advances 1000 --faulty-units "$WARNING_LINES" \
    -o "$OUT/faulty-$WARNING_LINES.txt"
  node tests/browser/page-bench.mjs "$checker" --warnings "$OUT/faulty-$WARNING_LINES.txt" \
    "$OUT/stress-1000.txt"
fi
