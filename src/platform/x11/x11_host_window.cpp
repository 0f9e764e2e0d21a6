// The X11 side of host_window.h: a depth-24 TrueColor top-level window on a
// connection of its own, so that reading it back (GetImage) also returns
// the editor's depth-24 child as it is shown.
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "platform/host_window.h"
#include "platform/x11/x11_connection.h"

namespace vb {

namespace {

constexpr std::uint32_t kBackground = 0x303030;  // dark grey around and behind the editor
// Away from the screen's edges, so that pointer movements around the editor
// are not clipped (without a window manager the position is kept).
constexpr std::int16_t kPosition = 64;
constexpr std::uint32_t kHostEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE;

std::int64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// One channel of a server pixel as a byte.
std::uint32_t TakeChannel(std::uint32_t Pixel, std::uint32_t Mask) {
  if (Mask == 0) return 0;
  const int bits = std::popcount(Mask);
  const std::uint32_t value = (Pixel & Mask) >> std::countr_zero(Mask);
  return bits >= 8 ? value >> (bits - 8) : (value * 255u) / ((1u << bits) - 1u);
}

class TX11HostWindow final : public THostWindow {
 public:
  explicit TX11HostWindow(const char* DisplayName) : FConnection(DisplayName) {}
  ~TX11HostWindow() override { Destroy(); }

  bool Create(std::int32_t Width, std::int32_t Height, const std::string& Title, std::string& Error);

  std::uintptr_t NativeHandle() const override { return FGone ? 0 : FWindow; }
  void SetSize(std::int32_t Width, std::int32_t Height) override;
  std::int32_t Width() const override { return FWidth; }
  std::int32_t Height() const override { return FHeight; }
  bool Show(std::int32_t TimeoutMs) override;
  bool Pump() override;
  std::unique_ptr<TMemoryBitmap> Grab() override;
  void Destroy() override;

 private:
  void Handle(const xcb_generic_event_t& Event);
  void ConvertRow(const std::uint8_t* Source, std::int32_t Width, std::uint8_t* Dest) const;

  TX11Connection FConnection;
  TX11PixelFormat FFormat;
  xcb_window_t FWindow = 0;
  xcb_colormap_t FColormap = 0;
  xcb_atom_t FDeleteWindow = XCB_ATOM_NONE;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  bool FMapped = false;
  bool FGone = false;
  bool FCloseAsked = false;
};

bool TX11HostWindow::Create(std::int32_t Width, std::int32_t Height, const std::string& Title, std::string& Error) {
  if (!FConnection.Connected()) {
    Error = "cannot open the X display (is DISPLAY set?), xcb error " +
            std::to_string(FConnection.Get() ? xcb_connection_has_error(FConnection.Get()) : -1);
    return false;
  }
  const xcb_screen_t* screen = FConnection.DefaultScreen();
  if (screen == nullptr || !FConnection.FindTrueColor24(*screen, FFormat)) {
    Error = "the X display offers no 24-bit TrueColor visual";
    return false;
  }
  xcb_connection_t* c = FConnection.Get();
  FWidth = std::max(Width, 1);
  FHeight = std::max(Height, 1);
  FColormap = xcb_generate_id(c);
  xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, FColormap, screen->root, FFormat.Visual);
  FWindow = xcb_generate_id(c);
  const std::array<std::uint32_t, 4> values = {kBackground, 0, kHostEvents, FColormap};
  const bool created = FConnection.Check(xcb_create_window_checked(
      c, FFormat.Depth, FWindow, screen->root, kPosition, kPosition, std::uint16_t(FWidth), std::uint16_t(FHeight), 0,
      XCB_WINDOW_CLASS_INPUT_OUTPUT, FFormat.Visual,
      XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values.data()));
  if (!created) {
    FWindow = 0;
    Error = "the X server refused to create a window";
    return false;
  }
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, FWindow, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      std::uint32_t(Title.size()), Title.data());
  const xcb_atom_t protocols = FConnection.Atom("WM_PROTOCOLS");
  FDeleteWindow = FConnection.Atom("WM_DELETE_WINDOW");
  if (protocols != XCB_ATOM_NONE && FDeleteWindow != XCB_ATOM_NONE)
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, FWindow, protocols, XCB_ATOM_ATOM, 32, 1, &FDeleteWindow);
  return FConnection.Sync();
}

void TX11HostWindow::SetSize(std::int32_t Width, std::int32_t Height) {
  FWidth = std::max(Width, 1);
  FHeight = std::max(Height, 1);
  if (FGone || !FConnection.Connected()) return;
  const std::array<std::uint32_t, 2> size = {std::uint32_t(FWidth), std::uint32_t(FHeight)};
  xcb_configure_window(FConnection.Get(), FWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size.data());
  FConnection.Sync();
}

bool TX11HostWindow::Show(std::int32_t TimeoutMs) {
  if (FGone || !FConnection.Connected()) return false;
  xcb_map_window(FConnection.Get(), FWindow);
  xcb_flush(FConnection.Get());
  const std::int64_t deadline = MonotonicMs() + TimeoutMs;
  pollfd fd{xcb_get_file_descriptor(FConnection.Get()), POLLIN, 0};
  while (!FMapped && !FGone && FConnection.Connected()) {
    Pump();
    const std::int64_t left = deadline - MonotonicMs();
    if (FMapped || left <= 0) break;
    poll(&fd, 1, int(std::min<std::int64_t>(left, 50)));
  }
  return FMapped;
}

bool TX11HostWindow::Pump() {
  if (!FConnection.Connected()) return false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection.Get())) {
    TX11Reply<xcb_generic_event_t> owned(event);
    Handle(*event);
  }
  return !FGone && !FCloseAsked;
}

void TX11HostWindow::Handle(const xcb_generic_event_t& Event) {
  switch (Event.response_type & 0x7F) {
    case XCB_MAP_NOTIFY:
      if (reinterpret_cast<const xcb_map_notify_event_t&>(Event).window == FWindow) FMapped = true;
      break;
    case XCB_UNMAP_NOTIFY:
      if (reinterpret_cast<const xcb_unmap_notify_event_t&>(Event).window == FWindow) FMapped = false;
      break;
    case XCB_DESTROY_NOTIFY:
      if (reinterpret_cast<const xcb_destroy_notify_event_t&>(Event).window == FWindow) FGone = true;
      break;
    case XCB_CONFIGURE_NOTIFY: {
      const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(Event);
      if (configure.window != FWindow) break;
      FWidth = configure.width;
      FHeight = configure.height;
      break;
    }
    case XCB_CLIENT_MESSAGE: {
      const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(Event);
      if (message.window == FWindow && message.format == 32 && message.data.data32[0] == FDeleteWindow)
        FCloseAsked = true;
      break;
    }
    default:
      break;
  }
}

void TX11HostWindow::ConvertRow(const std::uint8_t* Source, std::int32_t Width, std::uint8_t* Dest) const {
  const std::int32_t bytes = FFormat.BytesPerPixel();
  for (std::int32_t x = 0; x < Width; ++x) {
    const std::uint8_t* in = Source + std::size_t(x) * std::size_t(bytes);
    std::uint32_t pixel = 0;
    for (std::int32_t b = 0; b < bytes; ++b) {
      const int shift = FFormat.LsbFirst ? 8 * b : 8 * (bytes - 1 - b);
      pixel |= std::uint32_t(in[b]) << shift;
    }
    const std::uint32_t argb = 0xFF000000u | (TakeChannel(pixel, FFormat.RedMask) << 16) |
                               (TakeChannel(pixel, FFormat.GreenMask) << 8) | TakeChannel(pixel, FFormat.BlueMask);
    std::memcpy(Dest + std::size_t(x) * 4, &argb, 4);
  }
}

std::unique_ptr<TMemoryBitmap> TX11HostWindow::Grab() {
  if (FGone || !FMapped || !FConnection.Connected()) return nullptr;
  xcb_connection_t* c = FConnection.Get();
  TX11Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
      c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, FWindow, 0, 0, std::uint16_t(FWidth), std::uint16_t(FHeight), ~0u),
      nullptr));
  if (!reply) return nullptr;
  const std::int32_t rowBytes = FFormat.RowBytes(FWidth);
  if (xcb_get_image_data_length(reply.get()) < rowBytes * FHeight) return nullptr;
  auto bitmap = std::make_unique<TMemoryBitmap>(FWidth, FHeight, TRasterFormat::rfBGRA32);
  const std::uint8_t* data = xcb_get_image_data(reply.get());
  for (std::int32_t y = 0; y < FHeight; ++y)
    ConvertRow(data + std::size_t(y) * std::size_t(rowBytes), FWidth,
               bitmap->Bits() + std::size_t(y) * std::size_t(bitmap->RowBytes()));
  return bitmap;
}

void TX11HostWindow::Destroy() {
  if (FGone || FWindow == 0 || !FConnection.Connected()) return;
  Pump();
  if (!FGone) xcb_destroy_window(FConnection.Get(), FWindow);
  if (FColormap != 0) xcb_free_colormap(FConnection.Get(), FColormap);
  FColormap = 0;
  FConnection.Sync();
  FGone = true;
  FMapped = false;
}

}  // namespace

std::unique_ptr<THostWindow> CreateHostWindow(std::int32_t Width, std::int32_t Height, const std::string& Title,
                                              const char* DisplayName, std::string* Error) {
  auto window = std::make_unique<TX11HostWindow>(DisplayName);
  std::string reason;
  if (!window->Create(Width, Height, Title, reason)) {
    if (Error != nullptr) *Error = reason;
    return nullptr;
  }
  return window;
}

}  // namespace vb
