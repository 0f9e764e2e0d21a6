#include "dsp/notifiable_persistent.h"

#include <cmath>

#include "error/error.h"

namespace vb {

const char* TNotifiablePersistent::ClassName() const { return "TNotifiablePersistent"; }

void TNotifiablePersistent::AssignTo(TNotifiablePersistent& Dest) const {
  Dest.FUpdateCount = FUpdateCount;
  Dest.FOnChange = FOnChange;
}

void TNotifiablePersistent::Changed() {
  if (FUpdateCount == 0 && FOnChange) FOnChange(this);
}

void TNotifiablePersistent::BeginUpdate() { ++FUpdateCount; }

void TNotifiablePersistent::EndUpdate() {
  Assert(FUpdateCount > 0, "notifiable_persistent", "Unpaired TThreadPersistent.EndUpdate");
  --FUpdateCount;
}

const char* TDspPersistent::ClassName() const { return "TDspPersistent"; }

const char* TDspSampleRatePersistent::ClassName() const { return "TDspSampleRatePersistent"; }

void TDspSampleRatePersistent::AssignTo(TNotifiablePersistent& Dest) const {
  if (auto* target = dynamic_cast<TDspSampleRatePersistent*>(&Dest)) target->FSampleRate = FSampleRate;
  TDspPersistent::AssignTo(Dest);
}

void TDspSampleRatePersistent::SetSampleRate(double Value) {
  if (Value == 0) throw EDspError(TErrorCode::ecInvalidSampleRate);
  const double magnitude = std::fabs(Value);
  if (magnitude != FSampleRate) {
    FSampleRate = magnitude;
    SampleRateChanged();
  }
}

void TDspSampleRatePersistent::SampleRateChanged() { Changed(); }

}  // namespace vb
