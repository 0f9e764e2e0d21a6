// What a scan of the plug-in folders finds (--list-plugins): each candidate
// is loaded in a child process of its own, so that one that crashes, hangs
// or changes the process cannot take the scan down.
#pragma once

#include <cstdint>
#include <string>

namespace vb {

struct TScannedPlugin {
  std::string Path;
  bool Loaded = false;
  std::string Error;  // why it did not load (a crash or a hang included)
  std::string Name, Vendor;
  std::int32_t UniqueId = 0;
  int Inputs = 0, Outputs = 0;
  bool Synth = false;
};

// Loads and opens `path` in a child process with `timeoutSeconds` to
// answer; what the plug-in prints goes nowhere.
TScannedPlugin ScanPlugin(const std::string& Path, int TimeoutSeconds);

// The two halves of a scan: what a host learns of `path` loaded into
// `plugin`, as lines of text, and that text read back into `found`.
class TPluginHost;
std::string DescribeForScan(TPluginHost& Plugin, const std::string& Path);
void ReadScanAnswer(const std::string& Text, TScannedPlugin& Found);

// The child (platform/system/child_process.h; on Windows this program
// started again with kScanChildOption and the plug-in's path) loads the
// plug-in, writes kScanAnswerMark and the answer to standard output (after
// whatever the plug-in printed there) and ends without closing it.
constexpr const char* kScanChildOption = "--scan-child";
constexpr const char* kScanAnswerMark = "\nvst-render scan answer\n";
[[noreturn]] void RunScanChild(const std::string& Path);

}  // namespace vb
