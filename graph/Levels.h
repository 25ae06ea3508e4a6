// Ranks every advance by its longest prerequisite chain.
#pragma once
#include <stdint.h>

enum { MAX_LEVELS = 100 };

extern int32_t MaxLevel;
extern int32_t LevelCount[MAX_LEVELS];
extern int32_t MaxLevelCount;
extern int32_t LevelMaxUnits[MAX_LEVELS];

void AssignLevels();
void ResetLevels();  // every statistic back to 0
