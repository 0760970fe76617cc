// The short names of the editor's fields and the view of a field over the editor's tables.
#include "qvx/field_catalog.h"

#include "regedit/resource.h"

namespace qvx {

using namespace quorvex;

const std::array<FieldName, kWritableFieldCount> fieldNames = {{
    {IDC_MODE, "MODE", "MODE2...0"},
    {IDC_GUDL, "GUDL", "GUDL2...0"},
    {IDC_FUSE, "FUSE", "FUSE1...0"},
    {IDC_GAI1_SPIN, "GAI1", "GAI1, GAI2 8...0"},
    {IDC_GAI2_SPIN, "GAI2", "GAI1, GAI2 8...0"},
    {IDC_GAFIX, "GAFIX", "Gain Control Fix (GAFIX)"},
    {IDC_HOLDG, "HOLDG", "Gain Control Integration (HOLDG)"},
    {IDC_WPOFF, "WPOFF", "White Peak Off (WPOFF)"},
    {IDC_VBSL, "VBSL", "Vertical Blanking Select (VBSL)"},
    {IDC_HLNRS, "HLNRS", "HL not reference select (HLNRS)"},
    {IDC_HSB_SPIN, "HSB", "Horz sync begin (HSB7...0)"},
    {IDC_HSS_SPIN, "HSS", "Horz sync stop (HSS7...0)"},
    {IDC_VNOI, "VNOI", "VNOI1...0"},
    {IDC_HPLL, "HPLL", "Horizontal PLL (HPLL)"},
    {IDC_VTRC, "VTRC", "TV/VTR mode select (VTRC)"},
    {IDC_EXFIL, "EXFIL", "Extended loop filter (EXFIL)"},
    {IDC_FSEL, "FSEL", "Field selection (FSEL)"},
    {IDC_AUFD, "AUFD", "Automatic field detection (AUFD)"},
    {IDC_APER, "APER", "APER1...0"},
    {IDC_UPTCV, "UPTCV", "Update interval for AGC (UPTCV)"},
    {IDC_BPSS, "BPSS", "BPSS1...0"},
    {IDC_VBLB, "VBLB", "Vert blanking luma bypass (VBLB)"},
    {IDC_PREF, "PREF", "Prefilter active (PREF)"},
    {IDC_BYPS, "BYPS", "Chroma trap bypass (BYPS)"},
    {IDC_BRIGHTNESS_SPIN, "BRIG", "Brigthness/Contrast"},
    {IDC_CONTRAST_SPIN, "CONT", "Brigthness/Contrast"},
    {IDC_SATURATION_SPIN, "SATN", "Saturation/Hue"},
    {IDC_HUE_SPIN, "HUEC", "Saturation/Hue"},
    {IDC_CHBW, "CHBW", "CHBW1...0"},
    {IDC_FCTC, "FCTC", "Fast color time constant (FCTC)"},
    {IDC_DCCF, "DCCF", "Disable chroma comb filter (DCCF)"},
    {IDC_CSTD, "CSTD", "CSTD2...0"},
    {IDC_CDTO, "CDTO", "Clear DTO (CDTO)"},
    {IDC_YDEL, "YDEL", "YDEL2...0"},
    {IDC_VRLN, "VRLN", "VREF pulse pos/length (VRLN)"},
    {IDC_HDEL, "HDEL", "HDEL1...0"},
    {IDC_OFTS, "OFTS", "OFTS1...0"},
    {IDC_COLO, "COLO", "Color on (COLO)"},
    {IDC_VIPB, "VIPB", "Decoder VIP bypassed (VIPB)"},
    {IDC_OEHV, "OEHV", "Output enable h/v sync (OEHV)"},
    {IDC_OEYC, "OEYC", "Output enable YUV data (OEYC)"},
    {IDC_COMPO, "COMPO", "Inverse composite blank (COMPO)"},
    {IDC_FECO, "FECO", "/FEI control (FECO)"},
    {IDC_CM99, "CM99", "CM99 compatibility to SAA7199"},
    {IDC_GPSW, "GPSW", "General purpose switch (GPSW)"},
    {IDC_AOSL, "AOSL", "AOSL1...0"},
    {IDC_DIT, "DIT", "Dithering control (DIT)"},
    {IDC_RGB888, "RGB888", "RGB output formap (RGB888)"},
    {IDC_CBR, "CBR", "Chroma interpolation filter (CBR)"},
    {IDC_TCLO, "TCLO", "3-state control VPO7...0 (TCLO)"},
    {IDC_RTSE, "RTSE", "RTSE1...0"},
    {IDC_BCLO, "BCLO", "BCLO1...0"},
    {IDC_BCHI, "BCHI", "BCHI1...0"},
    {IDC_CCTR, "CCTR", "CCTR1...0"},
    {IDC_VCTR, "VCTR", "VCTR1...0"},
    {IDC_VSTA_SPIN, "VSTA", "VSTA, VSTO 8...0"},
    {IDC_VSTO_SPIN, "VSTO", "VSTA, VSTO 8...0"},
}};

namespace {

constexpr int kShownFieldCount = kFieldCount - kWritableFieldCount;

Field resolve(const FieldName& n) {
  Field f{};
  f.naming = &n;
  f.list = findComboField(n.id);
  f.bit = findCheckField(n.id);
  f.byte = findSpinField(n.id);
  f.wide = findWideSpinField(n.id);
  f.kind = Kind::List;
  if (f.bit) f.kind = Kind::Bit;
  if (f.byte) f.kind = Kind::Byte;
  if (f.wide) f.kind = Kind::Wide;
  return f;
}

const ShownField* shownField(int index) {
  return index < static_cast<int>(statusFields.size()) ? &statusFields[index] : &chipVersionField;
}

struct Catalog {
  std::array<FieldName, kShownFieldCount> shownNames;
  std::array<Field, kFieldCount> all;
  RawBitGroups raw;
};

void addRawGroups(int subaddress, RawBitGroups& raw) {
  unsigned free = uncontrolledBits(subaddress);
  for (int bit = 7; bit >= 0;) {
    if (!(free & (1u << bit))) {
      --bit;
      continue;
    }
    unsigned mask = 0;
    for (; bit >= 0 && (free & (1u << bit)); --bit) mask |= 1u << bit;
    raw.groups[raw.count++] = {static_cast<std::uint8_t>(subaddress), static_cast<std::uint8_t>(mask)};
  }
}

// Built in place on first use: the shown fields point at their names in it.
const Catalog& catalog() {
  static Catalog c{};
  static bool built = false;
  if (built) return c;
  for (int i = 0; i < kWritableFieldCount; ++i) c.all[i] = resolve(fieldNames[i]);
  for (int i = 0; i < kShownFieldCount; ++i) {
    const ShownField* shown = shownField(i);
    c.shownNames[i] = {shown->id, shown->name, shown->label};
    c.all[kWritableFieldCount + i] = {&c.shownNames[i], Kind::Shown, nullptr, nullptr, nullptr, nullptr, shown};
  }
  for (int r = 0; r < kRegisterCount; ++r) addRawGroups(r, c.raw);
  built = true;
  return c;
}

}  // namespace

const std::array<Field, kFieldCount>& fields() { return catalog().all; }

const RawBitGroups& rawBitGroups() { return catalog().raw; }

int fieldValue(const Field& f, const RegisterShadow& s) {
  switch (f.kind) {
    case Kind::List: return comboValue(*f.list, s);
    case Kind::Bit: return checkValue(*f.bit, s) ? 1 : 0;
    case Kind::Byte: return spinValue(*f.byte, s);
    case Kind::Wide: return wideValue(*f.wide, s);
    case Kind::Shown: return shownValue(*f.shown, s);
  }
  return 0;
}

void setFieldValue(const Field& f, RegisterShadow& s, int value) {
  switch (f.kind) {
    case Kind::List: setComboValue(*f.list, s, value); break;
    case Kind::Bit: setCheckValue(*f.bit, s, value != 0); break;
    case Kind::Byte: setSpinValue(*f.byte, s, value); break;
    case Kind::Wide: setWideValue(*f.wide, s, value); break;
    case Kind::Shown: {
      std::uint8_t& b = s.bytes[f.shown->subaddress];
      b = static_cast<std::uint8_t>((b & ~f.shown->mask) | ((value << f.shown->shift) & f.shown->mask));
      break;
    }
  }
}

Range fieldRange(const Field& f) {
  switch (f.kind) {
    case Kind::List: return {0, f.list->optionCount - 1};
    case Kind::Bit: return {0, 1};
    case Kind::Byte: return {f.byte->low, f.byte->high};
    case Kind::Wide: return {0, kWideMax};
    case Kind::Shown: return {0, f.shown->mask >> f.shown->shift};
  }
  return {0, 0};
}

const char* optionText(const Field& f, int value) {
  if (f.kind != Kind::List || value < 0 || value >= f.list->optionCount) return nullptr;
  return f.list->options[value];
}

int fieldRegisters(const Field& f, std::uint8_t (&subaddresses)[2]) {
  switch (f.kind) {
    case Kind::List: subaddresses[0] = f.list->subaddress; return 1;
    case Kind::Bit: subaddresses[0] = f.bit->subaddress; return 1;
    case Kind::Byte: subaddresses[0] = f.byte->subaddress; return 1;
    case Kind::Shown: subaddresses[0] = f.shown->subaddress; return 1;
    case Kind::Wide:
      subaddresses[0] = f.wide->lowSubaddress;
      subaddresses[1] = f.wide->highSubaddress;
      return 2;
  }
  return 0;
}

void registerText(const Field& f, Text& out) {
  std::uint8_t regs[2];
  int n = fieldRegisters(f, regs);
  out << RegisterName{regs[0]};
  if (n == 2) out << ',' << RegisterName{regs[1]};
}

void bitsText(const Field& f, Text& out) {
  switch (f.kind) {
    case Kind::List: out << MaskBits{f.list->mask}; break;
    case Kind::Bit: out << f.bit->bit; break;
    case Kind::Byte: out << "7-0"; break;
    case Kind::Wide: out << "7-0," << f.wide->highBit; break;
    case Kind::Shown: out << MaskBits{f.shown->mask}; break;
  }
}

}  // namespace qvx
