#include "command_line.h"

#include <cstdio>

#ifndef VB_VERSION
#define VB_VERSION "unknown"
#endif

namespace vb {

namespace {

constexpr size_t kHelpColumn = 30;  // where the help texts start

}  // namespace

int TToolMessages::Error(const std::string& Message, int Code) const {
  std::fprintf(stderr, "%s: error: %s\n", FTool.c_str(), Message.c_str());
  return Code;
}

void TToolMessages::Warning(const std::string& Message) const {
  std::fprintf(stderr, "%s: warning: %s\n", FTool.c_str(), Message.c_str());
}

void TToolMessages::Note(const std::string& Message) const {
  if (!FQuiet && !Message.empty()) std::fprintf(stderr, "%s: note: %s\n", FTool.c_str(), Message.c_str());
}

std::string VersionText(const std::string& Tool) {
  return Tool + " " VB_VERSION "\nCopyright 2026 Vorda. MIT licence.\n";
}

bool TCommandWords::Next(std::string& Name, std::string& Value, bool& Glued) {
  while (FPos < FArgs.size()) {
    const std::string_view word = FArgs[FPos++];
    if (FOptionsEnded || word.size() < 2 || word[0] != '-') {
      FOperands.emplace_back(word);
      continue;
    }
    if (word == "--") {
      FOptionsEnded = true;
      continue;
    }
    Name = std::string(word);
    Value.clear();
    Glued = false;
    // A long option's value is either glued to it with '=' or is the next word.
    if (const auto eq = Name.find('='); Name.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      Value = Name.substr(eq + 1);
      Name.resize(eq);
      Glued = true;
    }
    return true;
  }
  return false;
}

bool TCommandWords::TakeValue(std::string& Value) {
  if (FPos >= FArgs.size()) return false;
  Value = std::string(FArgs[FPos++]);
  return true;
}

std::string UsageRow(const char* ShortName, const char* LongName, const char* Value, const char* Help) {
  std::string head = std::string("  ") + (ShortName ? std::string(ShortName) + ", " : "    ") + LongName;
  if (Value) head += std::string(" ") + Value;
  std::string rows;
  std::string_view text = Help;
  for (bool first = true; !text.empty(); first = false) {
    const auto nl = text.find('\n');
    const std::string_view line = text.substr(0, nl);
    std::string lead = first ? head : std::string();
    lead += lead.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - lead.size(), ' ')
                                           : "\n" + std::string(kHelpColumn, ' ');
    rows += lead + std::string(line) + "\n";
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
  }
  return rows;
}

}  // namespace vb
