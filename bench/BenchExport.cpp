// Export benchmark: the chart of a loaded rules file written as SVG and as
// the HTML page, in memory, for the sample and the 1,000-advance stress file.
// The load itself is timed by BenchLoad.cpp; here it happens once, untimed.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "chart/ChartSvg.h"
#include "chart/Metrics.h"
#include "load/LoadRules.h"
#include "page/ChartPage.h"

namespace {

struct ExportCase {
  std::string label;
  std::string path;
  void (*make)(std::string* out);
};

void Export(benchmark::State& state, const ExportCase& c) {
  LoadRules(c.path.c_str());
  SetChartMetrics(DefaultFontMetrics);
  std::string text;
  for (auto _ : state) {
    text.clear();
    c.make(&text);
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = (double)text.size();
  state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)text.size());
  ResetRules();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<ExportCase> cases;
  for (const char* file : {"sample", "stress-1000"}) {
    std::string path = std::string(file) == "sample"
                           ? LORVANE_SAMPLE_FILE
                           : std::string(LORVANE_STRESS_DIR) + "/stress-1000-forward.txt";
    cases.push_back({std::string("Svg/") + file, path, MakeSvgDocument});
    cases.push_back({std::string("Html/") + file, path, [](std::string* out) {
                       MakeHtmlPage(PageContent{"Bench", 0, 0, 0, {}}, out);
                     }});
  }
  for (const ExportCase& c : cases) {
    benchmark::RegisterBenchmark(c.label.c_str(), Export, c)->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
