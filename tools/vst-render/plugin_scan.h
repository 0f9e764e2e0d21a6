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
TScannedPlugin ScanPlugin(const std::string& path, int timeoutSeconds);

}  // namespace vb
