// Writes the register reference page to the file named by its one argument.
#include <cstdio>

#include "qvx/register_page.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_page OUT.html\n", stderr);
    return 2;
  }
  std::string page = qvx::registerPage();
  std::FILE* out = std::fopen(argv[1], "wb");
  bool ok = out && std::fwrite(page.data(), 1, page.size(), out) == page.size();
  if (out) ok = std::fclose(out) == 0 && ok;
  if (!ok) std::perror(argv[1]);
  return ok ? 0 : 1;
}
