// qvx: decoder register snapshots by field name, and the chip through the I2C server.
#include <cstring>

#include "qvx/captions/captions_command.h"
#include "qvx/chip_link.h"
#include "qvx/command_line.h"
#include "qvx/field_args.h"
#include "qvx/report.h"
#include "qvx/snapshot_io.h"
#include "qvx/watch_command.h"

namespace qvx {
namespace {

const char kUsage[] =
    "usage: qvx COMMAND ARGUMENTS\n"
    "Decoder register snapshots (.qvx files of 32 bytes) by field name.\n"
    "\n"
    "  qvx show FILE.qvx [--json]      every field: register, bits, name, value, option text;\n"
    "                                  the fields the chip sets are marked read-only\n"
    "  qvx diff A.qvx B.qvx [--json]   the fields that differ (NAME: old -> new), then any\n"
    "                                  other bits that differ (0x17 bits 7-2: 0x00 -> 0x3c)\n"
    "  qvx set FILE.qvx NAME=VALUE...  changes fields: a number in the field's range or,\n"
    "                                  for a list field, the exact text of an option\n"
    "  qvx new FILE.qvx [--force]      writes the power-on defaults to a new file, or with\n"
    "                                  --force over an existing one\n"
    "  qvx live [--json]               the chip's fields, read through the running I2C server\n"
    "  qvx apply FILE.qvx [NAME...]    writes the snapshot's registers, or only the named\n"
    "                                  fields, to the chip through the running I2C server\n"
    "  qvx watch [--json] [--seconds N]\n"
    "                                  the chip's fields as they change, read ten times a\n"
    "                                  second (starting the I2C server if none runs), one\n"
    "                                  line each: time NAME old -> new; never writes\n"
    "  qvx captions [FILE.scc] [--srt FILE] [--vtt FILE] [--channel 1|2] [--seconds N]\n"
    "                                  the closed captions of a Scenarist file, or live from\n"
    "                                  the chip's text slicer (starting the I2C server if\n"
    "                                  none runs), as text and as SRT or WebVTT files\n"
    "\n"
    "A file longer than 32 bytes is read as its first 32; set keeps the rest. set and new\n"
    "write the file a link names and keep its owner, mode and hard links; they refuse a\n"
    "read-only file. live, apply, watch and captions without a file need the Windows build,\n"
    "qvx.exe; Ctrl+C or --seconds ends watch and a live captions run. Field names are matched\n"
    "without regard to case; quorvex.html#NAME describes each. Exit status: 0 done, 1 diff\n"
    "found differences, 2 bad input or failure.\n";

// Reads a snapshot; a longer file gets its note on stderr unless set (which keeps the rest)
// says so itself once it has written the file.
bool readFile(const char* path, SnapshotFile& file, bool forSet, Text& error) {
  if (!readSnapshot(path, file, error)) return false;
  if (file.longer && !forSet) {
    Message note;
    longerNote(path, file, false, note);
    printNote(note.view());
  }
  return true;
}

int show(const Args& args) {
  SnapshotFile file;
  Message error;
  if (!readFile(args[0], file, false, error)) return fail(error);
  showReport(file.shadow, args.options & kJson, standardOutput());
  return 0;
}

int diff(const Args& args) {
  SnapshotFile a, b;
  Message error;
  if (!readFile(args[0], a, false, error) || !readFile(args[1], b, false, error)) return fail(error);
  return diffReport(a.shadow, b.shadow, args.options & kJson, standardOutput()) ? 1 : 0;
}

int set(const Args& args) {
  SnapshotFile file;
  Message error;
  if (!readFile(args[0], file, true, error)) return fail(error);
  Assignment changes[kMostWords];
  if (!parseAssignments(args.word + 1, args.count - 1, changes, error)) return fail(error);
  for (int i = 0; i < args.count - 1; ++i) setFieldValue(*changes[i].field, file.shadow, changes[i].value);
  if (!writeSnapshot(args[0], file.shadow, WriteMode::Update, error)) return fail(error);
  if (file.longer) {
    Message note;
    longerNote(args[0], file, true, note);
    printNote(note.view());
  }
  return 0;
}

int create(const Args& args) {
  Message error;
  WriteMode mode = args.options & kForce ? WriteMode::Replace : WriteMode::Create;
  return writeSnapshot(args[0], RegisterShadow{quorvex::defaultRegisters}, mode, error) ? 0 : fail(error);
}

int live(const Args& args) {
  Message error;
  if (!openChipLink(false, error)) return fail(error);
  RegisterShadow s{};
  for (const std::uint8_t* r = quorvex::readableRegisters; *r != quorvex::kListEnd; ++r)
    if (!readChipRegister(*r, s.bytes[*r], error)) return fail(error);
  showReport(s, args.options & kJson, standardOutput());
  return 0;
}

// The chip's registers with the named fields taken from the snapshot; marks what to write.
bool mergeNamed(const RegisterShadow& file, const Field* const* named, int count, RegisterShadow& chip,
                bool (&touched)[quorvex::kRegisterCount], Text& error) {
  for (int i = 0; i < count; ++i) {
    std::uint8_t regs[2];
    for (int j = 0, n = fieldRegisters(*named[i], regs); j < n; ++j) touched[regs[j]] = true;
  }
  for (int r = 0; r < quorvex::kRegisterCount; ++r)
    if (touched[r] && !readChipRegister(static_cast<std::uint8_t>(r), chip.bytes[r], error)) return false;
  for (int i = 0; i < count; ++i) setFieldValue(*named[i], chip, fieldValue(*named[i], file));
  return true;
}

int apply(const Args& args) {
  SnapshotFile file;
  Message error;
  if (!readFile(args[0], file, false, error)) return fail(error);
  const Field* named[kMostWords];
  int count = 0;
  for (int i = 1; i < args.count; ++i) {
    const Field* f = lookUpField(args[i], error);
    if (!f || !isWritable(*f, error)) return fail(error);
    named[count++] = f;
  }
  if (!openChipLink(false, error)) return fail(error);
  RegisterShadow out = file.shadow;
  bool touched[quorvex::kRegisterCount] = {};
  if (count > 0 && !mergeNamed(file.shadow, named, count, out, touched, error)) return fail(error);
  for (const std::uint8_t* r = quorvex::writableRegisters; *r != quorvex::kListEnd; ++r)
    if ((count == 0 || touched[*r]) && !writeChipRegister(*r, out.bytes[*r], error)) return fail(error);
  return 0;
}

struct Command {
  const char* name;
  const char* arguments;  // as in the usage
  int least, most;
  unsigned options;  // the options it takes
  int (*run)(const Args&);
};

const Command commands[] = {
    {"show", "FILE.qvx [--json]", 1, 1, kJson, show},
    {"diff", "A.qvx B.qvx [--json]", 2, 2, kJson, diff},
    {"set", "FILE.qvx NAME=VALUE...", 2, kMostWords, 0, set},
    {"new", "FILE.qvx [--force]", 1, 1, kForce, create},
    {"live", "[--json]", 0, 0, kJson, live},
    {"apply", "FILE.qvx [NAME...]", 1, kMostWords, 0, apply},
    {"watch", "[--json] [--seconds N]", 0, 0, kJson | kSeconds, watchCommand},
    {"captions", "[FILE.scc] [--srt FILE] [--vtt FILE] [--channel 1|2] [--seconds N]", 0, 1,
     kSrt | kVtt | kChannel | kSeconds, captions::captionsCommand},
};

bool isWord(const char* word, const char* name) { return std::strcmp(word, name) == 0; }

int runCommand(const Command& c, int count, char** words) {
  Args args;
  if (!sortWords(words, count, c.options, args) || args.count < c.least || args.count > c.most) {
    Message usage;
    usage << "usage: qvx " << c.name << ' ' << c.arguments;
    return fail(usage);
  }
  return c.run(args);
}

int run(int argc, char** argv) {
  if (argc < 2) {
    Message hint;
    hint << "usage: qvx COMMAND ARGUMENTS, COMMAND one of ";
    for (const Command& c : commands) hint << (&c == commands ? "" : ", ") << c.name;
    hint << "; qvx --help tells more";
    return fail(hint);
  }
  const char* name = argv[1];
  if (isWord(name, "--help") || isWord(name, "-h")) {
    standardOutput().write(nullptr, kUsage, sizeof kUsage - 1);
    return 0;
  }
  for (const Command& c : commands)
    if (isWord(name, c.name)) return runCommand(c, argc - 2, argv + 2);
  Message error;
  error << "unknown command \"" << name << "\"; see qvx --help";
  return fail(error);
}

}  // namespace
}  // namespace qvx

int main(int argc, char** argv) {
  qvx::guardStandardFiles();
  return qvx::finishOutput(qvx::run(argc, argv));
}
