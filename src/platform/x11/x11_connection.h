#pragma once
// One private connection to an X server. Every editor window (and every host
// window of the tools and tests) opens its own and closes it with the window:
// nothing is shared between windows, instances or the host, so X errors of
// our requests arrive here as events and never reach the host's Xlib error
// handler, and closing one editor cannot disturb another.
//
// Used from the thread that opened it only.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace vb {

// Replies and errors that xcb hands over are freed with free().
struct TX11FreeDeleter {
  void operator()(void* P) const { std::free(P); }
};
template <class T>
using TX11Reply = std::unique_ptr<T, TX11FreeDeleter>;

// How the server wants the pixels of one visual in ZPixmap images.
struct TX11PixelFormat {
  xcb_visualid_t Visual = 0;
  std::uint8_t Depth = 0;
  std::uint8_t BitsPerPixel = 0;  // 24 or 32 for the visuals we use
  std::uint8_t ScanlinePad = 32;  // bits
  bool LsbFirst = true;           // image byte order
  std::uint32_t RedMask = 0;
  std::uint32_t GreenMask = 0;
  std::uint32_t BlueMask = 0;

  // True when a 0xAARRGGBB pixel stored little-endian (our frames) is
  // already what the server expects: 32 bits, LSB first, 8 bits per colour
  // at the usual places. Then images go out without conversion.
  bool MatchesFrameLayout() const {
    return BitsPerPixel == 32 && LsbFirst && RedMask == 0xFF0000u && GreenMask == 0xFF00u && BlueMask == 0xFFu;
  }
  std::int32_t BytesPerPixel() const { return BitsPerPixel / 8; }
  // Bytes of one image row of Width pixels, padded as the server requires.
  std::int32_t RowBytes(std::int32_t Width) const;
};

class TX11Connection {
 public:
  // Connects to DisplayName, or to $DISPLAY when null. Never throws; check
  // Connected().
  explicit TX11Connection(const char* DisplayName = nullptr);
  ~TX11Connection();
  TX11Connection(const TX11Connection&) = delete;
  TX11Connection& operator=(const TX11Connection&) = delete;

  // Open and not broken. A broken connection stays broken: every request
  // on it is dropped by xcb, so callers simply stop talking.
  bool Connected() const;
  xcb_connection_t* Get() const { return FConnection; }

  xcb_screen_t* DefaultScreen() const;
  // The screen whose root window is Root, or null.
  xcb_screen_t* ScreenOfRoot(xcb_window_t Root) const;
  // A depth-24 TrueColor visual of Screen with its image format; false when
  // the screen has none.
  bool FindTrueColor24(const xcb_screen_t& Screen, TX11PixelFormat& Format) const;

  // Interned atom, or XCB_ATOM_NONE when the server refused.
  xcb_atom_t Atom(const char* Name) const;
  // Waits for the server to answer a checked request; true when it
  // succeeded. Discards the error otherwise.
  bool Check(xcb_void_cookie_t Cookie) const;
  // A round trip: when it returns true the server has handled every request
  // sent before it.
  bool Sync() const;
  // The largest request the server accepts, in bytes.
  std::uint32_t MaxRequestBytes() const;
  // Whether the server offers MIT-SHM with pixmap-independent PutImage.
  bool HasShm() const;

 private:
  xcb_connection_t* FConnection = nullptr;
  int FScreenNumber = 0;
};

}  // namespace vb
