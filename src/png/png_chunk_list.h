#pragma once
// An owning, ordered list of PNG chunks.
#include <memory>
#include <vector>

#include "png/png_chunk.h"

namespace vb {

class TPngChunkList {
 public:
  TPngChunkList() = default;
  TPngChunkList(const TPngChunkList&) = delete;
  TPngChunkList& operator=(const TPngChunkList&) = delete;

  // Takes ownership; returns the chunk for convenience.
  TCustomChunk& Add(std::unique_ptr<TCustomChunk> Item);
  void Clear() { FChunks.clear(); }
  // Index outside 0..Count-1 raises "Chunk list is empty".
  void Delete(int Index);
  int IndexOf(const TCustomChunk* Item) const;
  void Remove(const TCustomChunk* Item);
  // Index outside 0..Count-1 raises "Index out of bounds (%d)".
  TCustomChunk& GetChunk(int Index) const;
  TCustomChunk& operator[](int Index) const { return GetChunk(Index); }
  int Count() const { return int(FChunks.size()); }

  // Replaces Dest's chunks by copies bound to Header; a chunk that needs no
  // header cannot be copied and raises EPngError "Cannot assign chunk".
  void AssignTo(TPngChunkList& Dest, TChunkPngImageHeader& Header) const;

 private:
  std::vector<std::unique_ptr<TCustomChunk>> FChunks;
};

}  // namespace vb
