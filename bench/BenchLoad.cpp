// Load benchmark: the whole load of a rules file (open, both sections,
// parsing, linking, levels) beside a baseline that only reads the same
// file's lines with the standard library, plus a timed breakdown by step.
//
// Records are allocated per load, so each iteration ends with ResetRules.
// "Load" keeps that reset out of the timing (PauseTiming): the viewer loads
// once and never frees, and the baseline allocates nothing. "Steps" times
// the reset too and reports it as its own counter.
//
// The heap is kept between iterations (see main), so every load takes its
// records from reused memory that calloc clears, as in steady state.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "graph/Levels.h"
#include "graph/Link.h"
#include "load/LoadRules.h"
#include "rules/Advance.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

namespace {

struct RulesFile {
  std::string label;
  std::string path;
  int minLevel;  // the MaxLevel range a correct load gives
  int maxLevel;
};

// The bare baseline: every line of the file through fgets, nothing kept.
void ReadLines(benchmark::State& state, const RulesFile& file) {
  char line[LINE_SIZE];
  size_t bytes = 0;
  for (auto _ : state) {
    FILE* f = fopen(file.path.c_str(), "r");
    if (f == nullptr) {
      state.SkipWithError("cannot open the rules file");
      return;
    }
    while (fgets(line, sizeof line, f) != nullptr) bytes += strlen(line);
    fclose(f);
    benchmark::DoNotOptimize(bytes);
  }
}

// The number of code lookups of one load: two per advance (linking) and
// one per unit type (parsing).
double Lookups() {
  long total = 0;
  for (Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next) total += 2;
  for (UnitType* u = &FirstUnitType; u->name[0] != '\0'; u = u->next) total++;
  return (double)total;
}

// The number of level passes AssignLevels made: the same passes run again
// from level 0 on the loaded links, then the levels are checked unchanged.
double LevelPasses() {
  std::vector<int32_t> levels;
  for (Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next) {
    levels.push_back(a->level);
    a->level = 0;
  }
  int passes = 0;
  bool changed = true;
  while (changed) {
    changed = false;
    passes++;
    for (Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next) {
      if (a->prereq1 == nullptr || a->prereq2 == nullptr) continue;
      int32_t higher =
          a->prereq1->level > a->prereq2->level ? a->prereq1->level : a->prereq2->level;
      if (higher + 1 > a->level) {
        a->level = higher + 1;
        changed = true;
      }
    }
  }
  size_t i = 0;
  for (Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next, i++) {
    if (a->level != levels[i]) return -1;
  }
  return passes;
}

// Loads the file once outside timing and checks that it gives the expected
// depth, so that no figure is taken from a file that failed to load.
bool CheckedLoad(benchmark::State& state, const RulesFile& file) {
  LoadRules(file.path.c_str());
  bool good = MaxLevel >= file.minLevel && MaxLevel <= file.maxLevel;
  if (!good) state.SkipWithError("the rules file does not give the expected MaxLevel");
  ResetRules();
  return good;
}

void Load(benchmark::State& state, const RulesFile& file) {
  if (!CheckedLoad(state, file)) return;
  for (auto _ : state) {
    LoadRules(file.path.c_str());
    state.PauseTiming();
    ResetRules();
    state.ResumeTiming();
  }
}

void Steps(benchmark::State& state, const RulesFile& file) {
  if (!CheckedLoad(state, file)) return;
  using Clock = std::chrono::steady_clock;
  enum { READ, PARSE_ADVANCES, PARSE_UNITS, LINK, LEVELS, RESET, STEP_COUNT };
  std::vector<double> seconds[STEP_COUNT];
  double advances = 0, units = 0, lines = 0, lookups = 0, passes = 0;
  bool first = true;
  for (auto _ : state) {
    // The steps of LoadRules, one by one.
    Clock::time_point t0 = Clock::now();
    FILE* f = OpenRulesFile(file.path.c_str());
    ReadSection(f, "@CIVILIZE\n", "@IMPROVE\n", &AdvanceLines);
    ReadSection(f, "@UNITS\n", "@TERRAIN\n", &UnitLines);
    fclose(f);
    Clock::time_point t1 = Clock::now();
    ParseAdvances();
    Clock::time_point t2 = Clock::now();
    ParseUnitTypes();
    Clock::time_point t3 = Clock::now();
    LinkPrerequisites();
    Clock::time_point t4 = Clock::now();
    AssignLevels();
    Clock::time_point t5 = Clock::now();
    if (first) {
      state.PauseTiming();
      for (Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next) advances++;
      for (UnitType* u = &FirstUnitType; u->name[0] != '\0'; u = u->next) units++;
      for (TextLine* l = &AdvanceLines; l->text[0] != '\0'; l = l->next) lines++;
      for (TextLine* l = &UnitLines; l->text[0] != '\0'; l = l->next) lines++;
      lookups = Lookups();
      passes = LevelPasses();
      first = false;
      state.ResumeTiming();
      t5 = Clock::now();
    }
    ResetRules();
    Clock::time_point t6 = Clock::now();
    Clock::time_point marks[STEP_COUNT + 1] = {t0, t1, t2, t3, t4, t5, t6};
    for (int s = 0; s < STEP_COUNT; s++) {
      seconds[s].push_back(std::chrono::duration<double>(marks[s + 1] - marks[s]).count());
    }
  }
  static const char* const kNames[] = {"read_us", "parseAdv_us", "parseUnits_us",
                                       "link_us", "levels_us",   "reset_us"};
  static_assert(std::size(kNames) == STEP_COUNT, "a name per step");
  // Medians: a step of a few microseconds that the scheduler interrupts
  // once would otherwise weigh on the mean of thousands of runs.
  for (int s = 0; s < STEP_COUNT; s++) {
    std::vector<double>& v = seconds[s];
    if (v.empty()) continue;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    state.counters[kNames[s]] = v[v.size() / 2] * 1e6;
  }
  state.counters["advances"] = advances;
  state.counters["units"] = units;
  state.counters["lines"] = lines;
  state.counters["lookups"] = lookups;
  state.counters["levelPasses"] = passes;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // Every iteration frees what the previous load allocated. Without this
  // the C library hands the freed heap back to the system once it passes
  // its trim threshold and takes it back (page faults) in the next load,
  // which times the allocator's trimming policy instead of the load.
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
  mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
#endif
  std::vector<RulesFile> files;
  files.push_back({"sample", LORVANE_SAMPLE_FILE, 12, 15});
  for (int count : {250, 500, 1000}) {
    for (const char* order : {"forward", "reverse"}) {
      std::string label = "stress-" + std::to_string(count) + "-" + order;
      files.push_back({label, std::string(LORVANE_STRESS_DIR) + "/" + label + ".txt", 99, 99});
    }
  }
  // Baseline and load of one file run one after the other, so that both
  // see the same machine load.
  for (const RulesFile& file : files) {
    benchmark::RegisterBenchmark(("ReadLines/" + file.label).c_str(), ReadLines, file)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Load/" + file.label).c_str(), Load, file)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Steps/" + file.label).c_str(), Steps, file)
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
