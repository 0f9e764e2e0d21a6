#include "render_options.h"

#include "audio_format.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace vb {

namespace {

bool ParseInt(const std::string& text, long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  out = v;
  return true;
}

bool ParseNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || end == text.c_str() || *end != '\0' || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// Stores an option's value; false with a one-line message.
using TSetter = bool (*)(TRenderOptions& o, const std::string& value, std::string& error);

struct TOption {
  const char* Short;  // "-p", or nullptr
  const char* Long;   // "--plugin"
  const char* Value;  // name of the value in --help; nullptr for a flag
  const char* Help;   // '\n' starts a continuation line; nullptr hides the row
  TSetter Set;
};

const TOption kOptions[] = {
    {"-p", "--plugin", "PATH.so",
     "the plug-in to load; a bare name is looked\n"
     "for as NAME or NAME.so in $LXVST_PATH,\n"
     "$VST_PATH, ~/.vst, ~/.lxvst, /usr/local/lib/vst,\n"
     "/usr/local/lib/lxvst, /usr/lib/vst and\n"
     "/usr/lib/lxvst, each with its subfolders",
     [](TRenderOptions& o, const std::string& v, std::string&) {
       o.PluginPath = v;
       return true;
     }},
    {"-i", "--input", "FILE",
     "input audio (WAV, FLAC, AIFF, Ogg, MP3, ...);\n"
     "a file, FIFO or pipe; - is standard input",
     [](TRenderOptions& o, const std::string& v, std::string& e) {
       if (!o.InputPath.empty()) {
         e = "-i is given twice ('" + o.InputPath + "' and '" + v + "'); vst-render renders one input";
         return false;
       }
       o.InputPath = v;
       return true;
     }},
    {"-o", "--output", "FILE",
     "output audio (a file, FIFO, pipe or device;\n"
     "- is standard output and needs --format); the\n"
     "extension picks the format: wav, flac, aiff,\n"
     "ogg, opus, mp3, caf, w64, rf64, au; the input's\n"
     "encoding is kept where the format allows.\n"
     "To a pipe, FLAC, Ogg, Opus and MP3 stream as\n"
     "they render; the others write their length\n"
     "first, so they are buffered in $TMPDIR and\n"
     "sent when the render is complete",
     [](TRenderOptions& o, const std::string& v, std::string&) {
       o.OutputPath = v;
       return true;
     }},
    {nullptr, "--format", "EXT", "output format when -o has no extension\n(or an extension that is no audio format)",
     [](TRenderOptions& o, const std::string& v, std::string&) {
       o.FormatName = v;
       return true;
     }},
    {nullptr, "--channels", "LIST",
     "input channels that feed the plug-in's inputs,\n"
     "1-based: 1,2 (first two), 2 (second only),\n"
     "1+2 (mixed), 0 (silence)",
     [](TRenderOptions& o, const std::string& v, std::string& e) { return ParseChannelList(v, o.Channels, e); }},
    {nullptr, "--tail", "SECONDS",
     "silence fed after the input, so that echoes\n"
     "and reverbs ring out (default: the tail the\n"
     "plug-in reports)",
     [](TRenderOptions& o, const std::string& v, std::string& e) {
       double s = 0;
       if (!ParseNumber(v, s) || s < 0 || s > kMaxTailSeconds) {
         e = "tail must be a number of seconds from 0 to 3600, not '" + v + "'";
         return false;
       }
       o.TailSeconds = s;
       return true;
     }},
    {nullptr, "--no-latency-compensation", nullptr, "keep the plug-in's reported delay",
     [](TRenderOptions& o, const std::string&, std::string&) {
       o.CompensateLatency = false;
       return true;
     }},
    {"-b", "--blocksize", "N", "sample frames per processing call (512)",
     [](TRenderOptions& o, const std::string& v, std::string& e) {
       long n = 0;
       if (!ParseInt(v, n) || n < 1 || n > kMaxBlockSize) {
         e = "block size must be a whole number from 1 to " + std::to_string(kMaxBlockSize) + ", not '" + v + "'";
         return false;
       }
       o.BlockSize = static_cast<int>(n);
       return true;
     }},
    {"-s", "--sample-rate", "HZ", "processing rate (the input's, else 44100)",
     [](TRenderOptions& o, const std::string& v, std::string& e) {
       double hz = 0;
       if (!ParseNumber(v, hz) || hz < kMinSampleRate || hz > kMaxSampleRate) {
         e = "sample rate must be a number of Hz from 1000 to 1536000, not '" + v + "'";
         return false;
       }
       o.SampleRate = hz;
       return true;
     }},
    {nullptr, "--precision", "32|64", "sample width of the processing calls (32)",
     [](TRenderOptions& o, const std::string& v, std::string& e) {
       if (v != "32" && v != "64") {
         e = "precision must be 32 or 64, not '" + v + "'";
         return false;
       }
       o.Precision = v == "64" ? 64 : 32;
       return true;
     }},
    {nullptr, "--param", "NAME=VALUE",
     "set a parameter by name or index, in its\n"
     "own unit (repeatable; see the order below)",
     [](TRenderOptions& o, const std::string& v, std::string& e) {
       const auto eq = v.rfind('=');
       if (eq == std::string::npos || eq == 0 || eq + 1 == v.size()) {
         e = "--param needs NAME_OR_INDEX=VALUE, not '" + v + "'";
         return false;
       }
       o.Params.push_back({v.substr(0, eq), v.substr(eq + 1)});
       return true;
     }},
    {nullptr, "--normalised", nullptr, "--param values are normalised 0..1",
     [](TRenderOptions& o, const std::string&, std::string&) { return o.Normalised = true; }},
    {nullptr, "--normalized", nullptr, nullptr,
     [](TRenderOptions& o, const std::string&, std::string&) { return o.Normalised = true; }},
    {nullptr, "--list-params", nullptr, "list the parameters and exit",
     [](TRenderOptions& o, const std::string&, std::string&) { return o.ListParams = true; }},
    {nullptr, "--info", nullptr, "print what a host learns about the plug-in",
     [](TRenderOptions& o, const std::string&, std::string&) { return o.Info = true; }},
    {nullptr, "--editor-snapshot", "FILE.png",
     "open the plug-in's editor in a window of\n"
     "its own on $DISPLAY (after the --param\n"
     "settings), play the first seconds of the\n"
     "input through it, save what the window\n"
     "shows as a PNG and exit (no audio written)",
     [](TRenderOptions& o, const std::string& v, std::string&) {
       o.EditorSnapshotPath = v;
       return true;
     }},
    {nullptr, "--demo-out", "FILE", "also save the dry demo signal",
     [](TRenderOptions& o, const std::string& v, std::string&) {
       o.DemoOutPath = v;
       return true;
     }},
    {"-q", "--quiet", nullptr,
     "no progress bar, notes or summary line\n"
     "(warnings and errors still show)",
     [](TRenderOptions& o, const std::string&, std::string&) { return o.Quiet = true; }},
    {"-h", "--help", nullptr, "this text",
     [](TRenderOptions& o, const std::string&, std::string&) { return o.Help = true; }},
};

const TOption* FindOption(const std::string& name) {
  for (const TOption& opt : kOptions)
    if ((opt.Short && name == opt.Short) || name == opt.Long) return &opt;
  return nullptr;
}

constexpr size_t kHelpColumn = 30;  // where the help texts start

std::string UsageRow(const TOption& opt) {
  std::string head = std::string("  ") + (opt.Short ? std::string(opt.Short) + ", " : "    ") + opt.Long;
  if (opt.Value) head += std::string(" ") + opt.Value;
  std::string rows;
  std::string_view help = opt.Help;
  for (bool first = true; !help.empty(); first = false) {
    const auto nl = help.find('\n');
    const std::string_view line = help.substr(0, nl);
    std::string lead = first ? head : std::string();
    lead += lead.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - lead.size(), ' ')
                                           : "\n" + std::string(kHelpColumn, ' ');
    rows += lead + std::string(line) + "\n";
    help = nl == std::string_view::npos ? std::string_view() : help.substr(nl + 1);
  }
  return rows;
}

// Options that would be silently ignored in this company; empty when none.
std::string CheckCombination(const TRenderOptions& o) {
  if (o.PluginPath.empty()) return "no plug-in given (use -p PATH.so)";
  if (!o.EditorSnapshotPath.empty() && !o.OutputPath.empty())
    return "--editor-snapshot writes a picture, not audio; leave out -o";
  if (!o.EditorSnapshotPath.empty() && LowerExtension(o.EditorSnapshotPath) != "png")
    return "--editor-snapshot writes a PNG picture; give a name ending in .png, not '" + o.EditorSnapshotPath + "'";
  if ((o.Info || o.ListParams) && (!o.InputPath.empty() || !o.OutputPath.empty() || !o.DemoOutPath.empty()))
    return std::string(o.Info ? "--info" : "--list-params") +
           " only describes the plug-in; leave out -i, -o and --demo-out";
  if (!o.DemoOutPath.empty() && !o.InputPath.empty())
    return "--demo-out saves the built-in demo, which is not played with -i; leave out one of them";
  if (o.OutputPath == "-" && o.FormatName.empty())
    return "-o - writes to standard output, which has no extension: give the format with --format (e.g. --format flac)";
  return FormatConflict(o.OutputPath, o.FormatName);
}

}  // namespace

TOptionsResult ParseRenderOptions(const std::vector<std::string_view>& args) {
  TOptionsResult r;
  TRenderOptions& o = r.Options;
  for (size_t pos = 0; pos < args.size(); ++pos) {
    // A long option's value is either glued to it with '=' or is the next argument.
    std::string name(args[pos]), value;
    bool glued = false;
    if (const auto eq = name.find('='); name.size() > 2 && name.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
      glued = true;
    }
    const TOption* opt = FindOption(name);
    if (!opt) {
      r.Error = !name.empty() && name[0] == '-' ? "unknown option '" + name + "' (see --help)"
                                                : "unexpected argument '" + name + "' (see --help)";
      return r;
    }
    if (!opt->Value && glued) {
      r.Error = "option " + name + " takes no value";
      return r;
    }
    if (opt->Value && !glued) {
      if (pos + 1 >= args.size()) {
        r.Error = "option " + name + " needs a value";
        return r;
      }
      value = std::string(args[++pos]);
    }
    if (!opt->Set(o, value, r.Error)) return r;
  }
  if (o.Help) return r;
  r.Error = CheckCombination(o);
  return r;
}

std::string RenderUsage() {
  std::string text =
      "usage: vst-render -p PLUGIN.so [options]\n"
      "Renders audio through a VST 2.4 plug-in. Without -i the built-in demo\n"
      "(about 10 s of plucked guitar-like strings) is rendered.\n"
      "\n";
  for (const TOption& opt : kOptions)
    if (opt.Help) text += UsageRow(opt);
  text +=
      "\n"
      "Parameters: switches (parameters with two or three settings, such as\n"
      "on/off or 1x/8x/16x) are set before continuous ones, each group in the\n"
      "order given, so the result does not depend on the order of --param.\n"
      "Channels: a file with as many channels as the plug-in has inputs feeds\n"
      "them one to one and a mono file feeds every input; any other count is\n"
      "refused unless --channels picks the channels. Every output is written.\n"
      "Length: the output is as long as the input plus the tail. The delay the\n"
      "plug-in reports after it is switched on is compensated: that many\n"
      "leading frames are dropped and as many extra are rendered.\n"
      "Notes go to stderr (-q hides them), as do warnings and errors. Exit\n"
      "status: 0 done, 1 failed (no output file is left), 2 bad command line.\n";
  return text;
}

}  // namespace vb
