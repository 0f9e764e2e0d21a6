#pragma once

#include <initializer_list>

#include "dsp/class_list.h"

namespace vb {

// Process-wide lists of the DSP processor classes that offer 32-bit and
// 64-bit sample processing. They exist between DspRegistriesStartUp and
// DspRegistriesShutDown, which the plug-in library calls once each, at load
// and unload, on the loading thread; no other code may run meanwhile. Before
// start-up and after shut-down both lists are null.
TClassList* ProcessorRegistry32() noexcept;
TClassList* ProcessorRegistry64() noexcept;

// Appends a class; a class that is already listed fails an assertion
// ("DSP Processor registered twice! (<class name>)"). Registering into a list
// that does not exist (before start-up) fails an assertion too.
void RegisterDspProcessor32(const TDspClassInfo& Class);
void RegisterDspProcessor32(std::initializer_list<const TDspClassInfo*> Classes);
void RegisterDspProcessor64(const TDspClassInfo& Class);
void RegisterDspProcessor64(std::initializer_list<const TDspClassInfo*> Classes);

// Creates both lists and registers the biquad designs, then the Butterworth
// filters, in both. Calling it again while the lists exist does nothing.
void DspRegistriesStartUp();
// Empties and frees both lists.
void DspRegistriesShutDown() noexcept;

}  // namespace vb
