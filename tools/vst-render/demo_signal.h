// The built-in demo: about 10 s of guitar-like plucked strings (a few
// strummed chords, then single notes, then a last chord), synthesised with
// the Karplus-Strong method so that rendering needs no input file.
//
// The result is deterministic: the same sample rate gives the same samples
// on every run (a fixed-seed generator, no clock, no global state).
#pragma once

#include <cstdint>
#include <vector>

namespace vb {

class TDemoSignal {
 public:
  static constexpr int kChannels = 2;
  static constexpr double kSeconds = 10.0;
  static constexpr double kPeak = 0.5;  // -6 dBFS after normalisation

  explicit TDemoSignal(double SampleRate = 44100.0);

  double SampleRate() const { return FSampleRate; }
  // kSeconds at the sample rate, rounded to whole frames.
  std::int64_t Frames() const;
  // The whole demo as interleaved stereo samples (Frames() * kChannels).
  std::vector<double> Render() const;

 private:
  double FSampleRate;
};

}  // namespace vb
