// qvx.exe runs with their output in files.
#include "tests/wine/regedit/qvx_runs.h"

using namespace harness;

namespace bench {
namespace {

HANDLE inheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS, 0, nullptr);
}

}  // namespace

QvxProcess::QvxProcess(Sandbox& box, const std::string& args) {
  static int runs = 0;
  outPath_ = box.path("qvx" + std::to_string(++runs) + ".out");
  errPath_ = box.path("qvx" + std::to_string(runs) + ".err");
  HANDLE out = inheritableFile(outPath_), err = inheritableFile(errPath_);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = err;
  std::string line = "\"" + box.path("qvx.exe") + "\" " + args;
  PROCESS_INFORMATION pi{};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, box.dir().c_str(), &si,
                     &pi))
    process_ = Process(pi);
  CloseHandle(out);
  CloseHandle(err);
}

std::string QvxProcess::out() const { return readFile(outPath_); }

std::string QvxProcess::err() const { return readFile(errPath_); }

QvxRun QvxProcess::finish(int timeoutMs) {
  if (!process_.started()) return {};
  long code = process_.waitExit(timeoutMs);
  return {code, out(), err()};
}

QvxRun runQvx(Sandbox& box, const std::string& args, int timeoutMs) { return QvxProcess(box, args).finish(timeoutMs); }

}  // namespace bench
