#include "plugin_scan.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/system/child_process.h"
#include "plugin_host.h"

namespace vb {

namespace {

constexpr double kScanSampleRate = 44100.0;  // Hz, for effOpen
constexpr int kScanBlockSize = 512;

std::string Line(std::istringstream& in) {
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

std::string DescribeForScan(TPluginHost& plugin, const std::string& path) {
  std::string error;
  if (!plugin.Load(path, error)) return "error\n" + error + "\n";
  (void)plugin.Open(kScanSampleRate, kScanBlockSize, false);
  const TVSTEffect* e = plugin.Effect();
  const bool synth = plugin.HasFlag(effFlagsIsSynth) || plugin.Dispatch(effGetPlugCategory) == vpcSynth;
  return "ok\n" + plugin.DispatchText(effGetEffectName) + "\n" + plugin.DispatchText(effGetVendorString) + "\n" +
         std::to_string(e->UniqueID) + "\n" + std::to_string(e->numInputs) + "\n" + std::to_string(e->numOutputs) +
         "\n" + (synth ? "1" : "0") + "\n";
}

void RunScanChild(const std::string& path) {
  TPluginHost plugin;
  const std::string text = DescribeForScan(plugin, path);
  std::fflush(stdout);
  std::fputs((kScanAnswerMark + text).c_str(), stdout);
  std::fflush(stdout);
  std::_Exit(0);  // the plug-in is not closed: a scan must not wait for it
}

TScannedPlugin ScanPlugin(const std::string& path, int timeoutSeconds) {
  TScannedPlugin found;
  found.Path = path;
  const TChildRun run = RunInChild(RunScanChild, kScanChildOption, path, timeoutSeconds);
  if (!run.Started) {
    found.Error = "cannot start a process to load it";
    return found;
  }
  if (run.TimedOut) {
    found.Error = "did not answer within " + std::to_string(timeoutSeconds) + " s";
    return found;
  }
  // The answer follows whatever the plug-in printed itself.
  const size_t mark = run.Output.rfind(kScanAnswerMark);
  if (mark == std::string::npos) {
    found.Error = run.Crash.empty() ? "ended without an answer" : "crashed while loading (" + run.Crash + ")";
    return found;
  }
  ReadScanAnswer(run.Output.substr(mark + std::char_traits<char>::length(kScanAnswerMark)), found);
  return found;
}

void ReadScanAnswer(const std::string& text, TScannedPlugin& found) {
  std::istringstream in(text);
  const std::string kind = Line(in);
  if (kind != "ok") {
    found.Error = kind == "error" ? Line(in) : "ended without an answer";
    return;
  }
  found.Loaded = true;
  found.Name = Line(in);
  found.Vendor = Line(in);
  found.UniqueId = static_cast<std::int32_t>(std::stol(Line(in)));
  found.Inputs = std::stoi(Line(in));
  found.Outputs = std::stoi(Line(in));
  found.Synth = Line(in) == "1";
}

}  // namespace vb
