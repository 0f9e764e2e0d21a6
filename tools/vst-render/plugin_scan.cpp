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

std::string Line(std::istringstream& In) {
  std::string line;
  std::getline(In, line);
  return line;
}

}  // namespace

std::string DescribeForScan(TPluginHost& Plugin, const std::string& Path) {
  std::string error;
  if (!Plugin.Load(Path, error)) return "error\n" + error + "\n";
  (void)Plugin.Open(kScanSampleRate, kScanBlockSize, false);
  const TVSTEffect* e = Plugin.Effect();
  const bool synth = Plugin.HasFlag(effFlagsIsSynth) || Plugin.Dispatch(effGetPlugCategory) == vpcSynth;
  return "ok\n" + Plugin.DispatchText(effGetEffectName) + "\n" + Plugin.DispatchText(effGetVendorString) + "\n" +
         std::to_string(e->UniqueID) + "\n" + std::to_string(e->numInputs) + "\n" + std::to_string(e->numOutputs) +
         "\n" + (synth ? "1" : "0") + "\n";
}

void RunScanChild(const std::string& Path) {
  TPluginHost plugin;
  const std::string text = DescribeForScan(plugin, Path);
  std::fflush(stdout);
  std::fputs((kScanAnswerMark + text).c_str(), stdout);
  std::fflush(stdout);
  std::_Exit(0);  // the plug-in is not closed: a scan must not wait for it
}

TScannedPlugin ScanPlugin(const std::string& Path, int TimeoutSeconds) {
  TScannedPlugin found;
  found.Path = Path;
  const TChildRun run = RunInChild(RunScanChild, kScanChildOption, Path, TimeoutSeconds);
  if (!run.Started) {
    found.Error = "cannot start a process to load it";
    return found;
  }
  if (run.TimedOut) {
    found.Error = "did not answer within " + std::to_string(TimeoutSeconds) + " s";
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

void ReadScanAnswer(const std::string& Text, TScannedPlugin& Found) {
  std::istringstream in(Text);
  const std::string kind = Line(in);
  if (kind != "ok") {
    Found.Error = kind == "error" ? Line(in) : "ended without an answer";
    return;
  }
  Found.Loaded = true;
  Found.Name = Line(in);
  Found.Vendor = Line(in);
  Found.UniqueId = static_cast<std::int32_t>(std::stol(Line(in)));
  Found.Inputs = std::stoi(Line(in));
  Found.Outputs = std::stoi(Line(in));
  Found.Synth = Line(in) == "1";
}

}  // namespace vb
