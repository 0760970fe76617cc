// Text and JSON forms of register sets.
#include "qvx/report.h"

namespace qvx {

namespace {

using Line = TextOf<1024>;

void jsonString(const char* text, Text& out) {
  if (!text) {
    out << "null";
    return;
  }
  out << '"';
  for (const char* c = text; *c; ++c) {
    if (*c == '"' || *c == '\\')
      out << '\\' << *c;
    else if (static_cast<unsigned char>(*c) < 0x20)
      out << "\\u00"
          << "0123456789abcdef"[(*c >> 4) & 1] << "0123456789abcdef"[*c & 15];
    else
      out << *c;
  }
  out << '"';
}

// "name", "register", "bits", "value", "text", "writable" of one field.
void jsonFields(const Field& f, int value, Text& out) {
  out << "\"name\": \"" << f.name() << "\", \"register\": \"";
  registerText(f, out);
  out << "\", \"bits\": \"";
  bitsText(f, out);
  out << "\", \"value\": " << value << ", \"text\": ";
  jsonString(optionText(f, value), out);
  out << ", \"writable\": " << (f.writable() ? "true" : "false");
}

// Objects of a JSON array, one per line, with the brackets around them.
class JsonArray {
 public:
  explicit JsonArray(const Sink& out) : out_(out) {}
  void add(const Text& members) {
    Line line;
    line << (count_++ ? ",\n  {" : "[\n  {") << members.view() << '}';
    out_.put(line);
  }
  void close() {
    Line end;
    end << (count_ ? "\n]\n" : "[]\n");
    out_.put(end);
  }

 private:
  const Sink& out_;
  int count_ = 0;
};

void showLine(const Field& f, int value, Text& line) {
  registerText(f, line);
  line.padTo(10);
  bitsText(f, line);
  line.padTo(16);
  line << f.name();
  line.padTo(24);
  Line number;
  number << value;
  line.padTo(line.size() + (number.size() < 4 ? 4 - number.size() : 0));
  line << number.view();
  if (const char* option = optionText(f, value))
    line << "  " << option;
  else if (!f.writable())
    line << "  read-only";
  line << '\n';
}

void rawBitsName(const RawBits& g, Text& out) {
  out << RegisterName{g.subaddress} << (g.mask & (g.mask - 1) ? " bits " : " bit ") << MaskBits{g.mask};
}

void rawJson(const RawBits& g, int was, int now, Text& out) {
  out << "\"name\": null, \"register\": \"" << RegisterName{g.subaddress} << "\", \"bits\": \"" << MaskBits{g.mask}
      << "\", \"value\": " << now << ", \"text\": null, \"writable\": false, \"old\": " << was << ", \"oldText\": null";
}

// A field, or a group of bits of no field, whose value differs.
struct Change {
  const Field* field;  // null for raw bits
  const RawBits* raw;
  int was, now;
};

// Each field that differs from a to b, then each group of bits of no field.
template <class Each>
void forEachChange(const RegisterShadow& a, const RegisterShadow& b, Each each) {
  for (const Field& f : fields()) {
    int was = fieldValue(f, a), now = fieldValue(f, b);
    if (was != now) each(Change{&f, nullptr, was, now});
  }
  const RawBitGroups& raw = rawBitGroups();
  for (int i = 0; i < raw.count; ++i) {
    const RawBits& g = raw.groups[i];
    int was = a.bytes[g.subaddress] & g.mask, now = b.bytes[g.subaddress] & g.mask;
    if (was != now) each(Change{nullptr, &g, was, now});
  }
}

// The members of a change: those of the field (or bits) with its new value, "old", "oldText".
void changeJson(const Change& c, Text& out) {
  if (!c.field) return rawJson(*c.raw, c.was, c.now, out);
  jsonFields(*c.field, c.now, out);
  out << ", \"old\": " << c.was << ", \"oldText\": ";
  jsonString(optionText(*c.field, c.was), out);
}

// "NAME" afterName "old -> new", values with their option text; raw bits as bytes.
void changeText(const Change& c, const char* afterName, Text& out) {
  if (!c.field) {
    rawBitsName(*c.raw, out);
    out << afterName << ByteValue{c.was} << " -> " << ByteValue{c.now};
    return;
  }
  out << c.field->name() << afterName;
  valueText(*c.field, c.was, out);
  out << " -> ";
  valueText(*c.field, c.now, out);
}

}  // namespace

void valueText(const Field& f, int value, Text& out) {
  out << value;
  if (const char* option = optionText(f, value)) out << " \"" << option << '"';
}

void showReport(const RegisterShadow& s, bool json, const Sink& out) {
  JsonArray array(out);
  for (const Field& f : fields()) {
    Line line;
    int value = fieldValue(f, s);
    if (json) {
      jsonFields(f, value, line);
      array.add(line);
    } else {
      showLine(f, value, line);
      out.put(line);
    }
  }
  if (json) array.close();
}

bool diffReport(const RegisterShadow& a, const RegisterShadow& b, bool json, const Sink& out) {
  JsonArray array(out);
  forEachChange(a, b, [&](const Change& c) {
    Line line;
    if (json) {
      changeJson(c, line);
      array.add(line);
    } else {
      changeText(c, ": ", line);
      out.put(line << '\n');
    }
  });
  if (json) array.close();
  return a.bytes != b.bytes;
}

void watchReport(const RegisterShadow& a, const RegisterShadow& b, long long ms, bool json, const Sink& out) {
  forEachChange(a, b, [&](const Change& c) {
    Line line;
    if (json) {
      line << "{\"time\": \"" << Elapsed{ms, '.'} << "\", \"ms\": " << ms << ", ";
      changeJson(c, line);
      line << '}';
    } else {
      line << Elapsed{ms, '.'} << ' ';
      changeText(c, " ", line);
    }
    out.put(line << '\n');
  });
}

}  // namespace qvx
