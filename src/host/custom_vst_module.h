#pragma once
// Module services: identity and capability answers, open/close and
// suspend/resume events, sample rate and block size, bypass, level meter,
// pin descriptions, editor hosting and key forwarding, host-specific rules,
// and the dispatch of host audio blocks to the effective processing
// handlers (straight through at this level; TDspVSTModule adds modes).

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/basic_vst_module.h"
#include "host/process_audio_event.h"
#include "host/scratch_channels.h"
#include "host/vst_can_do.h"
#include "host/vst_editor.h"
#include "host/vst_module_description.h"

namespace vb {

class TCustomVSTModule;

// Events; all optional, all called on the thread of the dispatcher call.
using TModuleNotifyEvent = std::function<void(TCustomVSTModule& Sender)>;
using TSampleRateChangeEvent = std::function<void(TCustomVSTModule& Sender, float SampleRate)>;
using TBlockSizeChangeEvent = std::function<void(TCustomVSTModule& Sender, std::int32_t BlockSize)>;
using TSoftBypassEvent = std::function<void(TCustomVSTModule& Sender, bool IsBypass)>;
using TGetVUEvent = std::function<void(TCustomVSTModule& Sender, float& Level)>;
using TCanDoEvent = std::function<void(TCustomVSTModule& Sender, const char* CanDoText)>;
using TVendorSpecificEvent = std::function<std::intptr_t(TCustomVSTModule& Sender, std::int32_t Index,
                                                         std::intptr_t Value, void* Ptr, float Opt)>;
using TEditOpenEvent =
    std::function<void(TCustomVSTModule& Sender, std::unique_ptr<TVSTEditor>& Editor, void* ParentWindow)>;
using TEditCloseEvent = std::function<void(TCustomVSTModule& Sender, bool& MayClose)>;
using TEditGetSizeEvent = std::function<void(TCustomVSTModule& Sender, std::int32_t& Width, std::int32_t& Height)>;
using TEditorKeyEvent = std::function<void(TCustomVSTModule& Sender, TVstKeyCode& Key)>;
using TCheckKeyEvent = std::function<bool(TCustomVSTModule& Sender, std::int32_t Character)>;
using TEditorKnobModeEvent = std::function<void(TCustomVSTModule& Sender, std::intptr_t Mode)>;
using TPinPropertiesEvent =
    std::function<bool(TCustomVSTModule& Sender, std::int32_t Index, TVstPinProperties& Properties)>;
using TPinConnectedEvent = std::function<void(TCustomVSTModule& Sender, std::int32_t Index, bool Connected)>;
using TSetPanLawEvent = std::function<void(TCustomVSTModule& Sender, std::intptr_t Law, float Gain)>;
using TProcessVarIOEvent = std::function<void(TCustomVSTModule& Sender, void* VarIO)>;
using TSpeakerArrangementEvent =
    std::function<void(TCustomVSTModule& Sender, void* InputArrangement, void* OutputArrangement)>;

class TCustomVSTModule : public TBasicVSTModule {
 public:
  explicit TCustomVSTModule(TComponent* AOwner);
  ~TCustomVSTModule() override;

  // --- Identity --------------------------------------------------------
  const std::string& EffectName() const { return FEffectName; }
  void SetEffectName(const std::string& Value);
  const std::string& ProductName() const { return FProductName; }
  void SetProductName(const std::string& Value);
  const std::string& VendorName() const { return FVendorName; }
  void SetVendorName(const std::string& Value);
  // Descriptive version text ("1.0"); the record number comes from the
  // three version numbers.
  const std::string& VersionText() const { return FVersionText; }
  void SetVersionText(const std::string& Value) { FVersionText = Value; }
  TVstPluginCategory PlugCategory() const { return FPlugCategory; }
  void SetPlugCategory(TVstPluginCategory Value) { FPlugCategory = Value; }
  TVstCanDos CanDos() const { return FCanDos; }
  void SetCanDos(TVstCanDos Value) { FCanDos = Value; }
  std::int32_t TailSize() const { return FTailSize; }
  void SetTailSize(std::int32_t Value) { FTailSize = Value; }
  bool KeysRequired() const { return FKeysRequired; }
  void SetKeysRequired(bool Value);
  TProcessPrecision ProcessPrecisition() const { return FProcessPrecision; }
  void SetProcessPrecisition(TProcessPrecision Value) { FProcessPrecision = Value; }
  bool TruncateStrings() const { return FTruncateStrings; }
  void SetTruncateStrings(bool Value) { FTruncateStrings = Value; }
  std::int32_t numCategories() const { return FNumCategories; }
  void SetNumCategories(std::int32_t Value) { FNumCategories = Value; }
  void SetIORatio(float Value) { FEffect.IORatio = Value; }
  void SetRealQualities(std::int32_t Value) { FEffect.RealQualities = Value; }
  void SetOffQualities(std::int32_t Value) { FEffect.OffQualities = Value; }
  // The setter ignores the value.
  const std::string& About() const { return FAbout; }
  void SetAbout(const std::string&) {}

  // --- Channels and latency ----------------------------------------------
  void SetNumInputs(std::int32_t Value);
  void SetNumOutputs(std::int32_t Value);
  // Latency in samples as the module wants it; the record may hold more
  // (block mode).
  std::int32_t InitialDelayProperty() const { return FInitialDelay; }
  void SetInitialDelay(std::int32_t Value);

  // --- Sample rate (Hz) and block size (samples) ---------------------------
  float SampleRate() const { return FSampleRate.load(std::memory_order_relaxed); }
  // Non-finite or non-positive rates are ignored.
  void SetSampleRate(float Value);
  std::int32_t BlockSize() const { return FBlockSize.load(std::memory_order_relaxed); }
  // Non-positive sizes are ignored.
  void SetBlockSize(std::int32_t Value);
  // Ask the host and adopt a positive answer that differs; return the answer.
  std::intptr_t UpdateSampleRate();
  std::intptr_t UpdateBlockSize();

  // --- Host identity (cached; asks the host while empty or "Unknown") -----
  const std::string& HostProduct();
  const std::string& HostVendor();
  std::intptr_t HostVersion() const { return GetHostVendorVersion(); }

  // --- Editor -------------------------------------------------------------
  TEditorFormClass EditorFormClass() const { return FEditorFormClass; }
  void SetEditorFormClass(TEditorFormClass Value) { FEditorFormClass = Value; }
  TVSTEditor* EditorForm() const { return FEditorForm.get(); }
  // The host's native window the editor was last opened in (null before
  // the first effEditOpen); an editor factory may ask it for its screen.
  void* EditorParent() const { return FEditorParent; }
  bool EditorNeedUpdate() const { return FEditorNeedUpdate.load(std::memory_order_relaxed); }
  void SetEditorNeedUpdate(bool Value) { FEditorNeedUpdate.store(Value, std::memory_order_relaxed); }
  // Asks for an editor refresh at the next effEditIdle (any thread).
  void EditorPostUpdate() { SetEditorNeedUpdate(true); }

  // --- Dispatcher handlers of this level ----------------------------------
  std::intptr_t HostCallOpen(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallClose(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetVu(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetSampleRate(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetBlockSize(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallMainsChanged(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditGetRect(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditOpen(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditClose(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditIdle(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditTop(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditSleep(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetNumProgramCategories(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallConnectInput(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallConnectOutput(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetInputProperties(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetOutputProperties(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetPlugCategory(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallProcessVarIo(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetSpeakerArrangement(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetBlockSizeAndSampleRate(std::int32_t Index, std::intptr_t Value, void* Ptr,
                                                  float Opt) override;
  std::intptr_t HostCallSetBypass(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetEffectName(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetVendorString(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetProductString(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetVendorVersion(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallVendorSpecific(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallCanDo(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetTailSize(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallKeysRequired(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetVstVersion(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditKeyDown(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditKeyUp(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetEditKnobMode(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallStartProcess(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallStopProcess(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetTotalSampleToProcess(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetPanLaw(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetProcessPrecision(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;

  // --- Processing dispatch (audio thread) ---------------------------------
  void HostCallProcess(float** Inputs, float** Outputs, std::int32_t SampleFrames) override;
  void HostCallProcess32Replacing(float** Inputs, float** Outputs, std::int32_t SampleFrames) override;
  void HostCallProcess64Replacing(double** Inputs, double** Outputs, std::int32_t SampleFrames) override;

  // --- Events ---------------------------------------------------------------
  TModuleNotifyEvent OnOpen, OnClose, OnSuspend, OnResume, OnInitialize;
  TSampleRateChangeEvent OnSampleRateChange;
  TBlockSizeChangeEvent OnBlockSizeChange;
  TSoftBypassEvent OnSoftBypass;
  TGetVUEvent OnGetVU;
  TCanDoEvent OnCanDo;
  TVendorSpecificEvent OnVendorSpecific;
  TEditOpenEvent OnEditOpen;
  TEditCloseEvent OnEditClose;
  TEditGetSizeEvent OnEditGetSize;
  TModuleNotifyEvent OnEditIdle, OnEditTop, OnEditSleep;
  TEditorKeyEvent OnEditorKeyDown, OnEditorKeyUp;
  TCheckKeyEvent OnCheckKey;
  TEditorKnobModeEvent OnEditorKnobMode;
  TPinPropertiesEvent OnInputProperties, OnOutputProperties;
  TPinConnectedEvent OnInConnected, OnOutConnected;
  TModuleNotifyEvent OnStartProcess, OnStopProcess;
  TSetPanLawEvent OnSetPanLaw;
  TProcessVarIOEvent OnProcessVarIO;
  TSpeakerArrangementEvent OnSpeakerArrangementChanged;

 protected:
  // Reading the stored description (see TVSTModule::LoadStoredDescription).
  // Before reading: nothing at this level.
  virtual void BeforeReadDescription();
  // Applies the description's values; levels that own more of them extend it.
  virtual void ReadDescription(const TVSTModuleDescription& Description);
  // After reading and after OnInitialize: nothing at this level.
  virtual void AfterReadDescription();

  void AudioMasterChanged() override;
  // Change reactions; derived levels extend them.
  virtual void SampleRateChanged();
  virtual void BlockSizeChanged();
  virtual void IOChanged();
  virtual void InitialDelayChanged();
  // (Re)allocates block-mode buffers; nothing at this level.
  virtual void PrepareBlockBuffers();
  // Runs after every processing call (the MIDI level sends queued events).
  virtual void ProcessingCallFinished();
  // Sizes the scratch buffers for the current channel counts and block size.
  void ResizeScratchBuffers();
  // Destroys the open editor (and any waiting to be retired) now. The module
  // destroys them last, when the levels derived from it are gone already: a
  // derived module whose editor refers to its own members calls this first
  // in its destructor.
  void DestroyEditors();

  // The handlers the dispatch actually calls; the processing mode decides
  // what they are. Written from any thread, read by the audio thread.
  void SetEffectiveHandlers(TProcessAudio32Event Process, TProcessAudio32Event Process32Replacing,
                            TProcessAudio64Event Process64Replacing);
  std::atomic<TProcessAudio32Event> FOnProcessEx{nullptr};
  std::atomic<TProcessAudio32Event> FOnProcess32ReplacingEx{nullptr};
  std::atomic<TProcessAudio64Event> FOnProcess64ReplacingEx{nullptr};

  TScratchChannels<float> FScratch32;
  TScratchChannels<double> FScratch64;

 private:
  std::intptr_t CopyIdentityText(const std::string& Text, void* Ptr) const;
  std::intptr_t FillPinProperties(std::int32_t Index, void* Ptr, bool IsInput);
  std::intptr_t ForwardKey(std::int32_t Index, std::intptr_t Value, float Opt, bool IsKeyDown);
  // Gives up the open editor: destroyed now, or when the editor call in
  // progress returns.
  void RetireEditor();
  // Builds a fresh editor into Parent (inside an editor call scope); false
  // when none could be embedded, which leaves no editor.
  bool BuildEditorInto(void* Parent);
  // Replaces an editor that asked to be built again (WantsRebuild) and asks
  // the host for its new size.
  void RebuildEditor();
  class TEditorCallScope;
  void AccumulateThroughScratch(TProcessAudio32Event Handler, float** Inputs, float** Outputs,
                                std::int32_t SampleFrames);
  std::string CutText(const std::string& Value, std::size_t Limit) const;

  std::string FEffectName, FProductName, FVendorName;
  std::string FVersionText = "1.0";
  std::string FAbout;
  TVstPluginCategory FPlugCategory = vpcUnknown;
  TVstCanDos FCanDos = CanDoBit(vcdPlugAsChannelInsert) | CanDoBit(vcdPlugAsSend) | CanDoBit(vcd2in2out);
  std::int32_t FTailSize = 0;
  bool FKeysRequired = false;
  TProcessPrecision FProcessPrecision = pp32;
  bool FTruncateStrings = false;
  std::int32_t FNumCategories = 1;
  std::int32_t FInitialDelay = 0;
  std::atomic<float> FSampleRate{44100.0f};
  std::atomic<std::int32_t> FBlockSize{1024};
  std::string FHostProduct, FHostVendor;

  TEditorFormClass FEditorFormClass = nullptr;
  std::unique_ptr<TVSTEditor> FEditorForm;
  void* FEditorParent = nullptr;
  // Editor calls in progress (open, idle, keys). A host may call back into
  // the editor opcodes from inside our callbacks (amAutomate); editors it
  // closes meanwhile wait here until the outermost call has returned.
  std::int32_t FEditorCallDepth = 0;
  std::vector<std::unique_ptr<TVSTEditor>> FRetiredEditors;
  std::atomic<bool> FEditorNeedUpdate{false};
  ERect FEditorRect{};

  std::vector<float*> FInputPieces32;
};

}  // namespace vb
