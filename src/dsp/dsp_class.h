#pragma once

namespace vb {

// Identifies a class of DSP processor at run time (for the processor
// registries and for choosing the filter class of a resampler). One static
// instance exists per class; classes are compared by address.
struct TDspClassInfo {
  const char* ClassName;
};

}  // namespace vb
