// Snapshot files on the host. A write goes to a temporary file beside the file the path
// names (links followed), which takes the old file's owner and mode and then replaces it by
// rename. Where a rename would lose something (a hard link, an owner qvx cannot give the
// new file, a folder qvx cannot write in), the file is written in place after a full backup,
// which puts it back if the write fails. SIGINT, SIGTERM and SIGHUP remove the temporary
// file before qvx ends, leaving the target as it was.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qvx/snapshot_io.h"

namespace qvx {

namespace {

constexpr int kSnapshotSize = quorvex::kRegisterCount;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The file to remove if a signal ends qvx: the temporary file of the write under way.
char pendingPath[PATH_MAX + 32];
volatile sig_atomic_t pending = 0;

void removePending(int signal) {
  if (pending) unlink(pendingPath);
  ::signal(signal, SIG_DFL);
  raise(signal);  // end as the signal would have ended qvx
}

void catchSignals() {
  for (int s : kSignals) {
    struct sigaction old {};
    sigaction(s, nullptr, &old);
    if (old.sa_handler == SIG_IGN) continue;  // started to ignore it (nohup, a background job)
    struct sigaction on {};
    on.sa_handler = removePending;
    sigemptyset(&on.sa_mask);
    sigaction(s, &on, nullptr);
  }
}

// Holds the signals back for its lifetime: what it guards is done whole or not at all.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals) sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

void failure(Text& error, const char* path, const char* what, int code) {
  error << path << ": " << what << " (" << std::strerror(code) << ")";
}

bool writeAll(int fd, const void* bytes, std::size_t size, off_t at) {
  const char* next = static_cast<const char*>(bytes);
  while (size > 0) {
    ssize_t n = pwrite(fd, next, size, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    next += n;
    at += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies from's bytes from offset start on to the same offsets of to.
bool copyFrom(int from, int to, off_t start) {
  char buffer[4096];
  for (off_t at = start;;) {
    ssize_t n = pread(from, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!writeAll(to, buffer, static_cast<std::size_t>(n), at)) return false;
    at += n;
  }
}

// a (aLength characters) followed by b into to; false when it does not fit.
bool joinText(char* to, std::size_t size, const char* a, std::size_t aLength, const char* b) {
  std::size_t bLength = std::strlen(b);
  if (aLength + bLength >= size) return false;
  std::memcpy(to, a, aLength);
  std::memcpy(to + aLength, b, bLength + 1);
  return true;
}

// Makes a new temporary file, folder + name ending in "XXXXXX", tracked for removal on a
// signal; -1 when it cannot be made.
int makeTemporary(const char* folder, std::size_t folderLength, const char* name) {
  if (!joinText(pendingPath, sizeof pendingPath, folder, folderLength, name)) return -1;
  pending = 1;  // set before the name exists: mkstemp fills in pendingPath itself
  int fd = mkstemp(pendingPath);
  if (fd < 0) pending = 0;
  return fd;
}

// A temporary file with a short name in the folder of real.
int temporaryBeside(const char* real) {
  const char* slash = std::strrchr(real, '/');
  return makeTemporary(real, slash ? static_cast<std::size_t>(slash - real + 1) : 0, ".qvx-XXXXXX");
}

void dropTemporary() {
  unlink(pendingPath);
  pending = 0;
}

void syncFolderOf(const char* real) {
  char folder[PATH_MAX];
  const char* slash = std::strrchr(real, '/');
  if (!slash || !joinText(folder, sizeof folder, real, static_cast<std::size_t>(slash - real + 1), ".")) return;
  int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool createNew(const char* path, const RegisterShadow& s, Text& error) {
  int fd, code;
  {
    SignalsHeld held;  // the new file is tracked from the moment it exists
    fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    code = errno;
    if (fd >= 0 && joinText(pendingPath, sizeof pendingPath, path, std::strlen(path), "")) pending = 1;
  }
  if (fd < 0) {
    if (code == EEXIST)
      error << path << ": already exists; qvx new --force replaces it";
    else
      failure(error, path, "cannot create", code);
    return false;
  }
  bool ok = writeAll(fd, s.bytes.data(), kSnapshotSize, 0) && fsync(fd) == 0;
  code = errno;
  ok = close(fd) == 0 && ok;
  if (ok) {
    pending = 0;
    return true;
  }
  failure(error, path, "cannot write", code ? code : errno);
  dropTemporary();
  return false;
}

enum class Outcome { Done, Failed, InPlace };

// The write by a temporary file and rename; InPlace when that would lose the owner or mode,
// or cannot be done in the file's folder.
Outcome byRename(const char* path, const char* real, const struct stat& old, const RegisterShadow& s, WriteMode mode,
                 Text& error) {
  int fd = temporaryBeside(real);
  if (fd < 0) return Outcome::InPlace;
  if (fchown(fd, old.st_uid, old.st_gid) != 0 || fchmod(fd, old.st_mode & 07777) != 0) {
    close(fd);
    dropTemporary();
    return Outcome::InPlace;
  }
  bool ok = writeAll(fd, s.bytes.data(), kSnapshotSize, 0);
  if (ok && mode == WriteMode::Update) {
    int from = open(real, O_RDONLY | O_CLOEXEC);
    ok = from >= 0 && copyFrom(from, fd, kSnapshotSize);
    if (from >= 0) close(from);
  }
  ok = ok && fsync(fd) == 0;
  int code = errno;
  ok = close(fd) == 0 && ok;
  if (!ok) {
    failure(error, path, "cannot write", code ? code : errno);
    dropTemporary();
    return Outcome::Failed;
  }
  if (std::rename(pendingPath, real) != 0) {
    code = errno;
    dropTemporary();
    if (code == EXDEV || code == EBUSY || code == EPERM || code == EACCES) return Outcome::InPlace;
    failure(error, path, "cannot replace", code);
    return Outcome::Failed;
  }
  pending = 0;
  syncFolderOf(real);
  return Outcome::Done;
}

// A backup of the whole file target, beside real or else in the temporary folder; -1 when
// none can be made.
int backUp(int target, const char* real) {
  int fd = temporaryBeside(real);
  if (fd < 0) {
    const char* folder = std::getenv("TMPDIR");
    if (!folder || !*folder) folder = "/tmp";
    char name[PATH_MAX];
    if (!joinText(name, sizeof name, folder, std::strlen(folder), "/")) return -1;
    fd = makeTemporary(name, std::strlen(name), "qvx-backup-XXXXXX");
  }
  if (fd < 0) return -1;
  if (copyFrom(target, fd, 0) && fsync(fd) == 0) return fd;
  close(fd);
  dropTemporary();
  return -1;
}

// The write in place, undone from the backup if it fails.
bool inPlace(const char* path, const char* real, const struct stat& old, const RegisterShadow& s, WriteMode mode,
             Text& error) {
  int target = open(real, O_RDWR | O_CLOEXEC);
  if (target < 0) {
    failure(error, path, "cannot open for writing", errno);
    return false;
  }
  int backup = backUp(target, real);
  if (backup < 0) {
    failure(error, path, "cannot make a backup, so nothing was written", errno);
    close(target);
    return false;
  }
  SignalsHeld held;  // from here the write is done whole, or undone
  bool ok = writeAll(target, s.bytes.data(), kSnapshotSize, 0) &&
            (mode != WriteMode::Replace || ftruncate(target, kSnapshotSize) == 0) && fsync(target) == 0;
  int code = errno;
  bool restored = ok || (copyFrom(backup, target, 0) && ftruncate(target, old.st_size) == 0 && fsync(target) == 0);
  close(backup);
  close(target);
  if (restored) dropTemporary();
  pending = 0;
  if (ok) return true;
  failure(error, path, "cannot write", code);
  if (restored)
    error << "; it is as it was";
  else
    error << "; its old contents are in " << pendingPath;
  return false;
}

bool readOnly(const char* real, const struct stat& st) {
  if ((st.st_mode & 0222) == 0) return true;
  return access(real, W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

}  // namespace

bool writeSnapshot(const char* path, const RegisterShadow& s, WriteMode mode, Text& error) {
  catchSignals();
  if (mode == WriteMode::Create) return createNew(path, s, error);
  char real[PATH_MAX];
  if (!realpath(path, real)) {
    int code = errno;
    struct stat link;
    bool exists = lstat(path, &link) == 0;
    if (code == ENOENT && !exists && mode == WriteMode::Replace) return createNew(path, s, error);
    if (code == ENOENT && exists)
      error << path << ": a link to a file that does not exist";
    else if (code == ENOENT)
      error << path << ": no such file";
    else
      failure(error, path, "cannot open", code);
    return false;
  }
  struct stat st;
  if (stat(real, &st) != 0) {
    failure(error, path, "cannot open", errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error << path << ": is a folder";
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error << path << ": not a regular file; qvx writes only files";
    return false;
  }
  if (readOnly(real, st)) {
    error << path << ": read-only; nothing was written";
    return false;
  }
  Outcome outcome = st.st_nlink == 1 ? byRename(path, real, st, s, mode, error) : Outcome::InPlace;
  if (outcome == Outcome::InPlace) return inPlace(path, real, st, s, mode, error);
  return outcome == Outcome::Done;
}

bool readStart(const char* path, unsigned char* bytes, int capacity, int& got, long long& size, Text& error) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT)
      error << path << ": no such file";
    else
      failure(error, path, "cannot open", errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    if (S_ISDIR(st.st_mode))
      error << path << ": is a folder";
    else
      failure(error, path, "cannot read", errno);
    close(fd);
    return false;
  }
  size = S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : -1;
  got = 0;
  while (got < capacity) {
    ssize_t n = read(fd, bytes + got, static_cast<std::size_t>(capacity - got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failure(error, path, "cannot read", errno);
      close(fd);
      return false;
    }
    if (n == 0) break;
    got += static_cast<int>(n);
  }
  close(fd);
  return true;
}

void guardStandardFiles() {
  for (int fd = 0; fd <= 2; ++fd)
    if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) open("/dev/null", O_RDONLY);  // takes the lowest free number: fd
}

}  // namespace qvx
