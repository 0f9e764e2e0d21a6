#include "json_writer.h"

#include <cmath>
#include <cstdio>

namespace vb {

namespace {

// The length of the UTF-8 sequence at `s`, 0 when it is not a valid one.
size_t Utf8Length(const std::string& S, size_t At) {
  const auto c = static_cast<unsigned char>(S[At]);
  const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || At + n > S.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(S[At + k]) & 0xC0) != 0x80) return 0;
  return n;
}

std::string Quoted(const std::string& S) {
  std::string out = "\"";
  for (size_t at = 0; at < S.size();) {
    const auto c = static_cast<unsigned char>(S[at]);
    const size_t n = Utf8Length(S, at);
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
      out.append(S, at, n);
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

void TJsonWriter::Open(char Bracket) {
  BeforeValue();
  FText += Bracket;
  FDepth.push_back(false);
}

void TJsonWriter::Close(char Bracket) {
  const bool filled = !FDepth.empty() && FDepth.back();
  if (!FDepth.empty()) FDepth.pop_back();
  if (filled) {
    FText += '\n';
    FText.append(2 * FDepth.size(), ' ');
  }
  FText += Bracket;
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

TJsonWriter& TJsonWriter::Key(const std::string& Name) {
  BeforeValue();
  FText += Quoted(Name);
  FText += ": ";
  FAfterKey = true;
  return *this;
}

TJsonWriter& TJsonWriter::String(const std::string& Value) {
  BeforeValue();
  FText += Quoted(Value);
  return *this;
}

TJsonWriter& TJsonWriter::Number(double Value) {
  BeforeValue();
  if (!std::isfinite(Value)) {
    FText += "null";
    return *this;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", Value);
  FText += buf;
  return *this;
}

TJsonWriter& TJsonWriter::Integer(std::int64_t Value) {
  BeforeValue();
  FText += std::to_string(Value);
  return *this;
}

TJsonWriter& TJsonWriter::Bool(bool Value) {
  BeforeValue();
  FText += Value ? "true" : "false";
  return *this;
}

}  // namespace vb
