#include "dsp/custom_filter.h"

#include <cmath>

#include "error/error.h"

namespace vb {

TCustomFilter::TCustomFilter() { CalculateReciprocalSampleRate(); }

const char* TCustomFilter::ClassName() const { return "TCustomFilter"; }

void TCustomFilter::AssignTo(TNotifiablePersistent& Dest) const {
  TDspSampleRatePersistent::AssignTo(Dest);
  if (auto* target = dynamic_cast<TCustomFilter*>(&Dest)) target->FSRR = FSRR;
}

void TCustomFilter::CalculateReciprocalSampleRate() { FSRR = 1 / FSampleRate; }

void TCustomFilter::RecalculateForSampleRate() { CalculateReciprocalSampleRate(); }

void TCustomFilter::SampleRateChanged() {
  RecalculateForSampleRate();
  Changed();
}

float TCustomFilter::ProcessSample32(float Input) {
  return static_cast<float>(ProcessSample64(static_cast<double>(Input)));
}

double TCustomFilter::ProcessSample64(double) { throw EDspError(TErrorCode::ecAbstractCall, "ProcessSample64"); }

std::int64_t TCustomFilter::ProcessSampleInt64(std::int64_t) {
  throw EDspError(TErrorCode::ecAbstractCall, "ProcessSampleInt64");
}

void TCustomFilter::ProcessBlock32(float* Data, int SampleCount) {
  for (int i = 0; i < SampleCount; ++i) Data[i] = ProcessSample32(Data[i]);
}

void TCustomFilter::ProcessBlock64(double* Data, int SampleCount) {
  for (int i = 0; i < SampleCount; ++i) Data[i] = ProcessSample64(Data[i]);
}

double TCustomFilter::MagnitudeSquared(double) const {
  throw EDspError(TErrorCode::ecAbstractCall, "MagnitudeSquared");
}

double TCustomFilter::MagnitudeLog10(double) const { throw EDspError(TErrorCode::ecAbstractCall, "MagnitudeLog10"); }

double TCustomFilter::Real(double Frequency) const {
  double re = 0, im = 0;
  Complex(Frequency, re, im);
  return re;
}

double TCustomFilter::Imaginary(double Frequency) const {
  double re = 0, im = 0;
  Complex(Frequency, re, im);
  return im;
}

double TCustomFilter::Phase(double Frequency) const {
  double re = 0, im = 0;
  Complex(Frequency, re, im);
  return std::atan2(im, re);
}

void TCustomFilter::Complex(double, double&, double&) const { throw EDspError(TErrorCode::ecAbstractCall, "Complex"); }

void TCustomFilter::Complex(double Frequency, float& Real, float& Imaginary) const {
  double re = 0, im = 0;
  Complex(Frequency, re, im);
  Real = static_cast<float>(re);
  Imaginary = static_cast<float>(im);
}

void TCustomFilter::PushStates() { throw EDspError(TErrorCode::ecAbstractCall, "PushStates"); }

void TCustomFilter::PopStates() { throw EDspError(TErrorCode::ecAbstractCall, "PopStates"); }

void TCustomFilter::ResetStates() { throw EDspError(TErrorCode::ecAbstractCall, "ResetStates"); }

void TCustomFilter::ResetStatesInt64() { throw EDspError(TErrorCode::ecAbstractCall, "ResetStatesInt64"); }

void TCustomFilter::Reset() { throw EDspError(TErrorCode::ecAbstractCall, "Reset"); }

void TCustomFilter::GetIR(std::span<float> Data) {
  if (Data.empty()) return;
  PushStates();
  Data[0] = static_cast<float>(ProcessSample64(1));
  for (std::size_t i = 1; i < Data.size(); ++i) Data[i] = static_cast<float>(ProcessSample64(0));
  PopStates();
}

void TCustomFilter::GetIR(std::span<double> Data) {
  if (Data.empty()) return;
  PushStates();
  Data[0] = ProcessSample64(1);
  for (std::size_t i = 1; i < Data.size(); ++i) Data[i] = ProcessSample64(0);
  PopStates();
}

const char* TCustomFilterWithOrder::ClassName() const { return "TCustomFilterWithOrder"; }

unsigned TCustomFilterWithOrder::GetOrder() const { throw EDspError(TErrorCode::ecAbstractCall, "GetOrder"); }

void TCustomFilterWithOrder::SetOrder(unsigned) { throw EDspError(TErrorCode::ecAbstractCall, "SetOrder"); }

void TCustomFilterWithOrder::CalculateCoefficients() {
  throw EDspError(TErrorCode::ecAbstractCall, "CalculateCoefficients");
}

void TCustomFilterWithOrder::RecalculateCoefficients() { CalculateCoefficients(); }

}  // namespace vb
