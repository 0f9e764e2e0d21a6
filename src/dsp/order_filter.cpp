#include "dsp/order_filter.h"

#include <algorithm>

namespace vb {

const char* TCustomOrderFilter::ClassName() const { return "TCustomOrderFilter"; }

void TCustomOrderFilter::AssignTo(TNotifiablePersistent& Dest) const {
  TCustomGainFrequencyFilter::AssignTo(Dest);
  if (auto* Target = dynamic_cast<TCustomOrderFilter*>(&Dest)) Target->FOrder = FOrder.Load();
}

unsigned TCustomOrderFilter::GetOrder() const { return FOrder; }

void TCustomOrderFilter::SetOrder(unsigned Value) {
  const unsigned N = std::min(Value, MaximumOrder());
  if (N != GetOrder()) {
    FOrder = N;
    OrderChanged();
  }
}

void TCustomOrderFilter::OrderChanged() {
  RecalculateCoefficients();
  Changed();
}

}  // namespace vb
