// Processing dispatch of TCustomVSTModule (audio thread). Allocates nothing:
// the accumulating entry works through scratch buffers sized whenever the
// block size or the channel counts change.
#include <algorithm>

#include "host/custom_vst_module.h"

namespace vb {

namespace {
// Upper bound of the scratch length; longer host blocks are processed in
// pieces, so a host announcing a huge block size costs no huge allocation.
constexpr std::int32_t kMaxScratchFrames = 8192;
}  // namespace

void TCustomVSTModule::ResizeScratchBuffers() {
  const std::int32_t channels = std::max(numInputs(), numOutputs());
  const std::int32_t frames = std::clamp(BlockSize(), 1, kMaxScratchFrames);
  FScratch32.Resize(channels, frames);
  FScratch64.Resize(channels, frames);
  FInputPieces32.assign(static_cast<std::size_t>(std::max(numInputs(), 0)), nullptr);
}

void TCustomVSTModule::SetEffectiveHandlers(TProcessAudio32Event Process, TProcessAudio32Event Process32Replacing,
                                            TProcessAudio64Event Process64Replacing) {
  FOnProcessEx.store(Process, std::memory_order_relaxed);
  FOnProcess32ReplacingEx.store(Process32Replacing, std::memory_order_relaxed);
  FOnProcess64ReplacingEx.store(Process64Replacing, std::memory_order_relaxed);
}

void TCustomVSTModule::ProcessingCallFinished() {}

void TCustomVSTModule::HostCallProcess32Replacing(float** Inputs, float** Outputs, std::int32_t SampleFrames) {
  if (TProcessAudio32Event handler = FOnProcess32ReplacingEx.load(std::memory_order_relaxed))
    handler(*this, Inputs, Outputs, static_cast<std::uint32_t>(SampleFrames));
  ProcessingCallFinished();
}

void TCustomVSTModule::HostCallProcess64Replacing(double** Inputs, double** Outputs, std::int32_t SampleFrames) {
  if (TProcessAudio64Event handler = FOnProcess64ReplacingEx.load(std::memory_order_relaxed))
    handler(*this, Inputs, Outputs, static_cast<std::uint32_t>(SampleFrames));
  ProcessingCallFinished();
}

void TCustomVSTModule::HostCallProcess(float** Inputs, float** Outputs, std::int32_t SampleFrames) {
  if (TProcessAudio32Event handler = FOnProcessEx.load(std::memory_order_relaxed)) {
    handler(*this, Inputs, Outputs, static_cast<std::uint32_t>(SampleFrames));
  } else if (TProcessAudio32Event replacing = FOnProcess32ReplacingEx.load(std::memory_order_relaxed)) {
    AccumulateThroughScratch(replacing, Inputs, Outputs, SampleFrames);
  }
  ProcessingCallFinished();
}

// The replacing handler writes into zeroed scratch buffers whose contents
// are then added onto the host's outputs, piece by piece.
void TCustomVSTModule::AccumulateThroughScratch(TProcessAudio32Event Handler, float** Inputs, float** Outputs,
                                                std::int32_t SampleFrames) {
  const std::int32_t inputCount = std::min(numInputs(), static_cast<std::int32_t>(FInputPieces32.size()));
  const std::int32_t outputCount = std::min(numOutputs(), FScratch32.Channels());
  const std::int32_t piece = FScratch32.Frames();
  for (std::int32_t done = 0; done < SampleFrames; done += piece) {
    const std::int32_t count = std::min(piece, SampleFrames - done);
    float** pieceInputs = nullptr;
    if (Inputs) {
      for (std::int32_t c = 0; c < inputCount; ++c)
        FInputPieces32[static_cast<std::size_t>(c)] = Inputs[c] ? Inputs[c] + done : nullptr;
      pieceInputs = FInputPieces32.data();
    }
    FScratch32.Clear(count);
    Handler(*this, pieceInputs, FScratch32.Pointers(), static_cast<std::uint32_t>(count));
    if (!Outputs) continue;
    for (std::int32_t c = 0; c < outputCount; ++c) {
      float* out = Outputs[c];
      if (!out) continue;
      const float* scratch = FScratch32.Channel(c);
      for (std::int32_t i = 0; i < count; ++i) out[done + i] += scratch[i];
    }
  }
}

}  // namespace vb
