#include "signal_source.h"

#include <algorithm>

namespace vb {

TMemorySource::TMemorySource(std::vector<double> interleaved, int channels, double sampleRate)
    : FSamples(std::move(interleaved)), FChannels(channels), FSampleRate(sampleRate) {}

std::int64_t TMemorySource::Frames() const { return static_cast<std::int64_t>(FSamples.size()) / FChannels; }

std::int64_t TMemorySource::Read(double* interleaved, std::int64_t frames, std::string&) {
  std::int64_t n = std::min(frames, Frames() - FPos);
  std::copy_n(FSamples.begin() + FPos * FChannels, n * FChannels, interleaved);
  FPos += n;
  return n;
}

std::int64_t TLimitedSource::Frames() const {
  const std::int64_t all = FSource.Frames();
  return all > 0 ? std::min(all, FLimit) : FLimit;
}

std::int64_t TLimitedSource::Read(double* interleaved, std::int64_t frames, std::string& error) {
  if (FPos >= FLimit) return 0;
  const std::int64_t n = FSource.Read(interleaved, std::min(frames, FLimit - FPos), error);
  if (n > 0) FPos += n;
  return n;
}

std::int64_t TSilenceSource::Read(double* interleaved, std::int64_t frames, std::string&) {
  const std::int64_t n = std::min(frames, FFrames - FPos);
  std::fill(interleaved, interleaved + n * FChannels, 0.0);
  FPos += n;
  return n;
}

}  // namespace vb
