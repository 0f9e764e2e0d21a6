// The audio handlers of TProcessModule (audio thread). Nothing here
// allocates, locks or calls the system.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "processor/drive_block.h"
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

// The block is cut into pieces of the frames the work buffers hold (the
// announced block size, at most kMaxBufferedFrames); a host keeping to its
// announced block size gets one piece. The block routines need no buffer,
// but each piece ends with the chain's flush and state checks, which stay
// where they always were. The published values are taken once, at the start
// of the block: factor, coefficients, poles and gains all come from that one
// snapshot and stay for the whole block.
template <class T>
void TProcessModule::ProcessBlock(T** Inputs, T** Outputs, std::uint32_t SampleFrames) {
  TWorkBufferSet* buffers = FBuffers.Acquire();
  const std::uint32_t piece = buffers ? static_cast<std::uint32_t>(buffers->Samples() / kMaxOSFactor) : 0;
  if (piece == 0 || !FFilters[1].Pres) {
    Silence(kChannels, Outputs, SampleFrames);
    return;
  }
  TakeControls();
  const int factor = FFactorInUse;
  std::uint32_t done = 0;
  do {
    const std::uint32_t frames = std::min(piece, SampleFrames - done);
    ProcessPiece(factor, Inputs, Outputs, done, frames);
    done += frames;
  } while (done < SampleFrames);
  RecoverAfterBlock();
}

// One piece through the bound block routine; the meters follow in the
// routine's locals and are stored once per piece (an editor reset racing
// the piece may be lost, which only delays it).
template <class T>
void TProcessModule::ProcessPiece(int Factor, T** Inputs, T** Outputs, std::uint32_t Offset, std::uint32_t Frames) {
  TDriveBlockJob<T> job;
  job.Chain = &FChain;
  job.Resampler = &FResampler;
  job.Settings = &FSettings;
  job.Factor = Factor;
  job.Frames = Frames;
  for (int c = 0; c < kChannels; ++c) {
    job.In[c] = Inputs[c] + Offset;
    job.Out[c] = Outputs[c] + Offset;
    for (int which = 0; which < 2; ++which) job.Peaks[c][which] = FPeaks[c][which].Peak();
  }
  if constexpr (std::is_same_v<T, float>)
    ProcessDriveBlock32(job);
  else
    ProcessDriveBlock64(job);
  for (int c = 0; c < kChannels; ++c)
    for (int which = 0; which < 2; ++which) FPeaks[c][which].SetPeak(job.Peaks[c][which]);
}

// After a block of NaN or infinite input the meters are cleared, so that
// they read again; the filter states recover in the chain and resampler.
void TProcessModule::RecoverAfterBlock() {
  FResampler.End();
  for (auto& channel : FPeaks)
    for (TPeakFollower& peak : channel) peak.DropNonFinite();
}

}  // namespace vb
