// Guards the drive against sample rates at the ends of what it serves. A
// biquad designed at a multiple of its sample rate divides by sin(w0) = 0:
// every output sample was NaN at 1000 Hz with "Freq" at its top, or at 100
// Hz with the defaults (the mid peak's 1700 Hz). Between the Nyquist
// frequency and the rate a design folds back (the presence peak at 7278 Hz
// sounded at 722 Hz with an 8 kHz host). So rates below 8 kHz are refused,
// leaving the drive running as before, and design frequencies stay below
// the Nyquist frequency.
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "drive_test_rig.h"
#include "dsp/dsp_errors.h"
#include "process_module_internals.h"
#include "processor/drive_parameter.h"
#include "processor/process_module.h"
#include "processor/process_module_description.h"

namespace vb {
namespace {

std::unique_ptr<TProcessModule> NewModule() {
  std::unique_ptr<TProcessModule> M(CreateVSTModule<TProcessModule>(nullptr));
  M->VSTModuleBlockSizeChange(512);
  return M;
}

// One block of a loud noisy signal; true when every output sample is finite.
bool RendersFinite(TProcessModule& M) {
  std::vector<double> L = test::TestSignal(512, 0.9, 3), R = test::TestSignal(512, 0.9, 4);
  std::vector<double> Out0(512), Out1(512);
  double* In[2] = {L.data(), R.data()};
  double* Out[2] = {Out0.data(), Out1.data()};
  M.HostCallProcess64Replacing(In, Out, 512);
  for (std::size_t i = 0; i < 512; ++i)
    if (!std::isfinite(Out0[i]) || !std::isfinite(Out1[i])) return false;
  return true;
}

TEST(SampleRateRange, RatesOutsideTheServedRangeAreRefusedAndChangeNothing) {
  auto M = NewModule();
  M->SetParameter(kParamFreq, 1000);
  for (float Rate : {1000.0f, 100.0f, 7999.0f, 1.0e-30f, 2.0e7f, std::numeric_limits<float>::infinity(),
                     std::numeric_limits<float>::quiet_NaN()}) {
    try {
      M->VSTModuleSampleRateChange(Rate);
      ADD_FAILURE() << Rate << " Hz was accepted";
    } catch (const EDspError& E) {
      EXPECT_STREQ(E.what(), "Invalid Samplerate!");
    }
    EXPECT_EQ(M->HostSampleRate(), 44100.0f);
    EXPECT_TRUE(RendersFinite(*M)) << Rate;
  }
  M->VSTModuleSampleRateChange(-TProcessModule::kMinSampleRate);
  EXPECT_EQ(M->HostSampleRate(), TProcessModule::kMinSampleRate);
}

// Every served rate, at every factor, with every knob at either end or at its
// default gives finite output, and no biquad is designed at or above its
// Nyquist frequency.
TEST(SampleRateRange, EveryServedRateAndSettingRendersFiniteOutput) {
  // 8680 and 14556 Hz put the high shelf's and the presence peak's default
  // corners exactly on the Nyquist frequency.
  for (float Rate : {8000.0f, 8680.0f, 9000.0f, 11025.0f, 12000.0f, 14556.0f, 14772.0f, 16000.0f, 1.0e7f}) {
    for (float Factor : {1.0f, 8.0f, 16.0f}) {
      // The knobs' lower ends, their upper ends, the defaults.
      for (int End = 0; End < 3; ++End) {
        auto M = NewModule();
        M->VSTModuleSampleRateChange(Rate);
        M->SetParameter(kParamOversampling, Factor);
        if (End < 2)
          for (const TProcessParameter& P : kProcessParameters)
            if (P.Parameter != kParamPower && P.Parameter != kParamOversampling)
              M->SetParameter(P.Parameter, End ? P.Description.Max : P.Description.Min);
        ASSERT_TRUE(RendersFinite(*M)) << Rate << " Hz, factor " << Factor << ", end " << End;
        for (int c = 0; c < 2; ++c) {
          for (const TBiquadIIRFilter* F : {static_cast<const TBiquadIIRFilter*>(Internals(*M).HighPass(c)),
                                            static_cast<const TBiquadIIRFilter*>(Internals(*M).Low(c)),
                                            static_cast<const TBiquadIIRFilter*>(Internals(*M).Mid(c)),
                                            static_cast<const TBiquadIIRFilter*>(Internals(*M).High(c)),
                                            static_cast<const TBiquadIIRFilter*>(Internals(*M).Pres(c))})
            EXPECT_LT(F->Frequency(), 0.5 * F->SampleRate()) << Rate << " Hz, factor " << Factor;
        }
      }
    }
  }
}

}  // namespace
}  // namespace vb
