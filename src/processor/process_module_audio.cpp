// The audio handlers of TProcessModule (audio thread). Nothing here
// allocates, locks or calls the system.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "processor/process_module.h"

namespace vb {

namespace {

template <class T>
void CopyChannels(int Channels, T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
  for (int c = 0; c < Channels; ++c) std::memmove(Outputs[c], Inputs[c], SampleFrames * sizeof(T));
}

template <class T>
void Silence(int Channels, T** Outputs, std::uint32_t SampleFrames) {
  for (int c = 0; c < Channels; ++c) std::fill(Outputs[c], Outputs[c] + SampleFrames, T{});
}

}  // namespace

void TProcessModule::VSTModuleProcess32Replacing(TCustomVSTModule& Sender, float** Inputs, float** Outputs,
                                                 std::uint32_t SampleFrames) {
  static_cast<TProcessModule&>(Sender).ProcessBlock(Inputs, Outputs, SampleFrames);
}

void TProcessModule::VSTModuleProcess64Replacing(TCustomVSTModule& Sender, double** Inputs, double** Outputs,
                                                 std::uint32_t SampleFrames) {
  static_cast<TProcessModule&>(Sender).ProcessBlock(Inputs, Outputs, SampleFrames);
}

// Power off: inputs copied to outputs (also when both are the same memory);
// no filter, resampler or meter moves.
void TProcessModule::VSTModuleProcessBypass32(TCustomVSTModule& Sender, float** Inputs, float** Outputs,
                                              std::uint32_t SampleFrames) {
  CopyChannels(std::min(Sender.numInputs(), Sender.numOutputs()), Inputs, Outputs, SampleFrames);
}

void TProcessModule::VSTModuleProcessBypass64(TCustomVSTModule& Sender, double** Inputs, double** Outputs,
                                              std::uint32_t SampleFrames) {
  CopyChannels(std::min(Sender.numInputs(), Sender.numOutputs()), Inputs, Outputs, SampleFrames);
}

void TProcessModule::ProcessDriveChain32(const float* const* Inputs, float* const* Outputs,
                                         std::uint32_t SampleFrames) {
  if (!FFilters[1].Pres) return;
  TakeControls();
  FChain.Process(FSettings, FFilters, Inputs, Outputs, SampleFrames, false);
}

void TProcessModule::ProcessDriveChain64(const double* const* Inputs, double* const* Outputs,
                                         std::uint32_t SampleFrames) {
  if (!FFilters[1].Pres) return;
  TakeControls();
  FChain.Process(FSettings, FFilters, Inputs, Outputs, SampleFrames, false);
}

// The block is cut into pieces that fit the work buffers at the largest
// factor; a host keeping to its announced block size gets one piece. The
// published values are taken once, at the start of the block: factor,
// coefficients, poles and gains all come from that one snapshot and stay
// for the whole block. Every frame's slot of at most 16 samples lies inside
// the buffers.
template <class T>
void TProcessModule::ProcessBlock(T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
  TWorkBufferSet* Buffers = FBuffers.Acquire();
  const std::uint32_t Piece = Buffers ? static_cast<std::uint32_t>(Buffers->Samples() / kMaxOSFactor) : 0;
  if (Piece == 0 || !FFilters[1].Pres) {
    Silence(kChannels, Outputs, SampleFrames);
    return;
  }
  TakeControls();
  const int Factor = FFactorInUse;
  std::uint32_t Done = 0;
  do {
    const std::uint32_t Frames = std::min(Piece, SampleFrames - Done);
    ProcessPiece(*Buffers, Factor, Inputs, Outputs, Done, Frames);
    Done += Frames;
  } while (Done < SampleFrames);
  RecoverAfterBlock();
}

template <class T>
void TProcessModule::ProcessPiece(TWorkBufferSet& Buffers, int Factor, T** Inputs, T** Outputs, std::uint32_t Offset,
                                  std::uint32_t Frames) {
  constexpr bool Single = std::is_same_v<T, float>;
  T** In;
  T** Out;
  if constexpr (Single) {
    In = Buffers.In32();
    Out = Buffers.Out32();
  } else {
    In = Buffers.In64();
    Out = Buffers.Out64();
  }
  // Input gain, then Factor samples per frame and channel.
  const T* Source0 = Inputs[0] + Offset;
  const T* Source1 = Inputs[1] + Offset;
  const double InputGain = FSettings.FInputGain;
  for (std::uint32_t j = 0; j < Frames; ++j) {
    const double v0 = InputGain * Source0[j], v1 = InputGain * Source1[j];
    const std::size_t At = static_cast<std::size_t>(j) * Factor;
    // The 32-bit resampler takes the gained input as a Single. (Rounded with
    // an explicit conversion: the compiler was seen to drop a float cast
    // between two doubles here.)
    if constexpr (Single)
      FResampler.Upsample(RoundToSingle(Lanes(v0, v1)), Factor, In[0] + At, In[1] + At);
    else
      FResampler.Upsample(Lanes(v0, v1), Factor, In[0] + At, In[1] + At);
  }

  FChain.Process(FSettings, FFilters, In, Out, static_cast<std::size_t>(Frames) * Factor, false);

  // One sample per frame and channel and output gain. Both meters follow
  // here, in locals stored once per piece: the four followers' dependency
  // chains then overlap (an editor reset racing the piece may be lost, which
  // only delays it). Each frame's input is read before its output is
  // written, so in-place buffers are fine.
  T* Target0 = Outputs[0] + Offset;
  T* Target1 = Outputs[1] + Offset;
  float InPeak0 = FPeaks[0][0].Peak(), InPeak1 = FPeaks[1][0].Peak();
  float Peak0 = FPeaks[0][1].Peak(), Peak1 = FPeaks[1][1].Peak();
  const double OutputGain = FSettings.FOutputGain;
  for (std::uint32_t j = 0; j < Frames; ++j) {
    InPeak0 = TPeakFollower::Next(InPeak0, std::fabs(InputGain * Source0[j]));
    InPeak1 = TPeakFollower::Next(InPeak1, std::fabs(InputGain * Source1[j]));
    const std::size_t At = static_cast<std::size_t>(j) * Factor;
    const TLanes r = FResampler.Downsample(Out[0] + At, Out[1] + At, Factor);
    T o0, o1;
    if constexpr (Single) {
      // The resampler's 32-bit result is a Single before the gain applies.
      const TLanes r32 = RoundToSingle(r);
      o0 = static_cast<float>(OutputGain * Lane0(r32));
      o1 = static_cast<float>(OutputGain * Lane1(r32));
    } else {
      o0 = OutputGain * Lane0(r);
      o1 = OutputGain * Lane1(r);
    }
    Target0[j] = o0;
    Target1[j] = o1;
    Peak0 = TPeakFollower::Next(Peak0, std::fabs(static_cast<double>(o0)));
    Peak1 = TPeakFollower::Next(Peak1, std::fabs(static_cast<double>(o1)));
  }
  FPeaks[0][0].SetPeak(InPeak0);
  FPeaks[1][0].SetPeak(InPeak1);
  FPeaks[0][1].SetPeak(Peak0);
  FPeaks[1][1].SetPeak(Peak1);
}

// After a block of NaN or infinite input the meters are cleared, so that
// they read again; the filter states recover in the chain and resampler.
void TProcessModule::RecoverAfterBlock() {
  FResampler.End();
  for (auto& Channel : FPeaks)
    for (TPeakFollower& Peak : Channel) Peak.DropNonFinite();
}

}  // namespace vb
