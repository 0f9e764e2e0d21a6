#include "png/png_chunks_basic.h"

#include <cmath>

#include "png/png_error.h"

namespace vb {
namespace {

// Rounds to the nearest integer, ties to even (the current FP rounding mode).
int64_t RoundToEven(double Value) { return std::llrint(Value); }

int64_t DaysFromCivil(int64_t Y, unsigned M, unsigned D) {
  Y -= M <= 2;
  const int64_t era = (Y >= 0 ? Y : Y - 399) / 400;
  const unsigned yoe = unsigned(Y - era * 400);
  const unsigned doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + int64_t(doe) - 719468;
}

bool IsLeapYear(unsigned Y) { return (Y % 4 == 0 && Y % 100 != 0) || Y % 400 == 0; }

// Day number of 30 December 1899 counted from 1 January 1970.
constexpr int64_t kDateTimeEpoch = -25569;

}  // namespace

void RequireChunkBytes(const TPngMemoryStream& Stream, size_t Size) {
  if (Stream.Remaining() < Size) throw EPngError(TErrorCode::ecChunkSizeTooSmall);
}

void TChunkPngImageData::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  FData.SetPosition(FData.Size());
  FData.Write(Stream.Memory() + Stream.Position(), Stream.Remaining());
  Stream.SetPosition(Stream.Size());
}

void TChunkPngImageData::SaveToStream(TPngMemoryStream& Stream) { SaveChunk(Stream, FData); }

void TChunkPngPalette::SetCount(int Value) {
  if (Value > 256) throw EPngError(TErrorCode::ecPaletteTooLarge);
  if (Value < 0) Value = 0;
  FPaletteEntries.resize(size_t(Value));
}

TRGB24 TChunkPngPalette::PaletteEntry(int Index) const {
  if (Index < 0 || Index >= Count()) RaiseIndexOutOfBounds(Index);
  return FPaletteEntries[size_t(Index)];
}

void TChunkPngPalette::SetPaletteEntry(int Index, TRGB24 Value) {
  if (Index < 0 || Index >= Count()) RaiseIndexOutOfBounds(Index);
  FPaletteEntries[size_t(Index)] = Value;
}

void TChunkPngPalette::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  const size_t remaining = Stream.Remaining();
  if (remaining % 3 != 0) throw EPngError(TErrorCode::ecPaletteIncomplete);
  FPaletteEntries.resize(remaining / 3);
  for (TRGB24& e : FPaletteEntries) {
    uint8_t rgb[3];
    Stream.ReadBuffer(rgb, 3);
    e = {rgb[0], rgb[1], rgb[2]};
  }
}

void TChunkPngPalette::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  for (const TRGB24& e : FPaletteEntries) {
    const uint8_t rgb[3] = {e.R, e.G, e.B};
    data.Write(rgb, 3);
  }
  SaveChunk(Stream, data);
}

float TChunkPngGamma::GammaAsSingle() const { return float(FGamma * 0.00001); }

void TChunkPngGamma::SetGammaAsSingle(float Value) { FGamma = uint32_t(RoundToEven(double(Value) * 100000)); }

void TChunkPngGamma::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  RequireChunkBytes(Stream, 4);
  FGamma = ReadBigEndian32(Stream);
}

void TChunkPngGamma::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  WriteBigEndian32(data, FGamma);
  SaveChunk(Stream, data);
}

void TChunkPngStandardColorSpaceRGB::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  RequireChunkBytes(Stream, 1);
  FRenderingIntent = Stream.ReadByte();
}

void TChunkPngStandardColorSpaceRGB::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  data.WriteByte(FRenderingIntent);
  SaveChunk(Stream, data);
}

float TChunkPngPrimaryChromaticities::ValueAsSingle(TIndex Index) const { return float(FValues[Index] * 0.00001); }

void TChunkPngPrimaryChromaticities::SetValueAsSingle(TIndex Index, float Value) {
  FValues[Index] = int32_t(RoundToEven(double(Value) * 100000));
}

void TChunkPngPrimaryChromaticities::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  RequireChunkBytes(Stream, 32);
  for (int32_t& v : FValues) v = int32_t(ReadBigEndian32(Stream));
}

void TChunkPngPrimaryChromaticities::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  for (int32_t v : FValues) WriteBigEndian32(data, uint32_t(v));
  SaveChunk(Stream, data);
}

double TChunkPngTime::ModifiedDateTime() const {
  static const uint8_t kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool dateOk = FYear >= 1 && FMonth >= 1 && FMonth <= 12 && FDay >= 1 &&
                      FDay <= kDaysInMonth[FMonth - 1] + (FMonth == 2 && IsLeapYear(FYear));
  if (!dateOk || FHour > 23 || FMinute > 59 || FSecond > 59) throw EPngError(TErrorCode::ecInvalidDate);
  const double days = double(DaysFromCivil(FYear, FMonth, FDay) - kDateTimeEpoch);
  const double fraction = (FHour * 3600.0 + FMinute * 60.0 + FSecond) / 86400.0;
  return days >= 0 ? days + fraction : days - fraction;
}

void TChunkPngTime::SetModifiedDateTime(double Value) {
  // Whole seconds; negative values keep the time part as a positive fraction.
  const double whole = std::trunc(Value);
  int64_t seconds = std::llround(std::fabs(Value - whole) * 86400.0);
  int64_t day = int64_t(whole) + kDateTimeEpoch;
  if (seconds >= 86400) {
    seconds -= 86400;
    day += Value >= 0 ? 1 : -1;
  }
  // Civil date from a day count (1970-01-01 = 0).
  const int64_t z = day + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  FYear = uint16_t(int64_t(yoe) + era * 400 + (m <= 2));
  FMonth = uint8_t(m);
  FDay = uint8_t(d);
  FHour = uint8_t(seconds / 3600);
  FMinute = uint8_t(seconds / 60 % 60);
  FSecond = uint8_t(seconds % 60);
}

void TChunkPngTime::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  RequireChunkBytes(Stream, 7);
  FYear = ReadBigEndian16(Stream);
  FMonth = Stream.ReadByte();
  FDay = Stream.ReadByte();
  FHour = Stream.ReadByte();
  FMinute = Stream.ReadByte();
  FSecond = Stream.ReadByte();
}

void TChunkPngTime::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  WriteBigEndian16(data, FYear);
  const uint8_t rest[5] = {FMonth, FDay, FHour, FMinute, FSecond};
  data.Write(rest, 5);
  SaveChunk(Stream, data);
}

void TChunkPngPhysicalPixelDimensions::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  RequireChunkBytes(Stream, 9);
  FPixelsPerUnitX = ReadBigEndian32(Stream);
  FPixelsPerUnitY = ReadBigEndian32(Stream);
  FUnit = Stream.ReadByte();
}

void TChunkPngPhysicalPixelDimensions::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  WriteBigEndian32(data, FPixelsPerUnitX);
  WriteBigEndian32(data, FPixelsPerUnitY);
  data.WriteByte(FUnit);
  SaveChunk(Stream, data);
}

void TChunkPngImageOffset::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  RequireChunkBytes(Stream, 9);
  FImagePositionX = int32_t(ReadBigEndian32(Stream));
  FImagePositionY = int32_t(ReadBigEndian32(Stream));
  FUnitSpecifier = Stream.ReadByte();
}

void TChunkPngImageOffset::SaveToStream(TPngMemoryStream& Stream) {
  TPngMemoryStream data;
  WriteBigEndian32(data, uint32_t(FImagePositionX));
  WriteBigEndian32(data, uint32_t(FImagePositionY));
  data.WriteByte(FUnitSpecifier);
  SaveChunk(Stream, data);
}

void TChunkPngImageHistogram::LoadFromStream(TPngMemoryStream& Stream) {
  TDefinedChunk::LoadFromStream(Stream);
  Stream.SetPosition(Stream.Size());
}

void TChunkPngImageHistogram::SaveToStream(TPngMemoryStream&) { throw EPngError(TErrorCode::ecNotYetImplemented); }

}  // namespace vb
