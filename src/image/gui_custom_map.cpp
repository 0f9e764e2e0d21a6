#include "image/gui_custom_map.h"

#include <algorithm>

#include "error/error.h"
#include "image/file_format_registry.h"

namespace vb {

void TGuiCustomMap::SetWidth(std::int32_t Value) {
  if (Value < 0) throw EGuiError(TErrorCode::ecWidthNegative);
  if (Value == FWidth) return;
  CheckStorageSize(Value, FHeight);
  FWidth = Value;
  WidthChanged(true);
}

void TGuiCustomMap::SetHeight(std::int32_t Value) {
  if (Value < 0) throw EGuiError(TErrorCode::ecHeightNegative);
  if (Value == FHeight) return;
  CheckStorageSize(FWidth, Value);
  FHeight = Value;
  HeightChanged(true);
}

void TGuiCustomMap::SetSize(std::int32_t Width, std::int32_t Height) {
  if (Width < 0) throw EGuiError(TErrorCode::ecWidthNegative);
  if (Height < 0) throw EGuiError(TErrorCode::ecHeightNegative);
  if (Width == FWidth && Height == FHeight) return;
  CheckStorageSize(Width, Height);
  FWidth = Width;
  FHeight = Height;
  SizeChanged(Width, Height);
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

void TGuiCustomMap::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, TFileMode::fmOpenRead);
  LoadFromStream(stream);
}

TRect TGuiCustomMap::ClipPlacement(std::int32_t X, std::int32_t Y, std::int32_t Width, std::int32_t Height) const {
  const std::int64_t right = std::min<std::int64_t>(std::int64_t(X) + Width, FWidth);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(Y) + Height, FHeight);
  return TRect{std::max(X, 0), std::max(Y, 0), std::int32_t(right), std::int32_t(bottom)};
}

bool TGuiCustomMap::SaveThroughFileFormat(const std::string& FileName) const {
  const TGuiFileFormatClassRef formatClass = FindFileFormatByExtension(ExtractFileExt(FileName));
  if (formatClass == nullptr) return false;
  const std::unique_ptr<TGuiCustomFileFormat> format = formatClass->Create();
  format->Assign(*this);
  format->SaveToFile(FileName);
  return true;
}

void TGuiCustomMap::SaveToFile(const std::string& FileName) {
  if (SaveThroughFileFormat(FileName)) return;
  TFileStream stream(FileName, TFileMode::fmCreate);
  SaveToStream(stream);
}

std::int32_t ReadInt32LE(TStream& Stream) {
  std::uint8_t b[4];
  Stream.ReadBuffer(b, 4);
  return std::int32_t(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
                      (std::uint32_t(b[3]) << 24));
}

void WriteInt32LE(TStream& Stream, std::int32_t Value) {
  const std::uint32_t v = std::uint32_t(Value);
  const std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
  Stream.WriteBuffer(b, 4);
}

std::string ExtractFileExt(const std::string& FileName) {
  const std::size_t dot = FileName.find_last_of('.');
  const std::size_t slash = FileName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  return FileName.substr(dot);
}

}  // namespace vb
