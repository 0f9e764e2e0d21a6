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

bool FiltersFinite(const TCustomOrderFilter& Filter) {
  const auto* Butterworth = dynamic_cast<const TCustomButterworthFilter*>(&Filter);
  if (!Butterworth) return true;
  for (unsigned k = 0; k < Butterworth->GetOrder(); ++k)
    if (!std::isfinite(Butterworth->State(k))) return false;
  return true;
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

void TProcessModule::Process32Replacing(const float* const* Inputs, float* const* Outputs,
                                        std::uint32_t SampleFrames) {
  FChain.Process(FSettings, FFilters, Inputs, Outputs, SampleFrames);
}

void TProcessModule::Process64Replacing(const double* const* Inputs, double* const* Outputs,
                                        std::uint32_t SampleFrames) {
  FChain.Process(FSettings, FFilters, Inputs, Outputs, SampleFrames);
}

// The block is cut into pieces that fit the work buffers at the largest
// factor; a host keeping to its announced block size gets one piece. The
// factor is read once: the resamplers may already run at another factor
// (changed from another thread), but every frame's slot of 16 samples lies
// inside the buffers whatever either factor is.
template <class T>
void TProcessModule::ProcessBlock(T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
  TWorkBufferSet* Buffers = FBuffers.Acquire();
  const std::uint32_t Piece =
      Buffers ? static_cast<std::uint32_t>(Buffers->Samples() / kMaxOSFactor) : 0;
  if (Piece == 0 || !FFilters[1].Pres) {
    Silence(kChannels, Outputs, SampleFrames);
    return;
  }
  const int Factor = std::clamp(FOSFactor.Load(), 1, kMaxOSFactor);
  std::uint32_t Done = 0;
  do {
    const std::uint32_t Frames = std::min(Piece, SampleFrames - Done);
    ProcessPiece(*Buffers, Factor, Inputs, Outputs, Done, Frames);
    Done += Frames;
  } while (Done < SampleFrames);
  RecoverAfterBlock();
}

template <class T>
void TProcessModule::ProcessPiece(TWorkBufferSet& Buffers, int Factor, T** Inputs, T** Outputs,
                                  std::uint32_t Offset, std::uint32_t Frames) {
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
  for (int c = 0; c < kChannels; ++c) {
    const T* Source = Inputs[c] + Offset;
    TZarnUpDownsampling& Resampler = *FUpDownSampling[c];
    TPeakFollower& Peak = FPeaks[c][0];
    for (std::uint32_t j = 0; j < Frames; ++j) {
      const double v = FSettings.FInputGain.Load() * Source[j];
      Peak.Update(std::fabs(v));
      if constexpr (Single)
        Resampler.Upsample32(static_cast<float>(v), In[c] + j * Factor);
      else
        Resampler.Upsample64(v, In[c] + j * Factor);
    }
  }
  FChain.Process(FSettings, FFilters, In, Out, static_cast<std::size_t>(Frames) * Factor);
  for (int c = 0; c < kChannels; ++c) {
    T* Target = Outputs[c] + Offset;
    TZarnUpDownsampling& Resampler = *FUpDownSampling[c];
    TPeakFollower& Peak = FPeaks[c][1];
    for (std::uint32_t j = 0; j < Frames; ++j) {
      double r;
      if constexpr (Single)
        r = Resampler.Downsample32(Out[c] + j * Factor);
      else
        r = Resampler.Downsample64(Out[c] + j * Factor);
      const T Sample = static_cast<T>(FSettings.FOutputGain.Load() * r);
      Target[j] = Sample;
      Peak.Update(std::fabs(static_cast<double>(Sample)));
    }
  }
}

// After a block of NaN or infinite input the resampler states and the meters
// are cleared, so that the next block sounds again. Finite states are left
// untouched.
void TProcessModule::RecoverAfterBlock() {
  for (int c = 0; c < kChannels; ++c) {
    TZarnUpDownsampling& Resampler = *FUpDownSampling[c];
    if (!FiltersFinite(Resampler.Filter(0)) || !FiltersFinite(Resampler.Filter(1))) Resampler.ResetStates();
    for (TPeakFollower& Peak : FPeaks[c]) Peak.DropNonFinite();
  }
}

}  // namespace vb
