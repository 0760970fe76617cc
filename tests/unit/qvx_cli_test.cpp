// The host qvx program run as a user runs it: files it writes and reads back (bytes, owner,
// mode, links), its output, its exit status, and that a refused command leaves the file as
// it was. Where permissions decide, qvx runs as an unprivileged user (nobody, when the test
// runs as root).
#include "tests/unit/qvx_folder.h"

#include <dirent.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

int lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
  return st;
}

// The editor's power-on registers, 0x00 first.
const unsigned char kDefaultBytes[32] = {0x00, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0x88, 0x01, 0x80,
                                         0x47, 0x40, 0x00, 0x01, 0x00, 0x40, 0x1C, 0x01, 0x00, 0x00, 0x00,
                                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const std::string kDefaults(reinterpret_cast<const char*>(kDefaultBytes), 32);

// A snapshot unlike the defaults: MODE 3, BRIG 0xA3 ...
std::string tuned() {
  std::string bytes;
  for (int i = 0; i < 32; ++i) bytes += static_cast<char>(0x35 + 11 * i);
  return bytes;
}

// tuned() with MODE set to 6, as `set FILE MODE=6` makes it.
std::string tunedMode6() {
  std::string bytes = tuned();
  bytes[0x02] = static_cast<char>((bytes[0x02] & ~0x07) | 6);
  return bytes;
}

const char kAsNobody[] = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";

class QvxCli : public QvxFolder {
 protected:
  // The names in folder, but the test's own out and err.
  std::vector<std::string> names(const std::string& folder) {
    std::vector<std::string> found;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr) {
      std::string n = e->d_name;
      if (n != "." && n != ".." && n != "out" && n != "err") found.push_back(n);
    }
    if (d) closedir(d);
    std::sort(found.begin(), found.end());
    return found;
  }
};

// As an unprivileged user, in a folder of that user's ("home"). As root that user is nobody;
// otherwise it is the user who runs the test.
class QvxAsUser : public QvxCli {
 protected:
  void SetUp() override {
    QvxCli::SetUp();
    ASSERT_EQ(mkdir(path("home").c_str(), 0755), 0);
    if (geteuid() != 0) return;
    if (std::system((std::string(kAsNobody) + "true").c_str()) != 0)
      GTEST_SKIP() << "setpriv cannot run a command as nobody here";
    const passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    user_ = nobody->pw_uid;
    group_ = nobody->pw_gid;
    ASSERT_EQ(chown(path("home").c_str(), user_, group_), 0);
    prefix_ = kAsNobody;
  }

  Outcome qvxAsUser(const std::string& args) { return qvx(args, prefix_); }
  // A file in home owned by the unprivileged user, with mode.
  std::string userFile(const std::string& name, const std::string& bytes, mode_t mode) {
    write("home/" + name, bytes);
    std::string p = path("home/" + name);
    EXPECT_EQ(chmod(p.c_str(), mode), 0);
    if (geteuid() == 0) {
      EXPECT_EQ(chown(p.c_str(), user_, group_), 0);
    }
    return p;
  }

  uid_t user_ = geteuid();
  gid_t group_ = getegid();
  std::string prefix_;
};

}  // namespace

// --- Files that must not be lost -------------------------------------------------------

TEST_F(QvxAsUser, ReadOnlySnapshotIsRefusedAndLeftAsItWas) {
  std::string file = userFile("ro.qvx", tuned(), 0444);
  const struct stat before = statOf(file);
  Outcome set = qvxAsUser("set " + file + " MODE=6");
  EXPECT_EQ(set.status, 2);
  EXPECT_EQ(set.err, "qvx: " + file + ": read-only; nothing was written\n");
  EXPECT_EQ(slurp(file), tuned());
  const struct stat after = statOf(file);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode & 07777, 0444u);
  EXPECT_EQ(qvxAsUser("new --force " + file).status, 2);
  EXPECT_EQ(slurp(file), tuned());
  // The same file for root (whom no permission stops) is refused as well, as the editor refuses it.
  EXPECT_EQ(qvx("set " + file + " MODE=6").status, 2);
  EXPECT_EQ(slurp(file), tuned());
}

TEST_F(QvxCli, NewRefusesAnExistingFileUnlessForced) {
  ASSERT_EQ(qvx("new " + path("a.qvx")).status, 0);
  EXPECT_EQ(slurp(path("a.qvx")), kDefaults);
  write("tuned.qvx", tuned());
  for (int i = 0; i < 2; ++i) {
    Outcome again = qvx("new " + path("tuned.qvx"));
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(again.err, "qvx: " + path("tuned.qvx") + ": already exists; qvx new --force replaces it\n");
    EXPECT_EQ(slurp(path("tuned.qvx")), tuned());
  }
  write("long.qvx", tuned() + "0123456789");
  for (const char* name : {"tuned.qvx", "long.qvx", "fresh.qvx"}) {
    Outcome forced = qvx("new --force " + path(name));
    EXPECT_EQ(forced.status, 0) << name << forced.err;
    EXPECT_EQ(slurp(path(name)), kDefaults) << name;
  }
  EXPECT_EQ(names(dir_), std::vector<std::string>({"a.qvx", "fresh.qvx", "long.qvx", "tuned.qvx"}));
}

TEST_F(QvxCli, SetWritesTheFileALinkNamesAndKeepsItsOtherNames) {
  write("real.qvx", tuned());
  ASSERT_EQ(symlink("real.qvx", path("link.qvx").c_str()), 0);
  Outcome set = qvx("set " + path("link.qvx") + " MODE=6");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_TRUE(S_ISLNK(statOf(path("link.qvx")).st_mode)) << "the link was replaced";
  EXPECT_EQ(slurp(path("real.qvx")), tunedMode6());

  write("one.qvx", tuned());
  ASSERT_EQ(link(path("one.qvx").c_str(), path("two.qvx").c_str()), 0);
  for (int i = 0; i < 2; ++i) ASSERT_EQ(qvx("set " + path("two.qvx") + " MODE=6").status, 0);
  EXPECT_EQ(statOf(path("one.qvx")).st_ino, statOf(path("two.qvx")).st_ino) << "the hard link was broken";
  EXPECT_EQ(statOf(path("one.qvx")).st_nlink, 2u);
  EXPECT_EQ(slurp(path("one.qvx")), tunedMode6());
  EXPECT_EQ(names(dir_), std::vector<std::string>({"link.qvx", "one.qvx", "real.qvx", "two.qvx"}));
}

TEST_F(QvxAsUser, SetKeepsOwnerAndMode) {
  std::string file = userFile("mine.qvx", tuned(), 0640);
  for (int i = 0; i < 2; ++i) {
    Outcome set = qvxAsUser("set " + file + " MODE=6");
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(statOf(file).st_mode & 07777, 0640u);
    EXPECT_EQ(slurp(file), tunedMode6());
  }
  if (geteuid() != 0) GTEST_SKIP() << "another user's file needs root to make";
  // Written by root, the user's file stays the user's.
  ASSERT_EQ(qvx("set " + file + " BRIG=1").status, 0);
  EXPECT_EQ(statOf(file).st_uid, user_);
  EXPECT_EQ(statOf(file).st_gid, group_);
  EXPECT_EQ(statOf(file).st_mode & 07777, 0640u);

  // Root's file that the user may write: the user cannot give a new file root's owner, so
  // qvx writes it in place; it stays root's, with its mode.
  write("home/roots.qvx", tuned());
  const std::string roots = path("home/roots.qvx");
  ASSERT_EQ(chmod(roots.c_str(), 0666), 0);
  const ino_t inode = statOf(roots).st_ino;
  Outcome set = qvxAsUser("set " + roots + " MODE=6");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(slurp(roots), tunedMode6());
  EXPECT_EQ(statOf(roots).st_uid, 0u);
  EXPECT_EQ(statOf(roots).st_mode & 07777, 0666u);
  EXPECT_EQ(statOf(roots).st_ino, inode);
  EXPECT_EQ(names(path("home")), std::vector<std::string>({"mine.qvx", "roots.qvx"})) << "a backup stayed";
}

TEST_F(QvxCli, LongFileNamesAreWrittenWithAShortTemporaryName) {
  const std::string name = std::string(251, 'n') + ".qvx";  // 255 characters, the longest a name can be
  ASSERT_EQ(qvx("new " + path(name)).status, 0);
  const ino_t inode = statOf(path(name)).st_ino;
  Outcome set = qvx("set " + path(name) + " MODE=6 BRIG=1");
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_NE(statOf(path(name)).st_ino, inode) << "written in place, not replaced whole";
  Outcome forced = qvx("new --force " + path(name));
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(slurp(path(name)), kDefaults);
  EXPECT_EQ(names(dir_), std::vector<std::string>({name}));
}

TEST_F(QvxCli, InterruptedSetRemovesItsTemporaryFileAndLeavesTheTargetAsItWas) {
  for (int signal : {SIGINT, SIGTERM}) {
    write("a.qvx", tuned());
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      setenv("LD_PRELOAD", SLOW_RENAME, 1);
      execl(QVX, QVX, "set", path("a.qvx").c_str(), "MODE=6", static_cast<char*>(nullptr));
      _exit(127);
    }
    // The temporary file appears beside the target; the write then waits at the rename.
    bool seen = false;
    for (int i = 0; i < 500 && !seen; ++i) {
      seen = names(dir_).size() == 2;
      if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(seen) << "no temporary file";
    kill(child, signal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    EXPECT_EQ(names(dir_), std::vector<std::string>({"a.qvx"})) << "signal " << signal;
    EXPECT_EQ(slurp(path("a.qvx")), tuned());
  }
}

// --- Results that must be true ---------------------------------------------------------

TEST_F(QvxCli, NewWritesTheDefaultsAndShowGivesEveryFieldWithTheEditorsValues) {
  ASSERT_EQ(qvx("new " + path("a.qvx")).status, 0);
  EXPECT_EQ(slurp(path("a.qvx")), kDefaults);
  Outcome show = qvx("show " + path("a.qvx"));
  EXPECT_EQ(show.status, 0);
  EXPECT_EQ(show.err, "");
  EXPECT_EQ(lines(show.out), 74);
  for (const char* value : {" HSB      -21\n",
                            " HSS      -32\n",
                            " BRIG     128\n",
                            " CONT      71\n",
                            " SATN      64\n",
                            " HUEC       0\n",
                            " GAI1     256\n",
                            " GAI2     256\n",
                            " VSTA       0\n",
                            " MODE       0  000",
                            " FUSE       3  11",
                            " VTRC       1\n",
                            " AUFD       1\n",
                            " VBSL       1\n",
                            " APER       1  01",
                            " CHBW       1  01",
                            " OFTS       1  01",
                            " OEHV       1\n",
                            " COMPO      1\n",
                            " AOSL       1  01",
                            " F1RDY      0  read-only\n",
                            " BYTE2      0  read-only\n",
                            " STTC       0  read-only\n",
                            " VERSION    0  read-only\n"})
    EXPECT_NE(show.out.find(value), std::string::npos) << value;
  Outcome json = qvx("show --json " + path("a.qvx"));
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("{\"name\": \"CODE\", \"register\": \"0x1F\", \"bits\": \"0\", \"value\": 0, "
                          "\"text\": null, \"writable\": false}"),
            std::string::npos);
}

TEST_F(QvxCli, SetChangesTheNamedFieldsAndEveryOtherByteStays) {
  write("a.qvx", tuned());
  write("b.qvx", tuned());
  Outcome set = qvx("set " + path("b.qvx") + " mode=6 BRIG=0000140 'VCTR=11 - Delayed programmable V_GATE' GAI1=0");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out + set.err, "");
  std::string changed = tuned();
  changed[0x02] = static_cast<char>((changed[0x02] & ~0x07) | 6);
  changed[0x0A] = static_cast<char>(140);
  changed[0x13] = static_cast<char>(changed[0x13] | 0xC0);
  changed[0x04] = 0;
  changed[0x03] = static_cast<char>(changed[0x03] & ~0x01);
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

TEST_F(QvxCli, DiffFindsEveryByteThatDiffersAlsoWhereNoFieldIs) {
  ASSERT_EQ(qvx("new " + path("a.qvx")).status, 0);
  Outcome same = qvx("diff " + path("a.qvx") + " " + path("a.qvx"));
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "");
  Outcome sameJson = qvx("diff --json " + path("a.qvx") + " " + path("a.qvx"));
  EXPECT_EQ(sameJson.status, 0);
  EXPECT_EQ(sameJson.out, "[]\n");

  std::string bits = kDefaults;
  bits[0x17] = 0x3C;
  bits[0x01] = 0x05;
  write("b.qvx", bits);
  Outcome raw = qvx("diff " + path("a.qvx") + " " + path("b.qvx"));
  EXPECT_EQ(raw.status, 1);
  EXPECT_EQ(raw.out, "0x01 bits 7-0: 0x00 -> 0x05\n0x17 bits 7-2: 0x00 -> 0x3c\n");
  Outcome json = qvx("diff --json " + path("b.qvx") + " " + path("a.qvx"));
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("{\"name\": null, \"register\": \"0x17\", \"bits\": \"7-2\", \"value\": 0, "
                          "\"text\": null, \"writable\": false, \"old\": 60, \"oldText\": null}"),
            std::string::npos)
      << json.out;
}

TEST_F(QvxCli, AFailedWriteOfTheOutputIsReported) {
  ASSERT_EQ(qvx("new " + path("a.qvx")).status, 0);
  write("b.qvx", tuned());
  for (const std::string& args :
       {"show " + path("a.qvx"), "show --json " + path("a.qvx"), "diff --json " + path("a.qvx") + " " + path("b.qvx"),
        "diff " + path("a.qvx") + " " + path("b.qvx")}) {
    for (const char* redirect : {" >/dev/full", " >&-"}) {
      int raw = std::system(("'" + std::string(QVX) + "' " + args + redirect + " 2>'" + path("err") + "'").c_str());
      EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 2) << args << redirect;
      std::string err = slurp(path("err"));
      EXPECT_EQ(err.rfind("qvx: standard output: cannot write (", 0), 0u) << err;
      EXPECT_EQ(lines(err), 1) << err;
    }
  }
  EXPECT_EQ(slurp(path("a.qvx")), kDefaults) << "the output went into the snapshot";
}

TEST_F(QvxCli, LongerFilesAreReadAsTheirFirst32BytesAndSetKeepsTheRest) {
  const std::string rest = "the rest of the file\n";
  write("long.qvx", tuned() + rest);
  Outcome show = qvx("show " + path("long.qvx"));
  EXPECT_EQ(show.status, 0);
  EXPECT_EQ(lines(show.out), 74);
  EXPECT_EQ(show.err, "qvx: " + path("long.qvx") + ": 53 bytes; the first 32 are the registers, the rest is ignored\n");
  write("exact.qvx", tuned());
  EXPECT_EQ(qvx("diff " + path("long.qvx") + " " + path("exact.qvx")).status, 0);

  for (int i = 0; i < 2; ++i) {
    Outcome set = qvx("set " + path("long.qvx") + " MODE=6");
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.err,
              "qvx: " + path("long.qvx") + ": 53 bytes; the first 32 are the registers, the rest is kept as it is\n");
    EXPECT_EQ(slurp(path("long.qvx")), tunedMode6() + rest);
  }

  // A device or a stream: no more than needed is read.
  Outcome zero = qvx("show /dev/zero");
  EXPECT_EQ(zero.status, 0);
  EXPECT_EQ(lines(zero.out), 74);
  EXPECT_EQ(zero.err, "qvx: /dev/zero: longer than 32 bytes; the first 32 are the registers, the rest is ignored\n");
  Outcome set = qvx("set /dev/zero MODE=1");
  EXPECT_EQ(set.status, 2);
  EXPECT_EQ(set.err, "qvx: /dev/zero: not a regular file; qvx writes only files\n");
}

TEST_F(QvxCli, OneBadArgumentRefusesTheWholeSetAndWritesNothing) {
  ASSERT_EQ(qvx("new " + path("a.qvx")).status, 0);
  struct stat before;
  ASSERT_EQ(stat(path("a.qvx").c_str(), &before), 0);
  struct Case {
    const char* args;
    const char* err;
  } cases[] = {
      {"MODE=6 BRIG=256", "qvx: BRIG=256: out of range; BRIG takes 0 to 255\n"},
      {"MODE=6 FOO=1", "qvx: unknown field \"FOO\"; nearest: COLO, FECO, MODE\n"},
      {"MODE=6 COLO", "qvx: \"COLO\": expected NAME=VALUE\n"},
      {"MODE=6 mode=7", "qvx: mode=7: MODE is named twice (first as MODE=6)\n"},
      {"BRIG=1 GAI1=3 brig=1", "qvx: brig=1: BRIG is named twice (first as BRIG=1)\n"},
      {"MODE=6 CODE=1",
       "qvx: CODE=1: CODE is read-only: the chip sets it and the editor only shows it (quorvex.html#CODE)\n"},
  };
  for (const Case& c : cases) {
    Outcome set = qvx("set " + path("a.qvx") + " " + c.args);
    EXPECT_EQ(set.status, 2) << c.args;
    EXPECT_EQ(set.err, c.err) << c.args;
    EXPECT_EQ(slurp(path("a.qvx")), kDefaults) << c.args;
  }
  struct stat after;
  ASSERT_EQ(stat(path("a.qvx").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
}

TEST_F(QvxCli, BadFilesAndCommandsGetOneLineAndStatusTwo) {
  write("short.qvx", std::string(31, 'x'));
  ASSERT_EQ(mkdir(path("adir").c_str(), 0755), 0);
  struct Case {
    std::string args, err;
  } cases[] = {
      {"show " + path("none.qvx"), "qvx: " + path("none.qvx") + ": no such file\n"},
      {"show " + path("short.qvx"), "qvx: " + path("short.qvx") + ": 31 bytes, not 32\n"},
      {"diff " + path("short.qvx") + " " + path("short.qvx"), "qvx: " + path("short.qvx") + ": 31 bytes, not 32\n"},
      {"set " + path("none.qvx") + " MODE=1", "qvx: " + path("none.qvx") + ": no such file\n"},
      {"show " + path("adir"), "qvx: " + path("adir") + ": is a folder\n"},
      {"set " + path("adir") + " MODE=1", "qvx: " + path("adir") + ": is a folder\n"},
      {"new --force " + path("adir"), "qvx: " + path("adir") + ": is a folder\n"},
      {"show", "qvx: usage: qvx show FILE.qvx [--json]\n"},
      {"set " + path("short.qvx"), "qvx: usage: qvx set FILE.qvx NAME=VALUE...\n"},
      {"new --json x", "qvx: usage: qvx new FILE.qvx [--force]\n"},
      {"frob", "qvx: unknown command \"frob\"; see qvx --help\n"},
      {"live", "qvx: the chip is reached only by the Windows build, qvx.exe\n"},
      // watch's --seconds on both sides of 1 and of 31 days: the taken ones get to the chip.
      {"watch --seconds 1", "qvx: the chip is reached only by the Windows build, qvx.exe\n"},
      {"watch --json --seconds 2678400", "qvx: the chip is reached only by the Windows build, qvx.exe\n"},
      {"watch --seconds 0", "qvx: --seconds takes a whole number of seconds, 1 to 2678400\n"},
      {"watch --seconds 2678401", "qvx: --seconds takes a whole number of seconds, 1 to 2678400\n"},
      {"watch --seconds 1.5", "qvx: --seconds takes a whole number of seconds, 1 to 2678400\n"},
      {"watch --seconds", "qvx: usage: qvx watch [--json] [--seconds N]\n"},
      {"watch --seconds 5 --seconds 6", "qvx: usage: qvx watch [--json] [--seconds N]\n"},
      {"watch now", "qvx: usage: qvx watch [--json] [--seconds N]\n"},
  };
  for (const Case& c : cases) {
    Outcome r = qvx(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
  }
  EXPECT_EQ(slurp(path("short.qvx")), std::string(31, 'x'));
  EXPECT_EQ(names(dir_), std::vector<std::string>({"adir", "short.qvx"}));
}

TEST_F(QvxCli, HelpPrintsTheUsageAndNoArgumentsOneLineOfIt) {
  Outcome help = qvx("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: qvx COMMAND", 0), 0u);
  EXPECT_GT(lines(help.out), 10);
  Outcome none = qvx("");
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err,
            "qvx: usage: qvx COMMAND ARGUMENTS, COMMAND one of show, diff, set, new, live, apply, watch, captions; qvx "
            "--help tells more\n");
}
