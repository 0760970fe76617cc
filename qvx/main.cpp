// qvx: decoder register snapshots by field name, and the chip through the I2C server.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "qvx/captions/captions_command.h"
#include "qvx/chip_link.h"
#include "qvx/field_args.h"
#include "qvx/report.h"
#include "qvx/snapshot_io.h"

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
    "  qvx captions [FILE.scc] [--srt FILE] [--vtt FILE] [--channel 1|2] [--seconds N]\n"
    "                                  the closed captions of a Scenarist file, or live from\n"
    "                                  the chip's text slicer (starting the I2C server if\n"
    "                                  none runs), as text and as SRT or WebVTT files\n"
    "\n"
    "A file longer than 32 bytes is read as its first 32; set keeps the rest. set and new\n"
    "write the file a link names and keep its owner, mode and hard links; they refuse a\n"
    "read-only file. live, apply and captions without a file need the Windows build, qvx.exe.\n"
    "Field names are matched without regard to case; quorvex.html#NAME describes each. Exit\n"
    "status: 0 done, 1 diff found differences, 2 bad input or failure.\n";

constexpr unsigned kJson = 1, kForce = 2;
constexpr int kMostWords = 1 + kFieldCount;  // set's file and each field once

struct Args {
  const char* word[kMostWords];
  int count;
  const char* operator[](int i) const { return word[i]; }
};

bool printed = false;  // whether anything went to standard output

void writeStream(void* stream, const char* text, std::size_t size) {
  std::fwrite(text, 1, size, static_cast<std::FILE*>(stream));
  printed = true;
}

Sink standardOutput() { return {writeStream, stdout}; }

void printLine(std::FILE* stream, std::string_view text) {
  Message line;
  line << "qvx: " << text << '\n';
  std::fwrite(line.c_str(), 1, line.size(), stream);
}

int fail(const Text& error) {
  printLine(stderr, error.view());
  return 2;
}

// Reads a snapshot; a longer file gets its note on stderr unless set (which keeps the rest)
// says so itself once it has written the file.
bool readFile(const char* path, SnapshotFile& file, bool forSet, Text& error) {
  if (!readSnapshot(path, file, error)) return false;
  if (file.longer && !forSet) {
    Message note;
    longerNote(path, file, false, note);
    printLine(stderr, note.view());
  }
  return true;
}

int show(const Args& args, unsigned options) {
  SnapshotFile file;
  Message error;
  if (!readFile(args[0], file, false, error)) return fail(error);
  showReport(file.shadow, options & kJson, standardOutput());
  return 0;
}

int diff(const Args& args, unsigned options) {
  SnapshotFile a, b;
  Message error;
  if (!readFile(args[0], a, false, error) || !readFile(args[1], b, false, error)) return fail(error);
  return diffReport(a.shadow, b.shadow, options & kJson, standardOutput()) ? 1 : 0;
}

int set(const Args& args, unsigned) {
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
    printLine(stderr, note.view());
  }
  return 0;
}

int create(const Args& args, unsigned options) {
  Message error;
  WriteMode mode = options & kForce ? WriteMode::Replace : WriteMode::Create;
  return writeSnapshot(args[0], RegisterShadow{quorvex::defaultRegisters}, mode, error) ? 0 : fail(error);
}

int live(const Args&, unsigned options) {
  Message error;
  if (!openChipLink(error)) return fail(error);
  RegisterShadow s{};
  for (const std::uint8_t* r = quorvex::readableRegisters; *r != quorvex::kListEnd; ++r)
    if (!readChipRegister(*r, s.bytes[*r], error)) return fail(error);
  showReport(s, options & kJson, standardOutput());
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

int apply(const Args& args, unsigned) {
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
  if (!openChipLink(error)) return fail(error);
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
  unsigned options;  // kJson, kForce: the options it takes
  int (*run)(const Args&, unsigned options);
};

const Command commands[] = {
    {"show", "FILE.qvx [--json]", 1, 1, kJson, show},
    {"diff", "A.qvx B.qvx [--json]", 2, 2, kJson, diff},
    {"set", "FILE.qvx NAME=VALUE...", 2, kMostWords, 0, set},
    {"new", "FILE.qvx [--force]", 1, 1, kForce, create},
    {"live", "[--json]", 0, 0, kJson, live},
    {"apply", "FILE.qvx [NAME...]", 1, kMostWords, 0, apply},
};

bool isOption(const char* word, const char* option) { return std::strcmp(word, option) == 0; }

int runCommand(const Command& c, int count, char** words) {
  Args args{};
  unsigned options = 0;
  bool fits = true;
  for (int i = 0; i < count; ++i) {
    if ((c.options & kJson) && isOption(words[i], "--json"))
      options |= kJson;
    else if ((c.options & kForce) && isOption(words[i], "--force"))
      options |= kForce;
    else if (args.count < kMostWords)
      args.word[args.count++] = words[i];
    else
      fits = false;
  }
  if (!fits || args.count < c.least || args.count > c.most) {
    Message usage;
    usage << "usage: qvx " << c.name << ' ' << c.arguments;
    return fail(usage);
  }
  return c.run(args, options);
}

// A command's result, unless standard output could not take what it printed.
int finishOutput(int status) {
  if (!printed) return status;  // no output to lose, whatever standard output is
  bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
  int code = errno;
  if (std::fclose(stdout) != 0 && written) {
    written = false;
    code = errno;
  }
  if (written) return status;
  Message error;
  error << "standard output: cannot write (" << std::strerror(code) << ")";
  return fail(error);
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
  if (isOption(name, "--help") || isOption(name, "-h")) {
    writeStream(stdout, kUsage, sizeof kUsage - 1);
    return 0;
  }
  if (isOption(name, "captions")) return captions::captionsCommand(argc - 2, argv + 2);
  for (const Command& c : commands)
    if (isOption(name, c.name)) return runCommand(c, argc - 2, argv + 2);
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
