// Bounded text for qvx's lines and messages, in place of the C++ library's strings (which
// would bring its exception machinery into qvx.exe). A text that does not fit is cut and
// ends in "...", never overflowed. Where printed text goes: a Sink. No platform calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qvx {

class Text {
 public:
  Text(char* buffer, std::size_t capacity);
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;

  Text& operator<<(std::string_view s);
  Text& operator<<(const char* s) { return *this << std::string_view(s ? s : ""); }
  Text& operator<<(char c) { return *this << std::string_view(&c, 1); }
  Text& operator<<(long long n);
  Text& operator<<(int n) { return *this << static_cast<long long>(n); }
  // Spaces up to column (nothing when the text is already that long).
  Text& padTo(std::size_t column);

  const char* c_str() const { return buffer_; }
  std::size_t size() const { return size_; }
  std::string_view view() const { return {buffer_, size_}; }
  bool cut() const { return cut_; }
  void clear();

 private:
  char* buffer_;
  std::size_t capacity_, size_ = 0;
  bool cut_ = false;
};

template <std::size_t N>
struct TextStorage {
  char storage[N];
};

// A Text with its own buffer of N characters (terminator included).
template <std::size_t N>
class TextOf : private TextStorage<N>, public Text {
 public:
  TextOf() : Text(TextStorage<N>::storage, N) {}
};

// A message line: room for the longest path and the words around it.
using Message = TextOf<4096 + 512>;

// "0x0A": a subaddress as qvx names registers.
struct RegisterName {
  int subaddress;
};
Text& operator<<(Text& t, RegisterName r);
// "0x3c": a byte's bits as they stand in the register.
struct ByteValue {
  int value;
};
Text& operator<<(Text& t, ByteValue b);
// "7-2", or "5" for one bit: the bits of a mask.
struct MaskBits {
  unsigned mask;
};
Text& operator<<(Text& t, MaskBits m);

// "00:01:02.345": ms (a negative one as 0) in hours, minutes, seconds and milliseconds, with
// separator before the milliseconds (',' in SRT files); the hours take more digits past 99.
struct Elapsed {
  long long ms;
  char separator;
};
Text& operator<<(Text& t, Elapsed e);

// Where printed text goes.
struct Sink {
  void (*write)(void* context, const char* text, std::size_t size);
  void* context;
  void put(const Text& t) const { write(context, t.c_str(), t.size()); }
};

}  // namespace qvx
