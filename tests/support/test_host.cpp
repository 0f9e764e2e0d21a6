#include "support/test_host.h"

#include <gtest/gtest.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

namespace vb::test {

namespace {

// Which host answers the callbacks of which record. During the entry point
// the record is not known yet, so the instantiating host answers.
std::mutex GRoutingLock;
std::map<TVSTEffect*, TTestHost*> GRouting;
thread_local TTestHost* GInstantiating = nullptr;

TTestHost* RouteOf(TVSTEffect* Effect) {
  std::lock_guard<std::mutex> guard(GRoutingLock);
  auto it = GRouting.find(Effect);
  if (it != GRouting.end()) return it->second;
  return GInstantiating;
}

void Route(TVSTEffect* Effect, TTestHost* Host) {
  std::lock_guard<std::mutex> guard(GRoutingLock);
  if (Host)
    GRouting[Effect] = Host;
  else
    GRouting.erase(Effect);
}

void CopyText(const std::string& Text, void* Ptr) {
  // Hosts hand 256-byte buffers for product and vendor texts.
  const std::size_t count = std::min<std::size_t>(Text.size(), 255);
  std::memcpy(Ptr, Text.data(), count);
  static_cast<char*>(Ptr)[count] = '\0';
}

// The system's loader, as hosts use it: LoadLibraryW on Windows (a UTF-8
// path), dlopen elsewhere.
#if defined(_WIN32)
void* LoadPluginLibrary(const std::string& Path, std::string& Error) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, Path.c_str(), -1, nullptr, 0);
  std::wstring wide(std::size_t(length > 0 ? length : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, Path.c_str(), -1, wide.data(), length);
  HMODULE library = LoadLibraryW(wide.c_str());
  if (!library) Error = "LoadLibraryW failed with error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(library);
}
void* PluginSymbol(void* Library, const char* Name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Library), Name));
}
void UnloadPluginLibrary(void* Library) { FreeLibrary(static_cast<HMODULE>(Library)); }
#else
void* LoadPluginLibrary(const std::string& Path, std::string& Error) {
  void* library = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) Error = dlerror();
  return library;
}
void* PluginSymbol(void* Library, const char* Name) { return dlsym(Library, Name); }
void UnloadPluginLibrary(void* Library) { dlclose(Library); }
#endif

}  // namespace

TTestHost::TTestHost() = default;

TTestHost::TTestHost(const std::string& LibraryPath) {
  std::string error;
  FLibrary = LoadPluginLibrary(LibraryPath, error);
  if (!FLibrary) throw std::runtime_error("cannot load plug-in: " + error);
  FEntry = reinterpret_cast<TEntry>(PluginSymbol(FLibrary, "VSTPluginMain"));
  if (!FEntry) {
    UnloadPluginLibrary(FLibrary);
    throw std::runtime_error("plug-in exports no VSTPluginMain: " + LibraryPath);
  }
}

TTestHost::~TTestHost() {
  if (FCloseOnDestroy) {
    for (TVSTEffect* effect : std::vector<TVSTEffect*>(FOpenEffects)) {
      if (std::find(FInstantiated.begin(), FInstantiated.end(), effect) == FInstantiated.end()) continue;
      if (effect->Dispatcher) effect->Dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
      Forget(effect);
    }
  }
  Unload();
  for (TVSTEffect* effect : std::vector<TVSTEffect*>(FOpenEffects)) Forget(effect);
}

void TTestHost::Unload() {
  if (!FLibrary) return;
  UnloadPluginLibrary(FLibrary);
  FLibrary = nullptr;
  FEntry = nullptr;
}

TVSTEffect* TTestHost::Instantiate() {
  if (!FEntry) throw std::runtime_error("no plug-in library loaded");
  TTestHost* previous = GInstantiating;
  GInstantiating = this;
  TVSTEffect* effect = FEntry(&TTestHost::AudioMasterCallback);
  GInstantiating = previous;
  if (effect) {
    Adopt(effect);
    FInstantiated.push_back(effect);
  }
  return effect;
}

void TTestHost::Adopt(TVSTEffect* Effect) {
  Route(Effect, this);
  FOpenEffects.push_back(Effect);
  FEffect = Effect;
}

void TTestHost::Forget(TVSTEffect* Effect) {
  Route(Effect, nullptr);
  FOpenEffects.erase(std::remove(FOpenEffects.begin(), FOpenEffects.end(), Effect), FOpenEffects.end());
  FInstantiated.erase(std::remove(FInstantiated.begin(), FInstantiated.end(), Effect), FInstantiated.end());
  if (FEffect == Effect) FEffect = FOpenEffects.empty() ? nullptr : FOpenEffects.back();
}

TVSTEffect* TTestHost::StartUp(float SampleRate, std::int32_t BlockSize) {
  if (!FEffect) Instantiate();
  if (!FEffect) {
    ADD_FAILURE() << "the plug-in's entry point answered null";
    return nullptr;
  }
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, SampleRate);
  Dispatch(effSetBlockSize, 0, BlockSize);
  Dispatch(effMainsChanged, 0, 1);
  return FEffect;
}

std::intptr_t TTestHost::Close() {
  TVSTEffect* effect = FEffect;
  if (!effect) return 0;
  const std::intptr_t result = effect->Dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  Forget(effect);
  return result;
}

std::intptr_t TTestHost::Dispatch(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) {
  if (!FEffect) throw std::runtime_error("no effect");
  return FEffect->Dispatcher(FEffect, Opcode, Index, Value, Ptr, Opt);
}

std::string TTestHost::DispatchText(std::int32_t Opcode, std::int32_t Index) {
  char text[256] = {};
  Dispatch(Opcode, Index, 0, text, 0.0f);
  text[255] = '\0';
  return text;
}

float TTestHost::GetParameter(std::int32_t Index) { return FEffect->GetParameter(FEffect, Index); }

void TTestHost::SetParameter(std::int32_t Index, float Value) { FEffect->SetParameter(FEffect, Index, Value); }

namespace {
template <typename T>
std::vector<T*> PointersOf(std::vector<std::vector<T>>& Channels) {
  std::vector<T*> result;
  for (auto& channel : Channels) result.push_back(channel.data());
  return result;
}
}  // namespace

Channels32 TTestHost::Process32(const Channels32& Inputs, float OutputInit) {
  Channels32 in = Inputs;
  const std::size_t frames = in.empty() ? 0 : in[0].size();
  Channels32 out(static_cast<std::size_t>(std::max(FEffect->numOutputs, 0)), std::vector<float>(frames, OutputInit));
  auto inPtr = PointersOf(in);
  auto outPtr = PointersOf(out);
  FEffect->Process32Replacing(FEffect, inPtr.data(), outPtr.data(), static_cast<std::int32_t>(frames));
  return out;
}

Channels64 TTestHost::Process64(const Channels64& Inputs, double OutputInit) {
  Channels64 in = Inputs;
  const std::size_t frames = in.empty() ? 0 : in[0].size();
  Channels64 out(static_cast<std::size_t>(std::max(FEffect->numOutputs, 0)), std::vector<double>(frames, OutputInit));
  auto inPtr = PointersOf(in);
  auto outPtr = PointersOf(out);
  FEffect->Process64Replacing(FEffect, inPtr.data(), outPtr.data(), static_cast<std::int32_t>(frames));
  return out;
}

Channels32 TTestHost::ProcessAccumulating(const Channels32& Inputs, float OutputInit) {
  Channels32 in = Inputs;
  const std::size_t frames = in.empty() ? 0 : in[0].size();
  Channels32 out(static_cast<std::size_t>(std::max(FEffect->numOutputs, 0)), std::vector<float>(frames, OutputInit));
  auto inPtr = PointersOf(in);
  auto outPtr = PointersOf(out);
  FEffect->Process(FEffect, inPtr.data(), outPtr.data(), static_cast<std::int32_t>(frames));
  return out;
}

std::intptr_t TTestHost::AudioMasterCallback(TVSTEffect* Effect, std::int32_t Opcode, std::int32_t Index,
                                             std::intptr_t Value, void* Ptr, float Opt) {
  TTestHost* host = RouteOf(Effect);
  if (!host) return 0;
  THostCall call{Opcode, Index, Value, Ptr, Opt, Effect, {}};
  if (Opcode == amCanDo && Ptr) call.Text = static_cast<const char*>(Ptr);
  const std::intptr_t result = host->Answer(call, Ptr);
  // Outside the lock: the hook may call the plug-in back, as hosts do.
  if (host->OnCallback) host->OnCallback(call);
  return result;
}

std::intptr_t TTestHost::Answer(const THostCall& Call, void* Ptr) {
  std::lock_guard<std::mutex> guard(FLock);
  FCalls.push_back(Call);
  switch (Call.Opcode) {
    case amVersion:
      return VersionAnswer;
    case amGetProductString:
      if (ProductString.empty() || !Ptr) return 0;
      CopyText(ProductString, Ptr);
      return 1;
    case amGetVendorString:
      if (VendorString.empty() || !Ptr) return 0;
      CopyText(VendorString, Ptr);
      return 1;
    case amGetSampleRate:
      return SampleRateAnswer;
    case amGetBlockSize:
      return BlockSizeAnswer;
    case amProcessEvents: {
      const auto* events = static_cast<const TVstEvents*>(Ptr);
      if (!events) return 0;
      FEventListSizes.push_back(events->NumEvents);
      for (std::int32_t i = 0; i < events->NumEvents; ++i) {
        const TVstEvent* event = events->Events[i];
        if (event && event->EventType == etMidi) FMidiEvents.push_back(*reinterpret_cast<const TVstMidiEvent*>(event));
      }
      return ProcessEventsAnswer;
    }
    default:
      return 0;
  }
}

std::vector<THostCall> TTestHost::Calls() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FCalls;
}

std::size_t TTestHost::CountCalls(std::int32_t Opcode) const {
  std::lock_guard<std::mutex> guard(FLock);
  return static_cast<std::size_t>(
      std::count_if(FCalls.begin(), FCalls.end(), [Opcode](const THostCall& C) { return C.Opcode == Opcode; }));
}

void TTestHost::ClearCalls() {
  std::lock_guard<std::mutex> guard(FLock);
  FCalls.clear();
  FMidiEvents.clear();
  FEventListSizes.clear();
}

std::vector<TVstMidiEvent> TTestHost::ReceivedMidiEvents() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FMidiEvents;
}

std::vector<std::int32_t> TTestHost::ReceivedEventListSizes() const {
  std::lock_guard<std::mutex> guard(FLock);
  return FEventListSizes;
}

}  // namespace vb::test
