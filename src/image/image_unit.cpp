#include "image/image_unit.h"

#include "image/file_format_registry.h"
#include "image/pixel_blend.h"

namespace vb {

void ImageStartUp() { BlendStartUp(); }

void ImageShutDown() {
  ClearFileFormatRegistry();
  BlendShutDown();
}

}  // namespace vb
