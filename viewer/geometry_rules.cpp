#include "viewer/geometry_rules.h"

bool hasFrameAspect(int clientWidth, int clientHeight, bool ntsc) {
  if (ntsc) return clientHeight % 2 == 0 && clientWidth == clientHeight / 2 * 3;
  return clientHeight % 4 == 0 && clientWidth == clientHeight / 4 * 5;
}
