#include "dsp/order_filter.h"

#include <algorithm>

namespace vb {

const char* TCustomOrderFilter::ClassName() const { return "TCustomOrderFilter"; }

void TCustomOrderFilter::AssignTo(TNotifiablePersistent& Dest) const {
  TCustomGainFrequencyFilter::AssignTo(Dest);
  if (auto* target = dynamic_cast<TCustomOrderFilter*>(&Dest)) target->FOrder = FOrder.Load();
}

unsigned TCustomOrderFilter::GetOrder() const { return FOrder; }

void TCustomOrderFilter::SetOrder(unsigned Value) {
  const unsigned n = std::min(Value, MaximumOrder());
  if (n != GetOrder()) {
    FOrder = n;
    OrderChanged();
  }
}

void TCustomOrderFilter::OrderChanged() {
  RecalculateCoefficients();
  Changed();
}

}  // namespace vb
