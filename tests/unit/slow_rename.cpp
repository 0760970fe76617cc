// Preloaded into a program under test (LD_PRELOAD): rename waits ten seconds first, so that
// a test can interrupt the program while its temporary file exists.
#include <dlfcn.h>
#include <unistd.h>

extern "C" int rename(const char* from, const char* to) {
  sleep(10);
  auto real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
  return real(from, to);
}
