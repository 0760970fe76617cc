// The register reference page, written from the editor's tables and qvx's field catalog.
#include "qvx/register_page.h"

#include <algorithm>
#include <vector>

#include "qvx/field_catalog.h"
#include "qvx/report.h"

namespace qvx {

namespace {

using quorvex::RegisterRole;

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  return out;
}

template <typename Write>
std::string text(Write write) {
  TextOf<1024> t;
  write(t);
  return std::string(t.view());
}

std::string registerName(int r) {
  return text([&](Text& t) { t << RegisterName{r}; });
}

std::string cell(const std::string& html) { return "<td>" + html + "</td>"; }

const RegisterShadow kPowerOn{quorvex::defaultRegisters};

const char* roleName(RegisterRole role) {
  switch (role) {
    case RegisterRole::Written: return "written by the editor";
    case RegisterRole::ReadOnce: return "read once";
    case RegisterRole::Polled: return "polled every second";
    case RegisterRole::Unused: return "unused";
  }
  return "";
}

const char* roleText(RegisterRole role) {
  switch (role) {
    case RegisterRole::Written:
      return "Written by the editor: sent at each change of one of its fields and by Reinit, Reset and Load; "
             "read at start and by Reread.";
    case RegisterRole::ReadOnce:
      return "Read once: at the editor's start, which shows the chip version from it (after one write of 0x00), "
             "and again by Reread. Never sent by Reinit, Reset or Load.";
    case RegisterRole::Polled: return "Polled every second and shown; never written.";
    case RegisterRole::Unused:
      return "Unused: the editor neither reads nor writes it. Snapshots keep its byte as it is.";
  }
  return "";
}

const char* rawText(RegisterRole role) {
  switch (role) {
    case RegisterRole::Written: return "no control: kept as read, not shown; sent back as they are";
    case RegisterRole::Unused: return "no field: not read, not sent; kept in snapshots as they are";
    default: return "no control: kept as read, not shown";
  }
}

std::string valuesCell(const Field& f) {
  Range r = fieldRange(f);
  if (f.kind == Kind::List) {
    std::string list = "<ol start=\"0\">";
    for (int i = r.low; i <= r.high; ++i) list += "<li>" + escaped(optionText(f, i)) + "</li>";
    return list + "</ol>";
  }
  std::string values = std::to_string(r.low) + " to " + std::to_string(r.high);
  if (f.kind != Kind::Shown) return values;
  if (f.shown == &quorvex::chipVersionField)
    values += ", shown as V and one hexadecimal digit";
  else if (f.shown->hex)
    values += ", shown as two hexadecimal digits";
  return values + "; <em>read-only</em>, set by the chip";
}

// One row of a register's table, with the highest bit it covers for ordering.
struct Row {
  int topBit;
  std::string html;
};

int topBit(unsigned mask) {
  int bit = 7;
  while (bit > 0 && !(mask & (1u << bit))) --bit;
  return bit;
}

// The mask of the field's bits in its first register.
unsigned fieldMask(const Field& f) {
  switch (f.kind) {
    case Kind::List: return f.list->mask;
    case Kind::Bit: return 1u << f.bit->bit;
    case Kind::Shown: return f.shown->mask;
    default: return 0xFF;
  }
}

Row fieldRow(const Field& f) {
  std::string bits = text([&](Text& t) { bitsText(f, t); });
  if (f.kind == Kind::Wide)
    bits = "7-0; bit 8 in " + registerName(f.wide->highSubaddress) + " bit " + std::to_string(f.wide->highBit);
  std::string powerOn = text([&](Text& t) { valueText(f, fieldValue(f, kPowerOn), t); });
  return {topBit(fieldMask(f)), "<tr class=\"field\" id=\"" + std::string(f.name()) + "\">" +
                                    cell(std::string("<b>") + f.name() + "</b>") + cell(escaped(bits)) +
                                    cell(valuesCell(f)) + cell(escaped(powerOn)) + cell(escaped(f.naming->label)) +
                                    "</tr>\n"};
}

Row bit8Row(const Field& f) {
  std::string name = f.name();
  int bit8 = fieldValue(f, kPowerOn) >> 8;
  return {f.wide->highBit, "<tr class=\"bit8\">" + cell("<a href=\"#" + name + "\">" + name + "</a> bit 8") +
                               cell(std::to_string(f.wide->highBit)) + cell("bit 8 of " + name) +
                               cell(std::to_string(bit8)) + cell(escaped(f.naming->label)) + "</tr>\n"};
}

Row rawRow(const RawBits& g) {
  std::string bits = text([&](Text& t) { t << MaskBits{g.mask}; });
  std::string powerOn = text([&](Text& t) { t << ByteValue{kPowerOn.bytes[g.subaddress] & g.mask}; });
  return {topBit(g.mask), "<tr class=\"raw\">" + cell("-") + cell(bits) +
                              cell(rawText(quorvex::registerRole(g.subaddress))) + cell(powerOn) + cell("") +
                              "</tr>\n"};
}

// Every row of register r, highest bits first.
std::vector<Row> registerRows(int r) {
  std::vector<Row> rows;
  for (const Field& f : fields()) {
    std::uint8_t regs[2];
    int n = fieldRegisters(f, regs);
    if (regs[0] == r) rows.push_back(fieldRow(f));
    if (n == 2 && regs[1] == r) rows.push_back(bit8Row(f));
  }
  const RawBitGroups& raw = rawBitGroups();
  for (int i = 0; i < raw.count; ++i)
    if (raw.groups[i].subaddress == r) rows.push_back(rawRow(raw.groups[i]));
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.topBit > b.topBit; });
  return rows;
}

// Links to the fields whose bits 7-0 (or whole field) lie in register r.
std::string fieldLinks(int r) {
  std::string links;
  for (const Field& f : fields()) {
    std::uint8_t regs[2];
    fieldRegisters(f, regs);
    if (regs[0] != r) continue;
    links += (links.empty() ? "" : ", ") + std::string("<a href=\"#") + f.name() + "\">" + f.name() + "</a>";
  }
  return links.empty() ? "-" : links;
}

std::string indexTable() {
  std::string table =
      "<table class=\"index\">\n<tr><th>Register</th><th>Role</th><th>Power-on</th><th>Fields</th></tr>\n";
  for (int r = 0; r < quorvex::kRegisterCount; ++r) {
    std::string name = registerName(r);
    table += "<tr>" + cell("<a href=\"#r" + name + "\">" + name + "</a>") + cell(roleName(quorvex::registerRole(r))) +
             cell(text([&](Text& t) { t << ByteValue{kPowerOn.bytes[r]}; })) + cell(fieldLinks(r)) + "</tr>\n";
  }
  return table + "</table>\n";
}

const char kTableHead[] =
    "<tr><th>Field</th><th>Bits</th><th>Values</th><th>Power-on</th><th>Editor's label</th></tr>\n";

std::string registerSection(int r) {
  std::string name = registerName(r);
  std::string powerOn = text([&](Text& t) { t << ByteValue{kPowerOn.bytes[r]}; });
  std::string section = "<h2 id=\"r" + name + "\">Register " + name + "</h2>\n<p>" +
                        roleText(quorvex::registerRole(r)) + " Power-on value " + powerOn + ".</p>\n" +
                        "<table class=\"register\">\n" + kTableHead;
  for (const Row& row : registerRows(r)) section += row.html;
  return section + "</table>\n";
}

const char kHead[] =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<title>Quorvex decoder registers</title>\n<style>\n"
    "body { font-family: sans-serif; margin: 2em; }\n"
    "table { border-collapse: collapse; margin-bottom: 1.5em; }\n"
    "th, td { border: 1px solid #999; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }\n"
    "tr.raw td { color: #666; }\n"
    "ol { margin: 0; padding-left: 2em; }\n"
    "</style>\n</head>\n<body>\n<h1>Quorvex decoder registers</h1>\n"
    "<p>All 32 registers of the decoder, 0x00 to 0x1F, with what the Quorvex Control Center does with each, "
    "and every field by the register that holds it, highest bits first: the fields the editor lets you "
    "change, the status and text-slicer fields and the chip version that it only shows, and the bits that "
    "no field covers. A list field's values are the options of its list, numbered from 0. The power-on "
    "value is also what Reset sends and what <code>qvx new</code> writes. The names are those that "
    "<code>qvx</code> takes and shows; each is an anchor of this page (<code>quorvex.html#BRIG</code>).</p>\n";

}  // namespace

std::string registerPage() {
  std::string page = kHead + indexTable();
  for (int r = 0; r < quorvex::kRegisterCount; ++r) page += registerSection(r);
  return page + "</body>\n</html>\n";
}

}  // namespace qvx
