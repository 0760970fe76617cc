// Field arithmetic, register tables, path rules and status texts of the register editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "regedit/paths.h"
#include "regedit/register_map.h"
#include "regedit/resource.h"
#include "regedit/status_display.h"

using namespace quorvex;

namespace {

RegisterShadow defaults() { return RegisterShadow{defaultRegisters}; }

int listLength(const std::uint8_t* list) {
  int n = 0;
  while (list[n] != kListEnd) ++n;
  return n;
}

}  // namespace

// --- Tables ---------------------------------------------------------------------------

TEST(RegisterTables, ListsHaveTheirLengthsAndStatusIsNeverWritten) {
  EXPECT_EQ(listLength(readableRegisters), 25);
  EXPECT_EQ(listLength(writableRegisters), 20);
  EXPECT_EQ(listLength(statusRegisters), 4);
  for (const std::uint8_t* s = statusRegisters; *s != kListEnd; ++s)
    EXPECT_EQ(std::count(writableRegisters, writableRegisters + 20, *s), 0) << int(*s);
  // Every writable register is also read back, and 0x00 is read but never written.
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(std::count(readableRegisters, readableRegisters + 25, writableRegisters[i]), 1);
  EXPECT_EQ(readableRegisters[0], 0x00);
}

TEST(RegisterTables, ControlIdsAreUnique) {
  std::set<int> ids;
  for (const auto& f : comboFields) EXPECT_TRUE(ids.insert(f.id).second) << f.id;
  for (const auto& f : checkFields) EXPECT_TRUE(ids.insert(f.id).second) << f.id;
  for (const auto& f : spinFields) {
    EXPECT_TRUE(ids.insert(f.upDownId).second) << f.upDownId;
    EXPECT_TRUE(ids.insert(f.editId).second) << f.editId;
  }
  for (const auto& f : wideSpinFields) {
    EXPECT_TRUE(ids.insert(f.upDownId).second) << f.upDownId;
    EXPECT_TRUE(ids.insert(f.editId).second) << f.editId;
  }
  EXPECT_EQ(ids.size(), 17u + 30u + 12u + 8u);
}

TEST(RegisterTables, FieldsDoNotOverlapAndLeaveTheUncontrolledBitsAlone) {
  std::uint8_t covered[kRegisterCount] = {};
  auto claim = [&](int sub, int mask, int id) {
    EXPECT_EQ(covered[sub] & mask, 0) << "control " << id << " overlaps at " << sub;
    covered[sub] |= mask;
  };
  for (const auto& f : comboFields) claim(f.subaddress, f.mask, f.id);
  for (const auto& f : checkFields) claim(f.subaddress, 1 << f.bit, f.id);
  for (const auto& f : spinFields) claim(f.subaddress, 0xFF, f.upDownId);
  for (const auto& f : wideSpinFields) {
    claim(f.lowSubaddress, 0xFF, f.upDownId);
    claim(f.highSubaddress, 1 << f.highBit, f.upDownId);
  }
  struct Row { int sub, mask; } rows[] = {
      {0x02, 0xFF}, {0x03, 0x7F}, {0x04, 0xFF}, {0x05, 0xFF}, {0x06, 0xFF}, {0x07, 0xFF},
      {0x08, 0xEF}, {0x09, 0xFF}, {0x0A, 0xFF}, {0x0B, 0xFF}, {0x0C, 0xFF}, {0x0D, 0xFF},
      {0x0E, 0xFF}, {0x10, 0xFF}, {0x11, 0xFF}, {0x12, 0xFF}, {0x13, 0xFF}, {0x15, 0xFF},
      {0x16, 0xFF}, {0x17, 0x03}};
  std::uint8_t expected[kRegisterCount] = {};
  for (const Row& r : rows) expected[r.sub] = static_cast<std::uint8_t>(r.mask);
  for (int s = 0; s < kRegisterCount; ++s) EXPECT_EQ(covered[s], expected[s]) << "register " << s;
}

TEST(RegisterTables, ShownFieldsAndTheVersionLeaveOnlyTheBitsWithoutAControl) {
  std::uint8_t shown[kRegisterCount] = {};
  auto claim = [&](int sub, int mask, const char* name) {
    EXPECT_EQ(shown[sub] & mask, 0) << name << " overlaps at " << sub;
    shown[sub] |= mask;
  };
  for (const ShownField& f : statusFields) {
    claim(f.subaddress, f.mask, f.name);
    EXPECT_EQ(f.mask >> f.shift << f.shift, f.mask) << f.name << ": shift below the mask";
    EXPECT_EQ(f.mask >> f.shift & 1, 1) << f.name << ": shift above the lowest bit";
  }
  claim(chipVersionField.subaddress, chipVersionField.mask, chipVersionField.name);
  // The bits the register map gives no control: the rest of 0x00 and 0x1A, 0x03 bit 7,
  // 0x08 bit 4, 0x17 bits 7-2, and the registers without fields.
  struct Row { int sub, bits; } rows[] = {{0x00, 0x0F}, {0x01, 0xFF}, {0x03, 0x80}, {0x08, 0x10},
                                          {0x0F, 0xFF}, {0x14, 0xFF}, {0x17, 0xFC}, {0x18, 0xFF},
                                          {0x19, 0xFF}, {0x1A, 0xF0}, {0x1D, 0xFF}, {0x1E, 0xFF}};
  std::uint8_t expected[kRegisterCount] = {};
  for (const Row& r : rows) expected[r.sub] = static_cast<std::uint8_t>(r.bits);
  for (int s = 0; s < kRegisterCount; ++s) EXPECT_EQ(uncontrolledBits(s), expected[s]) << "register " << s;
  // The editor's controls 300 to 307 and 400 to 407, in that order.
  for (int i = 0; i < 16; ++i) EXPECT_EQ(statusFields[i].id, (i < 8 ? 300 : 392) + i) << statusFields[i].name;
}

TEST(RegisterTables, EachRegistersRoleFollowsTheLists) {
  for (int s = 0; s < kRegisterCount; ++s) {
    RegisterRole want = RegisterRole::Unused;
    if (s == 0x00) want = RegisterRole::ReadOnce;
    if ((s >= 0x02 && s <= 0x13 && s != 0x0F) || (s >= 0x15 && s <= 0x17)) want = RegisterRole::Written;
    if (s == 0x1A || s == 0x1B || s == 0x1C || s == 0x1F) want = RegisterRole::Polled;
    EXPECT_EQ(registerRole(s), want) << "register " << s;
  }
}

TEST(RegisterTables, OptionTextsStartWithTheirCodeSoSortedOrderIsCodeOrder) {
  for (const auto& f : comboFields) {
    int bits = 0;
    for (int m = f.mask >> f.shift; m; m >>= 1) ++bits;
    ASSERT_EQ(f.optionCount, 1 << bits) << f.id;
    std::vector<std::string> texts(f.options, f.options + f.optionCount);
    for (int v = 0; v < f.optionCount; ++v) {
      std::string code;
      for (int b = bits - 1; b >= 0; --b) code += ((v >> b) & 1) ? '1' : '0';
      EXPECT_EQ(texts[v].substr(0, bits), code) << f.id << " option " << v;
    }
    EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end())) << f.id;
  }
}

TEST(RegisterTables, SomeOptionTextsExactly) {
  struct Row { int id, value; const char* text; } rows[] = {
      {IDC_MODE, 6, "110 - Mode 6: Y (automatic gain) + C (gain channel 2 adapted to Y gain)"},
      {IDC_GUDL, 1, "001 +/- 1 LSB"},
      {IDC_OFTS, 0, "00 - RGB(5,6,5)/RGB(8, 8, 8)"},
      {IDC_CSTD, 1, "001 - auto NTSC 4.43 (50 Hz)/PAL 4.43 (60 Hz)"},
      {IDC_YDEL, 4, "100 - -4/2 LLC"},
      {IDC_VCTR, 3, "11 - Delayed programmable V_GATE"},
      {IDC_BCHI, 3, "11 - Bypass controlled by delayed V_GATE"},
  };
  for (const Row& r : rows) {
    const ComboField* f = findComboField(r.id);
    ASSERT_NE(f, nullptr) << r.id;
    EXPECT_STREQ(f->options[r.value], r.text) << r.id;
  }
}

// --- Field arithmetic ------------------------------------------------------------------

TEST(FieldArithmetic, DefaultsShowAsListed) {
  RegisterShadow s = defaults();
  struct Spin { int id, value; } spins[] = {
      {IDC_HSB_SPIN, -21},       {IDC_HSS_SPIN, -32},       {IDC_BRIGHTNESS_SPIN, 128},
      {IDC_CONTRAST_SPIN, 71},   {IDC_SATURATION_SPIN, 64}, {IDC_HUE_SPIN, 0}};
  for (const Spin& r : spins) EXPECT_EQ(spinValue(*findSpinField(r.id), s), r.value) << r.id;
  struct Wide { int id, value; } wides[] = {
      {IDC_GAI1_SPIN, 256}, {IDC_GAI2_SPIN, 256}, {IDC_VSTA_SPIN, 0}, {IDC_VSTO_SPIN, 0}};
  for (const Wide& r : wides) EXPECT_EQ(wideValue(*findWideSpinField(r.id), s), r.value) << r.id;
  struct Combo { int id, value; } combos[] = {
      {IDC_MODE, 0}, {IDC_FUSE, 3}, {IDC_APER, 1}, {IDC_CHBW, 1}, {IDC_OFTS, 1}, {IDC_AOSL, 1},
      {IDC_GUDL, 0}, {IDC_CSTD, 0}, {IDC_VCTR, 0}};
  for (const Combo& r : combos) EXPECT_EQ(comboValue(*findComboField(r.id), s), r.value) << r.id;
  std::set<int> ticked = {IDC_VTRC, IDC_AUFD, IDC_VBSL, IDC_OEHV, IDC_OEYC, IDC_COMPO};
  for (const auto& f : checkFields) EXPECT_EQ(checkValue(f, s), ticked.count(f.id) == 1) << f.id;
}

TEST(FieldArithmetic, ListValueReplacesOnlyItsBits) {
  for (const auto& f : comboFields) {
    for (std::uint8_t background : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x5A}}) {
      for (int v = 0; v < f.optionCount; ++v) {
        RegisterShadow s = defaults();
        s.bytes[f.subaddress] = background;
        setComboValue(f, s, v);
        EXPECT_EQ(comboValue(f, s), v) << f.id;
        EXPECT_EQ(s.bytes[f.subaddress] & ~f.mask, background & ~f.mask) << f.id;
      }
    }
  }
  RegisterShadow s = defaults();
  setComboValue(*findComboField(IDC_MODE), s, 6);
  EXPECT_EQ(s.bytes[0x02], 0xC6);
}

TEST(FieldArithmetic, TickSetsAndClearsOneBit) {
  for (const auto& f : checkFields) {
    RegisterShadow s = defaults();
    std::uint8_t before = s.bytes[f.subaddress];
    setCheckValue(f, s, true);
    EXPECT_EQ(s.bytes[f.subaddress], before | (1 << f.bit)) << f.id;
    setCheckValue(f, s, false);
    EXPECT_EQ(s.bytes[f.subaddress], before & ~(1 << f.bit)) << f.id;
  }
}

TEST(FieldArithmetic, NumberFieldsStoreTwosComplementBytes) {
  struct Row { int id, position; std::uint8_t byte; int shownBack; } rows[] = {
      {IDC_HSB_SPIN, -107, 0x95, -107}, {IDC_HSB_SPIN, 108, 0x6C, 108},
      {IDC_HSS_SPIN, -1, 0xFF, -1},     {IDC_CONTRAST_SPIN, -128, 0x80, -128},
      {IDC_HUE_SPIN, 127, 0x7F, 127},   {IDC_BRIGHTNESS_SPIN, 255, 0xFF, 255},
      {IDC_BRIGHTNESS_SPIN, 0, 0x00, 0}, {IDC_SATURATION_SPIN, -64, 0xC0, -64}};
  for (const Row& r : rows) {
    const SpinField& f = *findSpinField(r.id);
    RegisterShadow s = defaults();
    setSpinValue(f, s, r.position);
    EXPECT_EQ(s.bytes[f.subaddress], r.byte) << r.id << " at " << r.position;
    EXPECT_EQ(spinValue(f, s), r.shownBack) << r.id;
  }
  EXPECT_EQ(findSpinField(IDC_HSB_SPIN)->low, -107);
  EXPECT_EQ(findSpinField(IDC_HSS_SPIN)->high, 108);
  EXPECT_FALSE(findSpinField(IDC_BRIGHTNESS_SPIN)->isSigned);
}

TEST(FieldArithmetic, ArrowRangeTakesInAChipValueOutsideTheFieldsRange) {
  struct Row { int id, position, low, high; } rows[] = {
      {IDC_HSB_SPIN, -21, -107, 108},  {IDC_HSB_SPIN, -107, -107, 108}, {IDC_HSB_SPIN, 108, -107, 108},
      {IDC_HSB_SPIN, -108, -108, 108}, {IDC_HSS_SPIN, -128, -128, 108}, {IDC_HSS_SPIN, 127, -107, 127},
      {IDC_CONTRAST_SPIN, -128, -128, 127}, {IDC_BRIGHTNESS_SPIN, 255, 0, 255}};
  for (const Row& r : rows) {
    SpinRange range = spinRange(*findSpinField(r.id), r.position);
    EXPECT_EQ(range.low, r.low) << r.id << " at " << r.position;
    EXPECT_EQ(range.high, r.high) << r.id << " at " << r.position;
  }
}

TEST(FieldArithmetic, NineBitValuesCarryIntoTheHighRegisterOnly) {
  struct Row { int id; std::uint8_t high0; int position; std::uint8_t low, high; } rows[] = {
      {IDC_GAI1_SPIN, 0x22, 256, 0x00, 0x23},  // 255 -> 256: bit 8 set, other bits kept
      {IDC_GAI1_SPIN, 0xA3, 255, 0xFF, 0xA2},  // back down: bit 8 cleared
      {IDC_GAI2_SPIN, 0x81, 511, 0xFF, 0x83},  // GAI2's bit 8 is bit 1, GAI1's stays
      {IDC_VSTA_SPIN, 0xFC, 300, 0x2C, 0xFD},  // 0x17 bits 7-2 carried along
      {IDC_VSTO_SPIN, 0xFF, 5, 0x05, 0xFD}};
  for (const Row& r : rows) {
    const WideSpinField& f = *findWideSpinField(r.id);
    RegisterShadow s = defaults();
    s.bytes[f.highSubaddress] = r.high0;
    setWideValue(f, s, r.position);
    EXPECT_EQ(s.bytes[f.lowSubaddress], r.low) << r.id;
    EXPECT_EQ(s.bytes[f.highSubaddress], r.high) << r.id;
    EXPECT_EQ(wideValue(f, s), r.position) << r.id;
  }
}

TEST(FieldArithmetic, VersionDigitIsHexadecimal) {
  struct Row { std::uint8_t byte; char digit; } rows[] = {
      {0x00, '0'}, {0x10, '1'}, {0x9F, '9'}, {0xA0, 'A'}, {0xC3, 'C'}, {0xF0, 'F'}};
  for (const Row& r : rows) EXPECT_EQ(versionChar(r.byte), r.digit) << int(r.byte);
}

// --- Paths -----------------------------------------------------------------------------

namespace {

// The texts the path builders write into their fixed buffers; true exactly when not empty.
std::string serverCommandLineOf(const std::string& module) {
  char line[kPathSize];
  bool ok = serverCommandLine(module, line);
  EXPECT_EQ(ok, line[0] != '\0') << module;
  return line;
}

std::string defaultSnapshotPathOf(const std::string& module) {
  char path[kPathSize];
  bool ok = defaultSnapshotPath(module, path);
  EXPECT_EQ(ok, path[0] != '\0') << module;
  return path;
}

}  // namespace

TEST(Paths, SplitPathAtLastBackslashOrColon) {
  struct Row { const char* path; const char* folder; const char* name; } rows[] = {
      {"", "", ""},
      {"snapshot.qvx", "", "snapshot.qvx"},
      {"C:\\dir\\a.qvx", "C:\\dir\\", "a.qvx"},
      {"C:a.qvx", "C:", "a.qvx"},
      {"C:\\dir\\", "C:\\dir\\", ""},
      {"\\\\srv\\share\\x:y\\f.qvx", "\\\\srv\\share\\x:y\\", "f.qvx"},
      {"Z:\\my dir\\sub:\\", "Z:\\my dir\\sub:\\", ""}};
  for (const Row& r : rows) {
    PathParts p = splitPath(r.path);
    EXPECT_EQ(p.folder, r.folder) << r.path;
    EXPECT_EQ(p.fileName, r.name) << r.path;
  }
}

TEST(Paths, ServerCommandLineIsQuotedAndBounded) {
  struct Row { std::string module, line; } rows[] = {
      {"C:\\tools\\quorvex.drv", "\"C:\\tools\\busgate.drv\""},
      {"C:\\Program Files\\Buz\\quorvex.drv", "\"C:\\Program Files\\Buz\\busgate.drv\""},
      {"quorvex.drv", ""},
      {"\\quorvex.drv", ""},  // a backslash only at the first position does not count
      {"", ""}};
  for (const Row& r : rows) EXPECT_EQ(serverCommandLineOf(r.module), r.line) << r.module;
  // 2 quotes + folder + "busgate.drv" (11) must leave room for the terminating zero.
  std::string fits = "C:\\" + std::string(kPathSize - 1 - 2 - 11 - 4, 'a') + "\\q.drv";
  EXPECT_EQ(serverCommandLineOf(fits).size(), kPathSize - 1);
  std::string tooLong = "C:\\" + std::string(kPathSize - 1 - 2 - 11 - 3, 'a') + "\\q.drv";
  EXPECT_EQ(serverCommandLineOf(tooLong), "");
}

TEST(Paths, DefaultSnapshotPathBesideTheEditor) {
  EXPECT_EQ(defaultSnapshotPathOf("C:\\a b\\quorvex.drv"), "C:\\a b\\snapshot.qvx");
  EXPECT_EQ(defaultSnapshotPathOf(""), "");
  std::string fits = "C:\\" + std::string(kPathSize - 1 - 12 - 4, 'a') + "\\q.drv";
  EXPECT_EQ(defaultSnapshotPathOf(fits).size(), kPathSize - 1);
  EXPECT_EQ(defaultSnapshotPathOf("C:\\" + std::string(kPathSize - 12 - 4, 'a') + "\\q.drv"), "");
}

TEST(Paths, HelpPageBesideTheEditorUnquoted) {
  char path[kPathSize];
  EXPECT_TRUE(siblingPath("C:\\a b\\quorvex.drv", "quorvex.html", path));
  EXPECT_STREQ(path, "C:\\a b\\quorvex.html");
  EXPECT_FALSE(siblingPath("quorvex.drv", "quorvex.html", path));
  EXPECT_STREQ(path, "");
  EXPECT_FALSE(siblingPath("C:quorvex.drv", "quorvex.html", path)) << "a colon is no folder here";
  std::string fits = "C:\\" + std::string(kPathSize - 1 - 12 - 4, 'a') + "\\q.drv";
  EXPECT_TRUE(siblingPath(fits, "quorvex.html", path));
  EXPECT_EQ(std::string(path).size(), kPathSize - 1);
  EXPECT_FALSE(siblingPath("C:\\" + std::string(kPathSize - 12 - 4, 'a') + "\\q.drv", "quorvex.html", path));
  EXPECT_STREQ(path, "");
}

// --- Status display --------------------------------------------------------------------

namespace {

std::vector<std::pair<int, std::string>> updates(StatusCache& cache, const RegisterShadow& s) {
  std::array<StatusText, kMaxStatusTexts> out;
  int n = statusUpdates(cache, s, out);
  std::vector<std::pair<int, std::string>> v;
  for (int i = 0; i < n; ++i) v.emplace_back(out[i].id, out[i].text);
  return v;
}

}  // namespace

TEST(StatusDisplay, FirstDisplayShowsEveryGroupEvenWhenZero) {
  StatusCache cache;
  RegisterShadow s = defaults();
  auto first = updates(cache, s);
  ASSERT_EQ(first.size(), 16u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(first[i].first, 300 + i);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(first[8 + i].first, 400 + i);
  EXPECT_EQ(first[4].second, "00");
  EXPECT_EQ(first[8].second, "0");
  EXPECT_TRUE(updates(cache, s).empty()) << "nothing changed, nothing shown";
  // The first display is forced even when every byte is 0xFF (the +1 wraps to 0x00).
  StatusCache fresh;
  for (int sub : {0x1A, 0x1B, 0x1C, 0x1F}) s.bytes[sub] = 0xFF;
  EXPECT_EQ(updates(fresh, s).size(), 16u);
}

TEST(StatusDisplay, OnlyChangedGroupsAreShown) {
  StatusCache cache;
  RegisterShadow s = defaults();
  updates(cache, s);
  struct Row { int sub; std::uint8_t value; std::vector<std::pair<int, std::string>> shown; } rows[] = {
      {0x1B, 0xC1, {{304, "41"}, {305, "1"}}},
      {0x1C, 0x7F, {{306, "7f"}, {307, "0"}}},
      {0x1A, 0x0A, {{300, "0"}, {301, "1"}, {302, "0"}, {303, "1"}}},
      {0x1F, 0x41, {{400, "1"}, {401, "0"}, {402, "0"}, {403, "0"},
                    {404, "0"}, {405, "0"}, {406, "1"}, {407, "0"}}},
      {0x1A, 0xF0, {{300, "0"}, {301, "0"}, {302, "0"}, {303, "0"}}}};
  for (const Row& r : rows) {
    s.bytes[r.sub] = r.value;
    EXPECT_EQ(updates(cache, s), r.shown) << "register " << r.sub;
  }
}
