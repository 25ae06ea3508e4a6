// Writing the export files all or none, never over the rules file.
#pragma once
#include <stdio.h>

#include <functional>
#include <string>
#include <vector>

// One export to write: the option that asked for it, the path given ("-"
// for standard output), what makes its text and, once made, the text.
struct OutputFile {
  const char* option;
  const char* path;
  std::function<void(std::string* text)> make;
  std::string text;
};

// Where the outputs are checked against each other and the rules file,
// before anything is written: an output that is the rules file (the same
// file however named or linked, "-" and a report by the file standard
// output is open on) or that another output names too is refused, with a
// message naming both. rules is the open rules file; report says that a
// report goes to standard output besides the files. False after the message.
bool CheckOutputPaths(FILE* rules, const char* rulesPath, const std::vector<OutputFile>& files,
                      bool report);

// Writes every file, or replaces none: "-" goes to standard output; an
// existing target that is not a regular file (a device, a FIFO) is written
// in place; any other is written to a new temporary file beside the file
// it names (through a symbolic link), which takes the permissions (and
// owner) of the file it replaces and is renamed over it once every file is
// written. A file no one may write is refused first. A failure, SIGINT or
// SIGTERM removes the temporary files, leaving every target as it was.
// False after a message on standard error.
bool SaveFiles(const std::vector<OutputFile>& files);
