#include "signal_source.h"

#include <algorithm>

namespace vb {

TMemorySource::TMemorySource(std::vector<double> Interleaved, int Channels, double SampleRate)
    : FSamples(std::move(Interleaved)), FChannels(Channels), FSampleRate(SampleRate) {}

std::int64_t TMemorySource::Frames() const { return static_cast<std::int64_t>(FSamples.size()) / FChannels; }

std::int64_t TMemorySource::Read(double* Interleaved, std::int64_t Wanted, std::string&) {
  std::int64_t n = std::min(Wanted, Frames() - FPos);
  std::copy_n(FSamples.begin() + FPos * FChannels, n * FChannels, Interleaved);
  FPos += n;
  return n;
}

std::int64_t TLimitedSource::Frames() const {
  const std::int64_t all = FSource.Frames();
  return all > 0 ? std::min(all, FLimit) : FLimit;
}

std::int64_t TLimitedSource::Read(double* Interleaved, std::int64_t Frames, std::string& Error) {
  if (FPos >= FLimit) return 0;
  const std::int64_t n = FSource.Read(Interleaved, std::min(Frames, FLimit - FPos), Error);
  if (n > 0) FPos += n;
  return n;
}

std::int64_t TSilenceSource::Read(double* Interleaved, std::int64_t Frames, std::string&) {
  const std::int64_t n = std::min(Frames, FFrames - FPos);
  std::fill(Interleaved, Interleaved + n * FChannels, 0.0);
  FPos += n;
  return n;
}

}  // namespace vb
