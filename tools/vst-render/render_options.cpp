#include "render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

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

// Walks the argument list; an option's value is either glued to a long name
// with '=' or is the next argument.
class TArgReader {
 public:
  explicit TArgReader(const std::vector<std::string_view>& args) : FArgs(args) {}

  bool AtEnd() const { return FPos >= FArgs.size(); }

  // Splits the next argument into its name and a glued value, if any.
  void Next(std::string& name, std::string& glued, bool& hasGlued) {
    std::string_view a = FArgs[FPos++];
    hasGlued = false;
    glued.clear();
    auto eq = a.find('=');
    if (a.size() > 2 && a.substr(0, 2) == "--" && eq != std::string_view::npos) {
      name = std::string(a.substr(0, eq));
      glued = std::string(a.substr(eq + 1));
      hasGlued = true;
    } else {
      name = std::string(a);
    }
  }

  bool TakeValue(std::string& out) {
    if (AtEnd()) return false;
    out = std::string(FArgs[FPos++]);
    return true;
  }

 private:
  const std::vector<std::string_view>& FArgs;
  size_t FPos = 0;
};

bool IsOneOf(const std::string& name, std::string_view a, std::string_view b) { return name == a || name == b; }

}  // namespace

TOptionsResult ParseRenderOptions(const std::vector<std::string_view>& args) {
  TOptionsResult r;
  TRenderOptions& o = r.Options;
  TArgReader reader(args);

  while (!reader.AtEnd()) {
    std::string name, value;
    bool hasGlued = false;
    reader.Next(name, value, hasGlued);

    auto flag = [&](bool& target) {
      if (hasGlued) {
        r.Error = "option " + name + " takes no value";
        return false;
      }
      target = true;
      return true;
    };
    auto needValue = [&]() {
      if (hasGlued) return true;
      if (!reader.TakeValue(value)) {
        r.Error = "option " + name + " needs a value";
        return false;
      }
      return true;
    };

    if (IsOneOf(name, "-h", "--help")) {
      if (!flag(o.Help)) return r;
    } else if (IsOneOf(name, "-q", "--quiet")) {
      if (!flag(o.Quiet)) return r;
    } else if (name == "--info") {
      if (!flag(o.Info)) return r;
    } else if (name == "--list-params") {
      if (!flag(o.ListParams)) return r;
    } else if (name == "--normalised" || name == "--normalized") {
      if (!flag(o.Normalised)) return r;
    } else if (IsOneOf(name, "-p", "--plugin")) {
      if (!needValue()) return r;
      o.PluginPath = value;
    } else if (IsOneOf(name, "-i", "--input")) {
      if (!needValue()) return r;
      o.InputPath = value;
    } else if (IsOneOf(name, "-o", "--output")) {
      if (!needValue()) return r;
      o.OutputPath = value;
    } else if (name == "--demo-out") {
      if (!needValue()) return r;
      o.DemoOutPath = value;
    } else if (IsOneOf(name, "-b", "--blocksize")) {
      if (!needValue()) return r;
      long n = 0;
      if (!ParseInt(value, n) || n < 1 || n > kMaxBlockSize) {
        r.Error =
            "block size must be a whole number from 1 to " + std::to_string(kMaxBlockSize) + ", not '" + value + "'";
        return r;
      }
      o.BlockSize = static_cast<int>(n);
    } else if (IsOneOf(name, "-s", "--sample-rate")) {
      if (!needValue()) return r;
      double hz = 0;
      if (!ParseNumber(value, hz) || hz < kMinSampleRate || hz > kMaxSampleRate) {
        r.Error = "sample rate must be a number of Hz from 1000 to 1536000, not '" + value + "'";
        return r;
      }
      o.SampleRate = hz;
    } else if (name == "--precision") {
      if (!needValue()) return r;
      if (value != "32" && value != "64") {
        r.Error = "precision must be 32 or 64, not '" + value + "'";
        return r;
      }
      o.Precision = value == "64" ? 64 : 32;
    } else if (name == "--param") {
      if (!needValue()) return r;
      auto eq = value.rfind('=');
      if (eq == std::string::npos || eq == 0 || eq + 1 == value.size()) {
        r.Error = "--param needs NAME_OR_INDEX=VALUE, not '" + value + "'";
        return r;
      }
      o.Params.push_back({value.substr(0, eq), value.substr(eq + 1)});
    } else if (!name.empty() && name[0] == '-') {
      r.Error = "unknown option '" + name + "' (see --help)";
      return r;
    } else {
      r.Error = "unexpected argument '" + name + "' (see --help)";
      return r;
    }
  }

  if (o.Help) return r;
  if (o.PluginPath.empty()) {
    r.Error = "no plug-in given (use -p PATH.so)";
    return r;
  }
  return r;
}

std::string RenderUsage() {
  return "usage: vst-render -p PLUGIN.so [options]\n"
         "Renders audio through a VST 2.4 plug-in. Without -i the built-in demo\n"
         "(about 10 s of plucked guitar-like strings) is rendered.\n"
         "\n"
         "  -p, --plugin PATH.so      the plug-in to load\n"
         "  -i, --input FILE          input audio (WAV, FLAC, AIFF)\n"
         "  -o, --output FILE         output audio; keeps the input's format unless\n"
         "                            the extension names another one\n"
         "  -b, --blocksize N         sample frames per processing call (512)\n"
         "  -s, --sample-rate HZ      processing rate (the input's, else 44100)\n"
         "      --precision 32|64     floating-point width of the processing calls (32)\n"
         "      --param NAME=VALUE    set a parameter by name or index, in its own unit\n"
         "                            (repeatable)\n"
         "      --normalised          --param values are normalised 0..1\n"
         "      --list-params         list the parameters and exit\n"
         "      --info                print what a host learns about the plug-in and exit\n"
         "      --demo-out FILE       also save the dry demo signal\n"
         "  -q, --quiet               no progress bar, no summary line\n"
         "  -h, --help                this text\n";
}

}  // namespace vb
