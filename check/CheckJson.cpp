// The JSON report: the same content as the text report, keyed by the
// records' own field names and the statistics' own names.
#include <stdio.h>

#include "chart/ChartText.h"
#include "chart/Metrics.h"
#include "chart/UnitText.h"
#include "check/Check.h"
#include "graph/Levels.h"
#include "rules/Advance.h"
#include "rules/Fatal.h"
#include "rules/UnitType.h"

namespace {

// Rules files are single-byte text of no fixed code page. Bytes of 128 and
// above are written as their Latin-1 code points and control bytes as
// escapes, so the output is always valid UTF-8 and valid JSON.
void PrintString(const char* text) {
  putchar('"');
  for (const unsigned char* p = (const unsigned char*)text; *p != 0; ++p) {
    unsigned char c = *p;
    if (c == '"' || c == '\\') {
      putchar('\\');
      putchar(c);
    } else if (c < 0x20 || c >= 0x80) {
      printf("\\u%04x", (unsigned)c);
    } else {
      putchar(c);
    }
  }
  putchar('"');
}

void PrintKey(const char* key) {
  PrintString(key);
  fputs(": ", stdout);
}

void PrintStringMember(const char* key, const char* value) {
  PrintKey(key);
  PrintString(value);
  fputs(", ", stdout);
}

void PrintIntMember(const char* key, long value) { printf("\"%s\": %ld, ", key, value); }

void PrintIndex(int index) {
  if (index < 0) {
    fputs("null", stdout);
  } else {
    printf("%d", index);
  }
}

void PrintLevelList(const char* key, const int32_t* values) {
  printf("\"%s\": [", key);
  for (int level = 0; level <= MaxLevel && level < MAX_LEVELS; ++level) {
    printf("%s%ld", level > 0 ? ", " : "", (long)values[level]);
  }
  fputs("]", stdout);
}

void PrintAdvance(const Advance* advance) {
  fputs("{", stdout);
  PrintStringMember("name", advance->name);
  PrintStringMember("code", advance->code);
  PrintIntMember("aiValue", advance->aiValue);
  PrintIntMember("modifier", advance->modifier);
  PrintStringMember("prereqCode1", advance->prereqCode1);
  PrintStringMember("prereqCode2", advance->prereqCode2);
  PrintIntMember("epoch", advance->epoch);
  PrintIntMember("category", advance->category);
  PrintIntMember("level", advance->level);
  PrintIntMember("childCount", advance->childCount);
  fputs("\"prereq1\": ", stdout);
  PrintIndex(AdvanceIndex(advance->prereq1));
  fputs(", \"prereq2\": ", stdout);
  PrintIndex(AdvanceIndex(advance->prereq2));
  fputs(", \"children\": [", stdout);
  for (int i = 0; i < advance->childCount && i < MAX_DEPENDANTS; ++i) {
    if (i > 0) fputs(", ", stdout);
    PrintIndex(AdvanceIndex(advance->children[i]));
  }
  fputs("], \"units\": [", stdout);
  int units = AdvanceUnitCount(advance);
  for (int k = 0; k < units; ++k) {
    if (k > 0) fputs(", ", stdout);
    PrintIndex(UnitIndex(advance->units[k]));
  }
  fputs("]}", stdout);
}

void PrintUnit(const UnitType* unit) {
  fputs("{", stdout);
  PrintStringMember("name", unit->name);
  PrintStringMember("obsoleteCode", unit->obsoleteCode);
  PrintIntMember("domain", unit->domain);
  PrintIntMember("move", unit->move);
  PrintIntMember("range", unit->range);
  PrintIntMember("attack", unit->attack);
  PrintIntMember("defense", unit->defense);
  PrintIntMember("hitPoints", unit->hitPoints);
  PrintIntMember("firepower", unit->firepower);
  PrintIntMember("cost", unit->cost);
  PrintIntMember("hold", unit->hold);
  PrintIntMember("role", unit->role);
  PrintStringMember("prereqCode", unit->prereqCode);
  PrintIntMember("flags", unit->flags);
  fputs("\"prereq\": ", stdout);
  PrintIndex(AdvanceIndex(unit->prereq));
  fputs(", ", stdout);
  FormatUnitCost(unit);
  PrintStringMember("costText", TextBuffer);
  PrintStringMember("roleText", UnitRoleText(unit));
  PrintStringMember("flagsText", UnitFlagsText(unit->flags));
  FormatFiguresLine(unit);
  PrintKey("figuresLine");
  PrintString(TextBuffer);
  fputs("}", stdout);
}

int PrintedWarnings;

void PrintWarning(const char* text) {
  fputs(PrintedWarnings++ > 0 ? ",\n" : "\n", stdout);
  PrintString(text);
}

}  // namespace

void PrintJsonReport(bool withMetrics) {
  fputs("{\"advances\": [", stdout);
  const char* separator = "\n";
  for (const Advance* a = &RootAdvance; a != NULL && a->name[0] != 0; a = a->next) {
    fputs(separator, stdout);
    PrintAdvance(a);
    separator = ",\n";
  }

  fputs("],\n\"units\": [", stdout);
  separator = "\n";
  int count = UnitCount();
  const UnitType* unit = &FirstUnitType;
  for (int i = 0; i < count && unit != NULL; ++i, unit = unit->next) {
    fputs(separator, stdout);
    PrintUnit(unit);
    separator = ",\n";
  }

  printf("],\n\"MaxLevel\": %ld,\n", (long)MaxLevel);
  PrintLevelList("LevelCount", LevelCount);
  printf(",\n\"MaxLevelCount\": %ld,\n", (long)MaxLevelCount);
  PrintLevelList("LevelMaxUnits", LevelMaxUnits);
  fputs(",\n", stdout);

  if (withMetrics) {
    fputs("\"metrics\": {", stdout);
    PrintIntMember("CharWidth", CharWidth);
    PrintIntMember("BoxWidth", BoxWidth);
    PrintIntMember("ColumnGap", ColumnGap);
    PrintIntMember("LineHeight", LineHeight);
    PrintIntMember("RowGap", RowGap);
    PrintLevelList("LevelHeight", LevelHeight);
    printf(", \"ChartWidth\": %ld, \"ChartHeight\": %ld, \"ChartLines\": %ld},\n", (long)ChartWidth,
           (long)ChartHeight, (long)ChartLines);
  }

  fputs("\"warnings\": [", stdout);
  PrintedWarnings = 0;
  ForEachWarning(PrintWarning);
  fputs(PrintedWarnings > 0 ? "\n]}\n" : "]}\n", stdout);
}
