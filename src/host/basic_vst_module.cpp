#include "host/basic_vst_module.h"

#include <atomic>
#include <cstring>

#include "error/error.h"
#include "host/vst_trampolines.h"

namespace vb {

namespace {
// Answer of effIdentify: the letters N, v, E, f, first letter highest.
constexpr std::int32_t kIdentifyAnswer = PackChunkName('N', 'v', 'E', 'f');
// Unique ID a module has until its description sets its own.
constexpr std::int32_t kDefaultUniqueID = PackChunkName('N', 'o', 'E', 'f');
}  // namespace

TBasicVSTModule::TBasicVSTModule(TComponent* AOwner) : TComponent(AOwner) {
  std::memset(&FEffect, 0, sizeof(FEffect));
  FEffect.Magic = kEffectMagic;
  FEffect.EffectFlags = EffFlagBit(effFlagsCanReplacing);
  FEffect.User = this;
  FEffect.UniqueID = kDefaultUniqueID;
  FEffect.IORatio = 1.0f;
  FEffect.numInputs = 2;
  FEffect.numOutputs = 2;
  InstallCreatedEntries(FEffect);
  UpdateVersion();
}

TBasicVSTModule::~TBasicVSTModule() {
  // A host that still holds the record (it was never closed) gets 0 answers.
  std::atomic_ref<void*>(FEffect.User).store(nullptr, std::memory_order_relaxed);
}

void TBasicVSTModule::SetAudioMaster(TAudioMasterCallbackFunc AAudioMaster) {
  FAudioMaster = AAudioMaster;
  if (!FAudioMaster || GetMasterVersion() == 0) throw EVstError(TErrorCode::ecAudioMasterError);
  char discarded[256] = {};
  GetHostProductString(discarded);
  FUseAudioEffectPtr = false;
  AudioMasterChanged();
}

void TBasicVSTModule::AudioMasterChanged() {}

std::intptr_t TBasicVSTModule::HostCallDispatcher(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value,
                                                  void* Ptr, float Opt) {
  const std::intptr_t result = DispatchOpcode(Opcode, Index, Value, Ptr, Opt);
  try {
    if (OnDispatcher) OnDispatcher(*this, Opcode);
  } catch (...) {
    if (FDestroyAfterDispatch) delete this;
    throw;
  }
  // effClose scheduled the destruction; nothing may touch the module after.
  if (FDestroyAfterDispatch) delete this;
  return result;
}

// One case per opcode of the list; an unknown opcode is answered with 0 and
// nothing else reaches the host.
std::intptr_t TBasicVSTModule::DispatchOpcode(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr,
                                              float Opt) {
  switch (Opcode) {
#define VB_DISPATCH_HOST_CALL(Name, Code, Answer) \
  case eff##Name:                                 \
    return HostCall##Name(Index, Value, Ptr, Opt);
    VB_DISPATCHER_OPCODES(VB_DISPATCH_HOST_CALL)
#undef VB_DISPATCH_HOST_CALL
    default:
      return 0;
  }
}

float TBasicVSTModule::HostCallGetParameter(std::int32_t) { return 0.0f; }
void TBasicVSTModule::HostCallSetParameter(std::int32_t, float) {}
void TBasicVSTModule::HostCallProcess(float**, float**, std::int32_t) {}
void TBasicVSTModule::HostCallProcess32Replacing(float**, float**, std::int32_t) {}
void TBasicVSTModule::HostCallProcess64Replacing(double**, double**, std::int32_t) {}

// effOpen at this level makes every record entry live.
std::intptr_t TBasicVSTModule::HostCallOpen(std::int32_t, std::intptr_t, void*, float) {
  InstallOpenEntries(FEffect);
  return 0;
}

// effClose at this level: disable the record and destroy the module once
// the dispatcher call is complete. Derived levels run their close event
// first and then call this.
std::intptr_t TBasicVSTModule::HostCallClose(std::int32_t, std::intptr_t, void*, float) {
  DisableRecordAndScheduleDestruction();
  return 1;
}

std::intptr_t TBasicVSTModule::HostCallIdentify(std::int32_t, std::intptr_t, void*, float) { return kIdentifyAnswer; }

void TBasicVSTModule::DisableRecordAndScheduleDestruction() {
  InstallClosedEntries(FEffect);
  FDestroyAfterDispatch = true;
}

void TBasicVSTModule::SetVersionMajor(std::int32_t Value) {
  if (Value == FVersionMajor) return;
  FVersionMajor = Value;
  UpdateVersion();
}

void TBasicVSTModule::SetVersionMinor(std::int32_t Value) {
  if (Value == FVersionMinor) return;
  FVersionMinor = Value;
  UpdateVersion();
}

void TBasicVSTModule::SetVersionRelease(std::int32_t Value) {
  if (Value == FVersionRelease) return;
  FVersionRelease = Value;
  UpdateVersion();
}

void TBasicVSTModule::UpdateVersion() {
  // Computed in unsigned arithmetic so absurd numbers wrap instead of
  // overflowing; real version numbers are small.
  const auto major = static_cast<std::uint32_t>(FVersionMajor);
  const auto minor = static_cast<std::uint32_t>(FVersionMinor);
  const auto release = static_cast<std::uint32_t>(FVersionRelease);
  const std::uint32_t version =
      FVersionRelease < 100 ? major * 1000u + minor * 100u + release : major * 65536u + minor * 256u + release;
  FEffect.Version = static_cast<std::int32_t>(version);
}

std::string TBasicVSTModule::UniqueID() const {
  const auto value = static_cast<std::uint32_t>(FEffect.UniqueID);
  std::string result(4, '\0');
  for (int i = 0; i < 4; ++i) result[i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFFu);
  return result;
}

void TBasicVSTModule::SetUniqueID(const std::string& Value) {
  char c[4] = {};
  for (std::size_t i = 0; i < 4 && i < Value.size(); ++i) c[i] = Value[i];
  FEffect.UniqueID = PackChunkName(c[0], c[1], c[2], c[3]);
}

// The default answers of the list: 0 for every handler not written above.
#define VB_HOST_CALL_ANSWER_0(Name) \
  std::intptr_t TBasicVSTModule::HostCall##Name(std::int32_t, std::intptr_t, void*, float) { return 0; }
#define VB_HOST_CALL_ANSWER_Own(Name)
#define VB_DEFINE_DEFAULT_HOST_CALL(Name, Code, Answer) VB_HOST_CALL_ANSWER_##Answer(Name)
VB_DISPATCHER_OPCODES(VB_DEFINE_DEFAULT_HOST_CALL)
#undef VB_DEFINE_DEFAULT_HOST_CALL
#undef VB_HOST_CALL_ANSWER_Own
#undef VB_HOST_CALL_ANSWER_0

}  // namespace vb
