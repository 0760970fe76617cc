// The register reference page, written from the field tables.
#include "qvx/register_page.h"

#include "qvx/field_catalog.h"
#include "qvx/report.h"

namespace qvx {

namespace {

std::string escaped(const std::string& text) {
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

std::string cell(const std::string& html) { return "<td>" + html + "</td>"; }

std::string bitsCell(const Field& f) {
  if (f.kind != Kind::Wide) return escaped(bitsText(f));
  return "7-0, bit 8 in " + registerName(f.wide->highSubaddress) + " bit " + std::to_string(f.wide->highBit);
}

std::string valuesCell(const Field& f) {
  Range r = fieldRange(f);
  if (f.kind != Kind::List) return std::to_string(r.low) + " to " + std::to_string(r.high);
  std::string list = "<ol start=\"0\">";
  for (int i = r.low; i <= r.high; ++i) list += "<li>" + escaped(optionText(f, i)) + "</li>";
  return list + "</ol>";
}

std::string fieldRow(const Field& f) {
  RegisterShadow defaults{quorvex::defaultRegisters};
  return "<tr class=\"field\">" + cell(std::string("<b>") + f.name() + "</b>") + cell(bitsCell(f)) +
         cell(valuesCell(f)) + cell(escaped(valueText(f, fieldValue(f, defaults)))) +
         cell(escaped(f.naming->label)) + "</tr>\n";
}

const std::string kTableHead =
    "<table>\n<tr><th>Field</th><th>Bits</th><th>Values</th><th>Default</th><th>Editor's label</th></tr>\n";

// Where register r holds bit 8 of a nine-bit field that the table of another register lists.
std::string bit8Notes(int r) {
  std::string notes;
  for (const Field& f : fields())
    if (f.kind == Kind::Wide && f.wide->highSubaddress == r)
      notes += "<p>Bit " + std::to_string(f.wide->highBit) + " holds bit 8 of <b>" + f.name() + "</b> (" +
               registerName(f.wide->lowSubaddress) + ").</p>\n";
  return notes;
}

// The table of the fields whose bits 7-0 (or whole field) lie in register r; "" when the
// register holds no field.
std::string registerTable(int r) {
  std::string rows;
  for (const Field& f : fields()) {
    std::uint8_t regs[2];
    fieldRegisters(f, regs);
    if (regs[0] == r) rows += fieldRow(f);
  }
  std::string notes = bit8Notes(r);
  if (rows.empty() && notes.empty()) return "";
  std::string name = registerName(static_cast<std::uint8_t>(r));
  std::string table = rows.empty() ? "" : kTableHead + rows + "</table>\n";
  return "<h2 id=\"r" + name + "\">Register " + name + "</h2>\n" + table + notes;
}

const char kHead[] =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<title>Quorvex decoder registers</title>\n<style>\n"
    "body { font-family: sans-serif; margin: 2em; }\n"
    "table { border-collapse: collapse; margin-bottom: 1.5em; }\n"
    "th, td { border: 1px solid #999; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }\n"
    "ol { margin: 0; padding-left: 2em; }\n"
    "</style>\n</head>\n<body>\n<h1>Quorvex decoder registers</h1>\n"
    "<p>Every field that the Quorvex Control Center shows, by the register that holds it. "
    "A list field's values are the options of its list, numbered from 0. The default is the "
    "chip's power-on value, also what Reset sends. The names are those that <code>qvx</code> "
    "takes and shows.</p>\n";

}  // namespace

std::string registerPage() {
  std::string page = kHead;
  for (int r = 0; r < quorvex::kRegisterCount; ++r) page += registerTable(r);
  return page + "</body>\n</html>\n";
}

}  // namespace qvx
