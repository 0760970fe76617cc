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

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(QvxFields, EveryTableEntryHasOneUniqueNameInControlOrder) {
  std::set<const void*> entries;
  std::set<std::string> names;
  int lastId = 0;
  for (const Field& f : fields()) {
    const void* entry = f.list ? static_cast<const void*>(f.list)
                        : f.bit ? static_cast<const void*>(f.bit)
                        : f.byte ? static_cast<const void*>(f.byte)
                                 : static_cast<const void*>(f.wide);
    ASSERT_NE(entry, nullptr) << f.name() << " is in none of the tables";
    EXPECT_TRUE(entries.insert(entry).second) << f.name();
    EXPECT_TRUE(names.insert(lowered(f.name())).second) << f.name();
    EXPECT_GT(f.naming->id, lastId) << f.name();
    lastId = f.naming->id;
  }
  EXPECT_EQ(entries.size(), quorvex::comboFields.size() + quorvex::checkFields.size() +
                                quorvex::spinFields.size() + quorvex::wideSpinFields.size());
}

TEST(QvxFields, CheckBoxNamesAreTheNamesInTheirTexts) {
  for (const Field& f : fields()) {
    if (f.kind != Kind::Bit || std::string(f.name()) == "CM99") continue;
    EXPECT_NE(std::string(f.naming->label).find(std::string("(") + f.name() + ")"), std::string::npos)
        << f.name();
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
  std::string error;
  EXPECT_EQ(lookUpField("MODX", error), nullptr);
  EXPECT_EQ(error.rfind("unknown field \"MODX\"; nearest: MODE", 0), 0u) << error;
  EXPECT_EQ(lookUpField("", error), nullptr);
  EXPECT_EQ(error, "unknown field \"\"; nearest: HSB, HSS, DIT");
  Assignment a{};
  EXPECT_FALSE(parseAssignment("Brigt=1", a, error));
  EXPECT_EQ(error.rfind("unknown field \"Brigt\"; nearest: BRIG", 0), 0u) << error;
  EXPECT_EQ(nearestNames("VSTP"), "VSTA, VSTO, CSTD") << "ties in the editor's order";
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
      {"CONT=-128", "CONT", -128},
      {"HUEC=127", "HUEC", 127},
      {"GAI1=511", "GAI1", 511},
      {"VSTO=0", "VSTO", 0},
      {"COLO=1", "COLO", 1},
      {"FUSE=3", "FUSE", 3},
  };
  for (const Good& c : cases) {
    Assignment a{};
    std::string error;
    ASSERT_TRUE(parseAssignment(c.arg, a, error)) << c.arg << ": " << error;
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
      {"BRIG=99999999999", "BRIG=99999999999: not a number; BRIG takes 0 to 255"},
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
    std::string error;
    EXPECT_FALSE(parseAssignment(c.arg, a, error)) << c.arg;
    EXPECT_EQ(error, c.error) << c.arg;
  }
}

TEST(QvxReport, ShowGivesEveryFieldAsTheEditorShowsIt) {
  std::string text = showText(defaults(), false);
  EXPECT_EQ(count(text, "\n"), kFieldCount);
  EXPECT_EQ(text.substr(0, text.find('\n')), "0x02      2-0   MODE      0  000 - Mode 0: CVBS (automatic gain)");
  for (const char* line : {"\n0x04,0x03 7-0,0 GAI1    256\n", "\n0x06      7-0   HSB     -21\n",
                           "\n0x07      7-0   HSS     -32\n", "\n0x0A      7-0   BRIG    128\n",
                           "\n0x0B      7-0   CONT     71\n", "\n0x08      3     VTRC      1\n",
                           "\n0x02      7-6   FUSE      3  11 - Amplifier plus anti-alias filter active\n",
                           "\n0x16,0x17 7-0,1 VSTO      0\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  RegisterShadow s = defaults();
  s.bytes[0x0A] = 0xFF;  // brightness alone is unsigned
  s.bytes[0x0D] = 0x80;
  text = showText(s, false);
  EXPECT_NE(text.find("BRIG    255\n"), std::string::npos);
  EXPECT_NE(text.find("HUEC   -128\n"), std::string::npos);
}

TEST(QvxReport, DiffListsOnlyTheChangedFieldsInEditorOrder) {
  RegisterShadow a = defaults(), b = defaults();
  EXPECT_EQ(diffText(a, b, false), "");
  EXPECT_EQ(diffText(a, b, true), "[]\n");
  EXPECT_FALSE(fieldsDiffer(a, b));
  b.bytes[0x0A] = 140;
  b.bytes[0x02] = 0xC6;
  b.bytes[0x03] |= 0x80;  // a bit without a field is no field difference
  b.bytes[0x1F] = 0x40;   // nor is a status byte
  EXPECT_EQ(diffText(a, b, false),
            "MODE: 0 \"000 - Mode 0: CVBS (automatic gain)\" -> 6 \"110 - Mode 6: Y (automatic gain) + "
            "C (gain channel 2 adapted to Y gain)\"\nBRIG: 128 -> 140\n");
  EXPECT_TRUE(fieldsDiffer(a, b));
}

TEST(QvxReport, JsonHasTheSameFieldsAsObjects) {
  RegisterShadow s = defaults();
  std::string json = showText(s, true);
  EXPECT_EQ(json.substr(0, 2), "[\n");
  EXPECT_EQ(json.substr(json.size() - 3), "\n]\n");
  EXPECT_EQ(count(json, "{\"name\": "), kFieldCount);
  EXPECT_NE(json.find("{\"name\": \"GAI1\", \"register\": \"0x04,0x03\", \"bits\": \"7-0,0\", "
                      "\"value\": 256, \"text\": null},\n"),
            std::string::npos);
  s.bytes[0x0A] = 140;
  EXPECT_EQ(diffText(defaults(), s, true),
            "[\n  {\"name\": \"BRIG\", \"register\": \"0x0A\", \"bits\": \"7-0\", \"value\": 140, "
            "\"text\": null, \"old\": 128, \"oldText\": null}\n]\n");
}

TEST(QvxPage, OneRowPerFieldOfTheTablesAndOneTablePerRegister) {
  std::string page = registerPage();
  int tableFields = static_cast<int>(quorvex::comboFields.size() + quorvex::checkFields.size() +
                                     quorvex::spinFields.size() + quorvex::wideSpinFields.size());
  EXPECT_EQ(count(page, "<tr class=\"field\">"), tableFields);
  EXPECT_EQ(count(page, "<table>"), count(page, "</table>"));
  EXPECT_EQ(count(page, "<h2 "), 20);  // 0x02 to 0x17 less 0x0F and 0x14
  EXPECT_EQ(count(page, "<table>"), 19);  // 0x17 holds only bit 8s
  EXPECT_NE(page.find("Register 0x17</h2>\n<p>Bit 0 holds bit 8 of <b>VSTA</b> (0x15).</p>\n"
                      "<p>Bit 1 holds bit 8 of <b>VSTO</b> (0x16).</p>\n"),
            std::string::npos);
  EXPECT_NE(page.find("<td><b>HSB</b></td><td>7-0</td><td>-107 to 108</td><td>-21</td>"
                      "<td>Horz sync begin (HSB7...0)</td>"),
            std::string::npos);
  EXPECT_NE(page.find("<td><b>GAI1</b></td><td>7-0, bit 8 in 0x03 bit 0</td><td>0 to 511</td><td>256</td>"),
            std::string::npos);
  EXPECT_NE(page.find("<td>1 &quot;01 - Nominal bandwidth (800 kHz)&quot;</td>"), std::string::npos);

  // Every option of every list, the first and the last included.
  int options = 0;
  for (const quorvex::ComboField& f : quorvex::comboFields) options += f.optionCount;
  EXPECT_EQ(count(page, "<li>"), options);
}
