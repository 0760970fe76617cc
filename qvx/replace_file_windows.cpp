// Snapshot files on Windows, written the way the editor's Save writes them: a temporary file
// beside the target, moved over it; a read-only target is refused, and a target that cannot
// be replaced (another program holds it open, it has a second hard link, or it is a link) is
// written in place, here after a full backup that puts it back if the write fails. Ctrl+C
// and Ctrl+Break remove the temporary file before qvx ends.
#include <windows.h>

#include "qvx/snapshot_io.h"

namespace qvx {

namespace {

constexpr DWORD kSnapshotSize = quorvex::kRegisterCount;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The file to remove if Ctrl+C ends qvx, guarded against the console's handler thread.
CRITICAL_SECTION pendingLock;
char pendingPath[MAX_PATH];
bool pending = false;

BOOL WINAPI onControl(DWORD) {
  EnterCriticalSection(&pendingLock);  // waits for a write in place to finish or be undone
  if (pending) DeleteFileA(pendingPath);
  ExitProcess(STATUS_CONTROL_C_EXIT);
  return TRUE;
}

void catchControl() {
  static bool caught = false;
  if (caught) return;
  InitializeCriticalSection(&pendingLock);
  SetConsoleCtrlHandler(onControl, TRUE);
  caught = true;
}

class Locked {
 public:
  Locked() { EnterCriticalSection(&pendingLock); }
  ~Locked() { LeaveCriticalSection(&pendingLock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

void dropPending() {
  Locked lock;
  DeleteFileA(pendingPath);
  pending = false;
}

void keepPending() {
  Locked lock;
  pending = false;
}

void systemMessage(DWORD code, Text& out) {
  char text[256];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                           sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == '.' || text[n - 1] == ' ')) --n;
  if (n == 0) {
    out << "error " << static_cast<int>(code);
    return;
  }
  out << std::string_view(text, n);
}

void failure(Text& error, const char* path, const char* what, DWORD code) {
  error << path << ": " << what << " (";
  systemMessage(code, error);
  error << ")";
}

bool writeAt(HANDLE file, const void* bytes, DWORD size, LONG at) {
  DWORD written = 0;
  return SetFilePointer(file, at, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
         WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

// Copies from's bytes from offset start on to the same offsets of to.
bool copyFrom(HANDLE from, HANDLE to, LONG start) {
  if (SetFilePointer(from, start, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      SetFilePointer(to, start, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return false;
  char buffer[4096];
  for (;;) {
    DWORD read = 0, written = 0;
    if (!ReadFile(from, buffer, sizeof buffer, &read, nullptr)) return false;
    if (read == 0) return true;
    if (!WriteFile(to, buffer, read, &written, nullptr) || written != read) return false;
  }
}

// A new temporary file in folder, tracked for removal on Ctrl+C, open for reading and
// writing; INVALID_HANDLE_VALUE when none can be made.
HANDLE temporaryIn(const char* folder) {
  if (lstrlenA(folder) >= MAX_PATH - 14) return INVALID_HANDLE_VALUE;
  {
    Locked lock;  // the new file is tracked from the moment it exists
    if (!GetTempFileNameA(folder, "qvx", 0, pendingPath)) return INVALID_HANDLE_VALUE;
    pending = true;
  }
  HANDLE file = CreateFileA(pendingPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, TRUNCATE_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) dropPending();
  return file;
}

HANDLE temporaryBeside(const char* path) {
  char folder[MAX_PATH] = ".\\";
  int cut = lstrlenA(path);
  while (cut > 0 && path[cut - 1] != '\\' && path[cut - 1] != '/' && path[cut - 1] != ':') --cut;
  if (cut > 0 && cut < MAX_PATH) lstrcpynA(folder, path, cut + 1);
  return temporaryIn(folder);
}

bool createNew(const char* path, const RegisterShadow& s, Text& error) {
  HANDLE file;
  {
    Locked lock;  // the new file is tracked from the moment it exists
    file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      lstrcpynA(pendingPath, path, MAX_PATH);
      pending = lstrlenA(path) < MAX_PATH;
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
      error << path << ": already exists; qvx new --force replaces it";
    else
      failure(error, path, "cannot create", code);
    return false;
  }
  bool ok = writeAt(file, s.bytes.data(), kSnapshotSize, 0) && FlushFileBuffers(file);
  DWORD code = GetLastError();
  ok = CloseHandle(file) && ok;
  if (ok) {
    keepPending();
    return true;
  }
  failure(error, path, "cannot write", code);
  dropPending();
  return false;
}

enum class Outcome { Done, Failed, InPlace };

// The editor's way: a temporary file moved over the target; InPlace when the target cannot
// be replaced.
Outcome byMove(const char* path, DWORD attributes, const RegisterShadow& s, WriteMode mode, Text& error) {
  HANDLE temporary = temporaryBeside(path);
  if (temporary == INVALID_HANDLE_VALUE) return Outcome::InPlace;
  bool ok = writeAt(temporary, s.bytes.data(), kSnapshotSize, 0);
  if (ok && mode == WriteMode::Update) {
    HANDLE old = CreateFileA(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    ok = old != INVALID_HANDLE_VALUE && copyFrom(old, temporary, kSnapshotSize);
    if (old != INVALID_HANDLE_VALUE) CloseHandle(old);
  }
  ok = ok && FlushFileBuffers(temporary);
  DWORD code = GetLastError();
  ok = CloseHandle(temporary) && ok;
  if (!ok) {
    failure(error, path, "cannot write", code);
    dropPending();
    return Outcome::Failed;
  }
  // The old file's hidden, system and archive marks go to the file that takes its place.
  DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  SetFileAttributesA(pendingPath, kept ? kept : FILE_ATTRIBUTE_NORMAL);
  if (!MoveFileExA(pendingPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    code = GetLastError();
    dropPending();
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED) return Outcome::InPlace;
    failure(error, path, "cannot replace", code);
    return Outcome::Failed;
  }
  keepPending();
  return Outcome::Done;
}

// A backup of the whole file target, beside path or else in the temporary folder.
HANDLE backUp(HANDLE target, const char* path) {
  HANDLE backup = temporaryBeside(path);
  if (backup == INVALID_HANDLE_VALUE) {
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return INVALID_HANDLE_VALUE;
    backup = temporaryIn(folder);
  }
  if (backup == INVALID_HANDLE_VALUE) return backup;
  if (copyFrom(target, backup, 0) && FlushFileBuffers(backup)) return backup;
  CloseHandle(backup);
  dropPending();
  return INVALID_HANDLE_VALUE;
}

bool setLength(HANDLE file, LONG length) {
  return SetFilePointer(file, length, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER && SetEndOfFile(file);
}

// The write in place, undone from the backup if it fails.
bool inPlace(const char* path, const RegisterShadow& s, WriteMode mode, Text& error) {
  HANDLE target = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (target == INVALID_HANDLE_VALUE) {
    failure(error, path, "cannot open for writing", GetLastError());
    return false;
  }
  DWORD oldSize = GetFileSize(target, nullptr);
  HANDLE backup = backUp(target, path);
  if (backup == INVALID_HANDLE_VALUE) {
    failure(error, path, "cannot make a backup, so nothing was written", GetLastError());
    CloseHandle(target);
    return false;
  }
  Locked lock;  // from here the write is done whole, or undone
  bool ok = writeAt(target, s.bytes.data(), kSnapshotSize, 0) && (mode != WriteMode::Replace || SetEndOfFile(target)) &&
            FlushFileBuffers(target);
  DWORD code = GetLastError();
  bool restored =
      ok || (copyFrom(backup, target, 0) && setLength(target, static_cast<LONG>(oldSize)) && FlushFileBuffers(target));
  CloseHandle(backup);
  CloseHandle(target);
  if (restored) DeleteFileA(pendingPath);
  pending = false;
  if (ok) return true;
  failure(error, path, "cannot write", code);
  if (restored)
    error << "; it is as it was";
  else
    error << "; its old contents are in " << pendingPath;
  return false;
}

// The number of names of the file (hard links), 0 when it cannot be told.
DWORD linkCount(const char* path) {
  HANDLE file = CreateFileA(path, 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info{};
  bool known = GetFileInformationByHandle(file, &info) && GetFileType(file) == FILE_TYPE_DISK;
  CloseHandle(file);
  return known ? info.nNumberOfLinks : 0;
}

}  // namespace

bool writeSnapshot(const char* path, const RegisterShadow& s, WriteMode mode, Text& error) {
  catchControl();
  if (mode == WriteMode::Create) return createNew(path, s, error);
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD code = GetLastError();
    bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    if (missing && mode == WriteMode::Replace) return createNew(path, s, error);
    if (missing)
      error << path << ": no such file";
    else
      failure(error, path, "cannot open", code);
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    error << path << ": is a folder";
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    error << path << ": read-only; nothing was written";
    return false;
  }
  DWORD links = linkCount(path);
  if (links == 0) {
    error << path << ": not a regular file; qvx writes only files";
    return false;
  }
  bool replaceable = links == 1 && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  Outcome outcome = replaceable ? byMove(path, attributes, s, mode, error) : Outcome::InPlace;
  if (outcome == Outcome::InPlace) return inPlace(path, s, mode, error);
  return outcome == Outcome::Done;
}

bool readStart(const char* path, unsigned char* bytes, int capacity, int& got, long long& size, Text& error) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    error << path << ": is a folder";
    return false;
  }
  HANDLE file = CreateFileA(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
      error << path << ": no such file";
    else
      failure(error, path, "cannot open", code);
    return false;
  }
  LARGE_INTEGER length{};
  size = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &length) ? length.QuadPart : -1;
  got = 0;
  while (got < capacity) {
    DWORD read = 0;
    if (!ReadFile(file, bytes + got, static_cast<DWORD>(capacity - got), &read, nullptr)) {
      DWORD code = GetLastError();
      if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) break;  // the writer's end of a pipe closed
      failure(error, path, "cannot read", code);
      CloseHandle(file);
      return false;
    }
    if (read == 0) break;
    got += static_cast<int>(read);
  }
  CloseHandle(file);
  return true;
}

void guardStandardFiles() {}  // a closed standard handle is one no file can take

}  // namespace qvx
