// The checker's text report of a loaded rules file.
#pragma once

// The text report; the warnings name the rules file by path.
void PrintTextReport(const char* path, bool withMetrics);
