#pragma once

#include "dsp/gain_frequency_filter.h"

namespace vb {

// Recursive filters; adds nothing.
class TCustomIIRFilter : public TCustomGainFrequencyFilter {
 public:
  const char* ClassName() const override;
};

// A recursive filter with a bandwidth in octaves (1 after creation) and the
// bandwidth term alpha that the biquad designs share.
class TCustomBandwidthIIRFilter : public TCustomIIRFilter {
 public:
  TCustomBandwidthIIRFilter();
  const char* ClassName() const override;
  // The common settings, then Dest's bandwidth through its own setter, so
  // Dest recalculates, and alpha.
  void AssignTo(TNotifiablePersistent& Dest) const override;

  double BandWidth() const noexcept { return FBandWidth; }
  // Values of 0.001 octave or less are raised to 0.001.
  void SetBandWidth(double Value);
  double Alpha() const noexcept { return FAlpha; }

 protected:
  void CalculateW0() override;
  // alpha := s * sinh(ln2 / 2 * sqrt((c + 1) / 2) * bandwidth * w0 / s), with
  // s and c of the unlimited angle and w0 the limited one.
  virtual void CalculateAlpha();
  virtual void BandwidthChanged();

  double FBandWidth = 1.0;
  double FAlpha = 0.0;
};

}  // namespace vb
