#include "host/vst_trampolines.h"

#include <atomic>

#include "host/basic_vst_module.h"
#include "host/failure_trace.h"

namespace vb {

namespace {

template <typename T>
T LoadEntry(T& Field) {
  return std::atomic_ref<T>(Field).load(std::memory_order_relaxed);
}

template <typename T>
void StoreEntry(T& Field, T Value) {
  std::atomic_ref<T>(Field).store(Value, std::memory_order_relaxed);
}

TBasicVSTModule* ModuleOf(TVSTEffect* Effect) {
  if (!Effect) return nullptr;
  return static_cast<TBasicVSTModule*>(LoadEntry(Effect->User));
}

template <typename T>
bool HasAllChannels(T** Channels, std::int32_t Count) {
  if (Count <= 0) return true;
  if (!Channels) return false;
  for (std::int32_t c = 0; c < Count; ++c)
    if (!Channels[c]) return false;
  return true;
}

// A block reaches the module only with samples to process and with a
// pointer for every channel the record announces; a module without inputs
// (or outputs) may get a null array for them, but not both.
template <typename T>
bool IsProcessCallValid(const TVSTEffect* Effect, T** Inputs, T** Outputs, std::int32_t SampleFrames) {
  return SampleFrames > 0 && (Inputs || Outputs) &&
         HasAllChannels(Inputs, __atomic_load_n(&Effect->numInputs, __ATOMIC_RELAXED)) &&
         HasAllChannels(Outputs, __atomic_load_n(&Effect->numOutputs, __ATOMIC_RELAXED));
}

std::intptr_t DispatcherTrampoline(TVSTEffect* Effect, std::int32_t Opcode, std::int32_t Index, std::intptr_t Value,
                                   void* Ptr, float Opt) noexcept {
  TBasicVSTModule* module = ModuleOf(Effect);
  if (!module) return 0;
  try {
    return module->HostCallDispatcher(Opcode, Index, Value, Ptr, Opt);
  } catch (...) {
    // The module may be gone (effClose): only the opcode is named.
    const char* name = DispatcherOpcodeName(Opcode);
    LibraryFailureTrace().Report(name ? name : "dispatcher", Opcode);
    return 0;
  }
}

float GetParameterTrampoline(TVSTEffect* Effect, std::int32_t Index) noexcept {
  TBasicVSTModule* module = ModuleOf(Effect);
  if (!module) return 0.0f;
  try {
    return module->HostCallGetParameter(Index);
  } catch (...) {
    LibraryFailureTrace().Report("getParameter");
    return 0.0f;
  }
}

void SetParameterTrampoline(TVSTEffect* Effect, std::int32_t Index, float Parameter) noexcept {
  TBasicVSTModule* module = ModuleOf(Effect);
  if (!module) return;
  try {
    module->HostCallSetParameter(Index, Parameter);
  } catch (...) {
    LibraryFailureTrace().Report("setParameter");
  }
}

void ProcessTrampoline(TVSTEffect* Effect, float** Inputs, float** Outputs, std::int32_t SampleFrames) noexcept {
  TBasicVSTModule* module = ModuleOf(Effect);
  if (!module || !IsProcessCallValid(Effect, Inputs, Outputs, SampleFrames)) return;
  try {
    module->HostCallProcess(Inputs, Outputs, SampleFrames);
  } catch (...) {
    LibraryFailureTrace().Report("process");
  }
}

void Process32ReplacingTrampoline(TVSTEffect* Effect, float** Inputs, float** Outputs,
                                  std::int32_t SampleFrames) noexcept {
  TBasicVSTModule* module = ModuleOf(Effect);
  if (!module || !IsProcessCallValid(Effect, Inputs, Outputs, SampleFrames)) return;
  try {
    module->HostCallProcess32Replacing(Inputs, Outputs, SampleFrames);
  } catch (...) {
    LibraryFailureTrace().Report("processReplacing");
  }
}

void Process64ReplacingTrampoline(TVSTEffect* Effect, double** Inputs, double** Outputs,
                                  std::int32_t SampleFrames) noexcept {
  TBasicVSTModule* module = ModuleOf(Effect);
  if (!module || !IsProcessCallValid(Effect, Inputs, Outputs, SampleFrames)) return;
  try {
    module->HostCallProcess64Replacing(Inputs, Outputs, SampleFrames);
  } catch (...) {
    LibraryFailureTrace().Report("processDoubleReplacing");
  }
}

// Guarded forms: a host may copy an entry before effOpen and call the copy
// later; the copy reaches the module only once the record is open.
void GuardedProcess(TVSTEffect* Effect, float** Inputs, float** Outputs, std::int32_t SampleFrames) noexcept {
  if (Effect && LoadEntry(Effect->Process) == &ProcessTrampoline)
    ProcessTrampoline(Effect, Inputs, Outputs, SampleFrames);
}

void GuardedProcess32Replacing(TVSTEffect* Effect, float** Inputs, float** Outputs,
                               std::int32_t SampleFrames) noexcept {
  if (Effect && LoadEntry(Effect->Process32Replacing) == &Process32ReplacingTrampoline)
    Process32ReplacingTrampoline(Effect, Inputs, Outputs, SampleFrames);
}

void GuardedProcess64Replacing(TVSTEffect* Effect, double** Inputs, double** Outputs,
                               std::int32_t SampleFrames) noexcept {
  if (Effect && LoadEntry(Effect->Process64Replacing) == &Process64ReplacingTrampoline)
    Process64ReplacingTrampoline(Effect, Inputs, Outputs, SampleFrames);
}

// Entries of a closed record.
float StubGetParameter(TVSTEffect*, std::int32_t) noexcept { return 0.0f; }
void StubSetParameter(TVSTEffect*, std::int32_t, float) noexcept {}
void StubProcess(TVSTEffect*, float**, float**, std::int32_t) noexcept {}
void StubProcess64(TVSTEffect*, double**, double**, std::int32_t) noexcept {}

}  // namespace

void InstallCreatedEntries(TVSTEffect& Effect) {
  StoreEntry<TDispatcherFunc>(Effect.Dispatcher, &DispatcherTrampoline);
  StoreEntry<TSetParameterProc>(Effect.SetParameter, &SetParameterTrampoline);
  StoreEntry<TGetParameterFunc>(Effect.GetParameter, &GetParameterTrampoline);
  StoreEntry<TProcessProc>(Effect.Process, &GuardedProcess);
  StoreEntry<TProcessProc>(Effect.Process32Replacing, &GuardedProcess32Replacing);
  StoreEntry<TProcessDoubleProc>(Effect.Process64Replacing, &GuardedProcess64Replacing);
}

void InstallOpenEntries(TVSTEffect& Effect) {
  StoreEntry<TSetParameterProc>(Effect.SetParameter, &SetParameterTrampoline);
  StoreEntry<TGetParameterFunc>(Effect.GetParameter, &GetParameterTrampoline);
  StoreEntry<TProcessProc>(Effect.Process, &ProcessTrampoline);
  StoreEntry<TProcessProc>(Effect.Process32Replacing, &Process32ReplacingTrampoline);
  StoreEntry<TProcessDoubleProc>(Effect.Process64Replacing, &Process64ReplacingTrampoline);
}

void InstallClosedEntries(TVSTEffect& Effect) {
  StoreEntry<TGetParameterFunc>(Effect.GetParameter, &StubGetParameter);
  StoreEntry<TSetParameterProc>(Effect.SetParameter, &StubSetParameter);
  StoreEntry<TProcessProc>(Effect.Process, &StubProcess);
  StoreEntry<TProcessProc>(Effect.Process32Replacing, &StubProcess);
  StoreEntry<TProcessDoubleProc>(Effect.Process64Replacing, &StubProcess64);
  StoreEntry<void*>(Effect.User, nullptr);
}

}  // namespace vb
