// Safe writing on Windows: files known by volume and file index, temporary
// files created with CREATE_NEW under a random name, the replaced file kept
// by a hard link (or a copy), MoveFileExA.
#define _CRT_RAND_S  // rand_s: temporary names no other program can guess
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>

#include "save/SavePlatform.h"

const char PathSeparators[] = "/\\:";

void RemoveTemporary(const char* path) { DeleteFileA(path); }

void PutBack(const char* kept, const char* target) {
  MoveFileExA(kept, target, MOVEFILE_REPLACE_EXISTING);
}

namespace {

// The system's own words for the last error, without the final full stop.
std::string Reason(DWORD error) {
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                        text[length - 1] == ' ' || text[length - 1] == '.')) {
    --length;
  }
  if (length == 0) return "error " + std::to_string(error);
  return std::string(text, length);
}

std::string LastReason() { return Reason(GetLastError()); }

bool HandleIdentity(HANDLE handle, Identity* identity) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  identity->known = true;
  identity->device = info.dwVolumeSerialNumber;
  identity->file = ((uint64_t)info.nFileIndexHigh << 32) | info.nFileIndexLow;
  return true;
}

// Opened without access, only to be identified (a folder too).
HANDLE OpenForIdentity(const char* path) {
  return CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

bool PathIdentity(const char* path, Identity* identity) {
  HANDLE handle = OpenForIdentity(path);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool known = HandleIdentity(handle, identity);
  CloseHandle(handle);
  return known;
}

// The name as the file system compares it: letters' case aside, trailing
// dots and blanks dropped.
std::string FoldName(std::string name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
  }
  return name;
}

bool NotFound() {
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND;
}

bool StreamIdentity(FILE* stream, Identity* identity) {
  return HandleIdentity((HANDLE)_get_osfhandle(_fileno(stream)), identity);
}

// A device (NUL, CON, a pipe) is written in place.
bool IsSpecial(const char* path) {
  HANDLE handle = OpenForIdentity(path);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool special = GetFileType(handle) != FILE_TYPE_DISK;
  CloseHandle(handle);
  return special;
}

namespace {

bool WriteHandle(HANDLE handle, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    DWORD chunk = (DWORD)(text.size() - done > 1u << 30 ? 1u << 30 : text.size() - done);
    DWORD written = 0;
    if (!WriteFile(handle, text.data() + done, chunk, &written, nullptr)) return false;
    done += written;
  }
  return true;
}

// The output's text made into the open file, which is closed if the maker
// throws.
bool WriteInto(HANDLE handle, const OutputFile& file, std::string* reason) {
  try {
    return WriteMade(file, [&](const std::string& piece) {
      if (WriteHandle(handle, piece)) return true;
      *reason = LastReason();
      return false;
    });
  } catch (...) {
    CloseHandle(handle);
    throw;
  }
}

}  // namespace

bool WriteInPlace(const char* path, const OutputFile& file, std::string* reason) {
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    *reason = LastReason();
    return false;
  }
  bool written = WriteInto(handle, file, reason);
  CloseHandle(handle);
  return written;
}

// A target the checker could not replace is refused before anything is
// written.
bool CheckTarget(Pending* pending, std::string* reason) {
  pending->target = pending->file->path;
  DWORD attributes = GetFileAttributesA(pending->target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      *reason = Reason(ERROR_ACCESS_DENIED);
      return false;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      *reason = Reason(ERROR_ACCESS_DENIED);
      return false;
    }
  }
  return true;
}

namespace {

// A name beside the target that no other program can guess.
std::string NameBeside(const std::string& target) {
  std::string folder, name;
  SplitPath(target, &folder, &name);
  if (folder == ".") folder = ".\\";
  unsigned int random = 0;
  rand_s(&random);
  char suffix[16];
  snprintf(suffix, sizeof suffix, ".lvc%08x", random);
  return folder + suffix;
}

}  // namespace

bool MakeTemporary(Pending* pending, int slot, std::string* reason) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = NameBeside(pending->target);
    HANDLE handle = CreateFileA(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      *reason = LastReason();
      return false;
    }
    pending->temporary = temporary;
    Register(slot, pending->temporary.c_str());
    bool written = WriteInto(handle, *pending->file, reason);
    if (!CloseHandle(handle) && written) {
      *reason = LastReason();
      written = false;
    }
    return written;
  }
  *reason = Reason(ERROR_FILE_EXISTS);
  return false;
}

bool MoveOver(const Pending& pending, std::string* reason) {
  if (MoveFileExA(pending.temporary.c_str(), pending.target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  *reason = LastReason();
  return false;
}

// The old target under a second name beside it (a hard link, else a
// copy) until every rename has succeeded; nothing for a new file.
bool KeepOld(Pending* pending, int slot, std::string* reason) {
  if (GetFileAttributesA(pending->target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (NotFound()) return true;
    *reason = LastReason();
    return false;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string kept = NameBeside(pending->target);
    if (CreateHardLinkA(kept.c_str(), pending->target.c_str(), nullptr) ||
        CopyFileA(pending->target.c_str(), kept.c_str(), TRUE)) {
      KeepAs(pending, slot, kept);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  *reason = LastReason();
  return false;
}

void StandardOutputBinary() { _setmode(_fileno(stdout), _O_BINARY); }

void CatchSignals(void (*handler)(int)) {
  signal(SIGINT, handler);
  signal(SIGTERM, handler);
}
