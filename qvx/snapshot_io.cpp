// The size rules of snapshot files.
#include "qvx/snapshot_io.h"

namespace qvx {

bool readSnapshot(const char* path, SnapshotFile& out, Text& error) {
  constexpr int kRead = quorvex::kRegisterCount + 1;  // one more tells a longer file
  unsigned char bytes[kRead];
  int got = 0;
  long long size = -1;
  if (!readStart(path, bytes, kRead, got, size, error)) return false;
  if (got < quorvex::kRegisterCount) {
    error << path << ": " << got << " bytes, not 32";
    return false;
  }
  for (int i = 0; i < quorvex::kRegisterCount; ++i) out.shadow.bytes[i] = bytes[i];
  out.longer = got == kRead;
  out.size = size;
  return true;
}

void longerNote(const char* path, const SnapshotFile& file, bool restKept, Text& note) {
  note << path << ": ";
  if (file.size >= 0 && file.size <= 2000000000)
    note << static_cast<int>(file.size) << " bytes";
  else
    note << "longer than 32 bytes";
  note << "; the first 32 are the registers, the rest is " << (restKept ? "kept as it is" : "ignored");
}

}  // namespace qvx
