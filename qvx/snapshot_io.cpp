// Reading and writing 32-byte snapshot files with the C library.
#include "qvx/snapshot_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qvx {

bool readSnapshot(const std::string& path, RegisterShadow& s, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = path + (errno == ENOENT ? ": no such file" : ": cannot open (" + std::string(std::strerror(errno)) + ")");
    return false;
  }
  unsigned char buffer[4096];
  RegisterShadow read{};
  std::size_t total = 0, n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (total < read.bytes.size())
      std::memcpy(read.bytes.data() + total, buffer, std::min(n, read.bytes.size() - total));
    total += n;
  }
  bool failed = std::ferror(file);
  std::fclose(file);
  if (failed) {
    error = path + ": cannot read";
    return false;
  }
  if (total != read.bytes.size()) {
    error = path + ": " + std::to_string(total) + " bytes, not 32";
    return false;
  }
  s = read;
  return true;
}

bool writeSnapshot(const std::string& path, const RegisterShadow& s, std::string& error) {
  return replaceFile(path, s.bytes.data(), s.bytes.size(), error);
}

}  // namespace qvx
