#pragma once
// Root of the module class chain: owns the effect record handed to the host,
// the host callback, the dispatcher that fans opcodes out to one virtual
// handler each, and the thin wrappers through which the module calls the
// host back. The record's function entries are trampolines (see
// vst_trampolines.h) that find the module through the record's User field.

#include <cstdint>
#include <functional>
#include <string>

#include "host/component.h"
#include "host/vst_abi.h"

namespace vb {

class TBasicVSTModule;

// Called after every dispatcher call with the opcode (dispatcher thread).
using TDispatcherEvent = std::function<void(TBasicVSTModule& Sender, std::int32_t Opcode)>;

class TBasicVSTModule : public TComponent {
 public:
  explicit TBasicVSTModule(TComponent* AOwner);
  ~TBasicVSTModule() override;

  // The record embedded in this module; its address is what the host gets.
  TVSTEffect* Effect() { return &FEffect; }
  const TVSTEffect* Effect() const { return &FEffect; }

  // Stores the host callback and checks the host: asks its VST version
  // (0 or no callback fails with EVstError "AudioMaster Error") and its
  // product name. Called once by the entry point.
  void SetAudioMaster(TAudioMasterCallbackFunc AAudioMaster);
  TAudioMasterCallbackFunc AudioMaster() const { return FAudioMaster; }

  // Record-facing operations; the trampolines call these.
  std::intptr_t HostCallDispatcher(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt);
  virtual float HostCallGetParameter(std::int32_t Index);
  virtual void HostCallSetParameter(std::int32_t Index, float Value);
  // Audio thread. The trampolines have checked SampleFrames > 0 and that
  // Inputs or Outputs is non-null.
  virtual void HostCallProcess(float** Inputs, float** Outputs, std::int32_t SampleFrames);
  virtual void HostCallProcess32Replacing(float** Inputs, float** Outputs, std::int32_t SampleFrames);
  virtual void HostCallProcess64Replacing(double** Inputs, double** Outputs, std::int32_t SampleFrames);

  // One handler per dispatcher opcode, named after the opcode without its
  // "eff" prefix (HostCallSetSampleRate answers effSetSampleRate), declared
  // from the opcode list in vst_abi.h:
  //   virtual std::intptr_t HostCall<Name>(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt);
  // This level answers 0 except for effOpen, effClose and effIdentify.
#define VB_DECLARE_HOST_CALL(Name, Code, Answer) \
  virtual std::intptr_t HostCall##Name(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt);
  VB_DISPATCHER_OPCODES(VB_DECLARE_HOST_CALL)
#undef VB_DECLARE_HOST_CALL

  TDispatcherEvent OnDispatcher;

  // Record values kept only in the record.
  // Channel counts are read by the audio thread while set-up code may
  // change them, hence the relaxed atomic accesses.
  std::int32_t numInputs() const { return __atomic_load_n(&FEffect.numInputs, __ATOMIC_RELAXED); }
  std::int32_t numOutputs() const { return __atomic_load_n(&FEffect.numOutputs, __ATOMIC_RELAXED); }
  std::int32_t numParams() const { return FEffect.numParams; }
  std::int32_t numPrograms() const { return FEffect.numPrograms; }
  std::int32_t InitialDelay() const { return FEffect.InitialDelay; }
  TEffFlags Flags() const { return FEffect.EffectFlags; }
  void SetFlags(TEffFlags Value) { FEffect.EffectFlags = Value; }
  bool HasFlag(TEffFlag Flag) const { return (FEffect.EffectFlags & EffFlagBit(Flag)) != 0; }

  // Version numbers: the record's Version is Major*1000 + Minor*100 +
  // Release while Release < 100, else Major*65536 + Minor*256 + Release.
  std::int32_t VersionMajor() const { return FVersionMajor; }
  std::int32_t VersionMinor() const { return FVersionMinor; }
  std::int32_t VersionRelease() const { return FVersionRelease; }
  void SetVersionMajor(std::int32_t Value);
  void SetVersionMinor(std::int32_t Value);
  void SetVersionRelease(std::int32_t Value);

  // Four-character unique ID; character 1 is the most significant byte of
  // the record's value, missing characters count as zero bytes.
  std::string UniqueID() const;
  void SetUniqueID(const std::string& Value);

  // --- Calling the host (any thread; answers 0 without a callback) -------
  std::intptr_t CallAudioMaster(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr,
                                float Opt) const;
  std::intptr_t SetParameterAutomated(std::int32_t Index, float Value) const;  // amAutomate
  std::intptr_t GetMasterVersion() const;                                      // amVersion, raw
  std::intptr_t GetHostVstVersion() const;                                     // amVersion, 1 when the host answers 0
  std::intptr_t GetCurrentUniqueId() const;
  std::intptr_t MasterIdle() const;
  bool IsInputConnected(std::int32_t Input) const;  // amPinConnected: 0 means connected
  bool IsOutputConnected(std::int32_t Output) const;
  std::intptr_t WantEvents(std::intptr_t Filter) const;  // amWantMidi
  void* GetTimeInfo(std::intptr_t Filter) const;         // amGetTime
  bool SendVstEventsToHost(TVstEvents* Events) const;    // amProcessEvents, true on 1
  std::intptr_t SetTimeInfo(std::intptr_t Filter, void* TimeInfo) const;
  std::intptr_t TempoAt(std::intptr_t Position) const;
  std::intptr_t GetNumAutomatableParameters() const;
  std::intptr_t GetParameterQuantization() const;
  bool HostIOChanged() const;  // amIOChanged
  bool NeedIdle() const;
  bool SizeWindow(std::int32_t Width, std::int32_t Height) const;
  std::intptr_t GetHostSampleRate() const;  // amGetSampleRate, raw
  std::intptr_t GetHostBlockSize() const;   // amGetBlockSize, raw
  std::intptr_t GetInputLatency() const;
  std::intptr_t GetOutputLatency() const;
  std::intptr_t GetPreviousPlug(std::int32_t Input) const;
  std::intptr_t GetNextPlug(std::int32_t Output) const;
  std::intptr_t WillReplaceOrAccumulate() const;
  std::intptr_t GetCurrentProcessLevel() const;
  std::intptr_t GetAutomationState() const;
  std::intptr_t OfflineStart(void* AudioFiles, std::intptr_t NumAudioFiles, std::int32_t NumNewAudioFiles) const;
  std::intptr_t OfflineRead(void* Offline, std::intptr_t Option, bool ReadSource) const;
  std::intptr_t OfflineWrite(void* Offline, std::intptr_t Option) const;
  std::intptr_t OfflineGetCurrentPass() const;
  std::intptr_t OfflineGetCurrentMetaPass() const;
  std::intptr_t SetOutputSampleRate(float SampleRate) const;
  std::intptr_t GetOutputSpeakerArrangement() const;
  std::intptr_t GetInputSpeakerArrangement() const;
  bool GetHostVendorString(char* Text) const;   // Text: at least 256 bytes
  bool GetHostProductString(char* Text) const;  // Text: at least 256 bytes
  std::intptr_t GetHostVendorVersion() const;
  std::intptr_t HostVendorSpecific(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) const;
  std::intptr_t GetCanHostDo(const char* Text) const;  // amCanDo: 1, 0 or -1
  std::intptr_t GetHostLanguage() const;
  std::intptr_t OpenWindow(void* Window) const;
  std::intptr_t CloseWindow(void* Window) const;
  std::intptr_t GetDirectory() const;
  bool UpdateDisplay() const;
  bool BeginEdit(std::int32_t Index) const;
  bool EndEdit(std::int32_t Index) const;
  bool OpenFileSelector(void* FileSelect) const;

 protected:
  // Hook run by SetAudioMaster after the host has been checked (the custom
  // level reads and caches the host's product name there).
  virtual void AudioMasterChanged();
  // Stubs the record's entries and detaches it from this module; the
  // dispatcher then destroys the module once the current call is done.
  void DisableRecordAndScheduleDestruction();
  void UpdateVersion();

  TVSTEffect FEffect;
  TAudioMasterCallbackFunc FAudioMaster = nullptr;
  // Always false: the module is found through the record's User field.
  bool FUseAudioEffectPtr = false;

 private:
  std::intptr_t DispatchOpcode(std::int32_t Opcode, std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt);

  std::int32_t FVersionMajor = 1;
  std::int32_t FVersionMinor = 0;
  std::int32_t FVersionRelease = 0;
  bool FDestroyAfterDispatch = false;
};

}  // namespace vb
