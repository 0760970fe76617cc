// Replacing a file atomically on the host: mkstemp beside it, write, fsync, rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "qvx/snapshot_io.h"

namespace qvx {

namespace {

// The mode the new file gets: the old file's, or what a plain create would give.
mode_t newFileMode(const std::string& target) {
  struct stat old;
  if (stat(target.c_str(), &old) == 0) return old.st_mode & 07777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool writeAll(int fd, const void* bytes, std::size_t size) {
  const char* at = static_cast<const char*>(bytes);
  while (size > 0) {
    ssize_t n = write(fd, at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool replaceFile(const std::string& target, const void* bytes, std::size_t size, std::string& error) {
  std::string temporary = target + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) {
    error = target + ": cannot create (" + std::strerror(errno) + ")";
    return false;
  }
  bool ok = fchmod(fd, newFileMode(target)) == 0 && writeAll(fd, bytes, size) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && std::rename(temporary.c_str(), target.c_str()) == 0) return true;
  error = target + ": cannot write (" + std::strerror(errno) + ")";
  unlink(temporary.c_str());
  return false;
}

}  // namespace qvx
