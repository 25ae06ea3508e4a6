// libFuzzer target: the fuzzer's bytes are a rules file. The whole load
// runs on them, then the chart metrics (a font chosen by the bytes), every
// text of the chart and the chart's SVG and HTML exports. A fatal message is a normal end; anything
// that survives the load must form a sound ranked graph and well-formed
// exports, or the target aborts.
#include <libxml/parser.h>
#include <libxml/xmlstring.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "chart/ChartSvg.h"
#include "chart/ChartText.h"
#include "chart/Metrics.h"
#include "chart/UnitTable.h"
#include "chart/UnitText.h"
#include "diff/DiffCompare.h"
#include "diff/DiffJson.h"
#include "diff/DiffMarks.h"
#include "diff/DiffText.h"
#include "graph/Levels.h"
#include "load/LoadRules.h"
#include "page/ChartPage.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "rules/Lists.h"
#include "rules/Reader.h"
#include "rules/UnitType.h"

namespace {

struct FatalError {
  int code;
};

// The chart font's metrics, chosen by the input among the viewer's own
// (11, 13, 0), small ones and the checker's extremes (10000 each), so that
// the chart arithmetic is tried at its limits too.
FontMetrics ChooseMetrics(const uint8_t* data, size_t size) {
  uint32_t hash = (uint32_t)size;
  for (size_t i = 0; i < size; i++) hash = hash * 31u + data[i];
  const int32_t widths[8] = {11, 11, 1, 2, 13, 9999, 10000, 1 + (int32_t)(hash % 10000)};
  const int32_t heights[8] = {13, 13, 1, 2, 16, 9999, 10000, 1 + (int32_t)(hash / 7 % 10000)};
  const int32_t leadings[4] = {0, 0, 3, 10000};
  return {widths[hash % 8], heights[hash / 8 % 8], leadings[hash / 64 % 4]};
}

[[noreturn]] void Violation(const char* what, const char* name) {
  fprintf(stderr, "invariant violated: %s (advance \"%.20s\")\n", what, name);
  abort();
}

void Require(bool holds, const char* what, const char* name = "") {
  if (!holds) Violation(what, name);
}

bool Terminated(const char* field, size_t size) { return memchr(field, '\0', size) != nullptr; }

// The units hung under the advance, with no gap after the last.
int UnitsWithoutGap(const Advance* advance) {
  int count = AdvanceUnitCount(advance);
  for (int i = count; i < MAX_UNITS; i++) {
    Require(advance->units[i] == nullptr, "units list has a gap", advance->name);
  }
  return count;
}

// The lookup by a walk of the list, as the linking is defined: "nil" is
// the root, otherwise the first advance that carries the code.
const Advance* WalkFind(const char* code) {
  if (strcmp(code, "nil") == 0) return &RootAdvance;
  for (const Advance* a = &FirstAdvance; a->name[0] != '\0'; a = a->next) {
    if (strcmp(a->code, code) == 0) return a;
  }
  return nullptr;
}

bool InChildren(const Advance* prereq, const Advance* dependant) {
  for (int i = 0; i < prereq->childCount; i++) {
    if (prereq->children[i] == dependant) return true;
  }
  return false;
}

void CheckLines(const TextLine* head) {
  const TextLine* line = head;
  for (; line->text[0] != '\0'; line = line->next) {
    Require(Terminated(line->text, LINE_SIZE), "line text not terminated");
    Require(line->next != nullptr, "line list breaks off");
  }
  Require(line->next == nullptr, "list end node has a successor");
}

void CheckAdvance(const Advance* a, int32_t levelCount[], int32_t levelMaxUnits[]) {
  Require(Terminated(a->name, NAME_SIZE), "name not terminated", "?");
  Require(Terminated(a->code, CODE_SIZE), "code not terminated", a->name);
  Require(Terminated(a->prereqCode1, CODE_SIZE), "prereqCode1 not terminated", a->name);
  Require(Terminated(a->prereqCode2, CODE_SIZE), "prereqCode2 not terminated", a->name);
  Require(a->level >= 0 && a->level < MAX_LEVELS, "level outside 0..99", a->name);

  // The level is the longest prerequisite chain, or 0 with a missing link.
  if (a != &RootAdvance) {
    Require(a->prereq1 == WalkFind(a->prereqCode1), "prereq1 is not what its code names", a->name);
    Require(a->prereq2 == WalkFind(a->prereqCode2), "prereq2 is not what its code names", a->name);
    if (a->prereq1 == nullptr || a->prereq2 == nullptr) {
      Require(a->level == 0, "advance with a missing link above level 0", a->name);
    } else {
      int32_t higher =
          a->prereq1->level > a->prereq2->level ? a->prereq1->level : a->prereq2->level;
      Require(a->level == higher + 1, "level is not one above the higher prerequisite", a->name);
      Require(InChildren(a->prereq1, a), "missing from prereq1's children", a->name);
      Require(InChildren(a->prereq2, a), "missing from prereq2's children", a->name);
    }
  }

  // Every dependant once, each naming this advance, no gaps.
  Require(a->childCount >= 0 && a->childCount <= MAX_DEPENDANTS, "childCount outside 0..100",
          a->name);
  for (int i = 0; i < MAX_DEPENDANTS; i++) {
    const Advance* child = a->children[i];
    if (i >= a->childCount) {
      Require(child == nullptr, "children beyond childCount", a->name);
      continue;
    }
    Require(child != nullptr, "children shorter than childCount", a->name);
    Require(child->prereq1 == a || child->prereq2 == a, "dependant does not name it", a->name);
    for (int j = 0; j < i; j++) {
      Require(a->children[j] != child, "dependant listed twice", a->name);
    }
  }

  int units = UnitsWithoutGap(a);
  for (int i = 0; i < units; i++) {
    Require(a->units[i]->prereq == a, "unit hangs under an advance it does not name", a->name);
  }
  levelCount[a->level]++;
  if (units > levelMaxUnits[a->level]) levelMaxUnits[a->level] = units;
}

void CheckGraph() {
  Require(strcmp(RootAdvance.name, "Primary Root") == 0, "root renamed");
  Require(RootAdvance.level == 0, "root off level 0");
  Require(RootAdvance.prereq1 == nullptr && RootAdvance.prereq2 == nullptr, "root has links");
  Require(RootAdvance.next == &FirstAdvance, "root not in front of the list");
  CheckLines(&AdvanceLines);
  CheckLines(&UnitLines);

  int32_t levelCount[MAX_LEVELS] = {};
  int32_t levelMaxUnits[MAX_LEVELS] = {};
  int32_t records = 0;
  int32_t maxLevel = 0;
  for (const Advance* a = &RootAdvance; a->name[0] != '\0'; a = a->next) {
    CheckAdvance(a, levelCount, levelMaxUnits);
    if (a->level > maxLevel) maxLevel = a->level;
    records++;
  }

  int32_t sum = 0;
  int32_t maxCount = 0;
  for (int level = 0; level < MAX_LEVELS; level++) {
    Require(LevelCount[level] == levelCount[level], "LevelCount differs from the records");
    Require(LevelMaxUnits[level] == levelMaxUnits[level], "LevelMaxUnits differs from the records");
    sum += LevelCount[level];
    if (LevelCount[level] > maxCount) maxCount = LevelCount[level];
  }
  Require(sum == records, "LevelCount does not sum to the advances and the root");
  Require(MaxLevelCount == maxCount, "MaxLevelCount is not the fullest level");
  Require(MaxLevel == maxLevel, "MaxLevel is not the highest level");

  for (const UnitType* u = &FirstUnitType; u->next != nullptr; u = u->next) {
    Require(Terminated(u->name, NAME_SIZE), "unit name not terminated");
    Require(Terminated(u->obsoleteCode, CODE_SIZE), "unit obsoleteCode not terminated", u->name);
    Require(Terminated(u->prereqCode, CODE_SIZE), "unit prereqCode not terminated", u->name);
    Require(u->prereq == WalkFind(u->prereqCode), "unit prereq is not what its code names",
            u->name);
    if (u->prereq != nullptr) {
      bool listed = false;
      for (int i = 0; i < MAX_UNITS && u->prereq->units[i] != nullptr; i++) {
        if (u->prereq->units[i] == u) listed = true;
      }
      Require(listed, "unit missing from its advance's units", u->name);
    }
  }
}

void CheckMetrics() {
  Require(ChartWidth == ((int64_t)BoxWidth + ColumnGap) * MaxLevelCount, "ChartWidth");
  int64_t height = 0;
  for (int level = 0; level <= MaxLevel; level++) {
    int64_t lines = LevelMaxUnits[level] == 0 ? 2 : 2 * LevelMaxUnits[level] + 3;
    Require(LevelHeight[level] == lines * LineHeight, "LevelHeight");
    height += LevelHeight[level] + RowGap;
  }
  Require(ChartHeight == height, "ChartHeight");
  Require(ChartLines == ChartHeight / LineHeight, "ChartLines");
}

// Every text the chart would draw, each checked to end inside its buffer.
void FormatTexts() {
  // Every record, also those after an advance or unit whose name is empty
  // (which ends the walks of the graph but is still in the list).
  FormatDetailLine(&RootAdvance);
  for (const Advance* a = &FirstAdvance; a != nullptr; a = a->next) {
    FormatDetailLine(a);
    Require(Terminated(TextBuffer, TEXT_BUFFER_SIZE), "detail line overflows", a->name);
  }
  for (const UnitType* u = &FirstUnitType; u->next != nullptr; u = u->next) {
    FormatUnitCost(u);
    Require(Terminated(TextBuffer, TEXT_BUFFER_SIZE), "cost text overflows", u->name);
    FormatFiguresLine(u);
    Require(Terminated(TextBuffer, TEXT_BUFFER_SIZE), "figures line overflows", u->name);
    Require(strlen(UnitRoleText(u)) <= 4, "role text longer than 4", u->name);
    Require(strlen(UnitFlagsText(u->flags)) <= 16, "flags text longer than 16", u->name);
  }
}

// UTF-8 throughout, and no zero byte (which XML does not allow either).
bool ValidUtf8(const std::string& text) {
  return text.find('\0') == std::string::npos &&
         xmlCheckUTF8((const unsigned char*)text.c_str()) != 0;
}

// The SVG document must parse as XML, namespaces included: libxml2 with no
// network and no entity expansion. The page must hold the same <svg>
// element unchanged; the rest of it is the program's own text.
void CheckExports() {
  std::string svg;
  MakeSvgDocument(&svg);
  Require(ValidUtf8(svg), "SVG is not UTF-8");
  // A push parser with a SAX handler that does nothing: well-formedness
  // and namespaces are checked, no tree is built, no message is printed.
  xmlSAXHandler quiet;
  memset(&quiet, 0, sizeof quiet);
  quiet.initialized = XML_SAX2_MAGIC;
  xmlParserCtxtPtr parser = xmlCreatePushParserCtxt(&quiet, nullptr, nullptr, 0, "chart.svg");
  Require(parser != nullptr, "no XML parser");
  xmlCtxtUseOptions(parser, XML_PARSE_NONET);
  int failed = xmlParseChunk(parser, svg.data(), (int)svg.size(), 1);
  bool wellFormed = failed == 0 && parser->wellFormed && parser->nsWellFormed;
  xmlFreeParserCtxt(parser);
  Require(wellFormed, "SVG is not well-formed XML");
  std::string page;
  // Title and warning texts are escaped like the rules' own; so are the
  // units table's names.
  PageContent content = {"<&\"'>", 0, 0, 0, {{"a <b> & \"c\"", 1}, {"'", -1}}};
  for (const UnitType* u = &FirstUnitType; u != nullptr && u->name[0] != 0; u = u->next) {
    content.unitRows.emplace_back();
    MakeUnitRow(u, &content.unitRows.back());
  }
  MakeHtmlPage(content, &page);
  Require(ValidUtf8(page), "page is not UTF-8");
  Require(page.find(svg.substr(svg.find("<svg "))) != std::string::npos,
          "page does not hold the SVG element");
}

// The file each loading input is compared with: links, a unit, a level 2.
const char DiffBase[] =
    "@CIVILIZE\nStone Tools, 1, 0, nil, nil, 0, 0 ; Sto\nFire Keeping, 2, 1, nil, nil, 0, 2 ; Fir\n"
    "Bronze Casting, 6, 1, Sto, Fir, 1, 4 ; Brz\n@IMPROVE\n@UNITS\n"
    "Militia, nil, 0, 1, 0, 1, 1, 10, 1, 1, 0, 1, Sto, 000000000000000\n@TERRAIN\n";

// The loaded input against the fixed file both ways and against itself:
// reports in both forms, and no change from a file to itself.
void CheckDiff() {
  RulesCopy input;
  CopyLoadedRules("input", &input);
  ResetRules();
  FILE* base = fmemopen(const_cast<char*>(DiffBase), sizeof DiffBase - 1, "rb");
  Require(base != nullptr, "cannot open the fixed file");
  LoadRulesFile(base);
  fclose(base);
  SetChartMetrics(DefaultFontMetrics);
  RulesCopy fixed;
  CopyLoadedRules("fixed", &fixed);
  RulesDiff diff;
  DiffContext context;
  context.oldName = "old";
  context.newName = "new";
  CompareRules(input, input, &diff);
  TextOut same;
  DiffText(input, input, diff, context, &same);
  Require(diff.changes.empty() && same.text == "No differences\n", "a file differs from itself");
  for (bool forward : {true, false}) {
    const RulesCopy& before = forward ? fixed : input;
    const RulesCopy& after = forward ? input : fixed;
    CompareRules(before, after, &diff);
    TextOut text;
    DiffText(before, after, diff, context, &text);
    TextOut json;
    DiffJson(before, after, diff, context, &json);
    Require(!text.text.empty() && !json.text.empty() && ValidUtf8(json.text),
            "diff report not written");
    for (size_t k = 0; k < diff.changes.size(); ++k) ChangeLine(before, after, diff, k);
  }
  // The fixed file is the one loaded: its page, marked with what the input
  // would change, the input's names in the list.
  ChartMarks marks = DiffMarks(input, fixed, diff);
  PageContent content = {"fixed", 3, 2, 1, {}};
  content.marks = &marks;
  std::string page;
  MakeHtmlPage(content, &page);
  Require(ValidUtf8(page) && page.find("<ul id=\"changes\">") != std::string::npos,
          "marked page not written");
}

FILE* OpenBytes(const uint8_t* data, size_t size) {
  // fmemopen refuses an empty buffer on some C libraries.
  if (size == 0) return fopen("/dev/null", "rb");
  return fmemopen(const_cast<uint8_t*>(data), size, "rb");
}

}  // namespace

// Tests and the fuzzer end a fatal load by unwinding back to the caller.
void FatalStop(int exitCode) { throw FatalError{exitCode}; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = OpenBytes(data, size);
  if (file == nullptr) return 0;
  try {
    LoadRulesFile(file);
    CheckGraph();
    SetChartMetrics(ChooseMetrics(data, size));
    CheckMetrics();
    FormatTexts();
    CheckExports();
    CheckDiff();
  } catch (const FatalError& error) {
    // Loads are refused with exit code 1 and a message that fits.
    Require(error.code == 1, "fatal exit code is not 1");
    Require(Terminated(TextBuffer, TEXT_BUFFER_SIZE) && TextBuffer[0] != '\0',
            "fatal message empty or unterminated");
  }
  fclose(file);
  ResetRules();
  return 0;
}
