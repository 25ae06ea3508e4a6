// Ranks every advance by its longest prerequisite chain.
#pragma once
#include <stdint.h>

enum { MAX_LEVELS = 100 };

extern int32_t MaxLevel;
extern int32_t LevelCount[MAX_LEVELS];
extern int32_t MaxLevelCount;
extern int32_t LevelMaxUnits[MAX_LEVELS];

struct Advance;

// The advance on the prerequisite cycle that the last load was refused for
// (the one its message names), for a caller that spells the loop out; null
// when no cycle was refused. The refusal also sets FatalLine to its line.
extern Advance* RefusedCycle;

void AssignLevels();
void ResetLevels();  // every statistic back to 0, RefusedCycle to null
