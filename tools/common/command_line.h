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
  explicit TToolMessages(std::string Tool) : FTool(std::move(Tool)) {}
  // "TOOL: error: MESSAGE"; answers `code` for `return Error(...)`.
  int Error(const std::string& Message, int Code = kExitFailure) const;
  void Warning(const std::string& Message) const;
  // Hidden when quiet; empty notes are skipped.
  void Note(const std::string& Message) const;
  void SetQuiet(bool Quiet) { FQuiet = Quiet; }
  const std::string& Tool() const { return FTool; }

 private:
  std::string FTool;
  bool FQuiet = false;
};

// "TOOL VERSION", and the licence line, for --version.
std::string VersionText(const std::string& Tool);

// One row of a tool's option table. Set stores the value (empty for a
// flag) in the tool's options; false with a one-line message.
template <typename TOptions>
struct TOptionRow {
  const char* Short;  // "-p", or nullptr
  const char* Long;   // "--plugin"
  const char* Value;  // the value's name in --help; nullptr for a flag
  const char* Help;   // '\n' starts a continuation line; nullptr hides the row
  bool (*Set)(TOptions& Options, const std::string& Value, std::string& Error);
  bool Repeatable = false;  // may be given more than once (--param)
};

// What a command line asks for before any work is done.
enum TCommandMode { cmRun, cmHelp, cmVersion, cmUsageError };

// The words of a command line split into options and operands; the
// table-free part of the parser, which the template below drives.
class TCommandWords {
 public:
  explicit TCommandWords(const std::vector<std::string_view>& Args) : FArgs(Args) {}
  // Next option name and value; false at the end of the options. An operand
  // (a word without a leading '-', "-" itself, or anything after "--") is
  // collected and skipped.
  bool Next(std::string& Name, std::string& Value, bool& Glued);
  // The value of an option that takes one and was not glued.
  bool TakeValue(std::string& Value);
  std::vector<std::string>& Operands() { return FOperands; }

 private:
  const std::vector<std::string_view>& FArgs;
  size_t FPos = 0;
  bool FOptionsEnded = false;
  std::vector<std::string> FOperands;
};

// --help's rows for an option: the names at the left, the text from
// column 30.
std::string UsageRow(const char* ShortName, const char* LongName, const char* Value, const char* Help);

// Parses `args` (after the program name) against `table`. --help and
// --version are understood without rows of their own. On cmUsageError
// `error` holds one line.
template <typename TOptions>
TCommandMode ParseCommandLine(std::span<const TOptionRow<TOptions>> Table, const std::vector<std::string_view>& Args,
                              TOptions& Options, std::vector<std::string>& Operands, std::string& Error) {
  TCommandWords words(Args);
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
    for (const TOptionRow<TOptions>& r : Table)
      if ((r.Short && name == r.Short) || name == r.Long) row = &r;
    if (!row) {
      Error = "unknown option '" + name + "' (see --help)";
      return cmUsageError;
    }
    if (!row->Value && glued) {
      Error = "option " + name + " takes no value";
      return cmUsageError;
    }
    if (row->Value && !glued && !words.TakeValue(value)) {
      Error = "option " + name + " needs a value";
      return cmUsageError;
    }
    for (const auto* s : seen)
      if (s == row && row->Value && !row->Repeatable) {
        Error = "option " + std::string(row->Long) + " is given twice; give it once";
        return cmUsageError;
      }
    seen.push_back(row);
    if (!row->Set(Options, value, Error)) return cmUsageError;
  }
  Operands = std::move(words.Operands());
  return mode;
}

// Every visible row of `table`, for --help.
template <typename TOptions>
std::string UsageRows(std::span<const TOptionRow<TOptions>> Table) {
  std::string rows;
  for (const TOptionRow<TOptions>& r : Table)
    if (r.Help) rows += UsageRow(r.Short, r.Long, r.Value, r.Help);
  rows += UsageRow("-h", "--help", nullptr, "this text");
  rows += UsageRow(nullptr, "--version", nullptr, "the version and licence");
  rows += UsageRow(nullptr, "--", nullptr, "ends the options (for names starting with -)");
  return rows;
}

}  // namespace vb
