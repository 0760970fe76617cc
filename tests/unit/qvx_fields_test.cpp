// qvx's view of the editor's fields: names, value parsing and every refusal, the printed
// forms and the register reference page.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "qvx/field_args.h"
#include "qvx/register_page.h"
#include "qvx/report.h"

using namespace qvx;

namespace {

RegisterShadow defaults() { return RegisterShadow{quorvex::defaultRegisters}; }

std::string lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// What a report prints, collected.
template <typename Report>
std::string printed(Report report) {
  std::string out;
  report(Sink{[](void* to, const char* text, std::size_t size) { static_cast<std::string*>(to)->append(text, size); },
              &out});
  return out;
}

std::string showText(const RegisterShadow& s, bool json) {
  return printed([&](const Sink& out) { showReport(s, json, out); });
}

std::string diffText(const RegisterShadow& a, const RegisterShadow& b, bool json) {
  return printed([&](const Sink& out) { diffReport(a, b, json, out); });
}

std::string watchText(const RegisterShadow& a, const RegisterShadow& b, long long ms, bool json) {
  return printed([&](const Sink& out) { watchReport(a, b, ms, json, out); });
}

bool differ(const RegisterShadow& a, const RegisterShadow& b) {
  bool any = false;
  printed([&](const Sink& out) { any = diffReport(a, b, false, out); });
  return any;
}

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(QvxFields, EveryTableEntryHasOneUniqueNameInControlOrder) {
  std::set<const void*> entries;
  std::set<std::string> names;
  int lastId = 0, writable = 0;
  for (const Field& f : fields()) {
    const void* entry = f.list   ? static_cast<const void*>(f.list)
                        : f.bit  ? static_cast<const void*>(f.bit)
                        : f.byte ? static_cast<const void*>(f.byte)
                        : f.wide ? static_cast<const void*>(f.wide)
                                 : static_cast<const void*>(f.shown);
    ASSERT_NE(entry, nullptr) << f.name() << " is in none of the tables";
    EXPECT_TRUE(entries.insert(entry).second) << f.name();
    EXPECT_TRUE(names.insert(lowered(f.name())).second) << f.name();
    EXPECT_GT(f.naming->id, lastId) << f.name();
    lastId = f.naming->id;
    writable += f.writable();
  }
  EXPECT_EQ(entries.size(), quorvex::comboFields.size() + quorvex::checkFields.size() + quorvex::spinFields.size() +
                                quorvex::wideSpinFields.size() + quorvex::statusFields.size() + 1);
  EXPECT_EQ(writable, 57);
}

TEST(QvxFields, CheckBoxNamesAreTheNamesInTheirTexts) {
  for (const Field& f : fields()) {
    if (f.kind != Kind::Bit || std::string(f.name()) == "CM99") continue;
    EXPECT_NE(std::string(f.naming->label).find(std::string("(") + f.name() + ")"), std::string::npos) << f.name();
  }
}

TEST(QvxFields, NamesMatchWithoutRegardToCase) {
  for (const char* typed : {"MODE", "mode", "MoDe"}) {
    const Field* f = findField(typed);
    ASSERT_NE(f, nullptr) << typed;
    EXPECT_STREQ(f->name(), "MODE");
  }
  ASSERT_NE(findField("rgb888"), nullptr);
  EXPECT_EQ(findField("MOD"), nullptr);
  EXPECT_EQ(findField(""), nullptr);
}

TEST(QvxFields, UnknownNameSuggestsTheNearest) {
  Message error;
  EXPECT_EQ(lookUpField("MODX", error), nullptr);
  EXPECT_EQ(error.view().rfind("unknown field \"MODX\"; nearest: MODE", 0), 0u) << error.c_str();
  error.clear();
  EXPECT_EQ(lookUpField("", error), nullptr);
  EXPECT_EQ(error.view(), "unknown field \"\"; nearest: P1, P2, HSB");
  Assignment a{};
  error.clear();
  EXPECT_FALSE(parseAssignment("Brigt=1", a, error));
  EXPECT_EQ(error.view().rfind("unknown field \"Brigt\"; nearest: BRIG", 0), 0u) << error.c_str();
  TextOf<64> nearest;
  nearestNames("VSTP", nearest);
  EXPECT_EQ(nearest.view(), "VSTA, VSTO, CSTD") << "ties in the editor's order";
}

struct Good {
  const char* arg;
  const char* name;
  int value;
};

TEST(QvxFields, ValuesInRangeAndExactOptionTextsAreTaken) {
  const Good cases[] = {
      {"MODE=6", "MODE", 6},
      {"mode=110 - Mode 6: Y (automatic gain) + C (gain channel 2 adapted to Y gain)", "MODE", 6},
      {"VCTR=11 - Delayed programmable V_GATE", "VCTR", 3},
      {"HSB=-107", "HSB", -107},
      {"HSB=108", "HSB", 108},
      {"HSS=+5", "HSS", 5},
      {"BRIG=0", "BRIG", 0},
      {"BRIG=255", "BRIG", 255},
      {"BRIG=0000001", "BRIG", 1},
      {"HSB=-00107", "HSB", -107},
      {"BRIG=00000000000000000000000000255", "BRIG", 255},
      {"CONT=-128", "CONT", -128},
      {"HUEC=127", "HUEC", 127},
      {"GAI1=511", "GAI1", 511},
      {"VSTO=0", "VSTO", 0},
      {"COLO=1", "COLO", 1},
      {"FUSE=3", "FUSE", 3},
  };
  for (const Good& c : cases) {
    Assignment a{};
    Message error;
    ASSERT_TRUE(parseAssignment(c.arg, a, error)) << c.arg << ": " << error.c_str();
    EXPECT_STREQ(a.field->name(), c.name) << c.arg;
    EXPECT_EQ(a.value, c.value) << c.arg;
  }
}

struct Bad {
  const char* arg;
  const char* error;  // the whole line
};

TEST(QvxFields, EveryBadValueIsRefusedWithItsReason) {
  const Bad cases[] = {
      {"MODE", "\"MODE\": expected NAME=VALUE"},
      {"HSB=-108", "HSB=-108: out of range; HSB takes -107 to 108"},
      {"HSB=109", "HSB=109: out of range; HSB takes -107 to 108"},
      {"BRIG=256", "BRIG=256: out of range; BRIG takes 0 to 255"},
      {"BRIG=-1", "BRIG=-1: out of range; BRIG takes 0 to 255"},
      {"CONT=128", "CONT=128: out of range; CONT takes -128 to 127"},
      {"GAI2=512", "GAI2=512: out of range; GAI2 takes 0 to 511"},
      {"COLO=2", "COLO=2: out of range; COLO takes 0 to 1"},
      {"BRIG=99999999999", "BRIG=99999999999: out of range; BRIG takes 0 to 255"},
      {"BRIG=0256", "BRIG=0256: out of range; BRIG takes 0 to 255"},
      {"HSB=-0108", "HSB=-0108: out of range; HSB takes -107 to 108"},
      {"CODE=1", "CODE=1: CODE is read-only: the chip sets it and the editor only shows it (quorvex.html#CODE)"},
      {"version=0",
       "version=0: VERSION is read-only: the chip sets it and the editor only shows it "
       "(quorvex.html#VERSION)"},
      {"BRIG=", "BRIG=: not a number; BRIG takes 0 to 255"},
      {"BRIG=12a", "BRIG=12a: not a number; BRIG takes 0 to 255"},
      {"BRIG=0x10", "BRIG=0x10: not a number; BRIG takes 0 to 255"},
      {"BRIG= 12", "BRIG= 12: not a number; BRIG takes 0 to 255"},
      {"BRIG=-", "BRIG=-: not a number; BRIG takes 0 to 255"},
      {"COLO=on", "COLO=on: not a number; COLO takes 0 to 1"},
      {"MODE=8", "MODE=8: out of range; MODE takes 0 to 7"},
      {"HDEL=01 - 1/2 llc",
       "HDEL=01 - 1/2 llc: no such option; HDEL takes 0 to 3 or one of \"00 - 0/2 LLC\", "
       "\"01 - 1/2 LLC\", \"10 - 2/2 LLC\", \"11 - 3/2 LLC\""},
  };
  for (const Bad& c : cases) {
    Assignment a{};
    Message error;
    EXPECT_FALSE(parseAssignment(c.arg, a, error)) << c.arg;
    EXPECT_EQ(error.view(), c.error) << c.arg;
  }
}

TEST(QvxReport, ShowGivesEveryFieldAsTheEditorShowsIt) {
  std::string text = showText(defaults(), false);
  EXPECT_EQ(count(text, "\n"), 74);
  EXPECT_EQ(text.substr(0, text.find('\n')), "0x02      2-0   MODE       0  000 - Mode 0: CVBS (automatic gain)");
  for (const char* line :
       {"\n0x04,0x03 7-0,0 GAI1     256\n", "\n0x06      7-0   HSB      -21\n", "\n0x07      7-0   HSS      -32\n",
        "\n0x0A      7-0   BRIG     128\n", "\n0x0B      7-0   CONT      71\n", "\n0x08      3     VTRC       1\n",
        "\n0x02      7-6   FUSE       3  11 - Amplifier plus anti-alias filter active\n",
        "\n0x16,0x17 7-0,1 VSTO       0\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  RegisterShadow s = defaults();
  s.bytes[0x0A] = 0xFF;  // brightness alone is unsigned
  s.bytes[0x0D] = 0x80;
  s.bytes[0x1B] = 0xC1;  // text slicer: BYTE1 0x41, P1 set
  s.bytes[0x1F] = 0x40;  // HLCK
  s.bytes[0x00] = 0x1A;  // chip version 1
  text = showText(s, false);
  for (const char* line : {"\n0x0A      7-0   BRIG     255\n", "\n0x0D      7-0   HUEC    -128\n",
                           "\n0x1B      6-0   BYTE1     65  read-only\n", "\n0x1B      7     P1         1  read-only\n",
                           "\n0x1F      6     HLCK       1  read-only\n", "\n0x1F      7     STTC       0  read-only\n",
                           "\n0x00      7-4   VERSION    1  read-only\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST(QvxReport, DiffComparesAllThirtyTwoBytesFieldsByNameTheRestRaw) {
  RegisterShadow a = defaults(), b = defaults();
  EXPECT_EQ(diffText(a, b, false), "");
  EXPECT_EQ(diffText(a, b, true), "[]\n");
  EXPECT_FALSE(differ(a, b));
  b.bytes[0x0A] = 140;
  b.bytes[0x02] = 0xC6;
  b.bytes[0x1F] = 0x40;  // a status bit
  b.bytes[0x00] = 0x15;  // version 1, and bits 3-0 that no field holds
  b.bytes[0x03] |= 0x80;
  b.bytes[0x0F] = 0x11;         // a register without fields
  b.bytes[0x17] = 0xFC | 0x01;  // VSTA's bit 8 and the six bits beside it
  EXPECT_EQ(diffText(a, b, false),
            "MODE: 0 \"000 - Mode 0: CVBS (automatic gain)\" -> 6 \"110 - Mode 6: Y (automatic gain) + "
            "C (gain channel 2 adapted to Y gain)\"\nBRIG: 128 -> 140\nVSTA: 0 -> 256\nHLCK: 0 -> 1\n"
            "VERSION: 0 -> 1\n0x00 bits 3-0: 0x00 -> 0x05\n0x03 bit 7: 0x00 -> 0x80\n"
            "0x0F bits 7-0: 0x00 -> 0x11\n0x17 bits 7-2: 0x00 -> 0xfc\n");
  EXPECT_TRUE(differ(a, b));

  // Any one bit of any register makes a difference, also where no field is.
  for (int r = 0; r < quorvex::kRegisterCount; ++r)
    for (int bit = 0; bit < 8; ++bit) {
      RegisterShadow c = defaults();
      c.bytes[r] ^= static_cast<std::uint8_t>(1 << bit);
      std::string one = diffText(a, c, false);
      EXPECT_EQ(count(one, "\n"), 1) << r << " bit " << bit << ": " << one;
      EXPECT_TRUE(differ(a, c)) << r << " bit " << bit;
    }
}

TEST(QvxReport, JsonHasTheSameFieldsAsObjects) {
  RegisterShadow s = defaults();
  std::string json = showText(s, true);
  EXPECT_EQ(json.substr(0, 2), "[\n");
  EXPECT_EQ(json.substr(json.size() - 3), "\n]\n");
  EXPECT_EQ(count(json, "{\"name\": "), 74);
  EXPECT_EQ(count(json, "\"writable\": false}"), 17);
  EXPECT_NE(json.find("{\"name\": \"GAI1\", \"register\": \"0x04,0x03\", \"bits\": \"7-0,0\", "
                      "\"value\": 256, \"text\": null, \"writable\": true},\n"),
            std::string::npos);
  EXPECT_NE(json.find("{\"name\": \"BYTE2\", \"register\": \"0x1C\", \"bits\": \"6-0\", \"value\": 0, "
                      "\"text\": null, \"writable\": false},\n"),
            std::string::npos);
  s.bytes[0x0A] = 140;
  s.bytes[0x08] |= 0x10;
  EXPECT_EQ(diffText(defaults(), s, true),
            "[\n  {\"name\": \"BRIG\", \"register\": \"0x0A\", \"bits\": \"7-0\", \"value\": 140, "
            "\"text\": null, \"writable\": true, \"old\": 128, \"oldText\": null},\n"
            "  {\"name\": null, \"register\": \"0x08\", \"bits\": \"4\", \"value\": 16, "
            "\"text\": null, \"writable\": false, \"old\": 0, \"oldText\": null}\n]\n");
}

TEST(QvxReport, WatchLinesCarryThePollsTimeAndEachJsonObjectStandsOnItsOwnLine) {
  RegisterShadow a = defaults(), b = defaults();
  EXPECT_EQ(watchText(a, b, 3200, false), "");
  EXPECT_EQ(watchText(a, b, 3200, true), "") << "no array brackets around nothing";
  b.bytes[0x02] = 0xC6;  // MODE 0 -> 6
  b.bytes[0x1F] = 0x40;  // HLCK, a status bit
  b.bytes[0x17] = 0xFC;  // bits no field holds
  EXPECT_EQ(watchText(a, b, 3200, false),
            "00:00:03.200 MODE 0 \"000 - Mode 0: CVBS (automatic gain)\" -> 6 \"110 - Mode 6: Y (automatic gain) + "
            "C (gain channel 2 adapted to Y gain)\"\n"
            "00:00:03.200 HLCK 0 -> 1\n"
            "00:00:03.200 0x17 bits 7-2 0x00 -> 0xfc\n");
  // 25 days into a run: more milliseconds than 31 bits hold.
  std::string json = watchText(b, a, 25LL * 24 * 3600 * 1000 + 61001, true);
  EXPECT_EQ(count(json, "\n"), 3);
  EXPECT_EQ(json.rfind("{\"time\": \"600:01:01.001\", \"ms\": 2160061001, \"name\": \"MODE\", ", 0), 0u) << json;
  EXPECT_NE(json.find("\n{\"time\": \"600:01:01.001\", \"ms\": 2160061001, \"name\": \"HLCK\", \"register\": \"0x1F\", "
                      "\"bits\": \"6\", \"value\": 0, \"text\": null, \"writable\": false, \"old\": 1, "
                      "\"oldText\": null}\n{\"time\": \"600:01:01.001\", \"ms\": 2160061001, \"name\": null, "
                      "\"register\": \"0x17\", \"bits\": \"7-2\", \"value\": 0, \"text\": null, \"writable\": false, "
                      "\"old\": 252, \"oldText\": null}\n"),
            std::string::npos)
      << json;
}

namespace {

// The part of the page about register r: from its heading to the next one.
std::string section(const std::string& page, int r) {
  TextOf<16> name;
  name << RegisterName{r};
  std::size_t from = page.find(std::string("<h2 id=\"r") + name.c_str() + "\">");
  if (from == std::string::npos) return "";
  std::size_t to = page.find("<h2 ", from + 1);
  return page.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

}  // namespace

TEST(QvxPage, EveryRegisterHasItsTableWithEveryFieldAndEveryBitWithoutOne) {
  std::string page = registerPage();
  EXPECT_EQ(count(page, "<table class=\"register\">"), 32);
  EXPECT_EQ(count(page, "<table"), count(page, "</table>"));
  for (int r = 0; r < quorvex::kRegisterCount; ++r) {
    std::string part = section(page, r);
    ASSERT_FALSE(part.empty()) << "register " << r;
    EXPECT_EQ(count(part, "<table class=\"register\">"), 1) << "register " << r;
    TextOf<16> name;
    name << RegisterName{r};
    EXPECT_EQ(count(page, std::string("<a href=\"#r") + name.c_str() + "\">"), 1) << "index link of " << r;
  }
  // The index row of each register links every field with bits in it (a nine-bit field in both).
  std::string index = page.substr(0, page.find("<h2 "));
  for (const Field& f : fields()) {
    std::uint8_t regs[2];
    for (int i = 0, n = fieldRegisters(f, regs); i < n; ++i) {
      TextOf<16> name;
      name << RegisterName{regs[i]};
      std::size_t row = index.find(std::string("<a href=\"#r") + name.c_str() + "\">");
      ASSERT_NE(row, std::string::npos) << name.c_str();
      std::string line = index.substr(row, index.find("</tr>", row) - row);
      EXPECT_NE(line.find(std::string("<a href=\"#") + f.name() + "\">"), std::string::npos)
          << f.name() << " in the index row of " << name.c_str();
    }
  }
  // Every field once, anchored by its name, in the table of the register that holds it.
  for (const Field& f : fields()) {
    EXPECT_EQ(count(page, std::string(" id=\"") + f.name() + "\""), 1) << f.name();
    std::uint8_t regs[2];
    fieldRegisters(f, regs);
    EXPECT_NE(section(page, regs[0]).find(std::string("<tr class=\"field\" id=\"") + f.name() + "\">"),
              std::string::npos)
        << f.name();
  }
  // The bits no field covers, each in its register's table.
  struct Raw {
    int r;
    const char* row;
  } raws[] = {{0x00, "<td>3-0</td><td>no control: kept as read, not shown</td><td>0x00</td>"},
              {0x01, "<td>7-0</td><td>no field: not read, not sent; kept in snapshots as they are</td><td>0x00</td>"},
              {0x03, "<td>7</td><td>no control: kept as read, not shown; sent back as they are</td><td>0x00</td>"},
              {0x08, "<td>4</td><td>no control: kept as read, not shown; sent back as they are</td><td>0x00</td>"},
              {0x17, "<td>7-2</td><td>no control: kept as read, not shown; sent back as they are</td><td>0x00</td>"},
              {0x1A, "<td>7-4</td><td>no control: kept as read, not shown</td><td>0x00</td>"},
              {0x1E, "<td>7-0</td><td>no field: not read, not sent; kept in snapshots as they are</td><td>0x00</td>"}};
  for (const Raw& raw : raws)
    EXPECT_NE(section(page, raw.r).find(std::string("<tr class=\"raw\"><td>-</td>") + raw.row), std::string::npos)
        << raw.r;
  EXPECT_EQ(count(page, "<tr class=\"raw\">"), 12);
  // 0x17 holds bit 8 of VSTA and VSTO, under the six bits without a control.
  std::string r17 = section(page, 0x17);
  EXPECT_LT(r17.find("<td>7-2</td>"), r17.find("<a href=\"#VSTO\">VSTO</a> bit 8"));
  EXPECT_LT(r17.find("<a href=\"#VSTO\">VSTO</a> bit 8"), r17.find("<a href=\"#VSTA\">VSTA</a> bit 8"));

  EXPECT_NE(page.find("<td><b>HSB</b></td><td>7-0</td><td>-107 to 108</td><td>-21</td>"
                      "<td>Horz sync begin (HSB7...0)</td>"),
            std::string::npos);
  EXPECT_NE(page.find("<td><b>GAI1</b></td><td>7-0; bit 8 in 0x03 bit 0</td><td>0 to 511</td><td>256</td>"),
            std::string::npos);
  EXPECT_NE(page.find("<td>1 &quot;01 - Nominal bandwidth (800 kHz)&quot;</td>"), std::string::npos);
  EXPECT_NE(section(page, 0x1B)
                .find("<td><b>BYTE1</b></td><td>6-0</td><td>0 to 127, shown as two hexadecimal "
                      "digits; <em>read-only</em>, set by the chip</td>"),
            std::string::npos);

  // Each register's role and power-on value.
  struct Role {
    int r;
    const char* text;
  } roles[] = {{0x00, "<p>Read once: "},
               {0x01, "<p>Unused: "},
               {0x02, "<p>Written by the editor: "},
               {0x17, "<p>Written by the editor: "},
               {0x18, "<p>Unused: "},
               {0x1A, "<p>Polled every second "},
               {0x1F, "<p>Polled every second "}};
  for (const Role& role : roles) EXPECT_NE(section(page, role.r).find(role.text), std::string::npos) << role.r;
  EXPECT_NE(section(page, 0x03).find("Power-on value 0x23."), std::string::npos);
  EXPECT_NE(page.find("<td><a href=\"#r0x0B\">0x0B</a></td><td>written by the editor</td><td>0x47</td>"
                      "<td><a href=\"#CONT\">CONT</a></td>"),
            std::string::npos);

  // Every option of every list, the first and the last included.
  int options = 0;
  for (const quorvex::ComboField& f : quorvex::comboFields) options += f.optionCount;
  EXPECT_EQ(count(page, "<li>"), options);
}
