#pragma once

#include <cstdint>
#include <span>

#include "dsp/notifiable_persistent.h"

namespace vb {

// Single-precision sample processing, for callers that know only this face
// of an object.
class IDspProcessor32 {
 public:
  virtual void ProcessBlock32(float* Data, int SampleCount) = 0;
  virtual float ProcessSample32(float Input) = 0;

 protected:
  ~IDspProcessor32() = default;
};

// Double-precision sample processing.
class IDspProcessor64 {
 public:
  virtual void ProcessBlock64(double* Data, int SampleCount) = 0;
  virtual double ProcessSample64(double Input) = 0;

 protected:
  ~IDspProcessor64() = default;
};

// Root of the filter hierarchy: sample and block processing, the frequency
// response at a frequency in Hz, and a stack of saved states. Operations a
// class does not provide raise EDspError.
class TCustomFilter : public TDspSampleRatePersistent, public IDspProcessor32, public IDspProcessor64 {
 public:
  TCustomFilter();
  const char* ClassName() const override;
  void AssignTo(TNotifiablePersistent& Dest) const override;

  // The Double path with the input widened and the result rounded to Single.
  float ProcessSample32(float Input) override;
  double ProcessSample64(double Input) override;
  virtual std::int64_t ProcessSampleInt64(std::int64_t Input);
  // In place, sample by sample; a count of 0 or less does nothing.
  void ProcessBlock32(float* Data, int SampleCount) override;
  void ProcessBlock64(double* Data, int SampleCount) override;

  virtual double MagnitudeSquared(double Frequency) const;
  // Magnitude in dB.
  virtual double MagnitudeLog10(double Frequency) const;
  // The parts of Complex, and atan2(Imaginary, Real) in radians: a filter
  // answers Complex, these follow from it.
  double Real(double Frequency) const;
  double Imaginary(double Frequency) const;
  double Phase(double Frequency) const;
  virtual void Complex(double Frequency, double& Real, double& Imaginary) const;
  // The Double form, each part rounded to Single.
  void Complex(double Frequency, float& Real, float& Imaginary) const;

  virtual void PushStates();
  virtual void PopStates();
  virtual void ResetStates();
  virtual void ResetStatesInt64();
  virtual void Reset();

  // Fills Data with the impulse response; the filter's states are saved
  // before and restored after, so a running filter is not disturbed. Not for
  // the audio thread (the state stack allocates).
  void GetIR(std::span<float> Data);
  void GetIR(std::span<double> Data);

  double SRR() const noexcept { return FSRR; }

 protected:
  void SampleRateChanged() override;
  virtual void CalculateReciprocalSampleRate();
  virtual void RecalculateForSampleRate();

  double FSRR = 1.0 / 44100.0;  // 1 / sample rate, in seconds
};

// A filter with an order and coefficients derived from its settings.
class TCustomFilterWithOrder : public TCustomFilter {
 public:
  const char* ClassName() const override;

  unsigned Order() const { return GetOrder(); }
  virtual unsigned GetOrder() const;
  virtual void SetOrder(unsigned Value);

 protected:
  virtual void CalculateCoefficients();
  virtual void RecalculateCoefficients();
};

}  // namespace vb
