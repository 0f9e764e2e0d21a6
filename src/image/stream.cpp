#include "image/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vb {

std::int64_t TStream::Size() {
  const std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError(TErrorCode::ecStreamFixedSize); }

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
  if (Count < 0 || (Count > 0 && Read(Buffer, Count) != Count)) throw EReadError();
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
  if (Count < 0 || (Count > 0 && Write(Buffer, Count) != Count)) throw EWriteError();
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  std::uint8_t chunk[64 * 1024];
  std::int64_t left = Count;
  while (left > 0) {
    const std::int64_t n = std::min<std::int64_t>(left, sizeof chunk);
    Source.ReadBuffer(chunk, n);
    WriteBuffer(chunk, n);
    left -= n;
  }
  return Count;
}

// ---------------------------------------------------------------------------

TMemoryStream::TMemoryStream(const void* Data, std::int64_t Count) {
  if (Count > 0) {
    const auto* bytes = static_cast<const std::uint8_t*>(Data);
    FData.assign(bytes, bytes + Count);
  }
}

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
  if (Count <= 0 || FPosition >= Size()) return 0;
  const std::int64_t n = std::min(Count, Size() - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, std::size_t(n));
  FPosition += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  const std::int64_t end = FPosition + Count;
  if (end > Size()) FData.resize(std::size_t(end));
  std::memcpy(FData.data() + FPosition, Buffer, std::size_t(Count));
  FPosition = end;
  return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  std::int64_t base = 0;
  if (Origin == TSeekOrigin::soCurrent) base = FPosition;
  if (Origin == TSeekOrigin::soEnd) base = Size();
  if (base + Offset < 0) throw EStreamError(TErrorCode::ecStreamPosition);
  FPosition = base + Offset;
  return FPosition;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) throw EStreamError(TErrorCode::ecStreamSize);
  FData.resize(std::size_t(NewSize));
  FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Source) {
  Source.SetPosition(0);
  const std::int64_t count = Source.Size();
  FData.resize(std::size_t(count));
  FPosition = 0;
  if (count > 0) Source.ReadBuffer(FData.data(), count);
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, TFileMode::fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& Dest) const { Dest.WriteBuffer(FData.data(), std::int64_t(FData.size())); }

void TMemoryStream::SaveToFile(const std::string& FileName) const {
  TFileStream file(FileName, TFileMode::fmCreate);
  SaveToStream(file);
}

// ---------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : FFileName(FileName) {
  const char* how = Mode == TFileMode::fmOpenRead ? "rb" : Mode == TFileMode::fmCreate ? "w+b" : "r+b";
  FFile = std::fopen(FileName.c_str(), how);
  if (FFile == nullptr) {
    const TErrorCode code = Mode == TFileMode::fmCreate ? TErrorCode::ecFileCreate : TErrorCode::ecFileOpen;
    throw EFOpenError(code, FileName, std::strerror(errno));
  }
}

TFileStream::~TFileStream() {
  if (FFile != nullptr) std::fclose(FFile);
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  return std::int64_t(std::fread(Buffer, 1, std::size_t(Count), FFile));
}

std::int64_t TFileStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  return std::int64_t(std::fwrite(Buffer, 1, std::size_t(Count), FFile));
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : Origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  if (std::fseek(FFile, long(Offset), whence) != 0) throw EStreamError(TErrorCode::ecStreamPosition);
  return std::int64_t(std::ftell(FFile));
}

std::int64_t TFileStream::Size() {
  std::fflush(FFile);
  return TStream::Size();
}

}  // namespace vb
