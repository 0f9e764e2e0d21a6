#include "png/png_chunk_registry.h"

#include <vector>

#include "error/error.h"
#include "png/png_chunk_layouts.h"
#include "png/png_chunks_basic.h"
#include "png/png_chunks_text.h"

namespace vb {
namespace {

std::vector<TPngChunkClassInfo>& Registry() {
  static std::vector<TPngChunkClassInfo> registry;
  return registry;
}

}  // namespace

void RegisterPngChunkClass(const TPngChunkClassInfo& ChunkClass) {
  if (FindPngChunkClassByName(ChunkClass.Name)) throw EPngError(TErrorCode::ecChunkClassTwice);
  Registry().push_back(ChunkClass);
}

void RegisterPngChunkClasses() {
  const TPngChunkClassInfo classes[] = {
      PngChunkClassOf<TChunkPngImageData>(),
      PngChunkClassOf<TChunkPngPalette>(),
      PngChunkClassOf<TChunkPngGamma>(),
      PngChunkClassOf<TChunkPngStandardColorSpaceRGB>(),
      PngChunkClassOf<TChunkPngPrimaryChromaticities>(),
      PngChunkClassOf<TChunkPngTime>(),
      PngChunkClassOf<TChunkPngTransparency>(),
      PngChunkClassOf<TChunkPngEmbeddedIccProfile>(),
      PngChunkClassOf<TChunkPngPhysicalPixelDimensions>(),
      PngChunkClassOf<TChunkPngTextChunk>(),
      PngChunkClassOf<TChunkPngCompressedTextChunk>(),
      PngChunkClassOf<TChunkPngInternationalTextChunk>(),
      PngChunkClassOf<TChunkPngImageHistogram>(),
      PngChunkClassOf<TChunkPngBackgroundColor>(),
      PngChunkClassOf<TChunkPngSignificantBits>(),
      PngChunkClassOf<TChunkPngImageOffset>(),
      PngChunkClassOf<TChunkPngPixelCalibrator>(),
  };
  for (const auto& c : classes) RegisterPngChunkClass(c);
}

void ClearPngChunkClassRegistry() { Registry().clear(); }

const TPngChunkClassInfo* FindPngChunkClassByName(const TChunkName& Name) {
  for (const auto& c : Registry())
    if (c.Name == Name) return &c;
  return nullptr;
}

int PngChunkClassCount() { return int(Registry().size()); }

}  // namespace vb
