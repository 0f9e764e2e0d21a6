#pragma once

#include "dsp/biquad_iir_filter.h"
#include "dsp/dsp_class.h"

namespace vb {

// The biquad designs. Each computes its five coefficients from the shared
// derived values: G = 10^(dB / 40), G^2, c = cos w0, s = sin w0, alpha and the
// bandwidth in octaves. Leaf classes are final so that calls through a
// concrete type are resolved at compile time and inline.

// Gain only: b0 = G^2 (linear gain), everything else 0.
class TBasicGainFilter final : public TBiquadIIRFilter {
 public:
  TBasicGainFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;
  // Input times G^2, without states.
  double ProcessSample64(double Input) override { return Input * FNumerator[0]; }
  void ProcessBlock64(double* Data, int SampleCount) override;

 protected:
  void CalculateCoefficients() override;
};

// Peak (bell) around the frequency; gain in dB at the centre, bandwidth in octaves.
class TBasicPeakFilter final : public TBiquadIIRFilter {
 public:
  TBasicPeakFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// All-pass: flat magnitude G^2, phase turning through -pi at the frequency.
class TBasicAllpassFilter final : public TBiquadIIRFilter {
 public:
  TBasicAllpassFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// Low shelf: gain below the frequency, flat above.
class TBasicLowShelfFilter final : public TBiquadIIRFilter {
 public:
  TBasicLowShelfFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// Low shelf, bilinear form A: gain below the frequency.
class TBasicLowShelfAFilter final : public TBiquadIIRFilter {
 public:
  TBasicLowShelfAFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// Low shelf, bilinear form B: cut below the frequency by the gain.
class TBasicLowShelfBFilter final : public TBiquadIIRFilter {
 public:
  TBasicLowShelfBFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// High shelf: gain above the frequency, flat below.
class TBasicHighShelfFilter final : public TBiquadIIRFilter {
 public:
  TBasicHighShelfFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// High shelf, bilinear form A.
class TBasicHighShelfAFilter final : public TBiquadIIRFilter {
 public:
  TBasicHighShelfAFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// High shelf, bilinear form B.
class TBasicHighShelfBFilter final : public TBiquadIIRFilter {
 public:
  TBasicHighShelfBFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// Low-pass (high cut) with b0 factored out of the numerator.
class TBasicHighcutFilter final : public TBiquadIIRFilter {
 public:
  TBasicHighcutFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;
  inline double ProcessSample64(double Input) override;
  float ProcessSample32(float Input) override;
  // Runs every sample through the Single-precision path and widens the result.
  void ProcessBlock64(double* Data, int SampleCount) override;

 protected:
  void CalculateCoefficients() override;
};

// High-pass (low cut); pass-band gain G^2.
class TBasicLowcutFilter : public TBiquadIIRFilter {
 public:
  TBasicLowcutFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// The high-pass in front of the clipper: a low cut under its usual name.
class TBasicHighpassFilter final : public TBasicLowcutFilter {
 public:
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;
};

// Band-pass with peak gain G^2 at the frequency.
class TBasicBandpassFilter final : public TBiquadIIRFilter {
 public:
  TBasicBandpassFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

// Notch at the frequency; gain G^2 away from it.
class TBasicNotchFilter final : public TBiquadIIRFilter {
 public:
  TBasicNotchFilter();
  static const TDspClassInfo& Class() noexcept;
  const char* ClassName() const override;

 protected:
  void CalculateCoefficients() override;
};

inline double TBasicHighcutFilter::ProcessSample64(double Input) {
  const double x = FNumerator[0] * Input;
  const double y = x + FState[0];
  FState[0] = 2 * x - FDenominator[0] * y + FState[1];
  FState[1] = x - FDenominator[1] * y;
  return y;
}

}  // namespace vb
