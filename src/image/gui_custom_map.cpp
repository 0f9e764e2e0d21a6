#include "image/gui_custom_map.h"

#include <algorithm>

#include "error/error.h"
#include "image/file_format_registry.h"

namespace vb {

void TGuiCustomMap::SetWidth(std::int32_t value) {
  if (value < 0) throw EGuiError(TErrorCode::ecWidthNegative);
  if (value == FWidth) return;
  CheckStorageSize(value, FHeight);
  FWidth = value;
  WidthChanged(true);
}

void TGuiCustomMap::SetHeight(std::int32_t value) {
  if (value < 0) throw EGuiError(TErrorCode::ecHeightNegative);
  if (value == FHeight) return;
  CheckStorageSize(FWidth, value);
  FHeight = value;
  HeightChanged(true);
}

void TGuiCustomMap::SetSize(std::int32_t width, std::int32_t height) {
  if (width < 0) throw EGuiError(TErrorCode::ecWidthNegative);
  if (height < 0) throw EGuiError(TErrorCode::ecHeightNegative);
  if (width == FWidth && height == FHeight) return;
  CheckStorageSize(width, height);
  FWidth = width;
  FHeight = height;
  SizeChanged(width, height);
}

void TGuiCustomMap::CheckStorageSize(std::int32_t, std::int32_t) const {}

void TGuiCustomMap::Changed() {
  if (FOnChange) FOnChange(*this);
}

void TGuiCustomMap::Resized() {
  if (FOnResize) FOnResize(*this);
  Changed();
}

void TGuiCustomMap::SizeChanged(std::int32_t, std::int32_t) {
  HeightChanged(false);
  WidthChanged(false);
  Resized();
}

void TGuiCustomMap::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, TFileMode::fmOpenRead);
  LoadFromStream(stream);
}

TRect TGuiCustomMap::ClipPlacement(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) const {
  const std::int64_t right = std::min<std::int64_t>(std::int64_t(x) + width, FWidth);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(y) + height, FHeight);
  return TRect{std::max(x, 0), std::max(y, 0), std::int32_t(right), std::int32_t(bottom)};
}

bool TGuiCustomMap::SaveThroughFileFormat(const std::string& fileName) const {
  const TGuiFileFormatClassRef formatClass = FindFileFormatByExtension(ExtractFileExt(fileName));
  if (formatClass == nullptr) return false;
  const std::unique_ptr<TGuiCustomFileFormat> format = formatClass->Create();
  format->Assign(*this);
  format->SaveToFile(fileName);
  return true;
}

void TGuiCustomMap::SaveToFile(const std::string& fileName) {
  if (SaveThroughFileFormat(fileName)) return;
  TFileStream stream(fileName, TFileMode::fmCreate);
  SaveToStream(stream);
}

std::int32_t ReadInt32LE(TStream& stream) {
  std::uint8_t b[4];
  stream.ReadBuffer(b, 4);
  return std::int32_t(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
                      (std::uint32_t(b[3]) << 24));
}

void WriteInt32LE(TStream& stream, std::int32_t value) {
  const std::uint32_t v = std::uint32_t(value);
  const std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
  stream.WriteBuffer(b, 4);
}

std::string ExtractFileExt(const std::string& fileName) {
  const std::size_t dot = fileName.find_last_of('.');
  const std::size_t slash = fileName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  return fileName.substr(dot);
}

}  // namespace vb
