// The texts drawn in an advance's box, built in TextBuffer.
#pragma once

struct Advance;
struct UnitType;

// The sizes of the name tables; other values show a made-up name.
enum { EPOCH_COUNT = 4, CATEGORY_COUNT = 5 };

const char* EpochName(unsigned epoch);        // a safe text for any value
const char* CategoryName(unsigned category);  // a safe text for any value

void FormatDetailLine(const Advance* advance);  // "%s %s (%d, %d)"
void FormatUnitCost(const UnitType* unit);      // " %dc"
void FormatFiguresLine(const UnitType* unit);   // " %da %dd %d(%d)m %dh %df %s%s"
