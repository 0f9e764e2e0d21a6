#pragma once
// The process-wide registry that maps a chunk type to its chunk class.
// Filled by PngStartUp (start-up thread), read afterwards.
#include <memory>

#include "png/png_chunk.h"

namespace vb {

using TPngChunkFactory = std::unique_ptr<TCustomChunkPngWithHeader> (*)(TChunkPngImageHeader& Header);

// A chunk class: its fixed type and how to make one.
struct TPngChunkClassInfo {
  TChunkName Name;
  TPngChunkFactory Create;
};

template <class TChunk>
TPngChunkClassInfo PngChunkClassOf() {
  return {TChunk::ClassChunkName(), [](TChunkPngImageHeader& Header) -> std::unique_ptr<TCustomChunkPngWithHeader> {
            return std::make_unique<TChunk>(&Header);
          }};
}

// Registering a type twice raises EPngError "Chunk class registered twice".
void RegisterPngChunkClass(const TPngChunkClassInfo& ChunkClass);
// Registers the codec's chunk classes in their fixed order.
void RegisterPngChunkClasses();
void ClearPngChunkClassRegistry();
// The first class registered for Name, or null.
const TPngChunkClassInfo* FindPngChunkClassByName(const TChunkName& Name);
int PngChunkClassCount();

}  // namespace vb
