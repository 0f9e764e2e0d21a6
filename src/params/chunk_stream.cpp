#include "params/chunk_stream.h"

#include <cstring>

namespace vb {

void TChunkStream::Write(const void* Source, std::size_t Count) {
  if (Count == 0) return;
  if (FPosition + Count > FBytes.size()) FBytes.resize(FPosition + Count);
  std::memcpy(FBytes.data() + FPosition, Source, Count);
  FPosition += Count;
}

std::size_t TChunkStream::Read(void* Target, std::size_t Count) {
  const std::size_t available = FBytes.size() - FPosition;
  if (Count > available) Count = available;
  if (Count > 0) std::memcpy(Target, FBytes.data() + FPosition, Count);
  FPosition += Count;
  return Count;
}

void TChunkStream::Assign(const void* Source, std::size_t Count) {
  const auto* bytes = static_cast<const std::uint8_t*>(Source);
  if (Count == 0 || bytes == nullptr)
    FBytes.clear();
  else
    FBytes.assign(bytes, bytes + Count);
  FPosition = 0;
}

void TChunkStream::Clear() {
  FBytes.clear();
  FPosition = 0;
}

}  // namespace vb
