#include "png/png_startup.h"

#include "image/file_format_registry.h"
#include "png/png_chunk_registry.h"
#include "png/png_crc.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {
namespace {

bool GStarted = false;

TGuiFileFormatClassRef PngFormatClass() {
  return FileFormatClassOf<TPortableNetworkGraphicPixel32>("Portable Network Graphics");
}

}  // namespace

void PngStartUp() {
  if (GStarted) return;
  BuildPngCrcTable();
  RegisterFileFormat(PngFormatClass());
  RegisterPngChunkClasses();
  GStarted = true;
}

void PngShutDown() {
  if (!GStarted) return;
  ClearPngChunkClassRegistry();
  ReleasePngCrcTable();
  GStarted = false;
}

}  // namespace vb
