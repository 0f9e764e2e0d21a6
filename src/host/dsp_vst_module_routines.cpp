// The processing routines the modes install as effective handlers (audio
// thread). None allocates: block buffers are sized by PrepareBlockBuffers,
// queue scratch buffers whenever the block size or channel counts change.
#include <algorithm>
#include <cstring>

#include "host/dsp_vst_module.h"

namespace vb {

namespace {

template <typename T>
void CopyChannels(std::int32_t Channels, T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
  if (!Inputs || !Outputs) return;
  for (std::int32_t c = 0; c < Channels; ++c)
    if (Inputs[c] && Outputs[c] && Inputs[c] != Outputs[c])
      std::memmove(Outputs[c], Inputs[c], SampleFrames * sizeof(T));
}

template <typename T>
void MuteChannels(std::int32_t Channels, T** Outputs, std::uint32_t SampleFrames) {
  if (!Outputs) return;
  for (std::int32_t c = 0; c < Channels; ++c)
    if (Outputs[c]) std::fill(Outputs[c], Outputs[c] + SampleFrames, T{});
}

// Copies Count samples of every channel that exists on both sides, from
// Source[c] + SourceOffset to Target[c] + TargetOffset.
template <typename T>
void CopyRange(std::int32_t Channels, T** Source, std::uint32_t SourceOffset, T** Target, std::uint32_t TargetOffset,
               std::uint32_t Count) {
  if (!Source || !Target || Count == 0) return;
  for (std::int32_t c = 0; c < Channels; ++c)
    if (Source[c] && Target[c]) std::memmove(Target[c] + TargetOffset, Source[c] + SourceOffset, Count * sizeof(T));
}

}  // namespace

void TDspVSTModule::Copy32(TCustomVSTModule& Sender, float** Inputs, float** Outputs, std::uint32_t SampleFrames) {
  CopyChannels(std::min(Sender.numInputs(), Sender.numOutputs()), Inputs, Outputs, SampleFrames);
}

void TDspVSTModule::Copy64(TCustomVSTModule& Sender, double** Inputs, double** Outputs, std::uint32_t SampleFrames) {
  CopyChannels(std::min(Sender.numInputs(), Sender.numOutputs()), Inputs, Outputs, SampleFrames);
}

void TDspVSTModule::Mute32(TCustomVSTModule& Sender, float**, float** Outputs, std::uint32_t SampleFrames) {
  MuteChannels(Sender.numOutputs(), Outputs, SampleFrames);
}

void TDspVSTModule::Mute64(TCustomVSTModule& Sender, double**, double** Outputs, std::uint32_t SampleFrames) {
  MuteChannels(Sender.numOutputs(), Outputs, SampleFrames);
}

// Fixed-size blocks: input is collected into the in-buffers, output is
// served from the out-buffers the handler filled for the previous block, so
// the output lags the input by S - V samples.
template <typename T, typename THandler>
void TDspVSTModule::RunBlockMode(TScratchChannels<T>& In, TScratchChannels<T>& Out, THandler Handler, T** Inputs,
                                 T** Outputs, std::uint32_t SampleFrames) {
  const std::uint32_t s = BlockModeSize();
  const std::uint32_t v = BlockModeOverlap();
  const std::int32_t inCount = std::min(numInputs(), In.Channels());
  const std::int32_t outCount = std::min(numOutputs(), Out.Channels());
  // Buffers not prepared for the current size (set-up raced a block): skip.
  if (!Handler || v >= s || static_cast<std::uint32_t>(In.Frames()) != s ||
      static_cast<std::uint32_t>(Out.Frames()) != s || In.Channels() < numInputs() || Out.Channels() < numOutputs())
    return;
  std::uint32_t p = std::min(FBlockPosition.load(std::memory_order_relaxed), s - 1);
  std::uint32_t a = 0;
  while (a < SampleFrames) {
    const std::uint32_t r = SampleFrames - a;
    if (r + p < s) {
      CopyRange(inCount, Inputs, a, In.Pointers(), p, r);
      CopyRange(outCount, Out.Pointers(), p, Outputs, a, r);
      p += r;
      break;
    }
    const std::uint32_t n = s - p;
    CopyRange(inCount, Inputs, a, In.Pointers(), p, n);
    CopyRange(outCount, Out.Pointers(), p, Outputs, a, n);
    Handler(*this, In.Pointers(), Out.Pointers(), s);
    for (std::int32_t c = 0; c < inCount; ++c) std::memmove(In.Channel(c), In.Channel(c) + (s - v), v * sizeof(T));
    a += n;
    p = v;
  }
  FBlockPosition.store(p, std::memory_order_relaxed);
}

void TDspVSTModule::BlockProcess(TCustomVSTModule& Sender, float** Inputs, float** Outputs,
                                 std::uint32_t SampleFrames) {
  auto& self = static_cast<TDspVSTModule&>(Sender);
  self.RunBlockMode(self.FBlockInBuffer32, self.FBlockOutBuffer32, self.OnProcess(), Inputs, Outputs, SampleFrames);
}

void TDspVSTModule::BlockProcess32Replacing(TCustomVSTModule& Sender, float** Inputs, float** Outputs,
                                            std::uint32_t SampleFrames) {
  auto& self = static_cast<TDspVSTModule&>(Sender);
  self.RunBlockMode(self.FBlockInBuffer32, self.FBlockOutBuffer32, self.OnProcess32Replacing(), Inputs, Outputs,
                    SampleFrames);
}

void TDspVSTModule::BlockProcess64Replacing(TCustomVSTModule& Sender, double** Inputs, double** Outputs,
                                            std::uint32_t SampleFrames) {
  auto& self = static_cast<TDspVSTModule&>(Sender);
  self.RunBlockMode(self.FBlockInBuffer64, self.FBlockOutBuffer64, self.OnProcess64Replacing(), Inputs, Outputs,
                    SampleFrames);
}

// Queue mode: inputs pass through the scratch buffers (where registered
// components could work on them) to the outputs, piece by piece.
template <typename T>
void TDspVSTModule::RunQueue(TScratchChannels<T>& Scratch, T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
  const std::int32_t inCount = std::min(numInputs(), Scratch.Channels());
  const std::int32_t outCount = std::min(numOutputs(), Scratch.Channels());
  const auto piece = static_cast<std::uint32_t>(Scratch.Frames());
  for (std::uint32_t done = 0; done < SampleFrames; done += piece) {
    const std::uint32_t count = std::min(piece, SampleFrames - done);
    Scratch.Clear(static_cast<std::int32_t>(count));
    CopyRange(inCount, Inputs, done, Scratch.Pointers(), 0, count);
    CopyRange(outCount, Scratch.Pointers(), 0, Outputs, done, count);
  }
}

void TDspVSTModule::Queue32(TCustomVSTModule& Sender, float** Inputs, float** Outputs, std::uint32_t SampleFrames) {
  auto& self = static_cast<TDspVSTModule&>(Sender);
  self.RunQueue(self.FScratch32, Inputs, Outputs, SampleFrames);
}

void TDspVSTModule::Queue64(TCustomVSTModule& Sender, double** Inputs, double** Outputs, std::uint32_t SampleFrames) {
  auto& self = static_cast<TDspVSTModule&>(Sender);
  self.RunQueue(self.FScratch64, Inputs, Outputs, SampleFrames);
}

}  // namespace vb
