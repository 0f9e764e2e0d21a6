#include "command_line.h"

#include <cstdio>

#ifndef VB_VERSION
#define VB_VERSION "unknown"
#endif

namespace vb {

namespace {

constexpr size_t kHelpColumn = 30;  // where the help texts start

}  // namespace

int TToolMessages::Error(const std::string& message, int code) const {
  std::fprintf(stderr, "%s: error: %s\n", FTool.c_str(), message.c_str());
  return code;
}

void TToolMessages::Warning(const std::string& message) const {
  std::fprintf(stderr, "%s: warning: %s\n", FTool.c_str(), message.c_str());
}

void TToolMessages::Note(const std::string& message) const {
  if (!FQuiet && !message.empty()) std::fprintf(stderr, "%s: note: %s\n", FTool.c_str(), message.c_str());
}

std::string VersionText(const std::string& tool) {
  return tool + " " VB_VERSION "\nCopyright 2026 Vorda. MIT licence.\n";
}

bool TCommandWords::Next(std::string& name, std::string& value, bool& glued) {
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
    name = std::string(word);
    value.clear();
    glued = false;
    // A long option's value is either glued to it with '=' or is the next word.
    if (const auto eq = name.find('='); name.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
      glued = true;
    }
    return true;
  }
  return false;
}

bool TCommandWords::TakeValue(std::string& value) {
  if (FPos >= FArgs.size()) return false;
  value = std::string(FArgs[FPos++]);
  return true;
}

std::string UsageRow(const char* shortName, const char* longName, const char* value, const char* help) {
  std::string head = std::string("  ") + (shortName ? std::string(shortName) + ", " : "    ") + longName;
  if (value) head += std::string(" ") + value;
  std::string rows;
  std::string_view text = help;
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
