// libFuzzer entry for the PNG decoder: any bytes are loaded and decoded
// into a pixel map; every outcome but an error or a picture is a fault.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "image/gui_pixel_map_memory.h"
#include "png/png_startup.h"
#include "png/portable_network_graphic_pixel32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool started = (vb::PngStartUp(), true);
  (void)started;
  vb::TPortableNetworkGraphicPixel32 png;
  vb::TGuiPixelMapMemory map;
  try {
    png.LoadFromMemory(Data, Size);
    png.AssignTo(map);
  } catch (const std::exception&) {
    // Refusing the input is a valid outcome.
  }
  return 0;
}
