// Writing the export files all or none, never over the rules file: each
// through a temporary file of its own beside its target, renamed over it
// once every file is complete.
#ifdef _WIN32
#define _CRT_RAND_S  // rand_s: temporary names no other program can guess
#endif
#include <errno.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "check/ConsoleText.h"
#include "check/Export.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

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

// The folder part of a path ("." for none) and the last name in it.
void SplitPath(const std::string& path, std::string* folder, std::string* name) {
#ifdef _WIN32
  size_t slash = path.find_last_of("/\\:");
#else
  size_t slash = path.find_last_of('/');
#endif
  if (slash == std::string::npos) {
    *folder = ".";
    *name = path;
    return;
  }
  *folder = path.substr(0, slash + 1);
  *name = path.substr(slash + 1);
}

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

void DeleteName(const char* name) {
#ifdef _WIN32
  DeleteFileA(name);
#else
  unlink(name);
#endif
}

// Puts back each target whose rename has begun (its kept old file, or no
// file where there was none), unless every rename has succeeded; then
// removes the temporary and kept files left. Safe in a signal handler.
void UndoAll() {
  for (Undo& undo : Undos) {
    const char* kept = undo.kept;
    if (undo.replacing && !AllReplaced && undo.target != nullptr) {
#ifdef _WIN32
      if (kept != nullptr) MoveFileExA(kept, undo.target, MOVEFILE_REPLACE_EXISTING);
#else
      if (kept != nullptr) rename(kept, undo.target);
#endif
      if (kept == nullptr) DeleteName(undo.target);
    }
    if (kept != nullptr) DeleteName(kept);
    if (undo.temporary != nullptr) DeleteName(undo.temporary);
  }
}

void PutBackAndStop(int signalNumber) {
  UndoAll();
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

void Register(int slot, const char* name) {
  if (slot < MAX_TEMPORARIES) Undos[slot].temporary = name;
}

// One output on its way: where it goes and the temporary file beside it.
struct Pending {
  const OutputFile* file;
  std::string target;     // the file replaced (a symbolic link's own file)
  std::string temporary;  // empty until made, and again once renamed or removed
  std::string kept;       // the old target's second name (or copy); empty for a new file
  bool inPlace;           // standard output or a file that is not regular
};

void KeepAs(Pending* pending, int slot, const std::string& kept) {
  pending->kept = kept;
  if (slot >= MAX_TEMPORARIES) return;
  Undos[slot].target = pending->target.c_str();
  Undos[slot].kept = pending->kept.c_str();
}

#ifdef _WIN32

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

bool WriteInPlace(const char* path, const std::string& text, std::string* reason) {
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool written = handle != INVALID_HANDLE_VALUE && WriteHandle(handle, text);
  if (!written) *reason = LastReason();
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
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
    bool written = WriteHandle(handle, pending->file->text);
    if (!written) *reason = LastReason();
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

#else

std::string Reason(int error) { return strerror(error); }

bool StatIdentity(const struct stat& info, Identity* identity) {
  identity->known = true;
  identity->device = (uint64_t)info.st_dev;
  identity->file = (uint64_t)info.st_ino;
  return true;
}

bool PathIdentity(const char* path, Identity* identity) {
  struct stat info;
  return stat(path, &info) == 0 && StatIdentity(info, identity);
}

std::string FoldName(std::string name) { return name; }

bool NotFound() { return errno == ENOENT; }

bool StreamIdentity(FILE* stream, Identity* identity) {
  struct stat info;
  return fstat(fileno(stream), &info) == 0 && StatIdentity(info, identity);
}

// A device, a FIFO or a terminal is written in place; so is a folder,
// which then fails with its reason.
bool IsSpecial(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && !S_ISREG(info.st_mode);
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += (size_t)written;
  }
  return true;
}

bool WriteInPlace(const char* path, const std::string& text, std::string* reason) {
  int fd = open(path, O_WRONLY | O_NOCTTY);
  bool written = fd >= 0 && WriteAll(fd, text);
  if (!written) *reason = Reason(errno);
  if (fd >= 0 && close(fd) != 0 && written) {
    *reason = Reason(errno);
    written = false;
  }
  return written;
}

// A symbolic link stays: the file it names is the one replaced. A file
// that only a link to an open stream names (/dev/stdout) is written in
// place. A file no one may write is refused, also to the superuser.
bool CheckTarget(Pending* pending, std::string* reason) {
  const char* path = pending->file->path;
  pending->target = path;
  struct stat info;
  if (lstat(path, &info) != 0) {
    if (errno == ENOENT) return true;
    *reason = Reason(errno);
    return false;
  }
  if (S_ISLNK(info.st_mode)) {
    // A link to nowhere is not followed: where it points is not this
    // user's choice to make.
    if (stat(path, &info) != 0) {
      *reason = Reason(errno);
      return false;
    }
    char* real = realpath(path, nullptr);
    if (real == nullptr) {
      pending->inPlace = true;
      return true;
    }
    pending->target = real;
    free(real);
  }
  if (access(pending->target.c_str(), W_OK) != 0) {
    *reason = Reason(errno);
    return false;
  }
  if ((info.st_mode & 0222) == 0) {
    *reason = Reason(EACCES);
    return false;
  }
  // In a folder with the sticky bit, only the file's or the folder's owner
  // may rename over the file: refused before anything is replaced.
  std::string folder, name;
  SplitPath(pending->target, &folder, &name);
  struct stat place;
  uid_t user = geteuid();
  if (user != 0 && stat(folder.c_str(), &place) == 0 && (place.st_mode & S_ISVTX) != 0 &&
      info.st_uid != user && place.st_uid != user) {
    *reason = Reason(EPERM);
    return false;
  }
  return true;
}

// The mode and owner of the file replaced, or the usual mode of a new one.
void TakeOverMode(int fd, const std::string& target) {
  struct stat info;
  if (stat(target.c_str(), &info) == 0) {
    // The owner first: changing it may clear the set-ID bits.
    if (fchown(fd, info.st_uid, info.st_gid) != 0 && fchown(fd, (uid_t)-1, info.st_gid) != 0) {
      // Another user's file: it becomes this user's, as any new file.
    }
    fchmod(fd, info.st_mode & 07777);
    return;
  }
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
}

bool MakeTemporary(Pending* pending, int slot, std::string* reason) {
  std::string folder, name;
  SplitPath(pending->target, &folder, &name);
  if (folder == ".") folder = "./";
  // Exclusive creation under a name no one can guess, short enough for
  // any folder.
  std::string pattern = folder + ".lvc.XXXXXX";
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  int fd = mkstemp(temporary.data());
  if (fd < 0) {
    *reason = Reason(errno);
    return false;
  }
  pending->temporary = temporary.data();
  Register(slot, pending->temporary.c_str());
  TakeOverMode(fd, pending->target);
  bool written = WriteAll(fd, pending->file->text);
  if (!written) *reason = Reason(errno);
  if (close(fd) != 0 && written) {
    *reason = Reason(errno);
    written = false;
  }
  return written;
}

bool MoveOver(const Pending& pending, std::string* reason) {
  if (rename(pending.temporary.c_str(), pending.target.c_str()) == 0) return true;
  *reason = Reason(errno);
  return false;
}

// A copy of the file at from, with its mode and owner, in the new file fd.
bool CopyInto(int fd, const char* from) {
  int source = open(from, O_RDONLY | O_NOCTTY);
  if (source < 0) return false;
  char block[65536];
  ssize_t got;
  bool copied = true;
  while (copied && (got = read(source, block, sizeof block)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    copied = got > 0 && WriteAll(fd, std::string(block, (size_t)got));
  }
  int error = errno;
  close(source);
  if (copied) TakeOverMode(fd, from);
  errno = error;
  return copied;
}

// The old target under a second name beside it (a hard link, else a copy
// where the file system or the system's rules give none) until every
// rename has succeeded; nothing for a new file.
bool KeepOld(Pending* pending, int slot, std::string* reason) {
  struct stat info;
  if (lstat(pending->target.c_str(), &info) != 0) {
    if (errno == ENOENT) return true;
    *reason = Reason(errno);
    return false;
  }
  std::string folder, name;
  SplitPath(pending->target, &folder, &name);
  if (folder == ".") folder = "./";
  std::string pattern = folder + ".lvc.XXXXXX";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::vector<char> kept(pattern.begin(), pattern.end());
    kept.push_back('\0');
    int fd = mkstemp(kept.data());
    if (fd < 0) break;
    // The name is free again for the link; another taking it meanwhile
    // makes the link fail, and the next name is tried.
    unlink(kept.data());
    close(fd);
    if (link(pending->target.c_str(), kept.data()) == 0) {
      KeepAs(pending, slot, kept.data());
      return true;
    }
    if (errno == EEXIST) continue;
    fd = open(kept.data(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY, 0600);
    if (fd < 0) break;
    KeepAs(pending, slot, kept.data());
    bool copied = CopyInto(fd, pending->target.c_str());
    if (!copied) *reason = Reason(errno);
    if (close(fd) != 0 && copied) {
      *reason = Reason(errno);
      copied = false;
    }
    return copied;
  }
  *reason = Reason(errno);
  return false;
}

void StandardOutputBinary() {}

void CatchSignals(void (*handler)(int)) {
  signal(SIGINT, handler);
  signal(SIGTERM, handler);
  signal(SIGHUP, handler);
  // A closed pipe on standard output is a write error like any other.
  signal(SIGPIPE, handler == SIG_DFL ? SIG_DFL : SIG_IGN);
}

#endif

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

bool CheckOutputPaths(FILE* rules, const char* rulesPath, const std::vector<OutputFile>& files) {
  Identity input = {false, 0, 0, ""};
  StreamIdentity(rules, &input);
  std::vector<Identity> seen;
  for (size_t i = 0; i < files.size(); ++i) {
    const OutputFile& file = files[i];
    // "-" is the file standard output is open on (a file, a pipe, a
    // terminal), however it was opened; a stream without one is "-" alone.
    Identity identity = {false, 0, 0, ""};
    if (!IsStandardOutput(file.path)) {
      identity = OutputIdentity(file.path);
    } else if (!StreamIdentity(stdout, &identity)) {
      identity = {true, 0, 0, "-"};
    }
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
