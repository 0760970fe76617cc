// The host qvx program run as a user runs it: files it writes and reads back, its output,
// its exit status, and that a refused command leaves the file as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// The editor's power-on registers, 0x00 first.
const unsigned char kDefaults[32] = {0x00, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0x88, 0x01, 0x80,
                                     0x47, 0x40, 0x00, 0x01, 0x00, 0x40, 0x1C, 0x01, 0x00, 0x00, 0x00,
                                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

class QvxCli : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/qvx-cli-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  Outcome qvx(const std::string& args) {
    std::string command = "'" + std::string(QVX) + "' " + args + " >'" + path("out") + "' 2>'" + path("err") + "'";
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(path("out")), slurp(path("err"))};
  }

  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }

  std::string dir_;
};

}  // namespace

TEST_F(QvxCli, NewWritesTheDefaultsAndShowGivesTheEditorsValues) {
  ASSERT_EQ(qvx("new " + path("a.qvx")).status, 0);
  EXPECT_EQ(slurp(path("a.qvx")), std::string(reinterpret_cast<const char*>(kDefaults), 32));
  Outcome show = qvx("show " + path("a.qvx"));
  EXPECT_EQ(show.status, 0);
  EXPECT_EQ(show.err, "");
  EXPECT_EQ(lines(show.out), 57);
  for (const char* value : {" HSB     -21\n", " HSS     -32\n", " BRIG    128\n", " CONT     71\n",
                            " SATN     64\n", " HUEC      0\n", " GAI1    256\n", " GAI2    256\n",
                            " VSTA      0\n", " MODE      0  000", " FUSE      3  11", " VTRC      1\n",
                            " AUFD      1\n", " VBSL      1\n", " APER      1  01", " CHBW      1  01",
                            " OFTS      1  01", " OEHV      1\n", " COMPO     1\n", " AOSL      1  01"})
    EXPECT_NE(show.out.find(value), std::string::npos) << value;
  EXPECT_EQ(qvx("new " + path("a.qvx")).status, 0) << "a second new replaces the file";
}

TEST_F(QvxCli, SetChangesTheNamedFieldsAndEveryOtherByteStays) {
  std::string start;
  for (int i = 0; i < 32; ++i) start += static_cast<char>(0x35 + 11 * i);
  write("a.qvx", start);
  write("b.qvx", start);
  Outcome set = qvx("set " + path("b.qvx") + " mode=6 BRIG=140 'VCTR=11 - Delayed programmable V_GATE' GAI1=0");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out + set.err, "");
  std::string changed = start;
  changed[0x02] = static_cast<char>((start[0x02] & ~0x07) | 6);
  changed[0x0A] = static_cast<char>(140);
  changed[0x13] = static_cast<char>(start[0x13] | 0xC0);
  changed[0x04] = 0;
  changed[0x03] = static_cast<char>(start[0x03] & ~0x01);
  EXPECT_EQ(slurp(path("b.qvx")), changed);

  Outcome diff = qvx("diff " + path("a.qvx") + " " + path("b.qvx"));
  EXPECT_EQ(diff.status, 1);
  EXPECT_EQ(lines(diff.out), 4) << diff.out;
  EXPECT_NE(diff.out.find("BRIG: 163 -> 140\n"), std::string::npos) << diff.out;
  EXPECT_NE(diff.out.find("MODE: 3 \"011 - Mode 3: CVBS (automatic gain)\" -> 6 \"110 -"), std::string::npos);

  // Set again to the same values: nothing differs from the first result.
  write("c.qvx", changed);
  ASSERT_EQ(qvx("set " + path("c.qvx") + " MODE=6 brig=140").status, 0);
  EXPECT_EQ(slurp(path("c.qvx")), changed);
}

TEST_F(QvxCli, DiffOfAFileWithItselfIsEmpty) {
  ASSERT_EQ(qvx("new " + path("a.qvx")).status, 0);
  Outcome diff = qvx("diff " + path("a.qvx") + " " + path("a.qvx"));
  EXPECT_EQ(diff.status, 0);
  EXPECT_EQ(diff.out, "");
  Outcome json = qvx("diff --json " + path("a.qvx") + " " + path("a.qvx"));
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out, "[]\n");
}

TEST_F(QvxCli, OneBadArgumentRefusesTheWholeSetAndWritesNothing) {
  ASSERT_EQ(qvx("new " + path("a.qvx")).status, 0);
  struct stat before;
  ASSERT_EQ(stat(path("a.qvx").c_str(), &before), 0);
  for (const char* bad : {"MODE=6 BRIG=256", "MODE=6 FOO=1", "MODE=6 'MODE=110 - mode 6'", "MODE=6 COLO"}) {
    Outcome set = qvx("set " + path("a.qvx") + " " + bad);
    EXPECT_EQ(set.status, 2) << bad;
    EXPECT_EQ(lines(set.err), 1) << set.err;
    EXPECT_EQ(set.err.rfind("qvx: ", 0), 0u) << set.err;
    EXPECT_EQ(slurp(path("a.qvx")), std::string(reinterpret_cast<const char*>(kDefaults), 32)) << bad;
  }
  struct stat after;
  ASSERT_EQ(stat(path("a.qvx").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
  Outcome dir = qvx("set " + path("") + " MODE=6");
  EXPECT_EQ(dir.status, 2);
}

TEST_F(QvxCli, BadFilesAndCommandsGetOneLineAndStatusTwo) {
  write("short.qvx", std::string(31, 'x'));
  write("long.qvx", std::string(5000, 'x'));
  struct Case {
    std::string args, err;
  } cases[] = {
      {"show " + path("none.qvx"), "qvx: " + path("none.qvx") + ": no such file\n"},
      {"show " + path("short.qvx"), "qvx: " + path("short.qvx") + ": 31 bytes, not 32\n"},
      {"diff " + path("short.qvx") + " " + path("short.qvx"), "qvx: " + path("short.qvx") + ": 31 bytes, not 32\n"},
      {"set " + path("long.qvx") + " MODE=1", "qvx: " + path("long.qvx") + ": 5000 bytes, not 32\n"},
      {"set " + path("none.qvx") + " MODE=1", "qvx: " + path("none.qvx") + ": no such file\n"},
      {"show", "qvx: usage: qvx show FILE.qvx [--json]\n"},
      {"set " + path("short.qvx"), "qvx: usage: qvx set FILE.qvx NAME=VALUE...\n"},
      {"new --json x", "qvx: usage: qvx new FILE.qvx\n"},
      {"frob", "qvx: unknown command \"frob\"; see qvx --help\n"},
      {"live", "qvx: the chip is reached only by the Windows build, qvx.exe\n"},
  };
  for (const Case& c : cases) {
    Outcome r = qvx(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
  }
  EXPECT_EQ(slurp(path("short.qvx")), std::string(31, 'x'));
  EXPECT_FALSE(std::ifstream(path("none.qvx")).good());
}

TEST_F(QvxCli, HelpAndNoArgumentsPrintUsage) {
  Outcome help = qvx("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: qvx COMMAND", 0), 0u);
  Outcome none = qvx("");
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, help.out);
}
