// PNG files through the platform's GDI+, loaded when the first one is written so that the
// viewer's start does not pay for it.
#pragma once
#include <windows.h>

// Writes a 24-bit PNG of width x height pixels to path, from rows of three bytes a pixel
// (blue, green, red), the top row first, stride bytes apart. An existing file at path is
// overwritten. False when GDI+ cannot be had or the file cannot be written.
bool writePng24(const char* path, int width, int height, int stride, BYTE* rows);
