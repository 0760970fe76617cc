// Platform-free value rules of the settings file: bounds, flags, codes and the file's name.
#pragma once
#include <cstddef>

// Bounds value by upper, then by lower: the lower bound wins should the two cross.
int clampInt(int value, int upper, int lower);

// A flag read from the file counts as true when the low 8 bits of its value are non-zero.
bool profileFlag(int value);

// "SECAM": 0 keeps the default code 0x53, any other value gives its low 8 bits.
unsigned char secamCodeFromProfile(int value);

// "BuzMixerLine": n selects source component type 0x1000 + n, bounded to 0x1000 .. 0x100A.
unsigned long buzMixerLineFromProfile(int value);

// Video frame and smallest video size of the TV system: PAL/SECAM 5:4, NTSC 3:2.
struct FrameBounds {
  int frameWidth;
  int frameHeight;
  int minWidth;
  int minHeight;
};
FrameBounds frameBounds(bool ntsc);

// The settings file's path from the executable's lower-cased path of length characters,
// in place: a path that ends in ".exe" gets ".ini" instead. A path that filled the whole
// buffer of capacity characters may have been cut short and is refused, as is one with
// no ".exe" ending.
bool iniPathFromModulePath(char* path, size_t length, size_t capacity);
