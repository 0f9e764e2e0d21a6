#include "dsp/bandwidth_iir_filter.h"

#include <cmath>

#include "dsp/dsp_constants.h"

namespace vb {

namespace {
constexpr double kMinimumBandWidth = 0.001;  // octaves

// Written out rather than std::sinh so that the result is the same on every
// C library.
double Sinh(double X) {
  if (X == 0) return 0;
  return (std::exp(X) - std::exp(-X)) / 2;
}
}  // namespace

const char* TCustomIIRFilter::ClassName() const { return "TCustomIIRFilter"; }

TCustomBandwidthIIRFilter::TCustomBandwidthIIRFilter() { CalculateAlpha(); }

const char* TCustomBandwidthIIRFilter::ClassName() const { return "TCustomBandwidthIIRFilter"; }

void TCustomBandwidthIIRFilter::AssignTo(TNotifiablePersistent& Dest) const {
  TCustomIIRFilter::AssignTo(Dest);
  if (auto* target = dynamic_cast<TCustomBandwidthIIRFilter*>(&Dest)) {
    target->SetBandWidth(FBandWidth);
    // The angle was copied above without recalculation; when the bandwidth
    // was already equal, the setter did nothing and alpha would still belong
    // to Dest's old angle. Alpha follows from angle and bandwidth, which are
    // now the same on both sides, so copying it is exact.
    target->FAlpha = FAlpha;
  }
}

void TCustomBandwidthIIRFilter::CalculateW0() {
  TCustomIIRFilter::CalculateW0();
  CalculateAlpha();
}

void TCustomBandwidthIIRFilter::CalculateAlpha() {
  const double s = FExpW0.Im;
  const double c = FExpW0.Re;
  if (s == 0)
    FAlpha = s / (2 * FBandWidth);
  else
    FAlpha = s * Sinh(kHalfLn2 * std::sqrt((c + 1) * 0.5) * FBandWidth * FW0 / s);
}

void TCustomBandwidthIIRFilter::SetBandWidth(double Value) {
  if (Value <= kMinimumBandWidth) Value = kMinimumBandWidth;
  if (Value != FBandWidth) {
    FBandWidth = Value;
    BandwidthChanged();
  }
}

void TCustomBandwidthIIRFilter::BandwidthChanged() {
  CalculateAlpha();
  RecalculateCoefficients();
  Changed();
}

}  // namespace vb
