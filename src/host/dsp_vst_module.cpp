#include "host/dsp_vst_module.h"

#include <algorithm>
#include <cstring>

#include "error/error.h"

namespace vb {

TDspVSTModule::TDspVSTModule(TComponent* AOwner) : TVSTModuleWithPrograms(AOwner) {
  FBlockPosition.store(BlockModeOverlap(), std::memory_order_relaxed);
}

TDspVSTModule::~TDspVSTModule() = default;

// --- Handlers and modes -------------------------------------------------------

void TDspVSTModule::SetOnProcess(TProcessAudio32Event Value) {
  if (Value == OnProcess()) return;
  FOnProcess.store(Value, std::memory_order_relaxed);
  UpdateEffectiveHandlers();
}

void TDspVSTModule::SetOnProcess32Replacing(TProcessAudio32Event Value) {
  if (Value == OnProcess32Replacing()) return;
  FOnProcess32Replacing.store(Value, std::memory_order_relaxed);
  UpdateEffectiveHandlers();
}

void TDspVSTModule::SetOnProcess64Replacing(TProcessAudio64Event Value) {
  if (Value == OnProcess64Replacing()) return;
  FOnProcess64Replacing.store(Value, std::memory_order_relaxed);
  UpdateEffectiveHandlers();
}

void TDspVSTModule::UpdateEffectiveHandlers() {
  switch (ProcessingMode()) {
    case pmNormal:
      SetEffectiveHandlers(OnProcess(), OnProcess32Replacing(), OnProcess64Replacing());
      break;
    case pmBlockSave:
      SetEffectiveHandlers(OnProcess() ? &BlockProcess : nullptr,
                           OnProcess32Replacing() ? &BlockProcess32Replacing : nullptr,
                           OnProcess64Replacing() ? &BlockProcess64Replacing : nullptr);
      break;
    case pmCopy:
      SetEffectiveHandlers(&Copy32, &Copy32, &Copy64);
      break;
    case pmMute:
      SetEffectiveHandlers(&Mute32, &Mute32, &Mute64);
      break;
    case pmDspQueue:
      SetEffectiveHandlers(&Queue32, &Queue32, &Queue64);
      break;
  }
}

void TDspVSTModule::SetProcessingMode(TProcessingMode Value) {
  const TProcessingMode old = ProcessingMode();
  if (Value == old) return;
  FProcessingMode.store(Value, std::memory_order_relaxed);
  UpdateEffectiveHandlers();
  if (Value == pmBlockSave) {
    PrepareBlockBuffers();
  } else if (old == pmBlockSave) {
    // Leaving block mode releases its buffers and its added latency.
    PrepareBlockBuffers();
    InitialDelayChanged();
  }
}

// --- Block mode settings ------------------------------------------------------

void TDspVSTModule::SetBlockModeSize(std::uint32_t Value) {
  if (Value != 0) {
    FBlockModeSize.store(Value, std::memory_order_relaxed);
    // The overlap must stay below the block size, or the overlap copy would
    // reach before the start of the block buffer.
    if (BlockModeOverlap() >= Value) FBlockModeOverlap.store(Value - 1, std::memory_order_relaxed);
  }
  FBlockPosition.store(BlockModeOverlap(), std::memory_order_relaxed);
  PrepareBlockBuffers();
}

void TDspVSTModule::SetBlockModeOverlap(std::uint32_t Value) {
  if (Value >= BlockModeSize()) return;
  FBlockModeOverlap.store(Value, std::memory_order_relaxed);
  if (ProcessingMode() == pmBlockSave) RefreshBlockDelay();
}

void TDspVSTModule::RefreshBlockDelay() {
  if (static_cast<std::int64_t>(FEffect.InitialDelay) < static_cast<std::int64_t>(BlockModeSize() - BlockModeOverlap()))
    InitialDelayChanged();
}

void TDspVSTModule::InitialDelayChanged() {
  std::int64_t delay = InitialDelayProperty();
  if (ProcessingMode() == pmBlockSave)
    delay = std::max<std::int64_t>(delay, static_cast<std::int64_t>(BlockModeSize() - BlockModeOverlap()));
  FEffect.InitialDelay = static_cast<std::int32_t>(std::min<std::int64_t>(delay, INT32_MAX));
  if (HostProduct() == "energyXT") HostIOChanged();
}

void TDspVSTModule::PrepareBlockBuffers() {
  if (ProcessingMode() == pmBlockSave) {
    const auto size = static_cast<std::int32_t>(std::min<std::uint32_t>(BlockModeSize(), INT32_MAX));
    FBlockInBuffer32.Resize(numInputs(), size);
    FBlockOutBuffer32.Resize(numOutputs(), size);
    FBlockInBuffer64.Resize(numInputs(), size);
    FBlockOutBuffer64.Resize(numOutputs(), size);
    FBlockPosition.store(BlockModeOverlap(), std::memory_order_relaxed);
    RefreshBlockDelay();
  } else {
    FBlockInBuffer32 = {};
    FBlockOutBuffer32 = {};
    FBlockInBuffer64 = {};
    FBlockOutBuffer64 = {};
  }
}

// --- Components -------------------------------------------------------------

void TDspVSTModule::RegisterDSPItem(TZarnProcessingComponent* Item) {
  if (!Item) return;
  FDspQueueList.Add(Item);
  if (ProcessingMode() == pmDspQueue && !FDspDirectProcessItem) FDspDirectProcessItem = Item;
  Item->SetSampleRate(SampleRate());
  Item->SetChannels(std::max(numInputs(), numOutputs()));
}

void TDspVSTModule::UnRegisterDSPItem(TZarnProcessingComponent* Item) {
  if (!FDspQueueList.Contains(Item)) return;
  FDspQueueList.Remove(Item);
  if (FDspDirectProcessItem == Item) FDspDirectProcessItem = FDspQueueList.First();
}

void TDspVSTModule::SetDspDirectProcessItem(TZarnProcessingComponent* Value) {
  if (Value == FDspDirectProcessItem) return;
  if (!Value) {
    FDspDirectProcessItem = nullptr;
    return;
  }
  if (!FDspQueueList.Contains(Value)) throw EVstError(TErrorCode::ecDspQueueOrder);
  FDspDirectProcessItem = Value;
  SetProcessingMode(pmDspQueue);
}

void TDspVSTModule::SampleRateChanged() {
  FDspQueueList.SetSampleRate(SampleRate());
  TVSTModuleWithPrograms::SampleRateChanged();
}

void TDspVSTModule::IOChanged() {
  TVSTModuleWithPrograms::IOChanged();
  FDspQueueList.SetChannels(std::max(numInputs(), numOutputs()));
}

void TDspVSTModule::ProcessMidiEvent(TVstMidiEvent& Event) {
  bool filter = false;
  FDspQueueList.ProcessMidiEventQueue(Event, filter);
  if (!filter) TVSTModuleWithPrograms::ProcessMidiEvent(Event);
}

}  // namespace vb
