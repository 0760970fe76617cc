// The host build reads no chip.
#include "qvx/captions/slicer_reader.h"

namespace captions {

bool startSlicerReader(qvx::Text& error) {
  error << "the chip is reached only by the Windows build, qvx.exe";
  return false;
}
int takeSlicedPairs(SlicedPair*, int, int) { return 0; }
bool stopSlicerReader() { return true; }

}  // namespace captions
