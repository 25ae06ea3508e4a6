// Writing the export files all or none, never over the rules file: each
// through a temporary file of its own beside its target, renamed over it
// once every file is complete, the replaced files kept until every rename
// has succeeded.
#include "save/SaveFile.h"

#include <errno.h>
#include <signal.h>
#include <string.h>

#include <string>
#include <vector>

#include "console/ConsoleText.h"
#include "save/SavePlatform.h"

void SplitPath(const std::string& path, std::string* folder, std::string* name) {
  size_t slash = path.find_last_of(PathSeparators);
  if (slash == std::string::npos) {
    *folder = ".";
    *name = path;
    return;
  }
  *folder = path.substr(0, slash + 1);
  *name = path.substr(slash + 1);
}

namespace {

// What a signal must undo, per output: its temporary file, the old file
// kept under a second name until every rename has succeeded, and whether
// the rename over its target has begun.
enum { MAX_TEMPORARIES = 8 };
struct Undo {
  const char* volatile temporary;
  const char* volatile kept;
  const char* volatile target;
  volatile sig_atomic_t replacing;
};
Undo Undos[MAX_TEMPORARIES];
volatile sig_atomic_t AllReplaced;  // every rename done: nothing is put back

// Puts back each target whose rename has begun (its kept old file, or no
// file where there was none), unless every rename has succeeded; then
// removes the temporary and kept files left. Safe in a signal handler.
void UndoAll() {
  for (Undo& undo : Undos) {
    const char* kept = undo.kept;
    if (undo.replacing && !AllReplaced && undo.target != nullptr) {
      if (kept != nullptr) PutBack(kept, undo.target);
      if (kept == nullptr) RemoveTemporary(undo.target);
    }
    if (kept != nullptr) RemoveTemporary(kept);
    if (undo.temporary != nullptr) RemoveTemporary(undo.temporary);
  }
}

void PutBackAndStop(int signalNumber) {
  UndoAll();
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace

void Register(int slot, const char* name) {
  if (slot < MAX_TEMPORARIES) Undos[slot].temporary = name;
}

void KeepAs(Pending* pending, int slot, const std::string& kept) {
  pending->kept = kept;
  if (slot >= MAX_TEMPORARIES) return;
  Undos[slot].target = pending->target.c_str();
  Undos[slot].kept = pending->kept.c_str();
}

namespace {

// The identity of an output: the file it names, or its folder and name.
Identity OutputIdentity(const char* path) {
  Identity identity = {false, 0, 0, ""};
  if (PathIdentity(path, &identity) || !NotFound()) return identity;
  std::string folder, name;
  SplitPath(path, &folder, &name);
  if (PathIdentity(folder.c_str(), &identity)) identity.name = FoldName(name);
  return identity;
}

bool IsStandardOutput(const char* path) { return strcmp(path, "-") == 0; }

void CannotWrite(const char* path, const std::string& reason) {
  if (IsStandardOutput(path)) {
    fprintf(stderr, "lorvane-check: cannot write the standard output: %s\n", reason.c_str());
  } else {
    fprintf(stderr, "lorvane-check: cannot write %s: %s\n", ShownArgument(path).c_str(),
            reason.c_str());
  }
}

}  // namespace

bool CheckOutputPaths(FILE* rules, const char* rulesPath, const std::vector<OutputFile>& files,
                      bool report) {
  Identity input = {false, 0, 0, ""};
  StreamIdentity(rules, &input);
  // The report first, as the file standard output is open on; then each
  // file. "-" is that file too (a file, a pipe, a terminal), however it was
  // opened; a stream without one is "-" alone.
  std::vector<Identity> seen;
  std::vector<std::string> names;
  for (size_t i = 0; i <= files.size(); ++i) {
    if (i == 0 && !report) continue;
    const char* path = i == 0 ? "-" : files[i - 1].path;
    std::string name = i == 0 ? std::string("standard output")
                              : std::string(files[i - 1].option) + " " + ShownArgument(path);
    Identity identity = {false, 0, 0, ""};
    if (!IsStandardOutput(path)) {
      identity = OutputIdentity(path);
    } else if (!StreamIdentity(stdout, &identity)) {
      identity = {true, 0, 0, "-"};
    }
    if (identity == input) {
      fprintf(stderr, "lorvane-check: %s is the rules file %s; nothing written\n", name.c_str(),
              ShownArgument(rulesPath).c_str());
      return false;
    }
    for (size_t j = 0; j < seen.size(); ++j) {
      if (seen[j] == identity) {
        fprintf(stderr, "lorvane-check: %s and %s name the same file; nothing written\n",
                names[j].c_str(), name.c_str());
        return false;
      }
    }
    seen.push_back(identity);
    names.push_back(name);
  }
  return true;
}

bool SaveFiles(const std::vector<OutputFile>& files) {
  std::vector<Pending> pending(files.size());
  std::string reason;
  for (size_t i = 0; i < files.size(); ++i) {
    pending[i].file = &files[i];
    pending[i].inPlace = IsStandardOutput(files[i].path) || IsSpecial(files[i].path);
    if (pending[i].inPlace) continue;
    if (!CheckTarget(&pending[i], &reason)) {
      CannotWrite(files[i].path, reason);
      return false;
    }
  }

  AllReplaced = 0;
  CatchSignals(PutBackAndStop);
  bool saved = true;
  const char* failed = nullptr;
  // Every new file complete first, then the files written in place, then
  // every old file kept under a second name: up to the renames, a failure
  // leaves every target as it was; after the first, every replaced target
  // is put back.
  for (size_t i = 0; saved && i < pending.size(); ++i) {
    if (pending[i].inPlace) continue;
    saved = MakeTemporary(&pending[i], (int)i, &reason);
    if (!saved) failed = files[i].path;
  }
  for (size_t i = 0; saved && i < pending.size(); ++i) {
    if (!pending[i].inPlace) continue;
    if (IsStandardOutput(files[i].path)) {
      StandardOutputBinary();
      const std::string& text = files[i].text;
      saved = fwrite(text.data(), 1, text.size(), stdout) == text.size() && fflush(stdout) == 0;
      if (!saved) reason = strerror(errno);
    } else {
      saved = WriteInPlace(files[i].path, files[i].text, &reason);
    }
    if (!saved) failed = files[i].path;
  }
  for (size_t i = 0; saved && i < pending.size(); ++i) {
    if (pending[i].inPlace) continue;
    saved = KeepOld(&pending[i], (int)i, &reason);
    if (!saved) failed = files[i].path;
  }
  for (size_t i = 0; saved && i < pending.size(); ++i) {
    if (pending[i].inPlace) continue;
    Undo* undo = i < MAX_TEMPORARIES ? &Undos[i] : nullptr;
    if (undo != nullptr) {
      undo->target = pending[i].target.c_str();
      undo->replacing = 1;
    }
    saved = MoveOver(pending[i], &reason);
    if (!saved) {
      if (undo != nullptr) undo->replacing = 0;
      failed = files[i].path;
      break;
    }
    Register((int)i, nullptr);
  }
  if (saved) AllReplaced = 1;
  UndoAll();
  for (Undo& undo : Undos) {
    undo.replacing = 0;
    undo.temporary = undo.kept = undo.target = nullptr;
  }
  CatchSignals(SIG_DFL);
  if (!saved) CannotWrite(failed, reason);
  return saved;
}
