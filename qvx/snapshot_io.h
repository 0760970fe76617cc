// Snapshot files as qvx reads and writes them. A snapshot is 32 register bytes. Like the
// editor's Load, qvx takes the first 32 bytes of a longer file and refuses a shorter one;
// it reads at most 33 bytes of anything, so a device or an endless stream cannot hold it up.
// Writing never leaves a part of a snapshot, follows links to the file they name, keeps
// hard links, owner and mode, refuses a read-only file and a file that is not a regular
// one, and leaves no temporary file behind, also when interrupted.
#pragma once
#include "qvx/field_catalog.h"

namespace qvx {

struct SnapshotFile {
  RegisterShadow shadow;
  bool longer;     // more than 32 bytes: only the first 32 were read
  long long size;  // the file's length; -1 when it is not a regular file
};

// False with error ("FILE: no such file", "FILE: is a folder", "FILE: 31 bytes, not 32").
bool readSnapshot(const char* path, SnapshotFile& out, Text& error);
// The note for a longer file: what qvx does with the rest (kept by set, else ignored).
void longerNote(const char* path, const SnapshotFile& file, bool restKept, Text& note);

enum class WriteMode {
  Create,   // new: only a file that does not exist yet
  Replace,  // new --force: the 32 bytes become the whole file
  Update,   // set: the 32 bytes replace the first 32; the rest of a longer file stays
};

// Platform part. Writes the 32 bytes to path as mode says; false with error, the file as it
// was, when that cannot be done.
bool writeSnapshot(const char* path, const RegisterShadow& s, WriteMode mode, Text& error);

// Platform part. The first bytes of path, up to capacity: got is how many, size the file's
// length (-1 when it is not a regular file). False with error when it cannot be read.
bool readStart(const char* path, unsigned char* bytes, int capacity, int& got, long long& size, Text& error);

// Platform part. Makes sure that standard input, output and error are open, so that no file
// qvx opens takes the place of a closed one (whose writes must fail, not land in the file).
void guardStandardFiles();

}  // namespace qvx
