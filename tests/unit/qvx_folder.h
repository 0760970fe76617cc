// A fixture for tests that run the host qvx: a fresh folder of the test's own, qvx started
// in it with its output and errors caught, and the folder's files read and written.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

struct Outcome {
  int status;
  std::string out, err;
};

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class QvxFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/qvx-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    chmod(dir, 0755);  // an unprivileged user reaches the folder "home" in it
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  // qvx ARGS run in the folder, after PREFIX (a command such as setpriv). A qvx that does not
  // end fails the test instead of holding it up.
  Outcome qvx(const std::string& args, const std::string& prefix = "") {
    std::string command = "cd '" + dir_ + "' && timeout 20 " + prefix + "'" + std::string(QVX) + "' " + args +
                          " >'" + path("out") + "' 2>'" + path("err") + "'";
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(path("out")), slurp(path("err"))};
  }

  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  bool exists(const std::string& name) const { return std::ifstream(path(name)).good(); }

  std::string dir_;
};
