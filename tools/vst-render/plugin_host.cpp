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

void CopyText(void* ptr, const char* text, size_t capacity) {
  if (!ptr) return;
  std::strncpy(static_cast<char*>(ptr), text, capacity - 1);
  static_cast<char*>(ptr)[capacity - 1] = '\0';
}

bool HostCanDo(const char* what) {
  static const char* const kYes[] = {"sendVstEvents",       "sendVstMidiEvent", "receiveVstEvents",
                                     "receiveVstMidiEvent", "acceptIOChanges",  "startStopProcess"};
  if (!what) return false;
  for (const char* y : kYes)
    if (std::strcmp(what, y) == 0) return true;
  return false;
}

}  // namespace

TPluginHost::~TPluginHost() { Unload(); }

bool TPluginHost::Load(const std::string& path, std::string& error) {
  const TPathKind kind = PathKind(path);
  if (!kind.Exists) {
    error = "plug-in not found: '" + path + "'";
    return false;
  }
  if (kind.Folder) {
    error = "'" + path + "' is a folder, not a plug-in library";
    return false;
  }
  std::string why;
  void* lib = LoadLibraryFile(path, why);
  if (!lib) {
    error = "cannot load '" + path + "': " + why;
    return false;
  }
  auto entry = reinterpret_cast<TEntryPoint>(LibrarySymbol(lib, "VSTPluginMain"));
  if (!entry) entry = reinterpret_cast<TEntryPoint>(LibrarySymbol(lib, "main"));
  if (!entry) {
    UnloadLibrary(lib);
    error = "'" + path + "' is not a VST 2.4 plug-in: no VSTPluginMain or main entry point";
    return false;
  }
  GLoadingHost = this;
  TVSTEffect* effect = entry(&TPluginHost::Callback);
  GLoadingHost = nullptr;
  if (!effect) {
    UnloadLibrary(lib);
    error = "'" + path + "' is not a VST 2.4 plug-in: its entry point returned no effect";
    return false;
  }
  if (effect->Magic != kEffectMagic) {
    // A record of unknown make cannot be closed safely; leak it with the library.
    error = "'" + path + "' is not a VST 2.4 plug-in: the effect record has the wrong magic";
    return false;
  }
  if (!effect->Dispatcher) {
    error = "'" + path + "' is not a VST 2.4 plug-in: the effect record has no dispatcher";
    return false;
  }
  effect->ReservedForHost = reinterpret_cast<std::intptr_t>(this);
  FLibrary = lib;
  FEffect = effect;
  FPath = path;
  return true;
}

std::string TPluginHost::SetSampleRate(double sampleRate) {
  FSampleRate.store(sampleRate, std::memory_order_relaxed);
  TStderrCapture capture;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  return capture.Text();
}

std::string TPluginHost::Open(double sampleRate, int blockSize, bool doublePrecision) {
  FSampleRate.store(sampleRate, std::memory_order_relaxed);  // asked for while it opens
  FBlockSize.store(blockSize, std::memory_order_relaxed);
  Dispatch(effOpen);
  FOpen = true;
  const std::string said = SetSampleRate(sampleRate);
  Dispatch(effSetBlockSize, 0, blockSize);
  Dispatch(effSetProcessPrecision, 0, doublePrecision ? pp64 : pp32);
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

bool TPluginHost::HasFlag(TEffFlag flag) const { return FEffect && (FEffect->EffectFlags & EffFlagBit(flag)) != 0; }

std::intptr_t TPluginHost::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                    float opt) {
  if (!FEffect || !FEffect->Dispatcher) return 0;
  return FEffect->Dispatcher(FEffect, opcode, index, value, ptr, opt);
}

std::string TPluginHost::DispatchText(std::int32_t opcode, std::int32_t index) {
  std::vector<char> buf(kTextBuffer, '\0');
  Dispatch(opcode, index, 0, buf.data());
  buf[kTextLimit] = '\0';
  return std::string(buf.data());
}

int TPluginHost::NumParams() const { return FEffect ? FEffect->numParams : 0; }

float TPluginHost::GetParameter(int index) {
  return FEffect && FEffect->GetParameter ? FEffect->GetParameter(FEffect, index) : 0.0f;
}

void TPluginHost::SetParameter(int index, float normalised) {
  if (FEffect && FEffect->SetParameter) FEffect->SetParameter(FEffect, index, normalised);
}

void TPluginHost::Process32(float** inputs, float** outputs, int frames) {
  if (!FEffect) return;
  if (HasFlag(effFlagsCanReplacing) && FEffect->Process32Replacing)
    FEffect->Process32Replacing(FEffect, inputs, outputs, frames);
  else if (FEffect->Process)
    FEffect->Process(FEffect, inputs, outputs, frames);
}

void TPluginHost::Process64(double** inputs, double** outputs, int frames) {
  if (FEffect && FEffect->Process64Replacing) FEffect->Process64Replacing(FEffect, inputs, outputs, frames);
}

std::intptr_t TPluginHost::Callback(TVSTEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                    void* ptr, float opt) noexcept {
  TPluginHost* host = nullptr;
  if (effect && effect->Magic == kEffectMagic && effect->ReservedForHost)
    host = reinterpret_cast<TPluginHost*>(effect->ReservedForHost);
  if (!host) host = GLoadingHost;
  if (!host) return opcode == amVersion ? kVstVersion : 0;
  return host->Answer(opcode, index, value, ptr, opt);
}

std::intptr_t TPluginHost::Answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                  float opt) noexcept {
  switch (opcode) {
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
      return index < (value == 0 ? FEffect->numInputs : FEffect->numOutputs) ? 0 : 1;
    case amGetVendorString:
      CopyText(ptr, kHostVendor, 64);
      return ptr ? 1 : 0;
    case amGetProductString:
      CopyText(ptr, kHostProduct, 64);
      return ptr ? 1 : 0;
    case amGetVendorVersion:
      return kHostVendorVersion;
    case amCanDo:
      return HostCanDo(static_cast<const char*>(ptr)) ? 1 : 0;
    case amBeginEdit:
    case amEndEdit:
      return 1;
    default:
      return 0;
  }
}

}  // namespace vb
