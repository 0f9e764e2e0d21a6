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
  std::lock_guard<std::mutex> Guard(GRoutingLock);
  auto It = GRouting.find(Effect);
  if (It != GRouting.end()) return It->second;
  return GInstantiating;
}

void Route(TVSTEffect* Effect, TTestHost* Host) {
  std::lock_guard<std::mutex> Guard(GRoutingLock);
  if (Host)
    GRouting[Effect] = Host;
  else
    GRouting.erase(Effect);
}

void CopyText(const std::string& Text, void* Ptr) {
  // Hosts hand 256-byte buffers for product and vendor texts.
  const std::size_t Count = std::min<std::size_t>(Text.size(), 255);
  std::memcpy(Ptr, Text.data(), Count);
  static_cast<char*>(Ptr)[Count] = '\0';
}

// The system's loader, as hosts use it: LoadLibraryW on Windows (a UTF-8
// path), dlopen elsewhere.
#if defined(_WIN32)
void* LoadPluginLibrary(const std::string& Path, std::string& Error) {
  const int Length = MultiByteToWideChar(CP_UTF8, 0, Path.c_str(), -1, nullptr, 0);
  std::wstring Wide(std::size_t(Length > 0 ? Length : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, Path.c_str(), -1, Wide.data(), Length);
  HMODULE Library = LoadLibraryW(Wide.c_str());
  if (!Library) Error = "LoadLibraryW failed with error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(Library);
}
void* PluginSymbol(void* Library, const char* Name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Library), Name));
}
void UnloadPluginLibrary(void* Library) { FreeLibrary(static_cast<HMODULE>(Library)); }
#else
void* LoadPluginLibrary(const std::string& Path, std::string& Error) {
  void* Library = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!Library) Error = dlerror();
  return Library;
}
void* PluginSymbol(void* Library, const char* Name) { return dlsym(Library, Name); }
void UnloadPluginLibrary(void* Library) { dlclose(Library); }
#endif

}  // namespace

TTestHost::TTestHost() = default;

TTestHost::TTestHost(const std::string& LibraryPath) {
  std::string Error;
  FLibrary = LoadPluginLibrary(LibraryPath, Error);
  if (!FLibrary) throw std::runtime_error("cannot load plug-in: " + Error);
  FEntry = reinterpret_cast<TEntry>(PluginSymbol(FLibrary, "VSTPluginMain"));
  if (!FEntry) {
    UnloadPluginLibrary(FLibrary);
    throw std::runtime_error("plug-in exports no VSTPluginMain: " + LibraryPath);
  }
}

TTestHost::~TTestHost() {
  if (FCloseOnDestroy) {
    for (TVSTEffect* Effect : std::vector<TVSTEffect*>(FOpenEffects)) {
      if (std::find(FInstantiated.begin(), FInstantiated.end(), Effect) == FInstantiated.end()) continue;
      if (Effect->Dispatcher) Effect->Dispatcher(Effect, effClose, 0, 0, nullptr, 0.0f);
      Forget(Effect);
    }
  }
  Unload();
  for (TVSTEffect* Effect : std::vector<TVSTEffect*>(FOpenEffects)) Forget(Effect);
}

void TTestHost::Unload() {
  if (!FLibrary) return;
  UnloadPluginLibrary(FLibrary);
  FLibrary = nullptr;
  FEntry = nullptr;
}

TVSTEffect* TTestHost::Instantiate() {
  if (!FEntry) throw std::runtime_error("no plug-in library loaded");
  TTestHost* Previous = GInstantiating;
  GInstantiating = this;
  TVSTEffect* Effect = FEntry(&TTestHost::AudioMasterCallback);
  GInstantiating = Previous;
  if (Effect) {
    Adopt(Effect);
    FInstantiated.push_back(Effect);
  }
  return Effect;
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
  TVSTEffect* Effect = FEffect;
  if (!Effect) return 0;
  const std::intptr_t Result = Effect->Dispatcher(Effect, effClose, 0, 0, nullptr, 0.0f);
  Forget(Effect);
  return Result;
}

std::intptr_t TTestHost::Dispatch(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) {
  if (!FEffect) throw std::runtime_error("no effect");
  return FEffect->Dispatcher(FEffect, Opcode, Index, Value, Ptr, Opt);
}

std::string TTestHost::DispatchText(std::int32_t Opcode, std::int32_t Index) {
  char Text[256] = {};
  Dispatch(Opcode, Index, 0, Text, 0.0f);
  Text[255] = '\0';
  return Text;
}

float TTestHost::GetParameter(std::int32_t Index) { return FEffect->GetParameter(FEffect, Index); }

void TTestHost::SetParameter(std::int32_t Index, float Value) { FEffect->SetParameter(FEffect, Index, Value); }

namespace {
template <typename T>
std::vector<T*> PointersOf(std::vector<std::vector<T>>& Channels) {
  std::vector<T*> Result;
  for (auto& Channel : Channels) Result.push_back(Channel.data());
  return Result;
}
}  // namespace

Channels32 TTestHost::Process32(const Channels32& Inputs, float OutputInit) {
  Channels32 In = Inputs;
  const std::size_t Frames = In.empty() ? 0 : In[0].size();
  Channels32 Out(static_cast<std::size_t>(std::max(FEffect->numOutputs, 0)), std::vector<float>(Frames, OutputInit));
  auto InPtr = PointersOf(In);
  auto OutPtr = PointersOf(Out);
  FEffect->Process32Replacing(FEffect, InPtr.data(), OutPtr.data(), static_cast<std::int32_t>(Frames));
  return Out;
}

Channels64 TTestHost::Process64(const Channels64& Inputs, double OutputInit) {
  Channels64 In = Inputs;
  const std::size_t Frames = In.empty() ? 0 : In[0].size();
  Channels64 Out(static_cast<std::size_t>(std::max(FEffect->numOutputs, 0)), std::vector<double>(Frames, OutputInit));
  auto InPtr = PointersOf(In);
  auto OutPtr = PointersOf(Out);
  FEffect->Process64Replacing(FEffect, InPtr.data(), OutPtr.data(), static_cast<std::int32_t>(Frames));
  return Out;
}

Channels32 TTestHost::ProcessAccumulating(const Channels32& Inputs, float OutputInit) {
  Channels32 In = Inputs;
  const std::size_t Frames = In.empty() ? 0 : In[0].size();
  Channels32 Out(static_cast<std::size_t>(std::max(FEffect->numOutputs, 0)), std::vector<float>(Frames, OutputInit));
  auto InPtr = PointersOf(In);
  auto OutPtr = PointersOf(Out);
  FEffect->Process(FEffect, InPtr.data(), OutPtr.data(), static_cast<std::int32_t>(Frames));
  return Out;
}

std::intptr_t TTestHost::AudioMasterCallback(TVSTEffect* Effect, std::int32_t Opcode, std::int32_t Index,
                                            std::intptr_t Value, void* Ptr, float Opt) {
  TTestHost* Host = RouteOf(Effect);
  if (!Host) return 0;
  THostCall Call{Opcode, Index, Value, Ptr, Opt, Effect, {}};
  if (Opcode == amCanDo && Ptr) Call.Text = static_cast<const char*>(Ptr);
  const std::intptr_t Result = Host->Answer(Call, Ptr);
  // Outside the lock: the hook may call the plug-in back, as hosts do.
  if (Host->OnCallback) Host->OnCallback(Call);
  return Result;
}

std::intptr_t TTestHost::Answer(const THostCall& Call, void* Ptr) {
  std::lock_guard<std::mutex> Guard(FLock);
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
      const auto* Events = static_cast<const TVstEvents*>(Ptr);
      if (!Events) return 0;
      FEventListSizes.push_back(Events->NumEvents);
      for (std::int32_t i = 0; i < Events->NumEvents; ++i) {
        const TVstEvent* Event = Events->Events[i];
        if (Event && Event->EventType == etMidi) FMidiEvents.push_back(*reinterpret_cast<const TVstMidiEvent*>(Event));
      }
      return ProcessEventsAnswer;
    }
    default:
      return 0;
  }
}

std::vector<THostCall> TTestHost::Calls() const {
  std::lock_guard<std::mutex> Guard(FLock);
  return FCalls;
}

std::size_t TTestHost::CountCalls(std::int32_t Opcode) const {
  std::lock_guard<std::mutex> Guard(FLock);
  return static_cast<std::size_t>(
      std::count_if(FCalls.begin(), FCalls.end(), [Opcode](const THostCall& c) { return c.Opcode == Opcode; }));
}

void TTestHost::ClearCalls() {
  std::lock_guard<std::mutex> Guard(FLock);
  FCalls.clear();
  FMidiEvents.clear();
  FEventListSizes.clear();
}

std::vector<TVstMidiEvent> TTestHost::ReceivedMidiEvents() const {
  std::lock_guard<std::mutex> Guard(FLock);
  return FMidiEvents;
}

std::vector<std::int32_t> TTestHost::ReceivedEventListSizes() const {
  std::lock_guard<std::mutex> Guard(FLock);
  return FEventListSizes;
}

}  // namespace vb::test
