// Renders one plug-in over a fixed matrix of settings, so that two builds
// of it (the Linux library and the Windows DLL under Wine) can be compared
// sample for sample.
//
//   render-matrix PLUGIN OUT         writes every output sample as doubles:
//                                    OUT.64 from 64-bit processing, OUT.32
//                                    from 32-bit
//   render-matrix --compare A B TOL  prints the largest difference; exit 1
//                                    when it exceeds TOL or the files differ
//                                    in length
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "support/test_host.h"

namespace {

constexpr int kSettings = 48;
constexpr std::size_t kFrames = 2048;
constexpr float kSampleRate = 44100.0f;
constexpr double kPi = 3.14159265358979323846;

// The same numbers on every system: a plain linear congruential generator.
struct TSequence {
  std::uint32_t State = 12345;
  double Next() {
    State = State * 1664525u + 1013904223u;
    return (State >> 8) / double(1u << 24);
  }
};

// A chord, a sweep and some noise, loud enough to drive the clipper.
std::vector<std::vector<double>> TestSignal(TSequence& Numbers) {
  std::vector<std::vector<double>> channels(2, std::vector<double>(kFrames));
  for (std::size_t i = 0; i < kFrames; ++i) {
    const double t = double(i) / kSampleRate;
    const double tone = 0.5 * std::sin(2 * kPi * 110 * t) + 0.3 * std::sin(2 * kPi * (200 + 4000 * t) * t);
    channels[0][i] = tone + 0.1 * (Numbers.Next() - 0.5);
    channels[1][i] = 0.8 * tone - 0.1 * (Numbers.Next() - 0.5);
  }
  return channels;
}

int Render(const std::string& Plugin, const std::string& Out) {
  vb::test::TTestHost host(Plugin);
  if (host.StartUp(kSampleRate, std::int32_t(kFrames)) == nullptr) return 2;
  const std::int32_t parameters = host.Effect()->numParams;
  std::ofstream file(Out + ".64", std::ios::binary);
  std::ofstream file32(Out + ".32", std::ios::binary);
  TSequence numbers;
  for (int setting = 0; setting < kSettings; ++setting) {
    for (std::int32_t index = 0; index < parameters; ++index) host.SetParameter(index, float(numbers.Next()));
    const auto input = TestSignal(numbers);
    // Twice: the first block settles the parameter changes.
    for (int pass = 0; pass < 2; ++pass) {
      const auto output = host.Process64(input);
      if (pass == 1)
        for (const auto& channel : output)
          file.write(reinterpret_cast<const char*>(channel.data()), std::streamsize(channel.size() * sizeof(double)));
    }
    std::vector<std::vector<float>> input32(2, std::vector<float>(kFrames));
    for (std::size_t c = 0; c < 2; ++c)
      std::transform(input[c].begin(), input[c].end(), input32[c].begin(), [](double V) { return float(V); });
    for (const auto& channel : host.Process32(input32))
      for (float sample : channel) {
        const double wide = sample;
        file32.write(reinterpret_cast<const char*>(&wide), sizeof wide);
      }
  }
  host.Close();
  return file.good() && file32.good() ? 0 : 2;
}

std::vector<double> Read(const std::string& Path) {
  std::ifstream file(Path, std::ios::binary);
  std::vector<double> values;
  double value = 0;
  while (file.read(reinterpret_cast<char*>(&value), sizeof value)) values.push_back(value);
  return values;
}

int Compare(const std::string& A, const std::string& B, double Tolerance) {
  const std::vector<double> first = Read(A), second = Read(B);
  if (first.empty() || first.size() != second.size()) {
    std::cout << "render-matrix: " << first.size() << " against " << second.size() << " samples\n";
    return 1;
  }
  double largest = 0;
  std::size_t differing = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    const double difference = std::fabs(first[i] - second[i]);
    if (!(difference <= largest)) largest = difference;  // a NaN counts as the largest
    differing += first[i] != second[i];
  }
  std::cout << "render-matrix: " << first.size() << " samples, " << differing << " differ, largest difference "
            << largest << " (tolerance " << Tolerance << ")\n";
  return largest <= Tolerance ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 4 && args[0] == "--compare") return Compare(args[1], args[2], std::stod(args[3]));
    if (args.size() == 2) return Render(args[0], args[1]);
  } catch (const std::exception& failure) {
    std::cerr << "render-matrix: " << failure.what() << "\n";
    return 2;
  }
  std::cerr << "usage: render-matrix PLUGIN OUT | render-matrix --compare A B TOLERANCE\n";
  return 2;
}
