#pragma once

#include "dsp/complex64.h"
#include "dsp/custom_filter.h"

namespace vb {

// A filter tuned by a frequency (Hz) and a gain (dB). Every real change
// recalculates the derived values and the coefficients at once and then
// fires OnChange; writing the stored value again does nothing. Retuning never
// touches the filter's states, so a running filter continues smoothly.
class TCustomGainFrequencyFilter : public TCustomFilterWithOrder {
 public:
  TCustomGainFrequencyFilter();
  const char* ClassName() const override;
  void AssignTo(TNotifiablePersistent& Dest) const override;

  double Frequency() const noexcept { return FFrequency; }
  // Values below 1e-10 Hz are raised to 1e-10 Hz.
  void SetFrequency(double Value);
  double Gain() const noexcept { return FGain_dB; }
  void SetGain(double Value);

  // Derived values, for inspection.
  double GainFactor() const noexcept { return FGainFactor; }                // 10^(dB / 40)
  double GainFactorSquared() const noexcept { return FGainFactorSquared; }  // 10^(dB / 20)
  double W0() const noexcept { return FW0; }                                // radians per sample
  TComplex64 ExpW0() const noexcept { return FExpW0; }

 protected:
  void RecalculateForSampleRate() override;
  // FW0 := 2 pi f / fs limited to 3.141 rad; FExpW0 holds cos and sin of the
  // unlimited angle.
  virtual void CalculateW0();
  virtual void CalculateGainFactor();
  virtual void FrequencyChanged();
  virtual void GainChanged();

  double FGain_dB = 0.0;
  double FGainFactor = 1.0;
  double FGainFactorSquared = 1.0;
  double FFrequency = 1000.0;
  double FW0 = 0.0;
  TComplex64 FExpW0;
};

}  // namespace vb
