// qvx: decoder register snapshots by field name, and the chip through the I2C server.
#include <cstdio>
#include <string>
#include <vector>

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
    "  qvx show FILE.qvx [--json]      every field: register, bits, name, value, option text\n"
    "  qvx diff A.qvx B.qvx [--json]   the fields that differ, NAME: old -> new\n"
    "  qvx set FILE.qvx NAME=VALUE...  changes fields: a number in the field's range or,\n"
    "                                  for a list field, the exact text of an option\n"
    "  qvx new FILE.qvx                writes the power-on defaults\n"
    "  qvx live [--json]               the chip's fields, read through the running I2C server\n"
    "  qvx apply FILE.qvx [NAME...]    writes the snapshot's registers, or only the named\n"
    "                                  fields, to the chip through the running I2C server\n"
    "  qvx captions [FILE.scc] [--srt FILE] [--vtt FILE] [--channel 1|2] [--seconds N]\n"
    "                                  the closed captions of a Scenarist file, or live from\n"
    "                                  the chip's text slicer (starting the I2C server if\n"
    "                                  none runs), as text and as SRT or WebVTT files\n"
    "\n"
    "live, apply and captions without a file need the Windows build, qvx.exe. Field names\n"
    "are matched without regard to case. Exit status: 0 done, 1 diff found differences,\n"
    "2 bad input or failure.\n";

using Args = std::vector<std::string>;

int fail(const std::string& error) {
  std::fprintf(stderr, "qvx: %s\n", error.c_str());
  return 2;
}

void print(const std::string& text) { std::fputs(text.c_str(), stdout); }

int show(const Args& args, bool json) {
  RegisterShadow s;
  std::string error;
  if (!readSnapshot(args[0], s, error)) return fail(error);
  print(showText(s, json));
  return 0;
}

int diff(const Args& args, bool json) {
  RegisterShadow a, b;
  std::string error;
  if (!readSnapshot(args[0], a, error) || !readSnapshot(args[1], b, error)) return fail(error);
  print(diffText(a, b, json));
  return fieldsDiffer(a, b) ? 1 : 0;
}

int set(const Args& args, bool) {
  RegisterShadow s;
  std::string error;
  if (!readSnapshot(args[0], s, error)) return fail(error);
  std::vector<Assignment> changes(args.size() - 1);
  for (std::size_t i = 1; i < args.size(); ++i)
    if (!parseAssignment(args[i], changes[i - 1], error)) return fail(error);
  for (const Assignment& a : changes) setFieldValue(*a.field, s, a.value);
  return writeSnapshot(args[0], s, error) ? 0 : fail(error);
}

int create(const Args& args, bool) {
  std::string error;
  return writeSnapshot(args[0], RegisterShadow{quorvex::defaultRegisters}, error) ? 0 : fail(error);
}

int live(const Args&, bool json) {
  std::string error;
  if (!openChipLink(error)) return fail(error);
  RegisterShadow s{};
  for (const std::uint8_t* r = quorvex::readableRegisters; *r != quorvex::kListEnd; ++r)
    if (!readChipRegister(*r, s.bytes[*r], error)) return fail(error);
  print(showText(s, json));
  return 0;
}

// The chip's registers with the named fields taken from the snapshot; marks what to write.
bool mergeNamed(const RegisterShadow& file, const std::vector<const Field*>& named,
                RegisterShadow& chip, bool (&touched)[quorvex::kRegisterCount], std::string& error) {
  for (const Field* f : named) {
    std::uint8_t regs[2];
    for (int i = 0, n = fieldRegisters(*f, regs); i < n; ++i) touched[regs[i]] = true;
  }
  for (int r = 0; r < quorvex::kRegisterCount; ++r)
    if (touched[r] && !readChipRegister(static_cast<std::uint8_t>(r), chip.bytes[r], error)) return false;
  for (const Field* f : named) setFieldValue(*f, chip, fieldValue(*f, file));
  return true;
}

int apply(const Args& args, bool) {
  RegisterShadow file;
  std::string error;
  if (!readSnapshot(args[0], file, error)) return fail(error);
  std::vector<const Field*> named;
  for (std::size_t i = 1; i < args.size(); ++i)
    if (const Field* f = lookUpField(args[i], error))
      named.push_back(f);
    else
      return fail(error);
  if (!openChipLink(error)) return fail(error);
  RegisterShadow out = file;
  bool touched[quorvex::kRegisterCount] = {};
  if (!named.empty() && !mergeNamed(file, named, out, touched, error)) return fail(error);
  for (const std::uint8_t* r = quorvex::writableRegisters; *r != quorvex::kListEnd; ++r)
    if ((named.empty() || touched[*r]) && !writeChipRegister(*r, out.bytes[*r], error)) return fail(error);
  return 0;
}

struct Command {
  const char* name;
  const char* arguments;  // as in the usage
  std::size_t least, most;
  bool json;
  int (*run)(const Args&, bool json);
};

constexpr std::size_t kAny = 1000;

const Command commands[] = {
    {"show", "FILE.qvx [--json]", 1, 1, true, show},
    {"diff", "A.qvx B.qvx [--json]", 2, 2, true, diff},
    {"set", "FILE.qvx NAME=VALUE...", 2, kAny, false, set},
    {"new", "FILE.qvx", 1, 1, false, create},
    {"live", "[--json]", 0, 0, true, live},
    {"apply", "FILE.qvx [NAME...]", 1, kAny, false, apply},
};

int runCommand(const Command& c, const Args& words) {
  Args args;
  bool json = false;
  for (const std::string& w : words)
    if (c.json && w == "--json")
      json = true;
    else
      args.push_back(w);
  if (args.size() < c.least || args.size() > c.most)
    return fail(std::string("usage: qvx ") + c.name + " " + c.arguments);
  return c.run(args, json);
}

}  // namespace
}  // namespace qvx

int main(int argc, char** argv) {
  using namespace qvx;
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (name == "captions") return captions::captionsCommand(argc - 2, argv + 2);
  for (const Command& c : commands)
    if (name == c.name) return runCommand(c, Args(argv + 2, argv + argc));
  return fail("unknown command \"" + name + "\"; see qvx --help");
}
