// What start-up decides before the load: the rules file's path.
#pragma once

enum { RULES_PATH_SIZE = 256 };

// The path of the rules file: at most 255 characters and the terminating
// zero.
extern char RulesPath[RULES_PATH_SIZE];

// Takes the command-line tail as the path: a tail that is one path in double
// quotes (it begins with a quote and its only other quote is its last
// character) loses those two quotes; any other tail is taken whole, quotes
// and trailing blanks included; an empty tail gives the default path. A path
// that does not fit RulesPath ends the program rather than opening a
// different, cut path.
void ChooseRulesPath(const char* tail);
