#include "dsp/processor_registry.h"

#include <memory>

#include "dsp/basic_filters.h"
#include "dsp/butterworth_filter.h"
#include "error/error.h"

namespace vb {

namespace {

// Touched only at library load and unload.
std::unique_ptr<TClassList> GRegistry32;
std::unique_ptr<TClassList> GRegistry64;

void Register(std::unique_ptr<TClassList>& Registry, const TDspClassInfo& Class) {
  if (!Registry)
    throw EAssertionFailed(TErrorCode::ecAssertionFailed, "DSP processor registry not started", "processor_registry");
  if (Registry->IndexOf(&Class) >= 0)
    throw EAssertionFailed(TErrorCode::ecAssertionFailed,
                           std::string("DSP Processor registered twice! (") + Class.ClassName + ")",
                           "processor_registry");
  Registry->Add(&Class);
}

void RegisterBoth(std::initializer_list<const TDspClassInfo*> Classes) {
  RegisterDspProcessor32(Classes);
  RegisterDspProcessor64(Classes);
}

}  // namespace

TClassList* ProcessorRegistry32() noexcept { return GRegistry32.get(); }
TClassList* ProcessorRegistry64() noexcept { return GRegistry64.get(); }

void RegisterDspProcessor32(const TDspClassInfo& Class) { Register(GRegistry32, Class); }
void RegisterDspProcessor64(const TDspClassInfo& Class) { Register(GRegistry64, Class); }

void RegisterDspProcessor32(std::initializer_list<const TDspClassInfo*> Classes) {
  for (const TDspClassInfo* info : Classes) RegisterDspProcessor32(*info);
}

void RegisterDspProcessor64(std::initializer_list<const TDspClassInfo*> Classes) {
  for (const TDspClassInfo* info : Classes) RegisterDspProcessor64(*info);
}

void DspRegistriesStartUp() {
  if (GRegistry32 || GRegistry64) return;
  GRegistry32 = std::make_unique<TClassList>();
  GRegistry64 = std::make_unique<TClassList>();
  RegisterBoth({&TBasicGainFilter::Class(), &TBasicPeakFilter::Class(), &TBasicAllpassFilter::Class(),
                &TBasicLowShelfFilter::Class(), &TBasicLowShelfAFilter::Class(), &TBasicLowShelfBFilter::Class(),
                &TBasicHighShelfAFilter::Class(), &TBasicHighShelfBFilter::Class(), &TBasicHighcutFilter::Class(),
                &TBasicLowcutFilter::Class(), &TBasicBandpassFilter::Class(), &TBasicNotchFilter::Class()});
  RegisterBoth({&TButterworthHighPassFilter::Class(), &TButterworthLowPassFilter::Class(),
                &TButterworthLowPassFilterAutomatable::Class(), &TButterworthHighPassFilterAutomatable::Class()});
}

void DspRegistriesShutDown() noexcept {
  GRegistry32.reset();
  GRegistry64.reset();
}

}  // namespace vb
