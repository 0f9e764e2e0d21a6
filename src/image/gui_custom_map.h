#pragma once
// The common base of pixel maps and byte maps: a size in pixels, change and
// resize notifications, and the file and stream entry points.
//
// Maps are used from the thread that owns the editor window only.

#include <cstdint>
#include <functional>
#include <string>

#include "image/stream.h"
#include "platform/canvas.h"
#include "platform/rect.h"

namespace vb {

class TGuiCustomMap;
// Called with the map as sender.
using TMapNotifyEvent = std::function<void(TGuiCustomMap& sender)>;

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
  void SetWidth(std::int32_t value);
  // A negative value raises EGuiError "Height may not be negative!".
  void SetHeight(std::int32_t value);
  // Negative sizes raise the errors above (width tested first) and leave the
  // map unchanged; equal values do nothing.
  void SetSize(std::int32_t width, std::int32_t height);
  TRect ClientRect() const { return TRect{0, 0, FWidth, FHeight}; }
  // Size of the storage in bytes (0 when there is none).
  std::int32_t DataSize() const { return FDataSize; }

  const TMapNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TMapNotifyEvent handler) { FOnChange = std::move(handler); }
  // Called after a size change, before OnChange and before the storage has
  // the new size: handlers must not touch the pixels.
  const TMapNotifyEvent& OnResize() const { return FOnResize; }
  void SetOnResize(TMapNotifyEvent handler) { FOnResize = std::move(handler); }

  virtual bool IsEmpty() const { return FDataSize == 0; }
  // Fires OnChange.
  virtual void Changed();
  // Fires OnResize, then Changed.
  virtual void Resized();

  // Every storage byte becomes 0.
  virtual void Clear() = 0;

  void PaintTo(TCanvas& canvas) { PaintTo(canvas, 0, 0); }
  // Draws the whole map onto Canvas with its top-left corner at (X, Y).
  virtual void PaintTo(TCanvas& canvas, std::int32_t x, std::int32_t y) = 0;
  // Draws the part of the map that starts at (Rect.Left, Rect.Top), at most
  // Rect's size and the map's size, at (X, Y).
  virtual void PaintTo(TCanvas& canvas, const TRect& rect, std::int32_t x, std::int32_t y) = 0;

  // Opens the file for reading and calls LoadFromStream.
  virtual void LoadFromFile(const std::string& fileName);
  // Saves through the registered format that handles the file's extension,
  // else writes a bitmap file with SaveToStream.
  virtual void SaveToFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;

  // The streamed "Data" block: width, height (32-bit little-endian), then
  // the storage bytes. ReadData calls Changed even when reading fails.
  virtual void ReadData(TStream& stream) = 0;
  virtual void WriteData(TStream& stream) const = 0;

  // Changes the size keeping the overlapping top-left content; the rest is
  // cleared to 0. No notification.
  virtual void Resize(std::int32_t width, std::int32_t height) = 0;
  // Rotates the image by 90 degrees. No notification.
  virtual void Turn(bool counterClockwise = false) = 0;

 protected:
  // Run by SetSize after both values are stored: HeightChanged(false),
  // WidthChanged(false), Resized. Descendants then size their storage.
  virtual void SizeChanged(std::int32_t width, std::int32_t height);
  // UpdateBitmap is true when only this one dimension changed (through the
  // setter): then the change reaction also notifies and sizes the storage.
  virtual void HeightChanged(bool updateBitmap) = 0;
  virtual void WidthChanged(bool updateBitmap) = 0;
  // Refuses a size whose storage could not be addressed (an assertion
  // error), before anything is stored: a map never holds a size that does
  // not match its storage.
  virtual void CheckStorageSize(std::int32_t width, std::int32_t height) const;

  // Saves through the registered format that handles the extension of
  // FileName; false when no format does.
  bool SaveThroughFileFormat(const std::string& fileName) const;

  std::int32_t FDataSize = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  TMapNotifyEvent FOnChange;
  TMapNotifyEvent FOnResize;
};

// Reads and writes the little-endian header fields of bitmap files and
// streamed map data.
std::int32_t ReadInt32LE(TStream& stream);
void WriteInt32LE(TStream& stream, std::int32_t value);

// The extension of a file name with its dot (".png"), or empty.
std::string ExtractFileExt(const std::string& fileName);

}  // namespace vb
