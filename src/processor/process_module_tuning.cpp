// How TProcessModule's audio thread takes the published values: at the
// start of a block it takes one snapshot (TDriveControls) and retunes only
// what the changed values feed. Everything here runs on the audio thread
// (or in the create handler, before any block): the filters, resamplers,
// settings and chain have no other writer, so each one's tuning always
// belongs to one set of values. Nothing here allocates, locks or throws:
// the host rate was checked when it was published.
#include "processor/drive_parameter_mapping.h"
#include "processor/drive_voicing.h"
#include "processor/process_module.h"

namespace vb {

namespace {

// Setter(Value) on both channels' objects.
template <class TFilter, class TSetter>
void ForBoth(const std::array<std::unique_ptr<TFilter>, TProcessModule::kChannels>& Filters, TSetter Setter,
             double Value) {
  for (const auto& filter : Filters) (filter.get()->*Setter)(Value);
}

}  // namespace

void TProcessModule::TakeControls() {
  TDriveControlValues now;
  bool retuneResamplers = false;
  if (!FControls.Take(now, retuneResamplers)) return;
  Retune(now, FTuned ? &FApplied : nullptr, retuneResamplers);
  FApplied = now;
  FTuned = true;
}

// Was null: everything is applied.
void TProcessModule::Retune(const TDriveControlValues& Now, const TDriveControlValues* Was, bool RetuneResamplers) {
  const int factor = OversamplingFactor(Now[kParamOversampling]);
  const bool newRate = !Was || Now.HostRate != Was->HostRate || factor != FFactorInUse;
  // The oversampled rate, in Singles as the host gives it (the factors are
  // powers of two, so the product is exact).
  const float rate = Now.HostRate * static_cast<float>(factor);
  if (newRate) SetFilterRates(factor, rate);
  // At a new rate every corner is designed again (DesignFrequency depends
  // on it); setters given their own value again do nothing.
  if (RetuneBiquads(Now, newRate ? nullptr : Was, rate)) FChain.TakeCoefficients(FFilters);
  // A new factor or rate restarts the resamplers; so does one that went
  // away and back since the last block (the mark).
  if (newRate || RetuneResamplers) FResampler.Retune();
  MapDriveSettings(Now, Was, FSettings);
}

void TProcessModule::SetFilterRates(int Factor, float Rate) {
  for (int c = 0; c < kChannels; ++c) {
    FUpDownSampling[c]->SetFactor(Factor);
    FHighPass[c]->SetSampleRate(Rate);
    FUpDownSampling[c]->SetSampleRate(Rate);
    FLow[c]->SetSampleRate(Rate);
    FMid[c]->SetSampleRate(Rate);
    FPres[c]->SetSampleRate(Rate);
    FHigh[c]->SetSampleRate(Rate);
  }
  FFactorInUse = Factor;
}

// Answers whether any biquad may have been retuned.
bool TProcessModule::RetuneBiquads(const TDriveControlValues& Now, const TDriveControlValues* Was, float Rate) {
  auto changed = [&](TDriveParameter Index) { return !Was || Now[Index] != (*Was)[Index]; };
  if (!Was) {
    ForBoth(FLow, &TBasicLowShelfFilter::SetFrequency, DesignFrequency(kDriveVoicing.Low.Frequency, Rate));
    ForBoth(FMid, &TBasicPeakFilter::SetFrequency, DesignFrequency(kDriveVoicing.Mid.Frequency, Rate));
  }
  if (changed(kParamFreq))
    ForBoth(FHighPass, &TBasicHighpassFilter::SetFrequency, DesignFrequency(Now[kParamFreq], Rate));
  if (changed(kParamLow)) ForBoth(FLow, &TBasicLowShelfFilter::SetGain, LowShelfGain(Now[kParamLow]));
  if (changed(kParamMid)) {
    ForBoth(FMid, &TBasicPeakFilter::SetGain, MidPeakGain(Now[kParamMid]));
    ForBoth(FMid, &TBasicPeakFilter::SetBandWidth, MidPeakBandwidth(Now[kParamMid]));
  }
  if (changed(kParamHigh)) {
    ForBoth(FHigh, &TBasicHighShelfFilter::SetGain, HighShelfGain(Now[kParamHigh]));
    ForBoth(FHigh, &TBasicHighShelfFilter::SetFrequency, DesignFrequency(HighShelfFrequency(Now[kParamHigh]), Rate));
  }
  if (changed(kParamPres)) {
    ForBoth(FPres, &TBasicPeakFilter::SetGain, PresencePeakGain(Now[kParamPres]));
    ForBoth(FPres, &TBasicPeakFilter::SetFrequency, DesignFrequency(PresencePeakFrequency(Now[kParamPres]), Rate));
  }
  return !Was || changed(kParamFreq) || changed(kParamLow) || changed(kParamMid) || changed(kParamHigh) ||
         changed(kParamPres);
}

}  // namespace vb
