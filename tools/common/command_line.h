// The command-line layer every tool shares, so that they all behave alike:
// - options come from one table per tool (names, value, help text, setter),
//   and --help is made from that table;
// - --help and --version are understood by every tool, `--` ends the
//   options, a long option's value may be glued on with '=';
// - an option that takes one value may be given once; a second is an error
//   rather than a silent winner;
// - a bad command line is exit status 2, a failure 1, and every message is
//   one line "TOOL: error: ...", "TOOL: warning: ..." or "TOOL: note: ...".
//
// Threads: the parser and the messages are for the main thread.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vb {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// One tool's voice on standard error.
class TToolMessages {
 public:
  explicit TToolMessages(std::string tool) : FTool(std::move(tool)) {}
  // "TOOL: error: MESSAGE"; answers `code` for `return Error(...)`.
  int Error(const std::string& message, int code = kExitFailure) const;
  void Warning(const std::string& message) const;
  // Hidden when quiet; empty notes are skipped.
  void Note(const std::string& message) const;
  void SetQuiet(bool quiet) { FQuiet = quiet; }
  const std::string& Tool() const { return FTool; }

 private:
  std::string FTool;
  bool FQuiet = false;
};

// "TOOL VERSION", and the licence line, for --version.
std::string VersionText(const std::string& tool);

// One row of a tool's option table. Set stores the value (empty for a
// flag) in the tool's options; false with a one-line message.
template <typename TOptions>
struct TOptionRow {
  const char* Short;  // "-p", or nullptr
  const char* Long;   // "--plugin"
  const char* Value;  // the value's name in --help; nullptr for a flag
  const char* Help;   // '\n' starts a continuation line; nullptr hides the row
  bool (*Set)(TOptions& options, const std::string& value, std::string& error);
  bool Repeatable = false;  // may be given more than once (--param)
};

// What a command line asks for before any work is done.
enum TCommandMode { cmRun, cmHelp, cmVersion, cmUsageError };

// The words of a command line split into options and operands; the
// table-free part of the parser, which the template below drives.
class TCommandWords {
 public:
  explicit TCommandWords(const std::vector<std::string_view>& args) : FArgs(args) {}
  // Next option name and value; false at the end of the options. An operand
  // (a word without a leading '-', "-" itself, or anything after "--") is
  // collected and skipped.
  bool Next(std::string& name, std::string& value, bool& glued);
  // The value of an option that takes one and was not glued.
  bool TakeValue(std::string& value);
  std::vector<std::string>& Operands() { return FOperands; }

 private:
  const std::vector<std::string_view>& FArgs;
  size_t FPos = 0;
  bool FOptionsEnded = false;
  std::vector<std::string> FOperands;
};

// --help's rows for an option: the names at the left, the text from
// column 30.
std::string UsageRow(const char* shortName, const char* longName, const char* value, const char* help);

// Parses `args` (after the program name) against `table`. --help and
// --version are understood without rows of their own. On cmUsageError
// `error` holds one line.
template <typename TOptions>
TCommandMode ParseCommandLine(std::span<const TOptionRow<TOptions>> table, const std::vector<std::string_view>& args,
                              TOptions& options, std::vector<std::string>& operands, std::string& error) {
  TCommandWords words(args);
  std::vector<const TOptionRow<TOptions>*> seen;
  TCommandMode mode = cmRun;
  std::string name, value;
  bool glued = false;
  while (words.Next(name, value, glued)) {
    if (name == "-h" || name == "--help") {
      mode = cmHelp;
      continue;
    }
    if (name == "--version") {
      if (mode == cmRun) mode = cmVersion;
      continue;
    }
    const TOptionRow<TOptions>* row = nullptr;
    for (const TOptionRow<TOptions>& r : table)
      if ((r.Short && name == r.Short) || name == r.Long) row = &r;
    if (!row) {
      error = "unknown option '" + name + "' (see --help)";
      return cmUsageError;
    }
    if (!row->Value && glued) {
      error = "option " + name + " takes no value";
      return cmUsageError;
    }
    if (row->Value && !glued && !words.TakeValue(value)) {
      error = "option " + name + " needs a value";
      return cmUsageError;
    }
    for (const auto* s : seen)
      if (s == row && row->Value && !row->Repeatable) {
        error = "option " + std::string(row->Long) + " is given twice; give it once";
        return cmUsageError;
      }
    seen.push_back(row);
    if (!row->Set(options, value, error)) return cmUsageError;
  }
  operands = std::move(words.Operands());
  return mode;
}

// Every visible row of `table`, for --help.
template <typename TOptions>
std::string UsageRows(std::span<const TOptionRow<TOptions>> table) {
  std::string rows;
  for (const TOptionRow<TOptions>& r : table)
    if (r.Help) rows += UsageRow(r.Short, r.Long, r.Value, r.Help);
  rows += UsageRow("-h", "--help", nullptr, "this text");
  rows += UsageRow(nullptr, "--version", nullptr, "the version and licence");
  rows += UsageRow(nullptr, "--", nullptr, "ends the options (for names starting with -)");
  return rows;
}

}  // namespace vb
