// A small JSON writer for the tools' scriptable output: objects, arrays,
// strings (escaped as RFC 8259 asks, bytes that are not UTF-8 as U+FFFD),
// numbers (finite ones; others become null) and booleans, with two-space
// indentation. Commas and nesting are tracked, so callers write values in
// order and never punctuation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vb {

class TJsonWriter {
 public:
  TJsonWriter& BeginObject();
  TJsonWriter& EndObject();
  TJsonWriter& BeginArray();
  TJsonWriter& EndArray();
  // The member name of the next value inside an object.
  TJsonWriter& Key(const std::string& Name);
  TJsonWriter& String(const std::string& Value);
  TJsonWriter& Number(double Value);
  TJsonWriter& Integer(std::int64_t Value);
  TJsonWriter& Bool(bool Value);
  // The text so far, with a final newline once every value is closed.
  std::string Text() const { return FDepth.empty() ? FText + "\n" : FText; }

 private:
  void BeforeValue();
  void Open(char Bracket);
  void Close(char Bracket);

  std::string FText;
  std::vector<bool> FDepth;  // per open container: has it a member yet
  bool FAfterKey = false;
};

}  // namespace vb
