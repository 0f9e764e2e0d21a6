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
  std::unique_ptr<TProcessModule> m(CreateVSTModule<TProcessModule>(nullptr));
  m->VSTModuleBlockSizeChange(512);
  return m;
}

// One block of a loud noisy signal; true when every output sample is finite.
bool RendersFinite(TProcessModule& M) {
  std::vector<double> l = test::TestSignal(512, 0.9, 3), r = test::TestSignal(512, 0.9, 4);
  std::vector<double> out0(512), out1(512);
  double* in[2] = {l.data(), r.data()};
  double* out[2] = {out0.data(), out1.data()};
  M.HostCallProcess64Replacing(in, out, 512);
  for (std::size_t i = 0; i < 512; ++i)
    if (!std::isfinite(out0[i]) || !std::isfinite(out1[i])) return false;
  return true;
}

TEST(SampleRateRange, RatesOutsideTheServedRangeAreRefusedAndChangeNothing) {
  auto m = NewModule();
  m->SetParameter(kParamFreq, 1000);
  for (float rate : {1000.0f, 100.0f, 7999.0f, 1.0e-30f, 2.0e7f, std::numeric_limits<float>::infinity(),
                     std::numeric_limits<float>::quiet_NaN()}) {
    try {
      m->VSTModuleSampleRateChange(rate);
      ADD_FAILURE() << rate << " Hz was accepted";
    } catch (const EDspError& e) {
      EXPECT_STREQ(e.what(), "Invalid Samplerate!");
    }
    EXPECT_EQ(m->HostSampleRate(), 44100.0f);
    EXPECT_TRUE(RendersFinite(*m)) << rate;
  }
  m->VSTModuleSampleRateChange(-TProcessModule::kMinSampleRate);
  EXPECT_EQ(m->HostSampleRate(), TProcessModule::kMinSampleRate);
}

// Every served rate, at every factor, with every knob at either end or at its
// default gives finite output, and no biquad is designed at or above its
// Nyquist frequency.
TEST(SampleRateRange, EveryServedRateAndSettingRendersFiniteOutput) {
  // 8680 and 14556 Hz put the high shelf's and the presence peak's default
  // corners exactly on the Nyquist frequency.
  for (float rate : {8000.0f, 8680.0f, 9000.0f, 11025.0f, 12000.0f, 14556.0f, 14772.0f, 16000.0f, 1.0e7f}) {
    for (float factor : {1.0f, 8.0f, 16.0f}) {
      // The knobs' lower ends, their upper ends, the defaults.
      for (int end = 0; end < 3; ++end) {
        auto m = NewModule();
        m->VSTModuleSampleRateChange(rate);
        m->SetParameter(kParamOversampling, factor);
        if (end < 2)
          for (const TProcessParameter& p : kProcessParameters)
            if (p.Parameter != kParamPower && p.Parameter != kParamOversampling)
              m->SetParameter(p.Parameter, end ? p.Description.Max : p.Description.Min);
        ASSERT_TRUE(RendersFinite(*m)) << rate << " Hz, factor " << factor << ", end " << end;
        for (int c = 0; c < 2; ++c) {
          for (const TBiquadIIRFilter* f : {static_cast<const TBiquadIIRFilter*>(Internals(*m).HighPass(c)),
                                            static_cast<const TBiquadIIRFilter*>(Internals(*m).Low(c)),
                                            static_cast<const TBiquadIIRFilter*>(Internals(*m).Mid(c)),
                                            static_cast<const TBiquadIIRFilter*>(Internals(*m).High(c)),
                                            static_cast<const TBiquadIIRFilter*>(Internals(*m).Pres(c))})
            EXPECT_LT(f->Frequency(), 0.5 * f->SampleRate()) << rate << " Hz, factor " << factor;
        }
      }
    }
  }
}

}  // namespace
}  // namespace vb
