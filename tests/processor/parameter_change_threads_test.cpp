// Guards parameter changes made on other threads while the audio thread
// processes: such a change must sound like the same change made between two
// blocks (no burst from a block that mixes two tunings), writers racing
// each other must not leave a filter tuned to a value that is no longer the
// stored one, and the editor still hears of every change on the thread that
// made it. The threads start together and each test runs until it has
// counted enough operations that really overlapped (thread_overlap.h).
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/vst_editor.h"
#include "process_module_internals.h"
#include "processor/drive_parameter.h"
#include "processor/process_module.h"
#include "processor/process_module_description.h"
#include "support/thread_overlap.h"

namespace vb {
namespace {

using test::TOverlapProbe;
using test::TStartLine;

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
// The sanitizers look for races and bad accesses, which need fewer rounds.
constexpr long kRounds = 1;
constexpr int kReferenceBlocks = 300;
#else
constexpr long kRounds = 10;
constexpr int kReferenceBlocks = 1500;
#endif
// Overlapping operations to count before a test may conclude.
constexpr long kOverlapsWanted = 2000 * kRounds;

std::unique_ptr<TProcessModule> NewModule(std::int32_t BlockSize) {
  std::unique_ptr<TProcessModule> m(CreateVSTModule<TProcessModule>(nullptr));
  m->VSTModuleBlockSizeChange(BlockSize);
  return m;
}

// Blocks that let a module settle at a parameter's first value before the
// changes start, so that the changes are all that moves it.
constexpr int kSettlingBlocks = 40;

// Feeds a module blocks of a +-1 square wave (100 frames per period) on
// both channels and answers each block's output peak (a non-finite sample
// counts as an endless peak).
class TSquareWaveRun {
 public:
  TSquareWaveRun(TProcessModule& M, std::int32_t Frames) : FModule(M), FIn(Frames), FOut{FIn, FIn} {}

  double Block() {
    for (std::size_t i = 0; i < FIn.size(); ++i) FIn[i] = (FFrame++ / 50) % 2 ? -1.0 : 1.0;
    double* in[2] = {FIn.data(), FIn.data()};
    double* out[2] = {FOut[0].data(), FOut[1].data()};
    FModule.HostCallProcess64Replacing(in, out, static_cast<std::int32_t>(FIn.size()));
    double peak = 0;
    for (const auto& channel : FOut)
      for (double v : channel) peak = std::max(peak, std::isfinite(v) ? std::fabs(v) : HUGE_VAL);
    return peak;
  }

 private:
  TProcessModule& FModule;
  std::vector<double> FIn;
  std::vector<double> FOut[2];
  std::int64_t FFrame = 0;
};

struct TToggle {
  TDriveParameter Parameter;
  float A, B;
  std::int32_t Block;  // frames
  long RacedBlocks;    // blocks raced by a change, to count before concluding
};

// The highest block peak when the parameter goes back and forth between
// blocks on the audio thread itself: once at every block, at every third
// one, at pseudo-random ones, and up to three times at pseudo-random ones
// (another thread's writer may change it several times within one block).
double PeakOfChangesBetweenBlocks(const TToggle& T) {
  double peak = 0;
  for (int pattern = 0; pattern < 4; ++pattern) {
    auto m = NewModule(T.Block);
    TSquareWaveRun run(*m, T.Block);
    m->SetParameter(T.Parameter, T.A);
    for (int block = 0; block < kSettlingBlocks; ++block) run.Block();
    std::uint32_t seed = 7;
    bool atA = true;
    for (int block = 0; block < kReferenceBlocks; ++block) {
      seed = seed * 1664525u + 1013904223u;
      const int changes = pattern == 0   ? 1
                          : pattern == 1 ? (block % 3 == 0)
                          : pattern == 2 ? static_cast<int>(seed >> 31)
                                         : static_cast<int>(seed >> 30);
      for (int change = 0; change < changes; ++change) m->SetParameter(T.Parameter, (atA = !atA) ? T.A : T.B);
      peak = std::max(peak, run.Block());
    }
  }
  return peak;
}

class TParameterChangeRace : public ::testing::TestWithParam<TToggle> {};

// Blocks "raced" by a change are those during which the writer was inside
// SetParameter at some moment; the writer goes on until there were enough.
TEST_P(TParameterChangeRace, ChangeOnAnotherThreadPeaksNoHigherThanBetweenBlocks) {
  const TToggle t = GetParam();
  const double reference = PeakOfChangesBetweenBlocks(t), bound = 1.5 * reference;
  auto m = NewModule(t.Block);
  TOverlapProbe writer;
  TStartLine start(2);
  std::atomic<bool> stop{false};
  std::atomic<long> raced{0};
  double peakSeen = 0;
  m->SetParameter(t.Parameter, t.A);
  std::thread audio([&] {
    TSquareWaveRun run(*m, t.Block);
    for (int block = 0; block < kSettlingBlocks; ++block) run.Block();
    start.ArriveAndWait();
    while (!stop.load(std::memory_order_acquire)) {
      const unsigned before = writer.Phase();
      peakSeen = std::max(peakSeen, run.Block());
      if (writer.Phase() != before) raced.fetch_add(1, std::memory_order_relaxed);
    }
  });
  start.ArriveAndWait();
  for (long change = 0; raced.load(std::memory_order_relaxed) < t.RacedBlocks; ++change) {
    writer.Enter();
    m->SetParameter(t.Parameter, change % 2 ? t.A : t.B);
    writer.Leave();
  }
  stop.store(true, std::memory_order_release);
  audio.join();
  EXPECT_LE(peakSeen, bound) << "the same changes between blocks peak at " << reference;
}

INSTANTIATE_TEST_SUITE_P(LoPassAndOversampling, TParameterChangeRace,
                         ::testing::Values(TToggle{kParamLoPass, 500, 5000, 64, 2000 * kRounds},
                                           TToggle{kParamLoPass, 500, 5000, 256, 2000 * kRounds},
                                           TToggle{kParamOversampling, 1, 16, 64, 500 * kRounds},
                                           TToggle{kParamOversampling, 1, 16, 256, 500 * kRounds},
                                           TToggle{kParamOversampling, 8, 16, 256, 500 * kRounds}),
                         [](const ::testing::TestParamInfo<TToggle>& Info) {
                           const TToggle& T = Info.param;
                           return std::string(T.Parameter == kParamLoPass ? "LoPass" : "Oversampling") +
                                  std::to_string(static_cast<int>(T.A)) + "To" + std::to_string(static_cast<int>(T.B)) +
                                  "Block" + std::to_string(T.Block);
                         });

// A value of a parameter's range in its own unit: Min + Share * (Max - Min).
float InRange(TDriveParameter Index, float Share) {
  const TParameterPropertyDescription& d = kProcessParameters[Index].Description;
  return d.Min + Share * (d.Max - d.Min);
}

// Everything the audio thread runs with, compared exactly.
void ExpectSameTuning(const TProcessModule& A, const TProcessModule& B) {
  const TDriveSettings &sa = Internals(A).SettingsInUse(), &sb = Internals(B).SettingsInUse();
  const double fieldsA[] = {sa.InputGain, sa.OutputGain, sa.DryWet, sa.LPF,  sa.HPF,
                            sa.Trim,      sa.CurveForm,  sa.Drive,  sa.Clip, double(sa.Stereo)};
  const double fieldsB[] = {sb.InputGain, sb.OutputGain, sb.DryWet, sb.LPF,  sb.HPF,
                            sb.Trim,      sb.CurveForm,  sb.Drive,  sb.Clip, double(sb.Stereo)};
  for (std::size_t i = 0; i < std::size(fieldsA); ++i) EXPECT_EQ(fieldsA[i], fieldsB[i]) << "setting " << i;
  EXPECT_EQ(sa.Asymmetric, sb.Asymmetric);
  EXPECT_EQ(Internals(A).FactorInUse(), Internals(B).FactorInUse());
  for (int c = 0; c < 2; ++c) {
    for (int filter = 0; filter < 5; ++filter)
      EXPECT_EQ(Internals(A).Chain().BiquadCoefficients(filter, c), Internals(B).Chain().BiquadCoefficients(filter, c))
          << "biquad " << filter << ", channel " << c;
    for (int direction = 0; direction < 2; ++direction)
      EXPECT_EQ(Internals(A).Resampler().Coefficients(direction, c),
                Internals(B).Resampler().Coefficients(direction, c))
          << "resampler " << direction << ", channel " << c;
  }
}

// Two writers set random parameters to random values while the audio thread
// runs; then the values they left are set once more, one after the other,
// and the instance must run exactly the tuning of a fresh one given them.
TEST(ParameterChangeThreads, AfterAStormTheLastValuesTuneLikeAFreshInstance) {
  auto m = NewModule(64);
  TOverlapProbe writers[2];
  TStartLine start(3);
  std::atomic<bool> stop{false};
  std::atomic<long> overlapping{0};
  std::thread audio([&] {
    TSquareWaveRun run(*m, 64);
    start.ArriveAndWait();
    while (!stop.load(std::memory_order_acquire)) run.Block();
  });
  auto write = [&](int Me, std::uint32_t Seed) {
    start.ArriveAndWait();
    while (overlapping.load(std::memory_order_relaxed) < kOverlapsWanted) {
      Seed = Seed * 1664525u + 1013904223u;
      const auto index = static_cast<TDriveParameter>((Seed >> 8) % kParamCount);
      Seed = Seed * 1664525u + 1013904223u;
      const float t = static_cast<float>(Seed >> 8) / 16777216.0f;
      const unsigned before = writers[1 - Me].Phase();
      writers[Me].Enter();
      m->SetParameter(index, InRange(index, t));
      writers[Me].Leave();
      if (writers[1 - Me].Covered(before)) overlapping.fetch_add(1, std::memory_order_relaxed);
    }
  };
  std::thread first(write, 0, 1u), second(write, 1, 2u);
  first.join();
  second.join();
  stop.store(true, std::memory_order_release);
  audio.join();

  // The stored values, with power on so that the next block takes them.
  // Stereo goes first: Trim's compensation takes the switch as it stands.
  std::array<float, kParamCount> last;
  for (int i = 0; i < kParamCount; ++i) last[i] = m->GetParameter(i);
  last[kParamPower] = 1;
  auto fresh = NewModule(64);
  for (TProcessModule* each : {m.get(), fresh.get()}) {
    each->SetParameter(kParamStereo, last[kParamStereo]);
    for (int i = 0; i < kParamCount; ++i) each->SetParameter(i, last[i]);
    TSquareWaveRun(*each, 64).Block();
  }
  ExpectSameTuning(*m, *fresh);
}

// An editor that records the thread of every update it hears of; attached
// to the module's editor link for its lifetime, as editors are.
class TRecordingEditor : public TVSTEditor, public IDriveEditor {
 public:
  explicit TRecordingEditor(TCustomVSTModule& Owner) : FModule(dynamic_cast<TProcessModule&>(Owner)) {
    FModule.EditorLink().Attach(this);
  }
  ~TRecordingEditor() override { FModule.EditorLink().Detach(this); }
  std::int32_t ClientWidth() const override { return 865; }
  std::int32_t ClientHeight() const override { return 150; }
  void AttachToParent(void*) override {}

  void ParameterChanged(TDriveParameter) override { Record(); }

  std::vector<std::thread::id> Take() {
    std::lock_guard<std::mutex> lock(FLock);
    return std::exchange(FThreads, {});
  }

 private:
  void Record() {
    std::lock_guard<std::mutex> lock(FLock);
    FThreads.push_back(std::this_thread::get_id());
  }

  TProcessModule& FModule;
  std::mutex FLock;
  std::vector<std::thread::id> FThreads;
};

TEST(ParameterChangeThreads, EditorHearsOfEveryChangeOnTheWritersThread) {
  auto m = NewModule(64);
  m->SetEditorFormClass(
      [](TCustomVSTModule& Owner) -> std::unique_ptr<TVSTEditor> { return std::make_unique<TRecordingEditor>(Owner); });
  int parent = 0;
  ASSERT_EQ(m->HostCallEditOpen(0, 0, &parent, 0), 1);
  auto& editor = dynamic_cast<TRecordingEditor&>(*m->EditorForm());
  for (const TProcessParameter& p : kProcessParameters) {
    std::thread::id writer;
    std::thread([&] {
      writer = std::this_thread::get_id();
      m->SetParameter(p.Parameter, p.Description.Max);
    }).join();
    const std::vector<std::thread::id> threads = editor.Take();
    EXPECT_FALSE(threads.empty()) << "parameter " << p.Parameter;
    for (std::thread::id thread : threads) EXPECT_EQ(thread, writer) << "parameter " << p.Parameter;
  }
}

}  // namespace
}  // namespace vb
