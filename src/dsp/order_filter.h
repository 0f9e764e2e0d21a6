#pragma once

#include <memory>

#include "dsp/dsp_class.h"
#include "dsp/gain_frequency_filter.h"
#include "dsp/relaxed.h"

namespace vb {

class TCustomOrderFilter;

// A class of order filter that can be created by reference (the resampler
// chooses its filter class this way).
struct TOrderFilterClassInfo : TDspClassInfo {
  std::unique_ptr<TCustomOrderFilter> (*Create)(unsigned Order);
};
using TOrderFilterClass = const TOrderFilterClassInfo*;

// A filter of selectable order, limited to MaximumOrder.
class TCustomOrderFilter : public TCustomGainFrequencyFilter {
 public:
  const char* ClassName() const override;
  void AssignTo(TNotifiablePersistent& Dest) const override;

  virtual unsigned MaximumOrder() const = 0;
  unsigned GetOrder() const override;
  // Values above MaximumOrder are limited to it.
  void SetOrder(unsigned Value) override;

 protected:
  // The order must already be limited to MaximumOrder by the caller.
  explicit TCustomOrderFilter(unsigned Order) : FOrder(Order) {}
  virtual void OrderChanged();

  // Read by the audio thread on every sample.
  TRelaxed<unsigned> FOrder;
};

}  // namespace vb
