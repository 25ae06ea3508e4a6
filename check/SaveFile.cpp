// Writing an export file whole or not at all: a temporary file beside the
// target, renamed over it once complete.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "check/Export.h"

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

int ProcessNumber() {
#ifdef _WIN32
  return _getpid();
#else
  return (int)getpid();
#endif
}

// rename() on Windows fails when the target exists; MoveFileEx replaces it.
bool MoveOver(const char* from, const char* to) {
#ifdef _WIN32
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return true;
  errno = EACCES;
  return false;
#else
  return rename(from, to) == 0;
#endif
}

}  // namespace

bool SaveFile(const char* path, const std::string& text) {
  // Beside the target, so that the rename stays on one file system; the
  // process number keeps two checkers apart.
  std::string temporary = std::string(path) + "." + std::to_string(ProcessNumber()) + ".tmp";
  FILE* file = fopen(temporary.c_str(), "wb");
  bool saved = file != nullptr;
  if (saved) {
    saved = fwrite(text.data(), 1, text.size(), file) == text.size();
    saved = fclose(file) == 0 && saved;
    saved = saved && MoveOver(temporary.c_str(), path);
  }
  if (!saved) {
    fprintf(stderr, "lorvane-check: cannot write %s: %s\n", path, strerror(errno));
    if (file != nullptr) remove(temporary.c_str());
  }
  return saved;
}
