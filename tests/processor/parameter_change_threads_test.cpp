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
  std::unique_ptr<TProcessModule> M(CreateVSTModule<TProcessModule>(nullptr));
  M->VSTModuleBlockSizeChange(BlockSize);
  return M;
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
    double* In[2] = {FIn.data(), FIn.data()};
    double* Out[2] = {FOut[0].data(), FOut[1].data()};
    FModule.HostCallProcess64Replacing(In, Out, static_cast<std::int32_t>(FIn.size()));
    double Peak = 0;
    for (const auto& Channel : FOut)
      for (double v : Channel) Peak = std::max(Peak, std::isfinite(v) ? std::fabs(v) : HUGE_VAL);
    return Peak;
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
  double Peak = 0;
  for (int Pattern = 0; Pattern < 4; ++Pattern) {
    auto M = NewModule(T.Block);
    TSquareWaveRun Run(*M, T.Block);
    M->SetParameter(T.Parameter, T.A);
    for (int Block = 0; Block < kSettlingBlocks; ++Block) Run.Block();
    std::uint32_t Seed = 7;
    bool AtA = true;
    for (int Block = 0; Block < kReferenceBlocks; ++Block) {
      Seed = Seed * 1664525u + 1013904223u;
      const int Changes = Pattern == 0   ? 1
                          : Pattern == 1 ? (Block % 3 == 0)
                          : Pattern == 2 ? static_cast<int>(Seed >> 31)
                                         : static_cast<int>(Seed >> 30);
      for (int Change = 0; Change < Changes; ++Change) M->SetParameter(T.Parameter, (AtA = !AtA) ? T.A : T.B);
      Peak = std::max(Peak, Run.Block());
    }
  }
  return Peak;
}

class ParameterChangeRace : public ::testing::TestWithParam<TToggle> {};

// Blocks "raced" by a change are those during which the writer was inside
// SetParameter at some moment; the writer goes on until there were enough.
TEST_P(ParameterChangeRace, ChangeOnAnotherThreadPeaksNoHigherThanBetweenBlocks) {
  const TToggle T = GetParam();
  const double Reference = PeakOfChangesBetweenBlocks(T), Bound = 1.5 * Reference;
  auto M = NewModule(T.Block);
  TOverlapProbe Writer;
  TStartLine Start(2);
  std::atomic<bool> Stop{false};
  std::atomic<long> Raced{0};
  double Peak = 0;
  M->SetParameter(T.Parameter, T.A);
  std::thread Audio([&] {
    TSquareWaveRun Run(*M, T.Block);
    for (int Block = 0; Block < kSettlingBlocks; ++Block) Run.Block();
    Start.ArriveAndWait();
    while (!Stop.load(std::memory_order_acquire)) {
      const unsigned Before = Writer.Phase();
      Peak = std::max(Peak, Run.Block());
      if (Writer.Phase() != Before) Raced.fetch_add(1, std::memory_order_relaxed);
    }
  });
  Start.ArriveAndWait();
  for (long Change = 0; Raced.load(std::memory_order_relaxed) < T.RacedBlocks; ++Change) {
    Writer.Enter();
    M->SetParameter(T.Parameter, Change % 2 ? T.A : T.B);
    Writer.Leave();
  }
  Stop.store(true, std::memory_order_release);
  Audio.join();
  EXPECT_LE(Peak, Bound) << "the same changes between blocks peak at " << Reference;
}

INSTANTIATE_TEST_SUITE_P(LoPassAndOversampling, ParameterChangeRace,
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
  const TParameterPropertyDescription& D = kProcessParameters[Index].Description;
  return D.Min + Share * (D.Max - D.Min);
}

// Everything the audio thread runs with, compared exactly.
void ExpectSameTuning(const TProcessModule& A, const TProcessModule& B) {
  const TDriveSettings &SA = Internals(A).SettingsInUse(), &SB = Internals(B).SettingsInUse();
  const double FieldsA[] = {SA.FInputGain, SA.FOutputGain, SA.FDryWet, SA.FLPF,  SA.FHPF,
                            SA.FTrim,      SA.FCurveForm,  SA.FDrive,  SA.FClip, double(SA.FStereo)};
  const double FieldsB[] = {SB.FInputGain, SB.FOutputGain, SB.FDryWet, SB.FLPF,  SB.FHPF,
                            SB.FTrim,      SB.FCurveForm,  SB.FDrive,  SB.FClip, double(SB.FStereo)};
  for (std::size_t i = 0; i < std::size(FieldsA); ++i) EXPECT_EQ(FieldsA[i], FieldsB[i]) << "setting " << i;
  EXPECT_EQ(SA.FAsymmetric, SB.FAsymmetric);
  EXPECT_EQ(Internals(A).FactorInUse(), Internals(B).FactorInUse());
  for (int c = 0; c < 2; ++c) {
    for (int Filter = 0; Filter < 5; ++Filter)
      EXPECT_EQ(Internals(A).Chain().BiquadCoefficients(Filter, c), Internals(B).Chain().BiquadCoefficients(Filter, c))
          << "biquad " << Filter << ", channel " << c;
    for (int Direction = 0; Direction < 2; ++Direction)
      EXPECT_EQ(Internals(A).Resampler().Coefficients(Direction, c),
                Internals(B).Resampler().Coefficients(Direction, c))
          << "resampler " << Direction << ", channel " << c;
  }
}

// Two writers set random parameters to random values while the audio thread
// runs; then the values they left are set once more, one after the other,
// and the instance must run exactly the tuning of a fresh one given them.
TEST(ParameterChangeThreads, AfterAStormTheLastValuesTuneLikeAFreshInstance) {
  auto M = NewModule(64);
  TOverlapProbe Writers[2];
  TStartLine Start(3);
  std::atomic<bool> Stop{false};
  std::atomic<long> Overlapping{0};
  std::thread Audio([&] {
    TSquareWaveRun Run(*M, 64);
    Start.ArriveAndWait();
    while (!Stop.load(std::memory_order_acquire)) Run.Block();
  });
  auto Write = [&](int Me, std::uint32_t Seed) {
    Start.ArriveAndWait();
    while (Overlapping.load(std::memory_order_relaxed) < kOverlapsWanted) {
      Seed = Seed * 1664525u + 1013904223u;
      const auto Index = static_cast<TDriveParameter>((Seed >> 8) % kParamCount);
      Seed = Seed * 1664525u + 1013904223u;
      const float t = static_cast<float>(Seed >> 8) / 16777216.0f;
      const unsigned Before = Writers[1 - Me].Phase();
      Writers[Me].Enter();
      M->SetParameter(Index, InRange(Index, t));
      Writers[Me].Leave();
      if (Writers[1 - Me].Covered(Before)) Overlapping.fetch_add(1, std::memory_order_relaxed);
    }
  };
  std::thread First(Write, 0, 1u), Second(Write, 1, 2u);
  First.join();
  Second.join();
  Stop.store(true, std::memory_order_release);
  Audio.join();

  // The stored values, with power on so that the next block takes them.
  // Stereo goes first: Trim's compensation takes the switch as it stands.
  std::array<float, kParamCount> Last;
  for (int i = 0; i < kParamCount; ++i) Last[i] = M->GetParameter(i);
  Last[kParamPower] = 1;
  auto Fresh = NewModule(64);
  for (TProcessModule* Each : {M.get(), Fresh.get()}) {
    Each->SetParameter(kParamStereo, Last[kParamStereo]);
    for (int i = 0; i < kParamCount; ++i) Each->SetParameter(i, Last[i]);
    TSquareWaveRun(*Each, 64).Block();
  }
  ExpectSameTuning(*M, *Fresh);
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
    std::lock_guard<std::mutex> Lock(FLock);
    return std::exchange(FThreads, {});
  }

 private:
  void Record() {
    std::lock_guard<std::mutex> Lock(FLock);
    FThreads.push_back(std::this_thread::get_id());
  }

  TProcessModule& FModule;
  std::mutex FLock;
  std::vector<std::thread::id> FThreads;
};

TEST(ParameterChangeThreads, EditorHearsOfEveryChangeOnTheWritersThread) {
  auto M = NewModule(64);
  M->SetEditorFormClass(
      [](TCustomVSTModule& Owner) -> std::unique_ptr<TVSTEditor> { return std::make_unique<TRecordingEditor>(Owner); });
  int Parent = 0;
  ASSERT_EQ(M->HostCallEditOpen(0, 0, &Parent, 0), 1);
  auto& Editor = dynamic_cast<TRecordingEditor&>(*M->EditorForm());
  for (const TProcessParameter& P : kProcessParameters) {
    std::thread::id Writer;
    std::thread([&] {
      Writer = std::this_thread::get_id();
      M->SetParameter(P.Parameter, P.Description.Max);
    }).join();
    const std::vector<std::thread::id> Threads = Editor.Take();
    EXPECT_FALSE(Threads.empty()) << "parameter " << P.Parameter;
    for (std::thread::id Thread : Threads) EXPECT_EQ(Thread, Writer) << "parameter " << P.Parameter;
  }
}

}  // namespace
}  // namespace vb
