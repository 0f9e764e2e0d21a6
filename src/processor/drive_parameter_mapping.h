#pragma once
// How each knob's value (in its own unit) becomes the drive's internal state.
// Pure functions: the parameter handlers apply them, tests check them.

#include "processor/drive_controls.h"
#include "processor/drive_settings.h"

namespace vb {

// Tenths of a decibel (200 = +20 dB) to a linear gain; 0 at or below
// -1000 dB.
double DecibelTenthsToGain(double Tenths);

// Drive in % (0..100) to the linear gain in front of the high-pass:
// 10^(0.03 * Drive - 1), 0.1 at 0 %, 100 at 100 %.
double DriveGain(double DrivePercent);

// Gain of the clipped signal: Trim in % scaled by a curve that falls with
// the drive, so that more drive does not simply mean louder. Stereo doubles
// it (the mono path sums both inputs).
double TrimGain(double TrimPercent, double DrivePercent, bool Stereo);

// Tone stack. Knob values are -15..15 dB; the results are what the filters
// get, already rounded to Single precision.
double LowShelfGain(double Value);           // dB
double MidPeakGain(double Value);            // dB
double MidPeakBandwidth(double Value);       // octaves
double HighShelfGain(double Value);          // dB
double HighShelfFrequency(double Value);     // Hz
double PresencePeakGain(double Value);       // dB
double PresencePeakFrequency(double Value);  // Hz

// "Oversampling" knob: anything strictly between 1 and 16 means 8.
float OversamplingKnobValue(float Value);
// The factor the resamplers run at: 1, 8 or 16, also for values outside the
// knob's range (the work buffers only ever hold 16 samples per frame).
int OversamplingFactor(float KnobValue);

// The frequency a biquad is designed at, in Hz: the wanted one, kept below
// 0.49 times the sample rate the filter runs at (Hz). Above the Nyquist
// frequency a design folds back to a wrong corner, and at a multiple of the
// rate it divides by sin(w0) = 0. Common rates never come near the limit
// (7386 Hz, the highest design frequency, reaches it below 15.1 kHz).
double DesignFrequency(double Frequency, double SampleRate);

// The chain's gains, poles and switches from one snapshot of the published
// values. With Was, only the settings whose inputs differ from Was are
// mapped again (the others are left as they are); without, all of them.
void MapDriveSettings(const TDriveControlValues& Now, const TDriveControlValues* Was, TDriveSettings& Settings);
TDriveSettings MapDriveSettings(const TDriveControlValues& Now);

}  // namespace vb
