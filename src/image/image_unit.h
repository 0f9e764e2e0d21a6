#pragma once
// Start-up and shut-down of the raster image code, called once by the
// plug-in library (and by test environments) on the thread that loads it.
//
// Order: CpuStartUp (cpu/cpu_unit.h), then ImageStartUp, then the units
// that register image formats (the PNG codec). Shut-down runs in reverse:
// format units first, then ImageShutDown, then CpuShutDown.

namespace vb {

// Registers and binds the pixel-blending routines. Needs CpuStartUp first.
// A second call without ImageShutDown in between does nothing.
void ImageStartUp();
// Frees the blending binding list and empties the file-format registry.
void ImageShutDown();

}  // namespace vb
