// Another source at another sample rate (-s RATE when the input's rate
// differs), converted by libsoxr at its very-high quality: no gap at the
// start (the converter's delay is taken out), as many frames as the
// duration asks for at the new rate.
//
// Threads: one source per render thread.
#pragma once

#include <string>
#include <vector>

#include "signal_source.h"

namespace vb {

class TResampledSource final : public TSignalSource {
 public:
  TResampledSource(TSignalSource& Source, double Rate);
  ~TResampledSource() override;
  TResampledSource(const TResampledSource&) = delete;
  TResampledSource& operator=(const TResampledSource&) = delete;

  // False (with the reason) when this build has no converter or it
  // cannot be made for these rates.
  bool Ok(std::string& Error) const;
  int Channels() const override { return FSource.Channels(); }
  double SampleRate() const override { return FRate; }
  std::int64_t Frames() const override;
  std::int64_t Read(double* Interleaved, std::int64_t Frames, std::string& Error) override;

 private:
  TSignalSource& FSource;
  double FRate;
  void* FConverter = nullptr;  // soxr_t
  std::string FError;
  std::vector<double> FIn;  // source frames not yet taken by the converter
  size_t FInFrames = 0;
  size_t FInTaken = 0;
  bool FSourceEnded = false;
  bool FFlushed = false;
};

// The name of the converter this build uses, for notes; empty without one.
std::string ResamplerName();

}  // namespace vb
