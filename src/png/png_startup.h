#pragma once
// Start-up and shut-down of the PNG codec, called once on the thread that
// loads the library, after ImageStartUp: builds the CRC table, registers
// the chunk classes and registers the PNG format for ".png".
namespace vb {

// A second call without PngShutDown in between does nothing.
void PngStartUp();
void PngShutDown();

}  // namespace vb
