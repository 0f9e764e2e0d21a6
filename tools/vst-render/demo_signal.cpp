#include "demo_signal.h"

#include <algorithm>
#include <cmath>

namespace vb {

namespace {

// ---- The score (times in seconds, notes as MIDI numbers, -1 = string not played).

struct TChord {
  double Start;
  bool UpStroke;    // high string first
  double Velocity;  // 0..1
  int Notes[6];     // low E string first
};

struct TSingleNote {
  double Start;
  int Midi;
  double Velocity;
  int String;  // 0 = low E .. 5 = high E
};

constexpr TChord kChords[] = {
    {0.00, false, 0.90, {40, 47, 52, 55, 59, 64}},  // E minor
    {1.25, true, 0.55, {40, 47, 52, 55, 59, 64}},
    {2.00, false, 0.85, {-1, 48, 52, 55, 60, 64}},  // C major
    {3.00, false, 0.85, {43, 47, 50, 55, 59, 67}},  // G major
    {4.00, false, 0.80, {-1, -1, 50, 57, 62, 66}},  // D major
    {4.50, true, 0.50, {-1, -1, 50, 57, 62, 66}},
    {7.80, false, 1.00, {40, 47, 52, 55, 59, 64}},  // E minor, left ringing
};

constexpr TSingleNote kMelody[] = {
    {5.10, 64, 0.80, 4}, {5.40, 67, 0.75, 5}, {5.70, 69, 0.80, 5}, {6.00, 71, 0.85, 5}, {6.30, 74, 0.90, 5},
    {6.60, 71, 0.75, 5}, {6.90, 69, 0.75, 5}, {7.20, 67, 0.70, 5}, {7.45, 64, 0.80, 4},
};

constexpr double kStrumStep = 0.012;      // s between neighbouring strings of a strum
constexpr double kDecaySeconds = 7.0;     // s for a string's fundamental to fall by 60 dB
constexpr double kDampSeconds = 0.008;    // s of fade when a string is re-plucked
constexpr double kFadeOutSeconds = 0.25;  // s of fade at the very end
constexpr double kSingleNoteGain = 2.0;   // linear, against one string of a chord
constexpr double kPluckPosition = 0.18;   // fraction of the string length from the bridge
constexpr double kStringPan[6] = {-0.35, -0.2, -0.07, 0.07, 0.2, 0.35};  // -1 left .. 1 right

struct TNote {
  double Start;
  double End;  // the next pluck of the same string, or the end of the demo
  int Midi;
  double Velocity;
  int String;
  double Gain;  // single notes stand out against six-string chords
};

// Small deterministic noise source (xorshift32).
class TNoise {
 public:
  explicit TNoise(std::uint32_t Seed) : FState(Seed ? Seed : 1u) {}
  double Next() {  // uniform in -1..1
    FState ^= FState << 13;
    FState ^= FState >> 17;
    FState ^= FState << 5;
    return static_cast<double>(FState) / 2147483648.0 - 1.0;
  }

 private:
  std::uint32_t FState;
};

// One Karplus-Strong string: a delay line of one period, a two-point
// average as the loss filter, a first-order all-pass for fine tuning.
class TPluckedString {
 public:
  TPluckedString(double SampleRate, double Frequency, double Velocity, std::uint32_t Seed) {
    double period = SampleRate / Frequency - 0.5;  // the average adds half a sample
    int length = std::max(2, static_cast<int>(period));
    double frac = period - length;
    if (frac < 0.1) {  // keep the all-pass away from its pole near -1
      --length;
      frac += 1.0;
    }
    FTune = (1.0 - frac) / (1.0 + frac);
    FLoss = std::pow(10.0, -3.0 / (kDecaySeconds * Frequency));
    FLine.assign(static_cast<size_t>(length), 0.0);
    Excite(Velocity, Seed);
  }

  double Tick() {
    double out = FLine[FPos];
    double averaged = 0.5 * (out + FLast);
    FLast = out;
    // First-order all-pass: y = c*x + x1 - c*y1.
    double tuned = FTune * averaged + FApX - FTune * FApY;
    FApX = averaged;
    FApY = tuned;
    FLine[FPos] = FLoss * tuned;
    FPos = FPos + 1 == FLine.size() ? 0 : FPos + 1;
    return out;
  }

 private:
  // Fills the line with a low-passed noise burst, thinned by a comb at the
  // pluck position; soft plucks are darker.
  void Excite(double Velocity, std::uint32_t Seed) {
    TNoise noise(Seed);
    double brightness = 0.35 + 0.5 * Velocity;  // one-pole coefficient of the excitation
    double state = 0.0;
    for (double& s : FLine) {
      state += brightness * (noise.Next() - state);
      s = state;
    }
    size_t delay = std::max<size_t>(1, static_cast<size_t>(kPluckPosition * FLine.size()));
    for (size_t i = FLine.size(); i-- > delay;) FLine[i] -= FLine[i - delay];
    double mean = 0.0;
    for (double s : FLine) mean += s;
    mean /= static_cast<double>(FLine.size());
    for (double& s : FLine) s = (s - mean) * Velocity;
  }

  std::vector<double> FLine;
  size_t FPos = 0;
  double FLast = 0.0;
  double FTune = 0.0;
  double FApX = 0.0;
  double FApY = 0.0;
  double FLoss = 1.0;
};

double MidiToHz(int Midi) { return 440.0 * std::pow(2.0, (Midi - 69) / 12.0); }

// Expands the chords into single plucks and gives each its end time.
std::vector<TNote> ExpandScore(double Seconds) {
  std::vector<TNote> notes;
  for (const TChord& c : kChords) {
    int order = 0;
    for (int k = 0; k < 6; ++k) {
      int s = c.UpStroke ? 5 - k : k;
      if (c.Notes[s] < 0) continue;
      notes.push_back({c.Start + kStrumStep * order, Seconds, c.Notes[s], c.Velocity, s, 1.0});
      ++order;
    }
  }
  for (const TSingleNote& n : kMelody)
    notes.push_back({n.Start, Seconds, n.Midi, n.Velocity, n.String, kSingleNoteGain});
  std::stable_sort(notes.begin(), notes.end(), [](const TNote& A, const TNote& B) { return A.Start < B.Start; });
  for (size_t i = 0; i < notes.size(); ++i) {
    for (size_t j = i + 1; j < notes.size(); ++j) {
      if (notes[j].String == notes[i].String) {
        notes[i].End = notes[j].Start;
        break;
      }
    }
  }
  return notes;
}

}  // namespace

TDemoSignal::TDemoSignal(double SampleRate) : FSampleRate(SampleRate) {}

std::int64_t TDemoSignal::Frames() const { return static_cast<std::int64_t>(std::llround(kSeconds * FSampleRate)); }

std::vector<double> TDemoSignal::Render() const {
  const std::int64_t frames = Frames();
  std::vector<double> out(static_cast<size_t>(frames) * kChannels, 0.0);
  const std::int64_t damp = std::max<std::int64_t>(1, std::llround(kDampSeconds * FSampleRate));

  std::uint32_t seed = 0x9E3779B9u;
  for (const TNote& n : ExpandScore(kSeconds)) {
    seed = seed * 1664525u + 1013904223u;
    TPluckedString string(FSampleRate, MidiToHz(n.Midi), n.Velocity, seed);
    std::int64_t begin = std::llround(n.Start * FSampleRate);
    std::int64_t end = std::min<std::int64_t>(frames, std::llround(n.End * FSampleRate) + damp);
    std::int64_t dampFrom = end - damp;
    double pan = kStringPan[n.String];
    double left = n.Gain * std::sqrt(0.5 * (1.0 - pan));
    double right = n.Gain * std::sqrt(0.5 * (1.0 + pan));
    for (std::int64_t i = begin; i < end; ++i) {
      double s = string.Tick();
      if (end < frames && i >= dampFrom) s *= static_cast<double>(end - i) / static_cast<double>(damp);
      out[static_cast<size_t>(i) * 2] += left * s;
      out[static_cast<size_t>(i) * 2 + 1] += right * s;
    }
  }

  const std::int64_t fade = std::min<std::int64_t>(frames, std::llround(kFadeOutSeconds * FSampleRate));
  for (std::int64_t i = frames - fade; i < frames; ++i) {
    double g = static_cast<double>(frames - 1 - i) / static_cast<double>(fade);
    out[static_cast<size_t>(i) * 2] *= g;
    out[static_cast<size_t>(i) * 2 + 1] *= g;
  }

  double peak = 0.0;
  for (double s : out) peak = std::max(peak, std::fabs(s));
  if (peak > 0.0) {
    double gain = kPeak / peak;
    for (double& s : out) s *= gain;
  }
  return out;
}

}  // namespace vb
