// One VST 2.4 plug-in loaded with dlopen, and the host callback it talks to.
//
// The class runs the set-up sequence a real host runs (entry point, effOpen,
// sample rate, block size, resume) and tears it down in reverse (suspend,
// effClose, dlclose). It knows the plug-in only through the binary
// interface; nothing of our own plug-in is linked in.
//
// Threads: one plug-in per object, all calls from the thread that made it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "host/vst_abi.h"

namespace vb {

// What vst-render tells a plug-in about itself.
constexpr const char* kHostProduct = "vst-render";
constexpr const char* kHostVendor = "Vorda";
constexpr std::int32_t kHostVendorVersion = 1200;

class TPluginHost {
 public:
  TPluginHost() = default;
  ~TPluginHost();
  TPluginHost(const TPluginHost&) = delete;
  TPluginHost& operator=(const TPluginHost&) = delete;

  // dlopen, entry point, record checks. On failure a one-line message.
  bool Load(const std::string& Path, std::string& Error);
  // effOpen, effSetSampleRate, effSetBlockSize (and the 64-bit precision
  // request when asked); parameters may be set afterwards. VST 2.4 gives
  // effSetSampleRate no answer: what the plug-in writes to standard error
  // while it takes the rate is taken as its refusal and answered (empty
  // when it said nothing).
  std::string Open(double SampleRate, int BlockSize, bool DoublePrecision);
  // effSetSampleRate while suspended (between files); answers what the
  // plug-in wrote to standard error meanwhile, its refusal (empty: none).
  std::string SetSampleRate(double SampleRate);
  double SampleRate() const { return FSampleRate.load(std::memory_order_relaxed); }
  void Resume();   // effMainsChanged 1, effStartProcess
  void Suspend();  // effStopProcess, effMainsChanged 0
  // Suspends if needed, effClose, dlclose. Also run by the destructor.
  void Unload();

  TVSTEffect* Effect() const { return FEffect; }
  bool HasFlag(TEffFlag Flag) const;
  std::intptr_t Dispatch(std::int32_t Opcode, std::int32_t Index = 0, std::intptr_t Value = 0, void* Ptr = nullptr,
                         float Opt = 0.0f);
  // Text answers (names, labels, display texts), cut at a NUL or at the
  // end of a generous buffer.
  std::string DispatchText(std::int32_t Opcode, std::int32_t Index = 0);

  int NumParams() const;
  float GetParameter(int Index);
  void SetParameter(int Index, float Normalised);

  // The 32-bit and 64-bit processing calls; the 32-bit one uses the
  // accumulating entry (on outputs the caller cleared) when the plug-in
  // cannot replace.
  void Process32(float** Inputs, float** Outputs, int Frames);
  void Process64(double** Inputs, double** Outputs, int Frames);

  // Counters of what the plug-in told the host.
  std::int64_t AutomateCount() const { return FAutomateCount.load(std::memory_order_relaxed); }
  std::int64_t UpdateDisplayCount() const { return FUpdateDisplayCount.load(std::memory_order_relaxed); }
  std::int64_t IOChangedCount() const { return FIOChangedCount.load(std::memory_order_relaxed); }

  // The callback handed to the entry point; finds its host through the
  // record's ReservedForHost field (or the host being loaded).
  static std::intptr_t Callback(TVSTEffect* Effect, std::int32_t Opcode, std::int32_t Index, std::intptr_t Value,
                                void* Ptr, float Opt) noexcept;

 private:
  std::intptr_t Answer(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) noexcept;

  void* FLibrary = nullptr;
  TVSTEffect* FEffect = nullptr;
  std::string FPath;
  bool FOpen = false;
  bool FResumed = false;
  std::atomic<double> FSampleRate{44100.0};
  std::atomic<int> FBlockSize{512};
  std::atomic<std::int64_t> FAutomateCount{0};
  std::atomic<std::int64_t> FUpdateDisplayCount{0};
  std::atomic<std::int64_t> FIOChangedCount{0};
};

}  // namespace vb
