#pragma once
// Processing modes between the host's audio entries and the user's
// processing handlers: straight through (pmNormal), fixed-size blocks with
// overlap (pmBlockSave), copy, mute, and a queue of processing components.

#include <atomic>
#include <cstdint>

#include "host/process_audio_event.h"
#include "host/processing_component.h"
#include "host/scratch_channels.h"
#include "params/vst_module_with_programs.h"

namespace vb {

enum TProcessingMode : std::int32_t {
  pmNormal = 0,
  pmBlockSave = 1,
  pmCopy = 2,
  pmMute = 3,
  pmDspQueue = 4,
};

class TDspVSTModule : public TVSTModuleWithPrograms {
 public:
  explicit TDspVSTModule(TComponent* AOwner);
  ~TDspVSTModule() override;

  // User handlers. Assigning the handler already set changes nothing;
  // another one recomputes its effective handler for the current mode.
  // Any thread; the audio thread sees the change at its next block.
  TProcessAudio32Event OnProcess() const { return FOnProcess.load(std::memory_order_relaxed); }
  void SetOnProcess(TProcessAudio32Event Value);
  TProcessAudio32Event OnProcess32Replacing() const { return FOnProcess32Replacing.load(std::memory_order_relaxed); }
  void SetOnProcess32Replacing(TProcessAudio32Event Value);
  TProcessAudio64Event OnProcess64Replacing() const { return FOnProcess64Replacing.load(std::memory_order_relaxed); }
  void SetOnProcess64Replacing(TProcessAudio64Event Value);

  TProcessingMode ProcessingMode() const { return FProcessingMode.load(std::memory_order_relaxed); }
  void SetProcessingMode(TProcessingMode Value);

  // Block mode: S samples per block (0 is ignored), V samples shared with
  // the previous block (must stay below S; other values are ignored).
  std::uint32_t BlockModeSize() const { return FBlockModeSize.load(std::memory_order_relaxed); }
  void SetBlockModeSize(std::uint32_t Value);
  std::uint32_t BlockModeOverlap() const { return FBlockModeOverlap.load(std::memory_order_relaxed); }
  void SetBlockModeOverlap(std::uint32_t Value);

  // Processing components following the module's rate and channel count.
  void RegisterDSPItem(TZarnProcessingComponent* Item);
  void UnRegisterDSPItem(TZarnProcessingComponent* Item);
  TZarnProcessingComponent* DspDirectProcessItem() const { return FDspDirectProcessItem; }
  // Fails with "DspDirectProcessItem has to be the first item of a queue"
  // for a component outside the list.
  void SetDspDirectProcessItem(TZarnProcessingComponent* Value);
  TZarnProcessingComponentList& DspQueueList() { return FDspQueueList; }

 protected:
  void SampleRateChanged() override;
  void IOChanged() override;
  void InitialDelayChanged() override;
  void PrepareBlockBuffers() override;
  void ProcessMidiEvent(TVstMidiEvent& Event) override;

 private:
  void UpdateEffectiveHandlers();
  void RefreshBlockDelay();
  template <typename T, typename THandler>
  void RunBlockMode(TScratchChannels<T>& In, TScratchChannels<T>& Out, THandler Handler, T** Inputs, T** Outputs,
                    std::uint32_t SampleFrames);
  template <typename T>
  void RunQueue(TScratchChannels<T>& Scratch, T** Inputs, T** Outputs, std::uint32_t SampleFrames);

  static void BlockProcess(TCustomVSTModule& Sender, float** Inputs, float** Outputs, std::uint32_t SampleFrames);
  static void BlockProcess32Replacing(TCustomVSTModule& Sender, float** Inputs, float** Outputs,
                                      std::uint32_t SampleFrames);
  static void BlockProcess64Replacing(TCustomVSTModule& Sender, double** Inputs, double** Outputs,
                                      std::uint32_t SampleFrames);
  static void Copy32(TCustomVSTModule& Sender, float** Inputs, float** Outputs, std::uint32_t SampleFrames);
  static void Copy64(TCustomVSTModule& Sender, double** Inputs, double** Outputs, std::uint32_t SampleFrames);
  static void Mute32(TCustomVSTModule& Sender, float** Inputs, float** Outputs, std::uint32_t SampleFrames);
  static void Mute64(TCustomVSTModule& Sender, double** Inputs, double** Outputs, std::uint32_t SampleFrames);
  static void Queue32(TCustomVSTModule& Sender, float** Inputs, float** Outputs, std::uint32_t SampleFrames);
  static void Queue64(TCustomVSTModule& Sender, double** Inputs, double** Outputs, std::uint32_t SampleFrames);

  std::atomic<TProcessAudio32Event> FOnProcess{nullptr};
  std::atomic<TProcessAudio32Event> FOnProcess32Replacing{nullptr};
  std::atomic<TProcessAudio64Event> FOnProcess64Replacing{nullptr};
  std::atomic<TProcessingMode> FProcessingMode{pmNormal};

  std::atomic<std::uint32_t> FBlockModeSize{1024};
  std::atomic<std::uint32_t> FBlockModeOverlap{0};
  // Write position inside the current block; reset by PrepareBlockBuffers.
  std::atomic<std::uint32_t> FBlockPosition{0};
  TScratchChannels<float> FBlockInBuffer32, FBlockOutBuffer32;
  TScratchChannels<double> FBlockInBuffer64, FBlockOutBuffer64;

  TZarnProcessingComponentList FDspQueueList;
  TZarnProcessingComponent* FDspDirectProcessItem = nullptr;
};

}  // namespace vb
