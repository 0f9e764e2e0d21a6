#include "render_options.h"

#include "audio_format.h"
#include "command_line.h"
#include "plugin_search.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace vb {

namespace {

bool ParseInt(const std::string& Text, long& Out) {
  if (Text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(Text.c_str(), &end, 10);
  if (errno != 0 || end == Text.c_str() || *end != '\0') return false;
  Out = v;
  return true;
}

bool ParseNumber(const std::string& Text, double& Out) {
  if (Text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(Text.c_str(), &end);
  if (errno != 0 || end == Text.c_str() || *end != '\0' || !std::isfinite(v)) return false;
  Out = v;
  return true;
}

const TOptionRow<TRenderOptions> kOptions[] = {
    {"-p", "--plugin", "PLUGIN",
     "the plug-in's file; a bare name is looked\n"
     "for in the folders hosts search (see below),\n"
     "each with its subfolders.\n"
     "Repeated, the plug-ins form a chain: each\n"
     "takes the outputs of the one before; their\n"
     "delays add up and are compensated",
     [](TRenderOptions& O, const std::string& V, std::string&) {
       if (O.PluginPath.empty()) O.PluginPath = V;
       O.PluginPaths.push_back(V);
       return true;
     },
     true},
    {"-i", "--input", "FILE",
     "input audio (WAV, FLAC, AIFF, Ogg, MP3, ...);\n"
     "a file, FIFO or pipe; - is standard input.\n"
     "Several inputs (repeated -i, or files after\n"
     "the options), a folder or a quoted pattern\n"
     "('in/*.wav') render one after the other\n"
     "through the plug-in loaded once: see Batch",
     [](TRenderOptions& O, const std::string& V, std::string&) {
       O.Inputs.push_back(V);
       return true;
     },
     true},
    {"-o", "--output", "FILE",
     "output audio (a file, FIFO, pipe or device;\n"
     "- is standard output and needs --format); the\n"
     "extension picks the format: wav, flac, aiff,\n"
     "ogg, opus, mp3, caf, w64, rf64, au; the input's\n"
     "encoding is kept where the format allows.\n"
     "To a pipe, FLAC, Ogg, Opus and MP3 stream as\n"
     "they render; the others write their length\n"
     "first, so they are buffered in a temporary\n"
     "file and sent when the render is complete",
     [](TRenderOptions& O, const std::string& V, std::string&) {
       O.OutputPath = V;
       return true;
     }},
    {nullptr, "--format", "EXT", "output format when -o has no extension\n(or an extension that is no audio format)",
     [](TRenderOptions& O, const std::string& V, std::string&) {
       O.FormatName = V;
       return true;
     }},
    {nullptr, "--bits", "N",
     "integer samples of N bits (8, 16, 24, 32)\n"
     "instead of the input's encoding; with\n"
     "--float: 32 or 64-bit floating point",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       if (V != "8" && V != "16" && V != "24" && V != "32" && V != "64") {
         E = "--bits must be 8, 16, 24, 32 or (with --float) 64, not '" + V + "'";
         return false;
       }
       O.Bits = std::stoi(V);
       return true;
     }},
    {nullptr, "--float", nullptr, "floating-point samples (32-bit unless --bits 64)",
     [](TRenderOptions& O, const std::string&, std::string&) { return O.Float = true; }},
    {nullptr, "--quality", "Q",
     "VBR quality of Ogg, Opus and MP3 output,\n"
     "0 (smallest) to 10 (best); default 7 (about\n"
     "110 kbps stereo); Opus runs from 12 to 512\n"
     "kbps and by default takes its encoder's",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       double q = 0;
       if (!ParseNumber(V, q) || q < 0 || q > 10) {
         E = "--quality must be a number from 0 to 10, not '" + V + "'";
         return false;
       }
       O.Quality = q / 10.0;
       return true;
     }},
    {nullptr, "--out-channels", "N",
     "write the plug-in's first N outputs only\n"
     "(1 gives a mono file; default: every output)",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       long n = 0;
       if (!ParseInt(V, n) || n < 1 || n > kMaxOutChannels) {
         E = "--out-channels must be a whole number from 1 to " + std::to_string(kMaxOutChannels) + ", not '" + V + "'";
         return false;
       }
       O.OutChannels = static_cast<int>(n);
       return true;
     }},
    {nullptr, "--channels", "LIST",
     "input channels that feed the plug-in's inputs,\n"
     "1-based: 1,2 (first two), 2 (second only),\n"
     "1+2 (mixed), 0 (silence)",
     [](TRenderOptions& O, const std::string& V, std::string& E) { return ParseChannelList(V, O.Channels, E); }},
    {nullptr, "--tail", "SECONDS|auto",
     "silence fed after the input, so that echoes\n"
     "and reverbs ring out (default: the tail the\n"
     "plug-in reports); auto: until the output\n"
     "stays below -90 dBFS for 0.5 s",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       if (V == "auto") return O.AutoTail = true;
       double s = 0;
       if (!ParseNumber(V, s) || s < 0 || s > kMaxTailSeconds) {
         E = "tail must be a number of seconds from 0 to 3600, not '" + V + "'";
         return false;
       }
       O.TailSeconds = s;
       return true;
     }},
    {nullptr, "--tail-max", "SECONDS", "the longest automatic tail (30)",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       double s = 0;
       if (!ParseNumber(V, s) || s < 0 || s > kMaxTailSeconds) {
         E = "--tail-max must be a number of seconds from 0 to 3600, not '" + V + "'";
         return false;
       }
       O.TailMaxSeconds = s;
       return true;
     }},
    {nullptr, "--no-latency-compensation", nullptr, "keep the plug-in's reported delay",
     [](TRenderOptions& O, const std::string&, std::string&) {
       O.CompensateLatency = false;
       return true;
     }},
    {"-b", "--blocksize", "N", "sample frames per processing call (512)",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       long n = 0;
       if (!ParseInt(V, n) || n < 1 || n > kMaxBlockSize) {
         E = "block size must be a whole number from 1 to " + std::to_string(kMaxBlockSize) + ", not '" + V + "'";
         return false;
       }
       O.BlockSize = static_cast<int>(n);
       return true;
     }},
    {"-s", "--sample-rate", "HZ",
     "processing and output rate (the input's,\n"
     "else 44100); an input at another rate is\n"
     "converted (libsoxr, very high quality)",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       double hz = 0;
       if (!ParseNumber(V, hz) || hz < kMinSampleRate || hz > kMaxSampleRate) {
         E = "sample rate must be a number of Hz from 1000 to 1536000, not '" + V + "'";
         return false;
       }
       O.SampleRate = hz;
       return true;
     }},
    {nullptr, "--precision", "32|64", "sample width of the processing calls (32)",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       if (V != "32" && V != "64") {
         E = "precision must be 32 or 64, not '" + V + "'";
         return false;
       }
       O.Precision = V == "64" ? 64 : 32;
       return true;
     }},
    {nullptr, "--param", "NAME=VALUE",
     "set a parameter by name or index, in its\n"
     "own unit (repeatable; see the order below);\n"
     "in a chain PLUGIN:NAME=VALUE picks the\n"
     "plug-in by file name (no extension) or number",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       const auto eq = V.rfind('=');
       if (eq == std::string::npos || eq == 0 || eq + 1 == V.size()) {
         E = "--param needs NAME_OR_INDEX=VALUE, not '" + V + "'";
         return false;
       }
       O.Params.push_back({V.substr(0, eq), V.substr(eq + 1)});
       return true;
     },
     true},
    {nullptr, "--midi", "FILE.mid",
     "send a standard MIDI file's events to the\n"
     "(first) plug-in, sample-accurately at the\n"
     "file's tempo; without -i the output lasts\n"
     "as long as the MIDI file, plus the tail",
     [](TRenderOptions& O, const std::string& V, std::string&) {
       O.MidiPath = V;
       return true;
     }},
    {nullptr, "--preset", "FILE.fxp|.fxb",
     "load a program (.fxp) or bank (.fxb) before\n"
     "--program and --param; one of another\n"
     "plug-in is refused",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       const std::string ext = LowerExtension(V);
       if (ext != "fxp" && ext != "fxb") {
         E = "--preset takes a .fxp or .fxb file, not '" + V + "'";
         return false;
       }
       O.PresetPath = V;
       return true;
     }},
    {nullptr, "--program", "N", "select program N (from 0) before --param",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       long n = 0;
       if (!ParseInt(V, n) || n < 0 || n > 1000000) {
         E = "--program must be a program number from 0, not '" + V + "'";
         return false;
       }
       O.Program = static_cast<int>(n);
       return true;
     }},
    {nullptr, "--save-preset", "FILE.fxp|.fxb",
     "save the current program (.fxp) or the bank\n"
     "(.fxb) after the --param settings",
     [](TRenderOptions& O, const std::string& V, std::string& E) {
       const std::string ext = LowerExtension(V);
       if (ext != "fxp" && ext != "fxb") {
         E = "--save-preset takes a name ending in .fxp or .fxb, not '" + V + "'";
         return false;
       }
       O.SavePresetPath = V;
       return true;
     }},
    {nullptr, "--normalised", nullptr, "--param values are normalised 0..1",
     [](TRenderOptions& O, const std::string&, std::string&) { return O.Normalised = true; }},
    {nullptr, "--normalized", nullptr, nullptr,
     [](TRenderOptions& O, const std::string&, std::string&) { return O.Normalised = true; }},
    {nullptr, "--list-params", nullptr, "list the parameters and exit",
     [](TRenderOptions& O, const std::string&, std::string&) { return O.ListParams = true; }},
    {nullptr, "--info", nullptr, "print what a host learns about the plug-in",
     [](TRenderOptions& O, const std::string&, std::string&) { return O.Info = true; }},
    {nullptr, "--list-plugins", nullptr,
     "list the plug-ins in the search folders (see\n"
     "-p) that load, each tried in a process of\n"
     "its own; no -p needed",
     [](TRenderOptions& O, const std::string&, std::string&) { return O.ListPlugins = true; }},
    {nullptr, "--json", nullptr,
     "--info and --list-params as JSON: ranges,\n"
     "units, switch settings, steps and display texts",
     [](TRenderOptions& O, const std::string&, std::string&) { return O.Json = true; }},
    {nullptr, "--editor-snapshot", "FILE.png",
     "open the plug-in's editor in a window of\n"
     "its own on $DISPLAY (after the --param\n"
     "settings), play the first seconds of the\n"
     "input through it, save what the window\n"
     "shows as a PNG and exit (no audio written)",
     [](TRenderOptions& O, const std::string& V, std::string&) {
       O.EditorSnapshotPath = V;
       return true;
     }},
    {nullptr, "--demo-out", "FILE", "also save the dry demo signal",
     [](TRenderOptions& O, const std::string& V, std::string&) {
       O.DemoOutPath = V;
       return true;
     }},
    {"-q", "--quiet", nullptr,
     "no progress bar, notes or summary line\n"
     "(warnings and errors still show)",
     [](TRenderOptions& O, const std::string&, std::string&) { return O.Quiet = true; }},
};

// Options that would be silently ignored in this company; empty when none.
std::string CheckCombination(const TRenderOptions& O) {
  if (O.ListPlugins)
    return O.PluginPaths.empty() && O.Inputs.empty() && O.OutputPath.empty() ? std::string()
                                                                             : "--list-plugins takes no -p, -i or -o";
  if (O.PluginPath.empty()) return "no plug-in given (use -p PLUGIN)";
  if (!O.EditorSnapshotPath.empty() && !O.OutputPath.empty())
    return "--editor-snapshot writes a picture, not audio; leave out -o";
  if (!O.EditorSnapshotPath.empty() && LowerExtension(O.EditorSnapshotPath) != "png")
    return "--editor-snapshot writes a PNG picture; give a name ending in .png, not '" + O.EditorSnapshotPath + "'";
  if ((O.Info || O.ListParams) && (!O.InputPath.empty() || !O.OutputPath.empty() || !O.DemoOutPath.empty()))
    return std::string(O.Info ? "--info" : "--list-params") +
           " only describes the plug-in; leave out -i, -o and --demo-out";
  if (O.Inputs.size() > 1 && (!O.EditorSnapshotPath.empty() || O.OutputPath == "-"))
    return std::string(O.OutputPath == "-" ? "-o -" : "--editor-snapshot") + " takes one input, not " +
           std::to_string(O.Inputs.size());
  if (O.Float && (O.Bits != 0 && O.Bits != 32 && O.Bits != 64)) return "--float takes --bits 32 or 64 only";
  if (!O.Float && O.Bits == 64) return "--bits 64 needs --float (integer samples go up to 32 bits)";
  if (O.Json && !O.Info && !O.ListParams) return "--json goes with --info, --list-params or --list-plugins";
  if (!O.MidiPath.empty() && !O.DemoOutPath.empty()) return "--demo-out saves the built-in demo, which --midi replaces";
  if (!O.DemoOutPath.empty() && !O.InputPath.empty())
    return "--demo-out saves the built-in demo, which is not played with -i; leave out one of them";
  if (!O.OutputPath.empty() && (!O.FormatName.empty() || !LowerExtension(O.OutputPath).empty())) {
    TAudioFormat format;
    std::string error;
    if (!ChooseOutputFormat(O.OutputPath, O.FormatName, {}, format, error)) return error;
  }
  if (O.OutputPath == "-" && O.FormatName.empty())
    return "-o - writes to standard output, which has no extension: give the format with --format (e.g. --format flac)";
  return FormatConflict(O.OutputPath, O.FormatName);
}

}  // namespace

TOptionsResult ParseRenderOptions(const std::vector<std::string_view>& Args) {
  TOptionsResult r;
  std::vector<std::string> operands;
  const TCommandMode mode =
      ParseCommandLine(std::span<const TOptionRow<TRenderOptions>>(kOptions), Args, r.Options, operands, r.Error);
  if (mode == cmUsageError) return r;
  r.Options.Help = mode == cmHelp;
  r.Options.Version = mode == cmVersion;
  if (r.Options.Help || r.Options.Version) return r;
  r.Options.Inputs.insert(r.Options.Inputs.end(), operands.begin(), operands.end());
  if (!r.Options.Inputs.empty()) r.Options.InputPath = r.Options.Inputs.front();
  r.Error = CheckCombination(r.Options);
  return r;
}

std::string RenderUsage() {
  std::string text =
      "usage: vst-render -p PLUGIN [options]\n"
      "Renders audio through a VST 2.4 plug-in. Without -i the built-in demo\n"
      "(about 10 s of plucked guitar-like strings) is rendered.\n"
      "\n";
  text += UsageRows(std::span<const TOptionRow<TRenderOptions>>(kOptions));
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
  text += "Plug-in folders: " + std::string(kPluginFolderHelp) + ".\n";
  text += "This build writes: " + WritableExtensions() + ".\n";
  return text;
}

}  // namespace vb
