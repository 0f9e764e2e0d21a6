#include "platform/x11/x11_connection.h"

#include <xcb/shm.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include <cstring>

namespace vb {

namespace {
constexpr int kConnectRetries = 5;
}  // namespace

std::int32_t TX11PixelFormat::RowBytes(std::int32_t Width) const {
  const std::int64_t bits = std::int64_t(Width) * BitsPerPixel;
  const std::int64_t pad = ScanlinePad > 0 ? ScanlinePad : 8;
  return std::int32_t(((bits + pad - 1) / pad) * pad / 8);
}

TX11Connection::TX11Connection(const char* DisplayName) {
  // A busy server's listen queue can be full for a moment: connecting then
  // fails with EAGAIN (or the server drops the half-made connection) rather
  // than waiting. A few short retries (at most 62 ms in all) ride that out;
  // any other failure (no server there) is final at once.
  for (int attempt = 0;; ++attempt) {
    errno = 0;
    FConnection = xcb_connect(DisplayName, &FScreenNumber);
    const bool busy = errno == EAGAIN || errno == ECONNRESET || errno == EINTR;
    if (xcb_connection_has_error(FConnection) == 0 || !busy || attempt == kConnectRetries) return;
    xcb_disconnect(FConnection);
    FConnection = nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(2 << attempt));
  }
}

TX11Connection::~TX11Connection() {
  // Also releases the error object xcb hands out when connecting failed.
  if (FConnection != nullptr) xcb_disconnect(FConnection);
}

bool TX11Connection::Connected() const { return FConnection != nullptr && xcb_connection_has_error(FConnection) == 0; }

xcb_screen_t* TX11Connection::DefaultScreen() const {
  if (!Connected()) return nullptr;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(FConnection));
  for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it))
    if (i == FScreenNumber) return it.data;
  return nullptr;
}

xcb_screen_t* TX11Connection::ScreenOfRoot(xcb_window_t Root) const {
  if (!Connected()) return nullptr;
  for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(FConnection)); it.rem > 0;
       xcb_screen_next(&it))
    if (it.data->root == Root) return it.data;
  return nullptr;
}

bool TX11Connection::FindTrueColor24(const xcb_screen_t& Screen, TX11PixelFormat& Format) const {
  if (!Connected()) return false;
  const xcb_setup_t* setup = xcb_get_setup(FConnection);
  bool found = false;
  for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(&Screen); d.rem > 0 && !found; xcb_depth_next(&d)) {
    if (d.data->depth != 24) continue;
    for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
      if (v.data->_class != XCB_VISUAL_CLASS_TRUE_COLOR) continue;
      Format.Visual = v.data->visual_id;
      Format.Depth = 24;
      Format.RedMask = v.data->red_mask;
      Format.GreenMask = v.data->green_mask;
      Format.BlueMask = v.data->blue_mask;
      found = true;
      break;
    }
  }
  if (!found) return false;
  Format.BitsPerPixel = 0;
  for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
    if (f.data->depth != 24) continue;
    Format.BitsPerPixel = f.data->bits_per_pixel;
    Format.ScanlinePad = f.data->scanline_pad;
  }
  Format.LsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
  // Depth-24 images of 24 or 32 bits per pixel are what we can write.
  return Format.BitsPerPixel == 24 || Format.BitsPerPixel == 32;
}

xcb_atom_t TX11Connection::Atom(const char* Name) const {
  if (!Connected()) return XCB_ATOM_NONE;
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(FConnection, 0, std::uint16_t(std::strlen(Name)), Name);
  TX11Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(FConnection, cookie, nullptr));
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

bool TX11Connection::Check(xcb_void_cookie_t Cookie) const {
  if (!Connected()) return false;
  TX11Reply<xcb_generic_error_t> error(xcb_request_check(FConnection, Cookie));
  return !error && Connected();
}

bool TX11Connection::Sync() const {
  if (!Connected()) return false;
  TX11Reply<xcb_get_input_focus_reply_t> reply(
      xcb_get_input_focus_reply(FConnection, xcb_get_input_focus(FConnection), nullptr));
  return reply != nullptr;
}

std::uint32_t TX11Connection::MaxRequestBytes() const {
  if (!Connected()) return 0;
  // In 4-byte units; BIG-REQUESTS raises it when the server has it.
  return xcb_get_maximum_request_length(FConnection) * 4u;
}

bool TX11Connection::HasShm() const {
  if (!Connected()) return false;
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(FConnection, &xcb_shm_id);
  if (extension == nullptr || !extension->present) return false;
  TX11Reply<xcb_shm_query_version_reply_t> reply(
      xcb_shm_query_version_reply(FConnection, xcb_shm_query_version(FConnection), nullptr));
  return reply != nullptr;
}

}  // namespace vb
