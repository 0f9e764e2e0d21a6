// The module's calls to the host. Each wrapper passes its opcode and
// arguments to CallAudioMaster and converts the answer: raw, as a Boolean
// (answer != 0), or as noted. Without a callback every call answers 0.
#include <cstring>

#include "host/basic_vst_module.h"

namespace vb {

std::intptr_t TBasicVSTModule::CallAudioMaster(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr,
                                               float Opt) const {
  if (!FAudioMaster) return 0;
  return FAudioMaster(const_cast<TVSTEffect*>(&FEffect), Opcode, Index, Value, Ptr, Opt);
}

std::intptr_t TBasicVSTModule::SetParameterAutomated(std::int32_t Index, float Value) const {
  return CallAudioMaster(amAutomate, Index, 0, nullptr, Value);
}

std::intptr_t TBasicVSTModule::GetMasterVersion() const { return CallAudioMaster(amVersion, 0, 0, nullptr, 0.0f); }

std::intptr_t TBasicVSTModule::GetHostVstVersion() const {
  const std::intptr_t version = GetMasterVersion();
  return version == 0 ? 1 : version;
}

std::intptr_t TBasicVSTModule::GetCurrentUniqueId() const { return CallAudioMaster(amCurrentId, 0, 0, nullptr, 0.0f); }

std::intptr_t TBasicVSTModule::MasterIdle() const { return CallAudioMaster(amIdle, 0, 0, nullptr, 0.0f); }

bool TBasicVSTModule::IsInputConnected(std::int32_t Input) const {
  return CallAudioMaster(amPinConnected, Input, 0, nullptr, 0.0f) == 0;
}

bool TBasicVSTModule::IsOutputConnected(std::int32_t Output) const {
  return CallAudioMaster(amPinConnected, Output, 1, nullptr, 0.0f) == 0;
}

std::intptr_t TBasicVSTModule::WantEvents(std::intptr_t Filter) const {
  return CallAudioMaster(amWantMidi, 0, Filter, nullptr, 0.0f);
}

void* TBasicVSTModule::GetTimeInfo(std::intptr_t Filter) const {
  return reinterpret_cast<void*>(CallAudioMaster(amGetTime, 0, Filter, nullptr, 0.0f));
}

bool TBasicVSTModule::SendVstEventsToHost(TVstEvents* Events) const {
  return CallAudioMaster(amProcessEvents, 0, 0, Events, 0.0f) == 1;
}

std::intptr_t TBasicVSTModule::SetTimeInfo(std::intptr_t Filter, void* TimeInfo) const {
  return CallAudioMaster(amSetTime, 0, Filter, TimeInfo, 0.0f);
}

std::intptr_t TBasicVSTModule::TempoAt(std::intptr_t Position) const {
  return CallAudioMaster(amTempoAt, 0, Position, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetNumAutomatableParameters() const {
  return CallAudioMaster(amGetNumAutomatableParameters, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetParameterQuantization() const {
  return CallAudioMaster(amGetParameterQuantization, 0, 0, nullptr, 0.0f);
}

bool TBasicVSTModule::HostIOChanged() const { return CallAudioMaster(amIOChanged, 0, 0, nullptr, 0.0f) != 0; }

bool TBasicVSTModule::NeedIdle() const { return CallAudioMaster(amNeedIdle, 0, 0, nullptr, 0.0f) != 0; }

bool TBasicVSTModule::SizeWindow(std::int32_t Width, std::int32_t Height) const {
  return CallAudioMaster(amSizeWindow, Width, Height, nullptr, 0.0f) != 0;
}

std::intptr_t TBasicVSTModule::GetHostSampleRate() const {
  return CallAudioMaster(amGetSampleRate, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetHostBlockSize() const { return CallAudioMaster(amGetBlockSize, 0, 0, nullptr, 0.0f); }

std::intptr_t TBasicVSTModule::GetInputLatency() const {
  return CallAudioMaster(amGetInputLatency, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetOutputLatency() const {
  return CallAudioMaster(amGetOutputLatency, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetPreviousPlug(std::int32_t Input) const {
  return CallAudioMaster(amGetPreviousPlug, Input, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetNextPlug(std::int32_t Output) const {
  return CallAudioMaster(amGetNextPlug, Output, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::WillReplaceOrAccumulate() const {
  return CallAudioMaster(amWillReplaceOrAccumulate, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetCurrentProcessLevel() const {
  return CallAudioMaster(amGetCurrentProcessLevel, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetAutomationState() const {
  return CallAudioMaster(amGetAutomationState, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::OfflineStart(void* AudioFiles, std::intptr_t NumAudioFiles,
                                            std::int32_t NumNewAudioFiles) const {
  return CallAudioMaster(amOfflineStart, NumNewAudioFiles, NumAudioFiles, AudioFiles, 0.0f);
}

std::intptr_t TBasicVSTModule::OfflineRead(void* Offline, std::intptr_t Option, bool ReadSource) const {
  return CallAudioMaster(amOfflineRead, ReadSource ? 1 : 0, Option, Offline, 0.0f);
}

std::intptr_t TBasicVSTModule::OfflineWrite(void* Offline, std::intptr_t Option) const {
  return CallAudioMaster(amOfflineWrite, 0, Option, Offline, 0.0f);
}

std::intptr_t TBasicVSTModule::OfflineGetCurrentPass() const {
  return CallAudioMaster(amOfflineGetCurrentPass, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::OfflineGetCurrentMetaPass() const {
  return CallAudioMaster(amOfflineGetCurrentMetaPass, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::SetOutputSampleRate(float SampleRate) const {
  return CallAudioMaster(amSetOutputSampleRate, 0, 0, nullptr, SampleRate);
}

std::intptr_t TBasicVSTModule::GetOutputSpeakerArrangement() const {
  return CallAudioMaster(amGetOutputSpeakerArrangement, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::GetInputSpeakerArrangement() const {
  return CallAudioMaster(amGetInputSpeakerArrangement, 0, 0, nullptr, 0.0f);
}

bool TBasicVSTModule::GetHostVendorString(char* Text) const {
  return CallAudioMaster(amGetVendorString, 0, 0, Text, 0.0f) != 0;
}

bool TBasicVSTModule::GetHostProductString(char* Text) const {
  return CallAudioMaster(amGetProductString, 0, 0, Text, 0.0f) != 0;
}

std::intptr_t TBasicVSTModule::GetHostVendorVersion() const {
  return CallAudioMaster(amGetVendorVersion, 0, 0, nullptr, 0.0f);
}

std::intptr_t TBasicVSTModule::HostVendorSpecific(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) const {
  return CallAudioMaster(amVendorSpecific, Index, Value, Ptr, Opt);
}

std::intptr_t TBasicVSTModule::GetCanHostDo(const char* Text) const {
  return CallAudioMaster(amCanDo, 0, 0, const_cast<char*>(Text), 0.0f);
}

std::intptr_t TBasicVSTModule::GetHostLanguage() const { return CallAudioMaster(amGetLanguage, 0, 0, nullptr, 0.0f); }

std::intptr_t TBasicVSTModule::OpenWindow(void* Window) const {
  return CallAudioMaster(amOpenWindow, 0, 0, Window, 0.0f);
}

std::intptr_t TBasicVSTModule::CloseWindow(void* Window) const {
  return CallAudioMaster(amCloseWindow, 0, 0, Window, 0.0f);
}

std::intptr_t TBasicVSTModule::GetDirectory() const { return CallAudioMaster(amGetDirectory, 0, 0, nullptr, 0.0f); }

bool TBasicVSTModule::UpdateDisplay() const { return CallAudioMaster(amUpdateDisplay, 0, 0, nullptr, 0.0f) != 0; }

bool TBasicVSTModule::BeginEdit(std::int32_t Index) const {
  return CallAudioMaster(amBeginEdit, Index, 0, nullptr, 0.0f) != 0;
}

bool TBasicVSTModule::EndEdit(std::int32_t Index) const {
  return CallAudioMaster(amEndEdit, Index, 0, nullptr, 0.0f) != 0;
}

bool TBasicVSTModule::OpenFileSelector(void* FileSelect) const {
  return CallAudioMaster(amOpenFileSelector, 0, 0, FileSelect, 0.0f) != 0;
}

}  // namespace vb
