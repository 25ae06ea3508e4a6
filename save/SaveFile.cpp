// Writing the export files all or none, never over the rules file: each
// through a temporary file of its own beside its target, renamed over it
// once every file is complete.
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

// The temporary files that exist at this moment, for the signal handler.
enum { MAX_TEMPORARIES = 8 };
const char* volatile Temporaries[MAX_TEMPORARIES];

void RemoveTemporaries(int signalNumber) {
  for (int i = 0; i < MAX_TEMPORARIES; ++i) {
    const char* name = Temporaries[i];
    if (name != nullptr) RemoveTemporary(name);
  }
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace

void Register(int slot, const char* name) {
  if (slot < MAX_TEMPORARIES) Temporaries[slot] = name;
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

void RemoveAll(std::vector<Pending>* pending) {
  for (size_t i = 0; i < pending->size(); ++i) {
    Pending& p = (*pending)[i];
    if (p.temporary.empty()) continue;
    RemoveFile(p.temporary);
    Register((int)i, nullptr);
    p.temporary.clear();
  }
}

}  // namespace

bool CheckOutputPaths(FILE* rules, const char* rulesPath, const std::vector<OutputFile>& files) {
  Identity input = {false, 0, 0, ""};
  RulesIdentity(rules, &input);
  std::vector<Identity> seen;
  for (size_t i = 0; i < files.size(); ++i) {
    const OutputFile& file = files[i];
    Identity identity = {IsStandardOutput(file.path), 0, 0, "-"};
    if (!identity.known) identity = OutputIdentity(file.path);
    if (identity == input) {
      fprintf(stderr, "lorvane-check: %s %s is the rules file %s; nothing written\n", file.option,
              ShownArgument(file.path).c_str(), ShownArgument(rulesPath).c_str());
      return false;
    }
    for (size_t j = 0; j < i; ++j) {
      if (seen[j] == identity) {
        fprintf(stderr, "lorvane-check: %s %s and %s %s name the same file; nothing written\n",
                files[j].option, ShownArgument(files[j].path).c_str(), file.option,
                ShownArgument(file.path).c_str());
        return false;
      }
    }
    seen.push_back(identity);
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

  CatchSignals(RemoveTemporaries);
  bool saved = true;
  const char* failed = nullptr;
  // Every new file complete first, then the files written in place, then
  // the renames: up to the renames, a failure leaves every target as it was.
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
    saved = MoveOver(pending[i], &reason);
    if (!saved) {
      failed = files[i].path;
      break;
    }
    Register((int)i, nullptr);
    pending[i].temporary.clear();
  }
  RemoveAll(&pending);
  CatchSignals(SIG_DFL);
  if (!saved) CannotWrite(failed, reason);
  return saved;
}
