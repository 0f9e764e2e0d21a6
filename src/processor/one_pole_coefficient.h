#pragma once
// Pole of the clipper's one-pole smoothers (y := p*y + (1 - p)*x) for a
// corner frequency in Hz at the oversampled rate HostRate * Factor.

namespace vb {

// 1 exactly at 0 Hz, falling toward 0 as the frequency rises. The frequency
// is scaled by 0.647 rather than 2*pi: the knob labels were calibrated by ear
// against this curve. HostRate * Factor must be positive.
double OnePoleCoefficient(double Frequency, double HostRate, int Factor);

}  // namespace vb
