// Zero-filled record allocation. Records live until the process ends.
#pragma once
#include <stddef.h>

// Returns a zero-filled block; ends the load with a fatal message when
// memory runs out.
void* AllocRecord(size_t size);

// Frees every record allocated so far and lifts the AllocFailAfter limit.
// Only programs that load many files in one process call it.
void FreeRecords();

// Test hook: the number of further allocations that succeed; below 0 means
// no limit.
extern long AllocFailAfter;
