#include "plugin_host.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/system/system_calls.h"

namespace vb {

namespace {

constexpr size_t kMaxCapturedBytes = 4096;  // of what a plug-in writes while it takes a setting

// Sends standard error to an unlinked temporary file while it lives, so
// that what a plug-in writes there can be read back; without a temporary
// file it captures nothing.
class TStderrCapture {
 public:
  TStderrCapture() {
    FFile = OpenUnnamedTemp("stderr");
    if (FFile >= 0) FSaved = RedirectStandardError(FFile);
  }
  ~TStderrCapture() {
    Restore();
    if (FFile >= 0) ::close(FFile);
  }
  TStderrCapture(const TStderrCapture&) = delete;
  TStderrCapture& operator=(const TStderrCapture&) = delete;

  // What was written, trimmed; standard error is back in place afterwards.
  std::string Text() {
    Restore();
    std::string text(kMaxCapturedBytes, '\0');
    const ssize_t n = FFile >= 0 ? ReadAt(FFile, text.data(), text.size(), 0) : 0;
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
  }

 private:
  void Restore() {
    if (FSaved < 0) return;
    std::fflush(stderr);
    RestoreStandardError(FSaved);
    FSaved = -1;
  }
  int FFile = -1;
  int FSaved = -1;
};

}  // namespace

namespace {

using TEntryPoint = TVSTEffect* (*)(TAudioMasterCallbackFunc);

// The host whose entry-point call is running: the plug-in may call back
// before it has a record to hand us.
thread_local TPluginHost* GLoadingHost = nullptr;

constexpr size_t kTextBuffer = 1024;  // bytes; hosts usually offer 64..256
constexpr size_t kTextLimit = 256;    // what is kept of a text answer

void CopyText(void* Ptr, const char* Text, size_t Capacity) {
  if (!Ptr) return;
  std::strncpy(static_cast<char*>(Ptr), Text, Capacity - 1);
  static_cast<char*>(Ptr)[Capacity - 1] = '\0';
}

bool HostCanDo(const char* What) {
  static const char* const kYes[] = {"sendVstEvents",       "sendVstMidiEvent", "receiveVstEvents",
                                     "receiveVstMidiEvent", "acceptIOChanges",  "startStopProcess"};
  if (!What) return false;
  for (const char* y : kYes)
    if (std::strcmp(What, y) == 0) return true;
  return false;
}

}  // namespace

TPluginHost::~TPluginHost() { Unload(); }

bool TPluginHost::Load(const std::string& Path, std::string& Error) {
  const TPathKind kind = PathKind(Path);
  if (!kind.Exists) {
    Error = "plug-in not found: '" + Path + "'";
    return false;
  }
  if (kind.Folder) {
    Error = "'" + Path + "' is a folder, not a plug-in library";
    return false;
  }
  std::string why;
  void* lib = LoadLibraryFile(Path, why);
  if (!lib) {
    Error = "cannot load '" + Path + "': " + why;
    return false;
  }
  auto entry = reinterpret_cast<TEntryPoint>(LibrarySymbol(lib, "VSTPluginMain"));
  if (!entry) entry = reinterpret_cast<TEntryPoint>(LibrarySymbol(lib, "main"));
  if (!entry) {
    UnloadLibrary(lib);
    Error = "'" + Path + "' is not a VST 2.4 plug-in: no VSTPluginMain or main entry point";
    return false;
  }
  GLoadingHost = this;
  TVSTEffect* effect = entry(&TPluginHost::Callback);
  GLoadingHost = nullptr;
  if (!effect) {
    UnloadLibrary(lib);
    Error = "'" + Path + "' is not a VST 2.4 plug-in: its entry point returned no effect";
    return false;
  }
  if (effect->Magic != kEffectMagic) {
    // A record of unknown make cannot be closed safely; leak it with the library.
    Error = "'" + Path + "' is not a VST 2.4 plug-in: the effect record has the wrong magic";
    return false;
  }
  if (!effect->Dispatcher) {
    Error = "'" + Path + "' is not a VST 2.4 plug-in: the effect record has no dispatcher";
    return false;
  }
  effect->ReservedForHost = reinterpret_cast<std::intptr_t>(this);
  FLibrary = lib;
  FEffect = effect;
  FPath = Path;
  return true;
}

std::string TPluginHost::SetSampleRate(double SampleRate) {
  FSampleRate.store(SampleRate, std::memory_order_relaxed);
  TStderrCapture capture;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(SampleRate));
  return capture.Text();
}

std::string TPluginHost::Open(double SampleRate, int BlockSize, bool DoublePrecision) {
  FSampleRate.store(SampleRate, std::memory_order_relaxed);  // asked for while it opens
  FBlockSize.store(BlockSize, std::memory_order_relaxed);
  Dispatch(effOpen);
  FOpen = true;
  const std::string said = SetSampleRate(SampleRate);
  Dispatch(effSetBlockSize, 0, BlockSize);
  Dispatch(effSetProcessPrecision, 0, DoublePrecision ? pp64 : pp32);
  return said;
}

void TPluginHost::Resume() {
  if (!FEffect || FResumed) return;
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
  FResumed = true;
}

void TPluginHost::Suspend() {
  if (!FEffect || !FResumed) return;
  Dispatch(effStopProcess);
  Dispatch(effMainsChanged, 0, 0);
  FResumed = false;
}

void TPluginHost::Unload() {
  if (FEffect) {
    Suspend();
    Dispatch(effClose);  // the record is gone after this call
    FEffect = nullptr;
    FOpen = false;
  }
  if (FLibrary) {
    UnloadLibrary(FLibrary);
    FLibrary = nullptr;
  }
}

bool TPluginHost::HasFlag(TEffFlag Flag) const { return FEffect && (FEffect->EffectFlags & EffFlagBit(Flag)) != 0; }

std::intptr_t TPluginHost::Dispatch(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr,
                                    float Opt) {
  if (!FEffect || !FEffect->Dispatcher) return 0;
  return FEffect->Dispatcher(FEffect, Opcode, Index, Value, Ptr, Opt);
}

std::string TPluginHost::DispatchText(std::int32_t Opcode, std::int32_t Index) {
  std::vector<char> buf(kTextBuffer, '\0');
  Dispatch(Opcode, Index, 0, buf.data());
  buf[kTextLimit] = '\0';
  return std::string(buf.data());
}

int TPluginHost::NumParams() const { return FEffect ? FEffect->numParams : 0; }

float TPluginHost::GetParameter(int Index) {
  return FEffect && FEffect->GetParameter ? FEffect->GetParameter(FEffect, Index) : 0.0f;
}

void TPluginHost::SetParameter(int Index, float Normalised) {
  if (FEffect && FEffect->SetParameter) FEffect->SetParameter(FEffect, Index, Normalised);
}

void TPluginHost::Process32(float** Inputs, float** Outputs, int Frames) {
  if (!FEffect) return;
  if (HasFlag(effFlagsCanReplacing) && FEffect->Process32Replacing)
    FEffect->Process32Replacing(FEffect, Inputs, Outputs, Frames);
  else if (FEffect->Process)
    FEffect->Process(FEffect, Inputs, Outputs, Frames);
}

void TPluginHost::Process64(double** Inputs, double** Outputs, int Frames) {
  if (FEffect && FEffect->Process64Replacing) FEffect->Process64Replacing(FEffect, Inputs, Outputs, Frames);
}

std::intptr_t TPluginHost::Callback(TVSTEffect* Effect, std::int32_t Opcode, std::int32_t Index, std::intptr_t Value,
                                    void* Ptr, float Opt) noexcept {
  TPluginHost* host = nullptr;
  if (Effect && Effect->Magic == kEffectMagic && Effect->ReservedForHost)
    host = reinterpret_cast<TPluginHost*>(Effect->ReservedForHost);
  if (!host) host = GLoadingHost;
  if (!host) return Opcode == amVersion ? kVstVersion : 0;
  return host->Answer(Opcode, Index, Value, Ptr, Opt);
}

std::intptr_t TPluginHost::Answer(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr,
                                  float Opt) noexcept {
  switch (Opcode) {
    case amAutomate:
      FAutomateCount.fetch_add(1, std::memory_order_relaxed);
      return 0;
    case amVersion:
      return kVstVersion;
    case amWantMidi:
      return 1;
    case amGetTime:
      return 0;  // no transport: a null time info
    case amProcessEvents:
      return 1;
    case amIOChanged:
      FIOChangedCount.fetch_add(1, std::memory_order_relaxed);
      return 1;
    case amUpdateDisplay:
      FUpdateDisplayCount.fetch_add(1, std::memory_order_relaxed);
      return 1;
    case amGetSampleRate:
      return static_cast<std::intptr_t>(FSampleRate.load(std::memory_order_relaxed));
    case amGetBlockSize:
      return FBlockSize.load(std::memory_order_relaxed);
    case amPinConnected:  // 0 means connected
      if (!FEffect) return 1;
      return Index < (Value == 0 ? FEffect->numInputs : FEffect->numOutputs) ? 0 : 1;
    case amGetVendorString:
      CopyText(Ptr, kHostVendor, 64);
      return Ptr ? 1 : 0;
    case amGetProductString:
      CopyText(Ptr, kHostProduct, 64);
      return Ptr ? 1 : 0;
    case amGetVendorVersion:
      return kHostVendorVersion;
    case amCanDo:
      return HostCanDo(static_cast<const char*>(Ptr)) ? 1 : 0;
    case amBeginEdit:
    case amEndEdit:
      return 1;
    default:
      return 0;
  }
}

}  // namespace vb
