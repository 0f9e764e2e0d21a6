#include "json_writer.h"

#include <cmath>
#include <cstdio>

namespace vb {

namespace {

// The length of the UTF-8 sequence at `s`, 0 when it is not a valid one.
size_t Utf8Length(const std::string& s, size_t at) {
  const auto c = static_cast<unsigned char>(s[at]);
  const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || at + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[at + k]) & 0xC0) != 0x80) return 0;
  return n;
}

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (size_t at = 0; at < s.size();) {
    const auto c = static_cast<unsigned char>(s[at]);
    const size_t n = Utf8Length(s, at);
    if (n == 0) {
      out += "\\ufffd";
      ++at;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out.append(s, at, n);
    }
    at += n;
  }
  return out + "\"";
}

}  // namespace

void TJsonWriter::BeforeValue() {
  if (FAfterKey) {
    FAfterKey = false;
    return;
  }
  if (FDepth.empty()) return;
  FText += FDepth.back() ? ",\n" : "\n";
  FDepth.back() = true;
  FText.append(2 * FDepth.size(), ' ');
}

void TJsonWriter::Open(char bracket) {
  BeforeValue();
  FText += bracket;
  FDepth.push_back(false);
}

void TJsonWriter::Close(char bracket) {
  const bool filled = !FDepth.empty() && FDepth.back();
  if (!FDepth.empty()) FDepth.pop_back();
  if (filled) {
    FText += '\n';
    FText.append(2 * FDepth.size(), ' ');
  }
  FText += bracket;
}

TJsonWriter& TJsonWriter::BeginObject() {
  Open('{');
  return *this;
}
TJsonWriter& TJsonWriter::EndObject() {
  Close('}');
  return *this;
}
TJsonWriter& TJsonWriter::BeginArray() {
  Open('[');
  return *this;
}
TJsonWriter& TJsonWriter::EndArray() {
  Close(']');
  return *this;
}

TJsonWriter& TJsonWriter::Key(const std::string& name) {
  BeforeValue();
  FText += Quoted(name);
  FText += ": ";
  FAfterKey = true;
  return *this;
}

TJsonWriter& TJsonWriter::String(const std::string& value) {
  BeforeValue();
  FText += Quoted(value);
  return *this;
}

TJsonWriter& TJsonWriter::Number(double value) {
  BeforeValue();
  if (!std::isfinite(value)) {
    FText += "null";
    return *this;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", value);
  FText += buf;
  return *this;
}

TJsonWriter& TJsonWriter::Integer(std::int64_t value) {
  BeforeValue();
  FText += std::to_string(value);
  return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value) {
  BeforeValue();
  FText += value ? "true" : "false";
  return *this;
}

}  // namespace vb
