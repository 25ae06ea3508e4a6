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
#    statically as the Windows release is (build/bench-export/static), and
#    for comparison dynamically (build/bench-export/shared). dot needs
#    minutes for 1,000 advances: it runs DOT_RUNS times (3), the checker
#    RUNS times (30); GRAPHS="sample" leaves the large graph out;
# 3. the page in headless Chromium (tests/browser/page-bench.mjs), at full
#    speed and with the CPU throttled 4x: sizes, the time until the route
#    of the deepest advance is marked and drawn, and with real input events
#    a click, a zoom step and a keystroke in search until drawn; it saves
#    build/bench-export/page.png (the 1,000-advance page, two targets);
#    then Lorvane.html (build/web): its size, a file chosen until drawn
#    beside the checker's page of it, the module's part, the redraw after
#    a watched change.
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

bash scripts/setup.sh
. scripts/packages.sh
. scripts/quiet-cmake.sh
lorvane_install_packages bench-export graphviz hyperfine

echo "bench-export: building"
links=static
want process && links="static shared"
for link in $links; do
  static=OFF
  [ "$link" = static ] && static=ON
  lorvane_configure "$OUT/$link-configure.log" -S . -B "$OUT/$link" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DLORVANE_STATIC=$static -DLORVANE_TESTS=OFF
  lorvane_build "$OUT/$link-build.log" "$OUT/$link" -j"$JOBS" --target lorvane-check
done
if want inprocess; then
  lorvane_configure "$OUT/bench-configure.log" -S . -B build/bench -DCMAKE_BUILD_TYPE=Release \
    -DLORVANE_BENCH=ON -DLORVANE_TESTS=OFF
  lorvane_build "$OUT/bench-build.log" build/bench -j"$JOBS" --target lorvane-bench-export
fi
checker="$OUT/static/check/lorvane-check"

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
      "$OUT/static/check/lorvane-check --svg $OUT/out/$graph.svg $OUT/$graph.txt" \
      "$OUT/shared/check/lorvane-check --svg $OUT/out/$graph.svg $OUT/$graph.txt" >/dev/null
    hyperfine -N --runs "$dot_runs" --export-json "$OUT/$graph-dot.json" \
      "dot -Tsvg -o $OUT/out/$graph-dot.svg $OUT/$graph.dot" >/dev/null
  done
  python3 - "$OUT" $GRAPHS <<'PY'
import json
import sys

out, graphs = sys.argv[1], sys.argv[2:]
print("%-12s %9s %6s | %13s %13s %11s | %9s %9s" % (
    "graph", "advances", "links", "check static", "check shared", "dot -Tsvg",
    "ratio st.", "ratio sh."))
runs = []
for graph in graphs:
    checker = json.load(open("%s/%s-checker.json" % (out, graph)))["results"]
    dot = json.load(open("%s/%s-dot.json" % (out, graph)))["results"][0]
    lines = open("%s/%s.dot" % (out, graph)).read().splitlines()
    advances = sum(1 for line in lines if "[label=" in line)
    links = sum(1 for line in lines if "->" in line)
    static, shared = (r["median"] for r in checker)
    runs.append("%s: checker %d, dot %d" % (graph, len(checker[0]["times"]), len(dot["times"])))
    print("%-12s %9d %6d | %10.2f ms %10.2f ms %8.0f ms | %8.0fx %8.0fx" % (
        graph, advances, links, static * 1e3, shared * 1e3, dot["median"] * 1e3,
        dot["median"] / static, dot["median"] / shared))
print("medians of runs (%s)" % "; ".join(runs))
PY
fi

if want page; then
  echo
  echo "== The page in headless Chromium"
  lorvane_build_web "$OUT/web" || exit 1
  node tests/browser/page-bench.mjs "$checker" data/RULES.TXT "$OUT/stress-1000.txt" \
    --screenshot "$OUT/page.png" --app build/web/Lorvane.html
fi

if want warnings; then
  echo
  echo "== The page of a file with $WARNING_LINES faulty lines, against the same file without them"
  python3 scripts/gen_stress.py --advances 1000 --faulty-units "$WARNING_LINES" \
    -o "$OUT/faulty-$WARNING_LINES.txt"
  node tests/browser/page-bench.mjs "$checker" --warnings "$OUT/faulty-$WARNING_LINES.txt" \
    "$OUT/stress-1000.txt"
fi
