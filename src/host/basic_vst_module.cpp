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
  char Discarded[256] = {};
  GetHostProductString(Discarded);
  FUseAudioEffectPtr = false;
  AudioMasterChanged();
}

void TBasicVSTModule::AudioMasterChanged() {}

std::intptr_t TBasicVSTModule::HostCallDispatcher(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value,
                                                  void* Ptr, float Opt) {
  const std::intptr_t Result = DispatchOpcode(Opcode, Index, Value, Ptr, Opt);
  try {
    if (OnDispatcher) OnDispatcher(*this, Opcode);
  } catch (...) {
    if (FDestroyAfterDispatch) delete this;
    throw;
  }
  // effClose scheduled the destruction; nothing may touch the module after.
  if (FDestroyAfterDispatch) delete this;
  return Result;
}

std::intptr_t TBasicVSTModule::DispatchOpcode(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr,
                                              float Opt) {
  std::intptr_t Result = 0;
  switch (Opcode) {
    case effOpen:
      Result = HostCallOpen(Index, Value, Ptr, Opt);
      break;
    case effClose:
      Result = HostCallClose(Index, Value, Ptr, Opt);
      break;
    case effSetProgram:
      Result = HostCallSetProgram(Index, Value, Ptr, Opt);
      break;
    case effGetProgram:
      Result = HostCallGetProgram(Index, Value, Ptr, Opt);
      break;
    case effSetProgramName:
      Result = HostCallSetProgramName(Index, Value, Ptr, Opt);
      break;
    case effGetProgramName:
      Result = HostCallGetProgramName(Index, Value, Ptr, Opt);
      break;
    case effGetParamLabel:
      Result = HostCallGetParamLabel(Index, Value, Ptr, Opt);
      break;
    case effGetParamDisplay:
      Result = HostCallGetParamDisplay(Index, Value, Ptr, Opt);
      break;
    case effGetParamName:
      Result = HostCallGetParamName(Index, Value, Ptr, Opt);
      break;
    case effGetVu:
      Result = HostCallGetVu(Index, Value, Ptr, Opt);
      break;
    case effSetSampleRate:
      Result = HostCallSetSampleRate(Index, Value, Ptr, Opt);
      break;
    case effSetBlockSize:
      Result = HostCallSetBlockSize(Index, Value, Ptr, Opt);
      break;
    case effMainsChanged:
      Result = HostCallMainsChanged(Index, Value, Ptr, Opt);
      break;
    case effEditGetRect:
      Result = HostCallEditGetRect(Index, Value, Ptr, Opt);
      break;
    case effEditOpen:
      Result = HostCallEditOpen(Index, Value, Ptr, Opt);
      break;
    case effEditClose:
      Result = HostCallEditClose(Index, Value, Ptr, Opt);
      break;
    case effEditDraw:
      Result = HostCallEditDraw(Index, Value, Ptr, Opt);
      break;
    case effEditMouse:
      Result = HostCallEditMouse(Index, Value, Ptr, Opt);
      break;
    case effEditKey:
      Result = HostCallEditKey(Index, Value, Ptr, Opt);
      break;
    case effEditIdle:
      Result = HostCallEditIdle(Index, Value, Ptr, Opt);
      break;
    case effEditTop:
      Result = HostCallEditTop(Index, Value, Ptr, Opt);
      break;
    case effEditSleep:
      Result = HostCallEditSleep(Index, Value, Ptr, Opt);
      break;
    case effIdentify:
      Result = HostCallIdentify(Index, Value, Ptr, Opt);
      break;
    case effGetChunk:
      Result = HostCallGetChunk(Index, Value, Ptr, Opt);
      break;
    case effSetChunk:
      Result = HostCallSetChunk(Index, Value, Ptr, Opt);
      break;
    case effProcessEvents:
      Result = HostCallProcessEvents(Index, Value, Ptr, Opt);
      break;
    case effCanBeAutomated:
      Result = HostCallCanBeAutomated(Index, Value, Ptr, Opt);
      break;
    case effString2Parameter:
      Result = HostCallString2Parameter(Index, Value, Ptr, Opt);
      break;
    case effGetNumProgramCategories:
      Result = HostCallGetNumProgramCategories(Index, Value, Ptr, Opt);
      break;
    case effGetProgramNameIndexed:
      Result = HostCallGetProgramNameIndexed(Index, Value, Ptr, Opt);
      break;
    case effCopyProgram:
      Result = HostCallCopyProgram(Index, Value, Ptr, Opt);
      break;
    case effConnectInput:
      Result = HostCallConnectInput(Index, Value, Ptr, Opt);
      break;
    case effConnectOutput:
      Result = HostCallConnectOutput(Index, Value, Ptr, Opt);
      break;
    case effGetInputProperties:
      Result = HostCallGetInputProperties(Index, Value, Ptr, Opt);
      break;
    case effGetOutputProperties:
      Result = HostCallGetOutputProperties(Index, Value, Ptr, Opt);
      break;
    case effGetPlugCategory:
      Result = HostCallGetPlugCategory(Index, Value, Ptr, Opt);
      break;
    case effGetCurrentPosition:
      Result = HostCallGetCurrentPosition(Index, Value, Ptr, Opt);
      break;
    case effGetDestinationBuffer:
      Result = HostCallGetDestinationBuffer(Index, Value, Ptr, Opt);
      break;
    case effOfflineNotify:
      Result = HostCallOfflineNotify(Index, Value, Ptr, Opt);
      break;
    case effOfflinePrepare:
      Result = HostCallOfflinePrepare(Index, Value, Ptr, Opt);
      break;
    case effOfflineRun:
      Result = HostCallOfflineRun(Index, Value, Ptr, Opt);
      break;
    case effProcessVarIo:
      Result = HostCallProcessVarIo(Index, Value, Ptr, Opt);
      break;
    case effSetSpeakerArrangement:
      Result = HostCallSetSpeakerArrangement(Index, Value, Ptr, Opt);
      break;
    case effSetBlockSizeAndSampleRate:
      Result = HostCallSetBlockSizeAndSampleRate(Index, Value, Ptr, Opt);
      break;
    case effSetBypass:
      Result = HostCallSetBypass(Index, Value, Ptr, Opt);
      break;
    case effGetEffectName:
      Result = HostCallGetEffectName(Index, Value, Ptr, Opt);
      break;
    case effGetErrorText:
      Result = HostCallGetErrorText(Index, Value, Ptr, Opt);
      break;
    case effGetVendorString:
      Result = HostCallGetVendorString(Index, Value, Ptr, Opt);
      break;
    case effGetProductString:
      Result = HostCallGetProductString(Index, Value, Ptr, Opt);
      break;
    case effGetVendorVersion:
      Result = HostCallGetVendorVersion(Index, Value, Ptr, Opt);
      break;
    case effVendorSpecific:
      Result = HostCallVendorSpecific(Index, Value, Ptr, Opt);
      break;
    case effCanDo:
      Result = HostCallCanDo(Index, Value, Ptr, Opt);
      break;
    case effGetTailSize:
      Result = HostCallGetTailSize(Index, Value, Ptr, Opt);
      break;
    case effIdle:
      Result = HostCallIdle(Index, Value, Ptr, Opt);
      break;
    case effGetIcon:
      Result = HostCallGetIcon(Index, Value, Ptr, Opt);
      break;
    case effSetViewPosition:
      Result = HostCallSetViewPosition(Index, Value, Ptr, Opt);
      break;
    case effGetParameterProperties:
      Result = HostCallGetParameterProperties(Index, Value, Ptr, Opt);
      break;
    case effKeysRequired:
      Result = HostCallKeysRequired(Index, Value, Ptr, Opt);
      break;
    case effGetVstVersion:
      Result = HostCallGetVstVersion(Index, Value, Ptr, Opt);
      break;
    case effEditKeyDown:
      Result = HostCallEditKeyDown(Index, Value, Ptr, Opt);
      break;
    case effEditKeyUp:
      Result = HostCallEditKeyUp(Index, Value, Ptr, Opt);
      break;
    case effSetEditKnobMode:
      Result = HostCallSetEditKnobMode(Index, Value, Ptr, Opt);
      break;
    case effGetMidiProgramName:
      Result = HostCallGetMidiProgramName(Index, Value, Ptr, Opt);
      break;
    case effGetCurrentMidiProgram:
      Result = HostCallGetCurrentMidiProgram(Index, Value, Ptr, Opt);
      break;
    case effGetMidiProgramCategory:
      Result = HostCallGetMidiProgramCategory(Index, Value, Ptr, Opt);
      break;
    case effHasMidiProgramsChanged:
      Result = HostCallHasMidiProgramsChanged(Index, Value, Ptr, Opt);
      break;
    case effGetMidiKeyName:
      Result = HostCallGetMidiKeyName(Index, Value, Ptr, Opt);
      break;
    case effBeginSetProgram:
      Result = HostCallBeginSetProgram(Index, Value, Ptr, Opt);
      break;
    case effEndSetProgram:
      Result = HostCallEndSetProgram(Index, Value, Ptr, Opt);
      break;
    case effGetSpeakerArrangement:
      Result = HostCallGetSpeakerArrangement(Index, Value, Ptr, Opt);
      break;
    case effShellGetNextPlugin:
      Result = HostCallShellGetNextPlugin(Index, Value, Ptr, Opt);
      break;
    case effStartProcess:
      Result = HostCallStartProcess(Index, Value, Ptr, Opt);
      break;
    case effStopProcess:
      Result = HostCallStopProcess(Index, Value, Ptr, Opt);
      break;
    case effSetTotalSampleToProcess:
      Result = HostCallSetTotalSampleToProcess(Index, Value, Ptr, Opt);
      break;
    case effSetPanLaw:
      Result = HostCallSetPanLaw(Index, Value, Ptr, Opt);
      break;
    case effBeginLoadBank:
      Result = HostCallBeginLoadBank(Index, Value, Ptr, Opt);
      break;
    case effBeginLoadProgram:
      Result = HostCallBeginLoadProgram(Index, Value, Ptr, Opt);
      break;
    case effSetProcessPrecision:
      Result = HostCallSetProcessPrecision(Index, Value, Ptr, Opt);
      break;
    case effGetNumMidiInputChannels:
      Result = HostCallGetNumMidiInputChannels(Index, Value, Ptr, Opt);
      break;
    case effGetNumMidiOutputChannels:
      Result = HostCallGetNumMidiOutputChannels(Index, Value, Ptr, Opt);
      break;
    default:
      // Unknown opcode: answered with 0, nothing else reaches the host.
      Result = 0;
      break;
  }
  return Result;
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
  const auto Major = static_cast<std::uint32_t>(FVersionMajor);
  const auto Minor = static_cast<std::uint32_t>(FVersionMinor);
  const auto Release = static_cast<std::uint32_t>(FVersionRelease);
  const std::uint32_t Version =
      FVersionRelease < 100 ? Major * 1000u + Minor * 100u + Release : Major * 65536u + Minor * 256u + Release;
  FEffect.Version = static_cast<std::int32_t>(Version);
}

std::string TBasicVSTModule::UniqueID() const {
  const auto Value = static_cast<std::uint32_t>(FEffect.UniqueID);
  std::string Result(4, '\0');
  for (int i = 0; i < 4; ++i) Result[i] = static_cast<char>((Value >> (24 - 8 * i)) & 0xFFu);
  return Result;
}

void TBasicVSTModule::SetUniqueID(const std::string& Value) {
  char C[4] = {};
  for (std::size_t i = 0; i < 4 && i < Value.size(); ++i) C[i] = Value[i];
  FEffect.UniqueID = PackChunkName(C[0], C[1], C[2], C[3]);
}

std::intptr_t TBasicVSTModule::HostCallSetProgram(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetProgram(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetProgramName(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetProgramName(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetParamLabel(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetParamDisplay(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetParamName(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetVu(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetSampleRate(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetBlockSize(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallMainsChanged(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditGetRect(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditOpen(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditClose(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditDraw(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditMouse(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditKey(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditIdle(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditTop(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditSleep(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetChunk(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetChunk(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallProcessEvents(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallCanBeAutomated(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallString2Parameter(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetNumProgramCategories(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetProgramNameIndexed(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallCopyProgram(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallConnectInput(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallConnectOutput(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetInputProperties(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetOutputProperties(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetPlugCategory(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetCurrentPosition(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetDestinationBuffer(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallOfflineNotify(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallOfflinePrepare(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallOfflineRun(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallProcessVarIo(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetSpeakerArrangement(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetBlockSizeAndSampleRate(std::int32_t, std::intptr_t, void*, float) {
  return 0;
}
std::intptr_t TBasicVSTModule::HostCallSetBypass(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetEffectName(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetErrorText(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetVendorString(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetProductString(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetVendorVersion(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallVendorSpecific(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallCanDo(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetTailSize(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallIdle(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetIcon(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetViewPosition(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetParameterProperties(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallKeysRequired(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetVstVersion(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditKeyDown(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEditKeyUp(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetEditKnobMode(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetMidiProgramName(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetCurrentMidiProgram(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetMidiProgramCategory(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallHasMidiProgramsChanged(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetMidiKeyName(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallBeginSetProgram(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallEndSetProgram(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetSpeakerArrangement(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallShellGetNextPlugin(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallStartProcess(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallStopProcess(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetTotalSampleToProcess(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetPanLaw(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallBeginLoadBank(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallBeginLoadProgram(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallSetProcessPrecision(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetNumMidiInputChannels(std::int32_t, std::intptr_t, void*, float) { return 0; }
std::intptr_t TBasicVSTModule::HostCallGetNumMidiOutputChannels(std::int32_t, std::intptr_t, void*, float) { return 0; }

}  // namespace vb
