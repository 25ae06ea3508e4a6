// What safe writing asks of the platform (SaveFile-posix.cpp,
// SaveFile-win32.cpp) and gives it back (SaveFile.cpp).
#pragma once
#include <stdint.h>
#include <stdio.h>

#include <functional>
#include <string>

#include "save/SaveFile.h"

// What a path names, to tell whether two paths name one file. A file that
// exists is known by its device and file number; a new one by its folder's
// and its own name.
struct Identity {
  bool known;
  uint64_t device;
  uint64_t file;
  std::string name;  // empty for a file that exists
  bool operator==(const Identity& other) const {
    return known && other.known && device == other.device && file == other.file &&
           name == other.name;
  }
};

// One output on its way: where it goes and the temporary file beside it.
struct Pending {
  const OutputFile* file;
  std::string target;     // the file replaced (a symbolic link's own file)
  std::string temporary;  // empty until made, and again once renamed or removed
  std::string kept;       // the old target's second name (or copy); empty for a new file
  bool inPlace;           // standard output or a file that is not regular
};

// The characters that end a path's folder part.
extern const char PathSeparators[];

// The folder part of a path ("." for none) and the last name in it.
void SplitPath(const std::string& path, std::string* folder, std::string* name);

// Makes the output's text, handing each piece to put, which writes it to
// the file and returns false (its reason kept) when it cannot: the pieces
// after a failure are not written. False after a failure.
bool WriteMade(const OutputFile& file, const std::function<bool(const std::string& piece)>& put);

// Records the temporary file of output slot (nullptr once gone), for the
// signal handler.
void Register(int slot, const char* name);
// Records the second name under which the platform keeps the file that
// output slot replaces, for putting it back.
void KeepAs(Pending* pending, int slot, const std::string& kept);

// The platform's side. A false return leaves its reason in *reason.
bool PathIdentity(const char* path, Identity* identity);
// The file an open stream reads or writes (the rules file, standard output).
bool StreamIdentity(FILE* stream, Identity* identity);
// True when the last failed identification found no file.
bool NotFound();
// A name as the file system compares names.
std::string FoldName(std::string name);
// A target that is not a regular file, written in place.
bool IsSpecial(const char* path);
bool WriteInPlace(const char* path, const OutputFile& file, std::string* reason);
// Sets the target (a link's own file) and refuses one that cannot be
// replaced.
bool CheckTarget(Pending* pending, std::string* reason);
// The temporary file beside the target, created exclusively, registered
// under slot and written whole.
bool MakeTemporary(Pending* pending, int slot, std::string* reason);
// Keeps the existing target under a second name beside it (KeepAs), until
// every rename has succeeded; nothing for a new file.
bool KeepOld(Pending* pending, int slot, std::string* reason);
bool MoveOver(const Pending& pending, std::string* reason);
// Removes a file; renames a kept file back over its target. Both from a
// signal handler too.
void RemoveTemporary(const char* path);
void PutBack(const char* kept, const char* target);
void StandardOutputBinary();
// The handler for the signals that end the program (SIG_DFL to restore).
void CatchSignals(void (*handler)(int));
