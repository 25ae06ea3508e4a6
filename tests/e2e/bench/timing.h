// Timing for the benchmarks under Wine: a clock and the median of runs.
#pragma once
#include <vector>

// Milliseconds from the performance counter.
double Now();

// The median of the values (the mean of the middle two for an even count).
double Median(std::vector<double> values);
