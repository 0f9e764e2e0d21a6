#include "platform/x11/x11_image_uploader.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>
#include <xcb/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace vb {

namespace {

// PutImage's own fields before the pixels (24 bytes), with room to spare.
constexpr std::uint32_t kPutImageHeaderBytes = 32;

// Shared memory only makes sense when the server runs on this machine: a
// segment id means nothing (or something else) on a remote server.
bool IsLocalConnection(xcb_connection_t* Connection) {
  sockaddr_storage address{};
  socklen_t length = sizeof(address);
  if (getsockname(xcb_get_file_descriptor(Connection), reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return false;
  return address.ss_family == AF_UNIX;
}

// One colour byte placed into a channel mask of up to 8 bits.
std::uint32_t PlaceChannel(std::uint32_t Value8, std::uint32_t Mask) {
  if (Mask == 0) return 0;
  const int shift = std::countr_zero(Mask);
  const int bits = std::popcount(Mask);
  const std::uint32_t scaled = bits >= 8 ? Value8 << (bits - 8) : Value8 >> (8 - bits);
  return (scaled << shift) & Mask;
}

}  // namespace

TX11ImageUploader::TX11ImageUploader(const TX11Connection& Connection, xcb_drawable_t Drawable, xcb_gcontext_t Gc,
                                     const TX11PixelFormat& Format, bool AllowShm)
    : FConnection(Connection), FDrawable(Drawable), FGC(Gc), FFormat(Format), FAllowShm(AllowShm) {}

TX11ImageUploader::~TX11ImageUploader() { DetachShm(); }

void TX11ImageUploader::SetRequestLimit(std::uint32_t Bytes) {
  FRequestLimit = Bytes;
  Resize(FWidth, FHeight);
}

void TX11ImageUploader::Resize(std::int32_t Width, std::int32_t Height) {
  FWidth = std::max(Width, 0);
  FHeight = std::max(Height, 0);
  const std::size_t frameBytes = std::size_t(FFormat.RowBytes(FWidth)) * std::size_t(FHeight);
  DetachShm();
  if (FAllowShm && frameBytes > 0) AttachShm(frameBytes);
  std::uint32_t budget = FConnection.MaxRequestBytes();
  if (FRequestLimit != 0) budget = std::min(budget, FRequestLimit);
  const std::size_t bandBytes = budget > kPutImageHeaderBytes ? budget - kPutImageHeaderBytes : 0;
  FBand.assign(std::min(bandBytes, frameBytes), 0);
}

void TX11ImageUploader::AttachShm(std::size_t Bytes) {
  if (!FConnection.Connected() || !IsLocalConnection(FConnection.Get()) || !FConnection.HasShm()) return;
  const int id = shmget(IPC_PRIVATE, Bytes, IPC_CREAT | 0600);
  if (id < 0) return;
  void* address = shmat(id, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return;
  }
  const xcb_shm_seg_t segment = xcb_generate_id(FConnection.Get());
  const bool attached =
      FConnection.Check(xcb_shm_attach_checked(FConnection.Get(), segment, std::uint32_t(id), /*read_only=*/1));
  // Marked for removal now: the segment goes away by itself once both sides
  // have detached, even if the host process dies.
  shmctl(id, IPC_RMID, nullptr);
  if (!attached) {
    shmdt(address);
    return;
  }
  FShmSegment = segment;
  FShmAddress = address;
  FShmBytes = Bytes;
}

void TX11ImageUploader::DetachShm() {
  if (FShmSegment == 0) return;
  if (FConnection.Connected()) {
    xcb_shm_detach(FConnection.Get(), FShmSegment);
    // The server must have read its last image before our mapping goes.
    FConnection.Sync();
  }
  shmdt(FShmAddress);
  FShmSegment = 0;
  FShmAddress = nullptr;
  FShmBytes = 0;
}

void TX11ImageUploader::Put(const TRasterView& Frame, const TRect& Area) {
  if (!FConnection.Connected() || Frame.IsEmpty() || Frame.Format != TRasterFormat::rfBGRA32) return;
  const TRect shown =
      Intersection(Intersection(Area, TRect{0, 0, Frame.Width, Frame.Height}), TRect{0, 0, FWidth, FHeight});
  if (shown.IsEmpty()) return;
  if (FShmSegment != 0)
    PutShm(Frame, shown);
  else
    PutPlain(Frame, shown);
}

void TX11ImageUploader::ConvertRow(const std::uint8_t* Source, std::int32_t Width, std::uint8_t* Dest) const {
  if (FFormat.MatchesFrameLayout()) {
    std::memcpy(Dest, Source, std::size_t(Width) * 4);
    return;
  }
  const std::int32_t bytes = FFormat.BytesPerPixel();
  for (std::int32_t x = 0; x < Width; ++x) {
    std::uint32_t argb;
    std::memcpy(&argb, Source + std::size_t(x) * 4, 4);
    const std::uint32_t pixel = PlaceChannel((argb >> 16) & 0xFF, FFormat.RedMask) |
                                PlaceChannel((argb >> 8) & 0xFF, FFormat.GreenMask) |
                                PlaceChannel(argb & 0xFF, FFormat.BlueMask);
    std::uint8_t* out = Dest + std::size_t(x) * std::size_t(bytes);
    for (std::int32_t b = 0; b < bytes; ++b) {
      const int shift = FFormat.LsbFirst ? 8 * b : 8 * (bytes - 1 - b);
      out[b] = std::uint8_t(pixel >> shift);
    }
  }
}

void TX11ImageUploader::PutShm(const TRasterView& Frame, const TRect& Area) {
  // The segment mirrors the frame's layout, so rectangles never overlap in
  // it; a later write to the same place only makes the server show newer
  // pixels, and the request that follows it shows them again anyway.
  const std::int32_t rowBytes = FFormat.RowBytes(FWidth);
  auto* base = static_cast<std::uint8_t*>(FShmAddress);
  for (std::int32_t y = Area.Top; y < Area.Bottom; ++y)
    ConvertRow(
        Frame.Row(y) + std::size_t(Area.Left) * 4, Area.Width(),
        base + std::size_t(y) * std::size_t(rowBytes) + std::size_t(Area.Left) * std::size_t(FFormat.BytesPerPixel()));
  xcb_shm_put_image(FConnection.Get(), FDrawable, FGC, std::uint16_t(FWidth), std::uint16_t(FHeight),
                    std::uint16_t(Area.Left), std::uint16_t(Area.Top), std::uint16_t(Area.Width()),
                    std::uint16_t(Area.Height()), std::int16_t(Area.Left), std::int16_t(Area.Top), FFormat.Depth,
                    XCB_IMAGE_FORMAT_Z_PIXMAP, 0, FShmSegment, 0);
  ++FRequestCount;
}

void TX11ImageUploader::PutPlain(const TRasterView& Frame, const TRect& Area) {
  const std::int64_t budget = std::int64_t(FBand.size());
  // Columns per request: a whole row when it fits, else as many as do.
  const std::int64_t fitting = (budget * 8 - FFormat.ScanlinePad) / std::max<std::int64_t>(FFormat.BitsPerPixel, 1);
  const std::int32_t chunkWidth = std::int32_t(std::clamp<std::int64_t>(fitting, 1, Area.Width()));
  const std::int32_t chunkRowBytes = FFormat.RowBytes(chunkWidth);
  if (chunkRowBytes > budget) return;  // a server limit below one pixel row: nothing sensible to send
  const std::int32_t bandRows = std::int32_t(std::max<std::int64_t>(budget / chunkRowBytes, 1));
  for (std::int32_t left = Area.Left; left < Area.Right; left += chunkWidth) {
    const std::int32_t width = std::min(chunkWidth, Area.Right - left);
    const std::int32_t rowBytes = FFormat.RowBytes(width);
    for (std::int32_t top = Area.Top; top < Area.Bottom; top += bandRows) {
      const std::int32_t rows = std::min(bandRows, Area.Bottom - top);
      for (std::int32_t r = 0; r < rows; ++r)
        ConvertRow(Frame.Row(top + r) + std::size_t(left) * 4, width, FBand.data() + std::size_t(r) * rowBytes);
      xcb_put_image(FConnection.Get(), XCB_IMAGE_FORMAT_Z_PIXMAP, FDrawable, FGC, std::uint16_t(width),
                    std::uint16_t(rows), std::int16_t(left), std::int16_t(top), 0, FFormat.Depth,
                    std::uint32_t(rowBytes) * std::uint32_t(rows), FBand.data());
      ++FRequestCount;
      FLargestRequest = std::max(FLargestRequest, kPutImageHeaderBytes + std::uint32_t(rowBytes) * std::uint32_t(rows));
    }
  }
}

}  // namespace vb
