// Safe writing on POSIX systems: files known by device and inode, temporary
// files made by mkstemp with the replaced file's mode and owner, the
// replaced file kept by a hard link, rename.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "save/SavePlatform.h"

const char PathSeparators[] = "/";

void RemoveTemporary(const char* path) { unlink(path); }

void PutBack(const char* kept, const char* target) { rename(kept, target); }

namespace {

std::string Reason(int error) { return strerror(error); }

bool StatIdentity(const struct stat& info, Identity* identity) {
  identity->known = true;
  identity->device = (uint64_t)info.st_dev;
  identity->file = (uint64_t)info.st_ino;
  return true;
}

}  // namespace

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

namespace {

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

// The output's text made into the open file fd, which is closed if the
// maker throws.
bool WriteInto(int fd, const OutputFile& file, std::string* reason) {
  try {
    return WriteMade(file, [&](const std::string& piece) {
      if (WriteAll(fd, piece)) return true;
      *reason = Reason(errno);
      return false;
    });
  } catch (...) {
    close(fd);
    throw;
  }
}

}  // namespace

bool WriteInPlace(const char* path, const OutputFile& file, std::string* reason) {
  int fd = open(path, O_WRONLY | O_NOCTTY);
  if (fd < 0) {
    *reason = Reason(errno);
    return false;
  }
  bool written = WriteInto(fd, file, reason);
  if (close(fd) != 0 && written) {
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

namespace {

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

}  // namespace

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
  bool written = WriteInto(fd, *pending->file, reason);
  if (close(fd) != 0 && written) {
    *reason = Reason(errno);
    written = false;
  }
  return written;
}

namespace {

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

}  // namespace

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

bool MoveOver(const Pending& pending, std::string* reason) {
  if (rename(pending.temporary.c_str(), pending.target.c_str()) == 0) return true;
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
