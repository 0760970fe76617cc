// Text and JSON forms of register sets.
#include "qvx/report.h"

#include <cstdio>

namespace qvx {

namespace {

std::string jsonString(const char* text) {
  if (!text) return "null";
  std::string out = "\"";
  for (const char* c = text; *c; ++c) {
    if (*c == '"' || *c == '\\') {
      out += '\\';
      out += *c;
    } else if (static_cast<unsigned char>(*c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", *c);
      out += escaped;
    } else {
      out += *c;
    }
  }
  return out + "\"";
}

// "name", "register", "bits", "value", "text" of one field.
std::string jsonFields(const Field& f, int value) {
  return "\"name\": " + jsonString(f.name()) + ", \"register\": " +
         jsonString(registerText(f).c_str()) + ", \"bits\": " + jsonString(bitsText(f).c_str()) +
         ", \"value\": " + std::to_string(value) + ", \"text\": " + jsonString(optionText(f, value));
}

std::string jsonArray(const std::string& objects) {
  return objects.empty() ? "[]\n" : "[\n" + objects + "\n]\n";
}

void appendObject(std::string& objects, const std::string& members) {
  objects += (objects.empty() ? "  {" : ",\n  {") + members + "}";
}

std::string showLine(const Field& f, int value) {
  char line[64];
  std::snprintf(line, sizeof line, "%-9s %-5s %-6s %4d", registerText(f).c_str(),
                bitsText(f).c_str(), f.name(), value);
  const char* option = optionText(f, value);
  return std::string(line) + (option ? std::string("  ") + option : "") + "\n";
}

}  // namespace

std::string valueText(const Field& f, int value) {
  const char* option = optionText(f, value);
  return std::to_string(value) + (option ? std::string(" \"") + option + "\"" : "");
}

std::string showText(const RegisterShadow& s, bool json) {
  std::string out;
  for (const Field& f : fields()) {
    int value = fieldValue(f, s);
    if (json)
      appendObject(out, jsonFields(f, value));
    else
      out += showLine(f, value);
  }
  return json ? jsonArray(out) : out;
}

std::string diffText(const RegisterShadow& a, const RegisterShadow& b, bool json) {
  std::string out;
  for (const Field& f : fields()) {
    int was = fieldValue(f, a), now = fieldValue(f, b);
    if (was == now) continue;
    if (json)
      appendObject(out, jsonFields(f, now) + ", \"old\": " + std::to_string(was) +
                            ", \"oldText\": " + jsonString(optionText(f, was)));
    else
      out += std::string(f.name()) + ": " + valueText(f, was) + " -> " + valueText(f, now) + "\n";
  }
  return json ? jsonArray(out) : out;
}

bool fieldsDiffer(const RegisterShadow& a, const RegisterShadow& b) {
  for (const Field& f : fields())
    if (fieldValue(f, a) != fieldValue(f, b)) return true;
  return false;
}

}  // namespace qvx
