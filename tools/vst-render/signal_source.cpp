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

}  // namespace vb
