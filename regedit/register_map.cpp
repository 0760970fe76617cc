// Register lists, field tables and option texts of the decoder, and the field arithmetic.
#include "regedit/register_map.h"

#include <algorithm>

#include "regedit/resource.h"

namespace quorvex {

const std::array<std::uint8_t, kRegisterCount> defaultRegisters = {
    0x00, 0x00, 0xC0, 0x23, 0x00, 0x00, 0xEB, 0xE0, 0x88, 0x01, 0x80, 0x47, 0x40, 0x00, 0x01, 0x00,
    0x40, 0x1C, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

const std::uint8_t readableRegisters[26] = {0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09,
                                            0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12, 0x13,
                                            0x15, 0x16, 0x17, 0x1A, 0x1B, 0x1C, 0x1F, kListEnd};
const std::uint8_t writableRegisters[21] = {0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                            0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x10,
                                            0x11, 0x12, 0x13, 0x15, 0x16, 0x17, kListEnd};
const std::uint8_t statusRegisters[5] = {0x1A, 0x1B, 0x1C, 0x1F, kListEnd};

namespace {

const char* const modeOptions[] = {
    "000 - Mode 0: CVBS (automatic gain)",
    "001 - Mode 1: CVBS (automatic gain)",
    "010 - Mode 2: CVBS (automatic gain)",
    "011 - Mode 3: CVBS (automatic gain)",
    "100 - Mode 4: Y (automatic gain) + C (gain channel 2 fixed to GAI2 level)",
    "101 - Mode 5: Y (automatic gain) + C (gain channel 2 fixed to GAI2 level)",
    "110 - Mode 6: Y (automatic gain) + C (gain channel 2 adapted to Y gain)",
    "111 - Mode 7: Y (automatic gain) + C (gain channel 2 adapted to Y gain)"};
const char* const gudlOptions[] = {"000 - off",     "001 +/- 1 LSB", "010 +/- 2 LSB",
                                   "011 +/- 3 LSB", "100 +/- 4 LSB", "101 +/- 5 LSB",
                                   "110 +/- 6 LSB", "111 +/- 7 LSB"};
const char* const fuseOptions[] = {"00 - Amplifier plus anti-alias filter bypassed",
                                   "01 - Amplifier plus anti-alias filter bypassed",
                                   "10 - Amplifier active",
                                   "11 - Amplifier plus anti-alias filter active"};
const char* const vnoiOptions[] = {"00 - Normal mode", "01 - Searching mode",
                                   "10 - Free running mode",
                                   "11 - Vertical noise reduction bypassed"};
const char* const aperOptions[] = {"00 - Aperture factor = 0", "01 - Aperture factor = 0.25",
                                   "10 - Aperture factor = 0.5", "11 - Aperture factor = 1.0"};
const char* const bpssOptions[] = {
    "00 - Centre frequency = 4.1 MHz", "01 - Centre frequency = 3.8 MHz",
    "10 - Centre frequency = 2.6 MHz", "11 - Centre frequency = 2.9 MHz"};
const char* const chbwOptions[] = {
    "00 - Small bandwidth (620 kHz)", "01 - Nominal bandwidth (800 kHz)",
    "10 - Medium bandwidth (920 kHz)", "11 - Wide bandwidth (1000 kHz)"};
const char* const cstdOptions[] = {"000 - auto PAL BGHI/NTSC M",
                                   "001 - auto NTSC 4.43 (50 Hz)/PAL 4.43 (60 Hz)",
                                   "010 - auto PAL N/NTSC 4.43 (60 Hz)",
                                   "011 - auto NTSC N/PAL M",
                                   "100 - reserved, do not use",
                                   "101 - auto SECAM/PAL 4.43 (60 Hz)",
                                   "110 - reserved, do not use",
                                   "111 - reserved, do not use"};
const char* const ydelOptions[] = {"000 - +0/2 LLC", "001 - +1/2 LLC", "010 - +2/2 LLC",
                                   "011 - +3/2 LLC", "100 - -4/2 LLC", "101 - -3/2 LLC",
                                   "110 - -2/2 LLC", "111 - -1/2 LLC"};
const char* const hdelOptions[] = {"00 - 0/2 LLC", "01 - 1/2 LLC", "10 - 2/2 LLC",
                                   "11 - 3/2 LLC"};
const char* const oftsOptions[] = {"00 - RGB(5,6,5)/RGB(8, 8, 8)", "01 - YUV 422 16 bits",
                                   "10 - YUV 411 12 bits", "11 - YUV CCIR-656 8 bits"};
const char* const aoslOptions[] = {"00 - AOUT connected to internal test point 1",
                                   "01 - AOUT connected to input AD1",
                                   "10 - AOUT connected to input AD2",
                                   "11 - AOUT connected to internal test point 2"};
const char* const rtseOptions[] = {
    "00 - pin 39 - PLIN/pin 40 - ODD", "01 - pin 39 - PLIN/pin 40 - VL",
    "10 - pin 39 - HL/pin 40 - ODD", "11 - pin 39 - HL/pin 40 - VL"};
const char* const bypassOptions[] = {"00 - No bypass", "01 - Permanent bypass",
                                     "10 - Bypass controlled by V_GATE",
                                     "11 - Bypass controlled by delayed V_GATE"};
const char* const cctrOptions[] = {
    "00 - CREF is independent of VREF", "01 - CREF is low if VREF = 0",
    "10 - CREF is high if VREF = 0", "11 - CREF always = 1"};
const char* const vctrOptions[] = {"00 - Internal VREF", "01 - VREF_CCIR",
                                   "10 - Programmable V_GATE",
                                   "11 - Delayed programmable V_GATE"};

template <int N>
constexpr ComboField combo(int id, std::uint8_t sub, std::uint8_t mask, std::uint8_t shift,
                           const char* const (&options)[N]) {
  return ComboField{id, sub, mask, shift, options, N};
}

}  // namespace

const std::array<ComboField, 17> comboFields = {{
    combo(IDC_MODE, 0x02, 0x07, 0, modeOptions),
    combo(IDC_GUDL, 0x02, 0x38, 3, gudlOptions),
    combo(IDC_FUSE, 0x02, 0xC0, 6, fuseOptions),
    combo(IDC_VNOI, 0x08, 0x03, 0, vnoiOptions),
    combo(IDC_APER, 0x09, 0x03, 0, aperOptions),
    combo(IDC_BPSS, 0x09, 0x30, 4, bpssOptions),
    combo(IDC_CHBW, 0x0E, 0x03, 0, chbwOptions),
    combo(IDC_CSTD, 0x0E, 0x70, 4, cstdOptions),
    combo(IDC_YDEL, 0x10, 0x07, 0, ydelOptions),
    combo(IDC_HDEL, 0x10, 0x30, 4, hdelOptions),
    combo(IDC_OFTS, 0x10, 0xC0, 6, oftsOptions),
    combo(IDC_AOSL, 0x12, 0x03, 0, aoslOptions),
    combo(IDC_RTSE, 0x12, 0xC0, 6, rtseOptions),
    combo(IDC_BCLO, 0x13, 0x03, 0, bypassOptions),
    combo(IDC_BCHI, 0x13, 0x0C, 2, bypassOptions),
    combo(IDC_CCTR, 0x13, 0x30, 4, cctrOptions),
    combo(IDC_VCTR, 0x13, 0xC0, 6, vctrOptions),
}};

const std::array<CheckField, 30> checkFields = {{
    {IDC_GAFIX, 0x03, 2}, {IDC_HOLDG, 0x03, 3},  {IDC_WPOFF, 0x03, 4},  {IDC_VBSL, 0x03, 5},
    {IDC_HLNRS, 0x03, 6}, {IDC_HPLL, 0x08, 2},   {IDC_VTRC, 0x08, 3},   {IDC_EXFIL, 0x08, 5},
    {IDC_FSEL, 0x08, 6},  {IDC_AUFD, 0x08, 7},   {IDC_UPTCV, 0x09, 2},  {IDC_VBLB, 0x09, 3},
    {IDC_PREF, 0x09, 6},  {IDC_BYPS, 0x09, 7},   {IDC_FCTC, 0x0E, 2},   {IDC_DCCF, 0x0E, 3},
    {IDC_CDTO, 0x0E, 7},  {IDC_VRLN, 0x10, 3},   {IDC_COLO, 0x11, 0},   {IDC_VIPB, 0x11, 1},
    {IDC_OEHV, 0x11, 2},  {IDC_OEYC, 0x11, 3},   {IDC_COMPO, 0x11, 4},  {IDC_FECO, 0x11, 5},
    {IDC_CM99, 0x11, 6},  {IDC_GPSW, 0x11, 7},   {IDC_DIT, 0x12, 2},    {IDC_RGB888, 0x12, 3},
    {IDC_CBR, 0x12, 4},   {IDC_TCLO, 0x12, 5},
}};

const std::array<SpinField, 6> spinFields = {{
    {IDC_HSB_SPIN, IDC_HSB, 0x06, -107, 108, true},
    {IDC_HSS_SPIN, IDC_HSS, 0x07, -107, 108, true},
    {IDC_BRIGHTNESS_SPIN, IDC_BRIGHTNESS, 0x0A, 0, 255, false},
    {IDC_CONTRAST_SPIN, IDC_CONTRAST, 0x0B, -128, 127, true},
    {IDC_SATURATION_SPIN, IDC_SATURATION, 0x0C, -128, 127, true},
    {IDC_HUE_SPIN, IDC_HUE, 0x0D, -128, 127, true},
}};

const std::array<WideSpinField, 4> wideSpinFields = {{
    {IDC_GAI1_SPIN, IDC_GAI1, 0x04, 0x03, 0},
    {IDC_GAI2_SPIN, IDC_GAI2, 0x05, 0x03, 1},
    {IDC_VSTA_SPIN, IDC_VSTA, 0x15, 0x17, 0},
    {IDC_VSTO_SPIN, IDC_VSTO, 0x16, 0x17, 1},
}};

namespace {

template <typename Table, typename Key>
const typename Table::value_type* findIn(const Table& table, Key key, int value) {
  for (const auto& f : table)
    if (f.*key == value) return &f;
  return nullptr;
}

}  // namespace

const ComboField* findComboField(int id) { return findIn(comboFields, &ComboField::id, id); }
const CheckField* findCheckField(int id) { return findIn(checkFields, &CheckField::id, id); }
const SpinField* findSpinField(int id) { return findIn(spinFields, &SpinField::upDownId, id); }
const WideSpinField* findWideSpinField(int id) {
  return findIn(wideSpinFields, &WideSpinField::upDownId, id);
}

int comboValue(const ComboField& f, const RegisterShadow& s) {
  return (s.bytes[f.subaddress] & f.mask) >> f.shift;
}

void setComboValue(const ComboField& f, RegisterShadow& s, int index) {
  std::uint8_t& b = s.bytes[f.subaddress];
  b = static_cast<std::uint8_t>((b & ~f.mask) | ((index << f.shift) & f.mask));
}

namespace {

void setBit(std::uint8_t& b, int bit, bool on) {
  if (on)
    b = static_cast<std::uint8_t>(b | (1u << bit));
  else
    b = static_cast<std::uint8_t>(b & ~(1u << bit));
}

}  // namespace

bool checkValue(const CheckField& f, const RegisterShadow& s) {
  return (s.bytes[f.subaddress] >> f.bit) & 1;
}

void setCheckValue(const CheckField& f, RegisterShadow& s, bool on) {
  setBit(s.bytes[f.subaddress], f.bit, on);
}

int spinValue(const SpinField& f, const RegisterShadow& s) {
  std::uint8_t b = s.bytes[f.subaddress];
  return f.isSigned ? static_cast<int>(static_cast<std::int8_t>(b)) : b;
}

void setSpinValue(const SpinField& f, RegisterShadow& s, int position) {
  s.bytes[f.subaddress] = static_cast<std::uint8_t>(position & 0xFF);
}

SpinRange spinRange(const SpinField& f, int position) {
  return {std::min(f.low, position), std::max(f.high, position)};
}

int wideValue(const WideSpinField& f, const RegisterShadow& s) {
  int high = (s.bytes[f.highSubaddress] >> f.highBit) & 1;
  return s.bytes[f.lowSubaddress] + (high ? 256 : 0);
}

void setWideValue(const WideSpinField& f, RegisterShadow& s, int position) {
  s.bytes[f.lowSubaddress] = static_cast<std::uint8_t>(position & 0xFF);
  setBit(s.bytes[f.highSubaddress], f.highBit, (position & 0x100) != 0);
}

const std::array<ShownField, 16> statusFields = {{
    {IDC_SLICER_FIRST + 0, "F1RDY", "F1RDY", 0x1A, 0x01, 0, false},
    {IDC_SLICER_FIRST + 1, "F1VAL", "F1VAL", 0x1A, 0x02, 1, false},
    {IDC_SLICER_FIRST + 2, "F2RDY", "F2RDY", 0x1A, 0x04, 2, false},
    {IDC_SLICER_FIRST + 3, "F2VAL", "F2VAL", 0x1A, 0x08, 3, false},
    {IDC_SLICER_FIRST + 4, "BYTE1", "BYTE1", 0x1B, 0x7F, 0, true},
    {IDC_SLICER_FIRST + 5, "P1", "P1", 0x1B, 0x80, 7, false},
    {IDC_SLICER_FIRST + 6, "BYTE2", "BYTE2", 0x1C, 0x7F, 0, true},
    {IDC_SLICER_FIRST + 7, "P2", "P2", 0x1C, 0x80, 7, false},
    {IDC_STATUS_FIRST + 0, "CODE", "CODE", 0x1F, 0x01, 0, false},
    {IDC_STATUS_FIRST + 1, "SLTCA", "SLTCA", 0x1F, 0x02, 1, false},
    {IDC_STATUS_FIRST + 2, "WIPA", "WIPA", 0x1F, 0x04, 2, false},
    {IDC_STATUS_FIRST + 3, "GLIMB", "GLIMB", 0x1F, 0x08, 3, false},
    {IDC_STATUS_FIRST + 4, "GLIMT", "GLIMT", 0x1F, 0x10, 4, false},
    {IDC_STATUS_FIRST + 5, "FIDT", "FIDT", 0x1F, 0x20, 5, false},
    {IDC_STATUS_FIRST + 6, "HLCK", "HLCK", 0x1F, 0x40, 6, false},
    {IDC_STATUS_FIRST + 7, "STTC", "STTC", 0x1F, 0x80, 7, false},
}};

const ShownField chipVersionField = {IDC_VERSION, "VERSION", "Version", 0x00, 0xF0, 4, false};

int shownValue(const ShownField& f, const RegisterShadow& s) {
  return (s.bytes[f.subaddress] & f.mask) >> f.shift;
}

char versionChar(std::uint8_t chipVersionByte) {
  int digit = (chipVersionByte & chipVersionField.mask) >> chipVersionField.shift;
  return static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10);
}

namespace {

bool listed(const std::uint8_t* list, int subaddress) {
  for (; *list != kListEnd; ++list)
    if (*list == subaddress) return true;
  return false;
}

}  // namespace

RegisterRole registerRole(int subaddress) {
  if (listed(writableRegisters, subaddress)) return RegisterRole::Written;
  if (listed(statusRegisters, subaddress)) return RegisterRole::Polled;
  if (listed(readableRegisters, subaddress)) return RegisterRole::ReadOnce;
  return RegisterRole::Unused;
}

std::uint8_t uncontrolledBits(int subaddress) {
  unsigned covered = 0;
  auto cover = [&](int sub, unsigned mask) {
    if (sub == subaddress) covered |= mask;
  };
  for (const ComboField& f : comboFields) cover(f.subaddress, f.mask);
  for (const CheckField& f : checkFields) cover(f.subaddress, 1u << f.bit);
  for (const SpinField& f : spinFields) cover(f.subaddress, 0xFF);
  for (const WideSpinField& f : wideSpinFields) {
    cover(f.lowSubaddress, 0xFF);
    cover(f.highSubaddress, 1u << f.highBit);
  }
  for (const ShownField& f : statusFields) cover(f.subaddress, f.mask);
  cover(chipVersionField.subaddress, chipVersionField.mask);
  return static_cast<std::uint8_t>(~covered & 0xFF);
}

}  // namespace quorvex
