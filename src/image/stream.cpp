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

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count < 0 || (count > 0 && Read(buffer, count) != count)) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count < 0 || (count > 0 && Write(buffer, count) != count)) throw EWriteError();
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::uint8_t chunk[64 * 1024];
  std::int64_t left = count;
  while (left > 0) {
    const std::int64_t n = std::min<std::int64_t>(left, sizeof chunk);
    source.ReadBuffer(chunk, n);
    WriteBuffer(chunk, n);
    left -= n;
  }
  return count;
}

// ---------------------------------------------------------------------------

TMemoryStream::TMemoryStream(const void* data, std::int64_t count) {
  if (count > 0) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    FData.assign(bytes, bytes + count);
  }
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || FPosition >= Size()) return 0;
  const std::int64_t n = std::min(count, Size() - FPosition);
  std::memcpy(buffer, FData.data() + FPosition, std::size_t(n));
  FPosition += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  const std::int64_t end = FPosition + count;
  if (end > Size()) FData.resize(std::size_t(end));
  std::memcpy(FData.data() + FPosition, buffer, std::size_t(count));
  FPosition = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == TSeekOrigin::soCurrent) base = FPosition;
  if (origin == TSeekOrigin::soEnd) base = Size();
  if (base + offset < 0) throw EStreamError(TErrorCode::ecStreamPosition);
  FPosition = base + offset;
  return FPosition;
}

void TMemoryStream::SetSize(std::int64_t newSize) {
  if (newSize < 0) throw EStreamError(TErrorCode::ecStreamSize);
  FData.resize(std::size_t(newSize));
  FPosition = std::min(FPosition, newSize);
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const std::int64_t count = source.Size();
  FData.resize(std::size_t(count));
  FPosition = 0;
  if (count > 0) source.ReadBuffer(FData.data(), count);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, TFileMode::fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest) const { dest.WriteBuffer(FData.data(), std::int64_t(FData.size())); }

void TMemoryStream::SaveToFile(const std::string& fileName) const {
  TFileStream file(fileName, TFileMode::fmCreate);
  SaveToStream(file);
}

// ---------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : FFileName(fileName) {
  const char* how = mode == TFileMode::fmOpenRead ? "rb" : mode == TFileMode::fmCreate ? "w+b" : "r+b";
  FFile = std::fopen(fileName.c_str(), how);
  if (FFile == nullptr) {
    const TErrorCode code = mode == TFileMode::fmCreate ? TErrorCode::ecFileCreate : TErrorCode::ecFileOpen;
    throw EFOpenError(code, fileName, std::strerror(errno));
  }
}

TFileStream::~TFileStream() {
  if (FFile != nullptr) std::fclose(FFile);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  return std::int64_t(std::fread(buffer, 1, std::size_t(count), FFile));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  return std::int64_t(std::fwrite(buffer, 1, std::size_t(count), FFile));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  if (std::fseek(FFile, long(offset), whence) != 0) throw EStreamError(TErrorCode::ecStreamPosition);
  return std::int64_t(std::ftell(FFile));
}

std::int64_t TFileStream::Size() {
  std::fflush(FFile);
  return TStream::Size();
}

}  // namespace vb
