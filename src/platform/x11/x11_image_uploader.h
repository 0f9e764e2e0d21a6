#pragma once
// Sends rectangles of a composed 32-bit frame to a window. With MIT-SHM (a
// local server that can attach our segment) the rectangle is copied into a
// shared segment laid out like the frame and one ShmPutImage shows it; else
// plain PutImage requests carry the pixels, split into bands that fit the
// server's request limit (262,140 bytes without BIG-REQUESTS, less than one
// 865 x 150 frame). Only dirty rectangles are ever sent.
//
// Memory is taken in Resize only; Put allocates nothing. Used from the
// thread that owns the window only.

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

#include "platform/canvas.h"
#include "platform/rect.h"
#include "platform/x11/x11_connection.h"

namespace vb {

class TX11ImageUploader {
 public:
  // Drawable and GC belong to the caller and must outlive the uploader.
  TX11ImageUploader(const TX11Connection& Connection, xcb_drawable_t Drawable, xcb_gcontext_t Gc,
                    const TX11PixelFormat& Format, bool AllowShm);
  ~TX11ImageUploader();
  TX11ImageUploader(const TX11ImageUploader&) = delete;
  TX11ImageUploader& operator=(const TX11ImageUploader&) = delete;

  // Prepares for frames of Width x Height pixels (the window's size).
  void Resize(std::int32_t Width, std::int32_t Height);
  // Sends Area of Frame (clipped to the frame and to the size given to
  // Resize) to the same place of the drawable. Frame is rfBGRA32.
  void Put(const TRasterView& Frame, const TRect& Area);

  bool UsesShm() const { return FShmSegment != 0; }
  // Caps plain PutImage requests at Bytes (never above the server's limit);
  // lets tests and benchmarks exercise the split without a special server.
  void SetRequestLimit(std::uint32_t Bytes);
  // Requests sent so far (each ShmPutImage or PutImage counts one).
  std::int64_t RequestCount() const { return FRequestCount; }
  // The longest plain PutImage sent so far, header included, in bytes.
  std::uint32_t LargestRequestBytes() const { return FLargestRequest; }

 private:
  void AttachShm(std::size_t Bytes);
  void DetachShm();
  void PutShm(const TRasterView& Frame, const TRect& Area);
  void PutPlain(const TRasterView& Frame, const TRect& Area);
  // Writes Width pixels of frame row Source to Dest in the server's format.
  void ConvertRow(const std::uint8_t* Source, std::int32_t Width, std::uint8_t* Dest) const;

  const TX11Connection& FConnection;
  xcb_drawable_t FDrawable;
  xcb_gcontext_t FGC;
  TX11PixelFormat FFormat;
  bool FAllowShm;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  std::uint32_t FRequestLimit = 0;
  std::vector<std::uint8_t> FBand;  // one plain request's pixels
  std::uint32_t FShmSegment = 0;    // server-side id, 0 without MIT-SHM
  void* FShmAddress = nullptr;
  std::size_t FShmBytes = 0;
  std::int64_t FRequestCount = 0;
  std::uint32_t FLargestRequest = 0;
};

}  // namespace vb
