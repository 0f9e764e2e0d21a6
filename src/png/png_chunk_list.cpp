#include "png/png_chunk_list.h"

#include "png/png_error.h"

namespace vb {

TCustomChunk& TPngChunkList::Add(std::unique_ptr<TCustomChunk> Item) {
  FChunks.push_back(std::move(Item));
  return *FChunks.back();
}

void TPngChunkList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EPngError(TErrorCode::ecChunkListEmpty);
  FChunks.erase(FChunks.begin() + Index);
}

int TPngChunkList::IndexOf(const TCustomChunk* Item) const {
  for (size_t i = 0; i < FChunks.size(); ++i)
    if (FChunks[i].get() == Item) return int(i);
  return -1;
}

void TPngChunkList::Remove(const TCustomChunk* Item) {
  const int index = IndexOf(Item);
  if (index >= 0) Delete(index);
}

TCustomChunk& TPngChunkList::GetChunk(int Index) const {
  if (Index < 0 || Index >= Count()) RaiseIndexOutOfBounds(Index);
  return *FChunks[size_t(Index)];
}

void TPngChunkList::AssignTo(TPngChunkList& Dest, TChunkPngImageHeader& Header) const {
  if (&Dest == this) return;
  Dest.Clear();
  for (const auto& chunk : FChunks) {
    if (auto* raw = dynamic_cast<const TUnknownChunk*>(chunk.get())) {
      // Raw chunks carry no header; they are copied byte for byte.
      auto copy = std::make_unique<TUnknownPngChunk>();
      raw->AssignTo(*copy);
      Dest.Add(std::move(copy));
      continue;
    }
    auto* withHeader = dynamic_cast<const TCustomChunkPngWithHeader*>(chunk.get());
    if (!withHeader) throw EPngError(TErrorCode::ecCannotAssignChunk);
    auto copy = withHeader->CreateSameClass(Header);
    withHeader->AssignTo(*copy);
    Dest.Add(std::move(copy));
  }
}

}  // namespace vb
