#pragma once
// The common base of pixel maps and byte maps: a size in pixels, change and
// resize notifications, and the file and stream entry points.
//
// Maps are used from the thread that owns the editor window only.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "image/stream.h"
#include "platform/canvas.h"
#include "platform/rect.h"

namespace vb {

class TGuiCustomMap;
// Called with the map as sender.
using TMapNotifyEvent = std::function<void(TGuiCustomMap& Sender)>;

class TGuiCustomMap {
 public:
  TGuiCustomMap() = default;
  virtual ~TGuiCustomMap() = default;
  TGuiCustomMap(const TGuiCustomMap&) = delete;
  TGuiCustomMap& operator=(const TGuiCustomMap&) = delete;

  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  // A negative value raises EGuiError "Width may not be negative!"; a new
  // value is stored and the map resized (notifications, then storage).
  void SetWidth(std::int32_t Value);
  // A negative value raises EGuiError "Height may not be negative!".
  void SetHeight(std::int32_t Value);
  // Negative sizes raise the errors above (width tested first) and leave the
  // map unchanged; equal values do nothing.
  void SetSize(std::int32_t Width, std::int32_t Height);
  TRect ClientRect() const { return TRect{0, 0, FWidth, FHeight}; }
  // Size of the storage in bytes (0 when there is none).
  std::int32_t DataSize() const { return FDataSize; }

  const TMapNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TMapNotifyEvent Handler) { FOnChange = std::move(Handler); }
  // Called after a size change, before OnChange and before the storage has
  // the new size: handlers must not touch the pixels.
  const TMapNotifyEvent& OnResize() const { return FOnResize; }
  void SetOnResize(TMapNotifyEvent Handler) { FOnResize = std::move(Handler); }

  virtual bool IsEmpty() const { return FDataSize == 0; }
  // Fires OnChange.
  virtual void Changed();
  // Fires OnResize, then Changed.
  virtual void Resized();

  // Every storage byte becomes 0.
  virtual void Clear() = 0;

  void PaintTo(TCanvas& Canvas) { PaintTo(Canvas, 0, 0); }
  // Draws the whole map onto Canvas with its top-left corner at (X, Y).
  virtual void PaintTo(TCanvas& Canvas, std::int32_t X, std::int32_t Y) = 0;
  // Draws the part of the map that starts at (Rect.Left, Rect.Top), at most
  // Rect's size and the map's size, at (X, Y).
  virtual void PaintTo(TCanvas& Canvas, const TRect& Rect, std::int32_t X, std::int32_t Y) = 0;

  // Opens the file for reading and calls LoadFromStream.
  virtual void LoadFromFile(const std::string& FileName);
  // Saves through the registered format that handles the file's extension,
  // else writes a bitmap file with SaveToStream.
  virtual void SaveToFile(const std::string& FileName);
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) const = 0;

  // The streamed "Data" block: width, height (32-bit little-endian), then
  // the storage bytes. ReadData calls Changed even when reading fails.
  virtual void ReadData(TStream& Stream) = 0;
  virtual void WriteData(TStream& Stream) const = 0;

  // Changes the size keeping the overlapping top-left content; the rest is
  // cleared to 0. No notification.
  virtual void Resize(std::int32_t Width, std::int32_t Height) = 0;
  // Rotates the image by 90 degrees. No notification.
  virtual void Turn(bool CounterClockwise = false) = 0;

 protected:
  // Run by SetSize after both values are stored: HeightChanged(false),
  // WidthChanged(false), Resized. Descendants then size their storage.
  virtual void SizeChanged(std::int32_t Width, std::int32_t Height);
  // UpdateBitmap is true when only this one dimension changed (through the
  // setter): then the change reaction also notifies and sizes the storage.
  virtual void HeightChanged(bool UpdateBitmap) = 0;
  virtual void WidthChanged(bool UpdateBitmap) = 0;
  // Refuses a size whose storage could not be addressed (an assertion
  // error), before anything is stored: a map never holds a size that does
  // not match its storage.
  virtual void CheckStorageSize(std::int32_t Width, std::int32_t Height) const;

  // Saves through the registered format that handles the extension of
  // FileName; false when no format does.
  bool SaveThroughFileFormat(const std::string& FileName) const;

  // Clipping of drawing another map: the destination area of a Width x
  // Height source at (X, Y); empty when nothing is visible.
  TRect ClipPlacement(std::int32_t X, std::int32_t Y, std::int32_t Width, std::int32_t Height) const;

  // The pixels of a line from (FromX, FromY) towards (ToX, ToY), the end
  // point left out (Bresenham, rounding halfway steps alike for every map):
  // calls Plot(X, Y) for each one that lies inside the map.
  template <class TPlot>
  void WalkLine(std::int32_t FromX, std::int32_t FromY, std::int32_t ToX, std::int32_t ToY, TPlot Plot) const;

  std::int32_t FDataSize = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  TMapNotifyEvent FOnChange;
  TMapNotifyEvent FOnResize;
};

template <class TPlot>
void TGuiCustomMap::WalkLine(std::int32_t FromX, std::int32_t FromY, std::int32_t ToX, std::int32_t ToY,
                             TPlot Plot) const {
  // 64-bit differences: coordinates far apart must not overflow.
  const std::int64_t dx = std::abs(std::int64_t(ToX) - FromX);
  const std::int64_t dy = std::abs(std::int64_t(ToY) - FromY);
  const std::int32_t sx = ToX > FromX ? 1 : -1;
  const std::int32_t sy = ToY > FromY ? 1 : -1;
  const bool xMajor = dx > dy;
  const std::int64_t n = xMajor ? dx : dy;
  std::int64_t error = n / 2;
  std::int32_t x = FromX;
  std::int32_t y = FromY;
  auto plotInside = [&] {
    if (x >= 0 && x < FWidth && y >= 0 && y < FHeight) Plot(x, y);
  };
  plotInside();
  for (std::int64_t i = 1; i < n; ++i) {
    error -= xMajor ? dy : dx;
    if (error < 0) {
      error += n;
      x += sx;
      y += sy;
    } else if (xMajor) {
      x += sx;
    } else {
      y += sy;
    }
    plotInside();
  }
}

// Reads and writes the little-endian header fields of bitmap files and
// streamed map data.
std::int32_t ReadInt32LE(TStream& Stream);
void WriteInt32LE(TStream& Stream, std::int32_t Value);

// The extension of a file name with its dot (".png"), or empty.
std::string ExtractFileExt(const std::string& FileName);

}  // namespace vb
