// The release package as a Windows user gets it: the zip that CPack makes, unpacked,
// its programs and README.txt read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "tests/wine/harness/harness.h"
#include "tests/wine/harness/log_lines.h"
#include "tools/bench/file_facts.h"

using namespace harness;

namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  for (std::string& line : completeLines(text))
    if (!line.empty()) out.push_back(std::move(line));
  return out;
}

std::string unixFile(const std::string& unixPath) { return readFile(unixToWindows(unixPath)); }

// Output of a Unix command, or "(failed)" when it did not succeed.
std::string unixOutput(const std::string& program, const std::string& args) {
  const std::string out = newUnixFile("vt-package", ".out");
  long code = runUnix(program, args + " >'" + out + "' 2>&1", 120000);
  std::string text = unixFile(out);
  DeleteFileA(unixToWindows(out).c_str());
  return code == 0 ? text : "(failed) " + text;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

bool contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

class ReleasePackage : public testing::Test {
 protected:
  // Makes the zip once, as `--target package` does after the build, and unpacks it.
  static void SetUpTestSuite() {
    const std::string build = env("VT_BUILD");
    zip = build + "/vistrel-toolset-" + env("VT_VERSION") + "-win32.zip";
    unpacked = "/tmp/vt-package-" + std::to_string(GetCurrentProcessId());
    DeleteFileA(unixToWindows(zip).c_str());
    packLog = unixOutput(env("VT_CPACK"), "--config '" + build + "/CPackConfig.cmake' -B '" + build + "'");
    unixOutput("/usr/bin/unzip", "-q -o '" + zip + "' -d '" + unpacked + "'");
  }
  static void TearDownTestSuite() { runUnix("/bin/rm", "-rf '" + unpacked + "'"); }

  // The delivered programs, as the build lists them (README.txt is the one other file).
  static std::vector<std::string> programs() {
    std::vector<std::string> names;
    for (const std::string& name : lines(unixFile(env("VT_BUILD") + "/delivered.txt")))
      if (name != "README.txt") names.push_back(name);
    return names;
  }
  static std::string unpackedFile(const std::string& name) { return unixFile(unpacked + "/" + name); }

  static std::string zip, unpacked, packLog;
};
std::string ReleasePackage::zip, ReleasePackage::unpacked, ReleasePackage::packLog;

TEST_F(ReleasePackage, HoldsExactlyTheDeliveredFilesAndReadme) {
  ASSERT_TRUE(fileExists(unixToWindows(zip))) << zip << "\n" << packLog;
  std::vector<std::string> expected = lines(unixFile(env("VT_BUILD") + "/delivered.txt"));
  for (const std::string& path : lines(unixFile(env("VT_BUILD") + "/delivered-optional.txt")))
    if (fileExists(unixToWindows(path))) expected.push_back(path.substr(path.rfind('/') + 1));
  const std::vector<std::string> listed = lines(unixOutput("/usr/bin/unzip", "-Z1 '" + zip + "'"));
  EXPECT_EQ(sorted(listed), sorted(expected));
  for (const char* name : {"vistrel.exe", "quorvex.drv", "qvx.exe", "quorvex.html", "README.txt"}) EXPECT_TRUE(contains(listed, name)) << name;
  for (const char* name : {"busgate.drv", "chromset.drv", "avicap32.dll"}) EXPECT_FALSE(contains(listed, name)) << name;
}

// objdump's view of a program: its file format and the DLLs it imports.
struct PeFacts {
  std::string format;
  std::vector<std::string> dlls;
};
PeFacts peFacts(const std::string& unixPath) {
  PeFacts facts;
  for (const std::string& line : lines(unixOutput(env("VT_OBJDUMP"), "-p '" + unixPath + "'"))) {
    if (size_t at = line.find("file format "); at != std::string::npos) facts.format = line.substr(at + 12);
    if (size_t at = line.find("DLL Name: "); at != std::string::npos) facts.dlls.push_back(line.substr(at + 10));
  }
  return facts;
}

// What Windows' file properties show: the fixed versions and the strings of the first translation.
struct VersionInfo {
  std::string fileVersion, productVersion;  // from the fixed part, "a.b.c.d"
  std::string text(const char* name) const {
    void* value = nullptr;
    UINT size = 0;
    const std::string key = "\\StringFileInfo\\" + block + "\\" + name;
    if (!VerQueryValueA(data.data(), key.c_str(), &value, &size) || size == 0) return "(missing)";
    return std::string(static_cast<const char*>(value));
  }
  std::vector<char> data;
  std::string block;
};

VersionInfo readVersion(const std::string& winPath) {
  VersionInfo v;
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(winPath.c_str(), &ignored);
  if (size == 0) return v;
  v.data.resize(size);
  if (!GetFileVersionInfoA(winPath.c_str(), 0, size, v.data.data())) return {};
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(v.data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    auto dotted = [](DWORD ms, DWORD ls) {
      return std::to_string(HIWORD(ms)) + "." + std::to_string(LOWORD(ms)) + "." + std::to_string(HIWORD(ls)) + "." +
             std::to_string(LOWORD(ls));
    };
    v.fileVersion = dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    v.productVersion = dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  }
  WORD* translation = nullptr;
  if (VerQueryValueA(v.data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) &&
      length >= 4) {
    char block[9];
    snprintf(block, sizeof block, "%04X%04X", translation[0], translation[1]);
    v.block = block;
  }
  return v;
}

TEST_F(ReleasePackage, EveryProgramIsPe32I386WithSystemImportsAndTheProjectVersion) {
  const std::string version = env("VT_VERSION");
  ASSERT_FALSE(programs().empty());
  for (const std::string& name : programs()) {
    SCOPED_TRACE(name);
    const std::string path = unpacked + "/" + name;
    const PeFacts pe = peFacts(path);
    EXPECT_EQ(pe.format, "pei-i386") << "PE32 for i386";
    EXPECT_FALSE(pe.dlls.empty());
    for (const std::string& dll : pe.dlls) EXPECT_TRUE(bench::isSystemDll(dll)) << dll;

    const VersionInfo v = readVersion(unixToWindows(path));
    EXPECT_EQ(v.fileVersion, version + ".0");
    EXPECT_EQ(v.productVersion, version + ".0");
    EXPECT_EQ(v.text("FileVersion"), version);
    EXPECT_EQ(v.text("ProductVersion"), version);
    EXPECT_EQ(v.text("OriginalFilename"), name);
    EXPECT_EQ(v.text("ProductName"), "Vistrel video toolset");
    EXPECT_NE(v.text("FileDescription"), "(missing)");
  }
}

TEST_F(ReleasePackage, ReadmeHasCrlfLineEnds) {
  const std::string text = unpackedFile("README.txt");
  ASSERT_GT(text.size(), 1000u);
  size_t bare = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ++bare;
  EXPECT_EQ(bare, 0u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

// Every word in quotes in the viewer's settings code is a section or a key of vistrel.ini,
// so a key added there and not to README.txt fails here.
TEST_F(ReleasePackage, ReadmeNamesEverySectionAndKeyTheViewerReads) {
  const std::string code = unixFile(env("VT_SOURCE") + "/viewer/settings.cpp");
  const std::string readme = unpackedFile("README.txt");
  const std::regex quoted("\"([A-Za-z][A-Za-z0-9]*)\"");
  int names = 0;
  for (auto m = std::sregex_iterator(code.begin(), code.end(), quoted); m != std::sregex_iterator(); ++m, ++names) {
    const std::string name = (*m)[1];
    const std::regex entry("(^|\n) *(\\[" + name + "\\]|" + name + "=)");
    EXPECT_TRUE(std::regex_search(readme, entry)) << name << " is not in README.txt as [" << name << "] or "
                                                  << name << "=";
  }
  EXPECT_GE(names, 14) << "2 sections and 12 keys";
}

}  // namespace
