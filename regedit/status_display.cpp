// Change detection and texts of the status display.
#include "regedit/status_display.h"

#include "regedit/resource.h"

namespace quorvex {

void slicerByteText(std::uint8_t b, char (&text)[3]) {
  static constexpr char digits[] = "0123456789abcdef";
  text[0] = digits[(b & 0x7F) >> 4];
  text[1] = digits[b & 0x0F];
  text[2] = '\0';
}

namespace {

StatusText bitText(int id, std::uint8_t b, int bit) {
  return {id, {((b >> bit) & 1) ? '1' : '0', '\0'}};
}

StatusText byteText(int id, std::uint8_t b) {
  StatusText t{id, {}};
  slicerByteText(b, t.text);
  return t;
}

// The texts of one group for its byte.
int groupTexts(int group, std::uint8_t b, StatusText* out) {
  switch (group) {
    case 0:  // F1RDY, F1VAL, F2RDY, F2VAL
      for (int i = 0; i < 4; ++i) out[i] = bitText(IDC_SLICER_FIRST + i, b, i);
      return 4;
    case 1:  // BYTE1, P1
      out[0] = byteText(IDC_SLICER_FIRST + 4, b);
      out[1] = bitText(IDC_SLICER_FIRST + 5, b, 7);
      return 2;
    case 2:  // BYTE2, P2
      out[0] = byteText(IDC_SLICER_FIRST + 6, b);
      out[1] = bitText(IDC_SLICER_FIRST + 7, b, 7);
      return 2;
    default:  // CODE ... STTC
      for (int i = 0; i < 8; ++i) out[i] = bitText(IDC_STATUS_FIRST + i, b, i);
      return 8;
  }
}

}  // namespace

int statusUpdates(StatusCache& cache, const RegisterShadow& shadow,
                  std::array<StatusText, kMaxStatusTexts>& out) {
  if (!cache.valid) {
    // Differ from every byte once, so that each group is shown on the first display.
    for (int g = 0; g < 4; ++g)
      cache.bytes[g] = static_cast<std::uint8_t>(shadow.bytes[statusRegisters[g]] + 1);
    cache.valid = true;
  }
  int count = 0;
  for (int g = 0; g < 4; ++g) {
    std::uint8_t b = shadow.bytes[statusRegisters[g]];
    if (b == cache.bytes[g]) continue;
    cache.bytes[g] = b;
    count += groupTexts(g, b, &out[count]);
  }
  return count;
}

}  // namespace quorvex
