#include "platform/x11/x11_window.h"

#include <time.h>

#include <algorithm>
#include <array>

#include "platform/native_window.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_image_uploader.h"

namespace vb {

namespace {

constexpr std::uint32_t kWindowEvents = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                        XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                        XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                                        XCB_EVENT_MASK_STRUCTURE_NOTIFY;
constexpr std::uint16_t kGrabEvents = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                      XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
                                      XCB_EVENT_MASK_LEAVE_WINDOW;

// WM_SIZE_HINTS flags and length (in 32-bit items).
constexpr std::uint32_t kHintProgramSize = 1u << 3;
constexpr std::uint32_t kHintMinSize = 1u << 4;
constexpr std::uint32_t kHintMaxSize = 1u << 5;
constexpr std::uint32_t kSizeHintItems = 18;
// _XEMBED_INFO: protocol version 0, flag XEMBED_MAPPED.
constexpr std::array<std::uint32_t, 2> kXEmbedInfo = {0, 1};

// X buttons: 1 left, 2 middle, 3 right, 4/5 wheel up/down, 6/7 horizontal
// wheel, 8 and up extra buttons.
constexpr std::uint8_t kWheelUp = 4;
constexpr std::uint8_t kWheelDown = 5;

TShiftState ShiftFromState(std::uint16_t State) {
  TShiftState shift = 0;
  if (State & XCB_MOD_MASK_SHIFT) shift |= ssShift;
  if (State & XCB_MOD_MASK_CONTROL) shift |= ssCtrl;
  if (State & XCB_MOD_MASK_1) shift |= ssAlt;
  if (State & XCB_BUTTON_MASK_1) shift |= ssLeft;
  if (State & XCB_BUTTON_MASK_2) shift |= ssMiddle;
  if (State & XCB_BUTTON_MASK_3) shift |= ssRight;
  return shift;
}

bool PointerButton(std::uint8_t Detail, TMouseButton& Button) {
  switch (Detail) {
    case 1:
      Button = TMouseButton::mbLeft;
      return true;
    case 2:
      Button = TMouseButton::mbMiddle;
      return true;
    case 3:
      Button = TMouseButton::mbRight;
      return true;
    default:
      return false;
  }
}

TRect Union(const TRect& A, const TRect& B) {
  if (A.IsEmpty()) return B;
  if (B.IsEmpty()) return A;
  return TRect{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
               std::max(A.Bottom, B.Bottom)};
}

}  // namespace

std::unique_ptr<TPlatformWindow> CreateNativeWindow() { return std::make_unique<TX11Window>(); }

TX11Window::TX11Window() : TX11Window(TOptions{}) {}

TX11Window::TX11Window(const TOptions& Options) : FOptions(Options) {}

TX11Window::~TX11Window() {
  FListener = nullptr;
  Release();
}

// --- life cycle ----------------------------------------------------------------------

bool TX11Window::Embed(std::uintptr_t Parent) {
  Release();
  // X ids are 29-bit numbers; anything else is not a window of any server.
  if (Parent == 0 || Parent > 0x1FFFFFFFu) return false;
  FConnection = std::make_unique<TX11Connection>(FOptions.DisplayName);
  if (!CreateNativeWindow(Parent)) {
    // No window, no connection: as if Embed was never called.
    Release();
    return false;
  }
  if (FVisible) Show();
  return true;
}

bool TX11Window::CreateNativeWindow(std::uintptr_t Parent) {
  if (!FConnection->Connected()) return false;
  xcb_connection_t* c = FConnection->Get();
  // The parent must exist; its geometry names its root and so its screen.
  TX11Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(c, xcb_get_geometry(c, xcb_drawable_t(Parent)), nullptr));
  if (!geometry) return false;
  const xcb_screen_t* screen = FConnection->ScreenOfRoot(geometry->root);
  TX11PixelFormat format;
  if (screen == nullptr || !FConnection->FindTrueColor24(*screen, format)) return false;

  FParent = std::uint32_t(Parent);
  FColormap = xcb_generate_id(c);
  xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, FColormap, screen->root, format.Visual);
  FWindow = xcb_generate_id(c);
  // Values in the order of their mask bits.
  const std::array<std::uint32_t, 4> values = {XCB_BACK_PIXMAP_NONE, 0, kWindowEvents, FColormap};
  const std::uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP;
  const bool created = FConnection->Check(xcb_create_window_checked(
      c, format.Depth, FWindow, FParent, 0, 0, std::uint16_t(std::max(FWidth, 1)), std::uint16_t(std::max(FHeight, 1)),
      0, XCB_WINDOW_CLASS_INPUT_OUTPUT, format.Visual, mask, values.data()));
  if (!created) {
    FWindow = 0;
    return false;
  }
  // Our connection's interest in the parent: only its destruction (this
  // mask is ours alone and does not change what the host receives).
  const std::uint32_t parentEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, FParent, XCB_CW_EVENT_MASK, &parentEvents);
  SetSizeHints();
  const xcb_atom_t xembed = FConnection->Atom("_XEMBED_INFO");
  if (xembed != XCB_ATOM_NONE)
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, FWindow, xembed, xembed, 32, kXEmbedInfo.size(), kXEmbedInfo.data());
  FGC = xcb_generate_id(c);
  const std::uint32_t noExposures = 0;
  xcb_create_gc(c, FGC, FWindow, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  FUploader = std::make_unique<TX11ImageUploader>(*FConnection, FWindow, FGC, format, FOptions.AllowShm);
  FUploader->Resize(FWidth, FHeight);
  return FConnection->Sync();
}

void TX11Window::Release() {
  if (!FConnection) return;
  if (FConnection->Connected()) {
    // Learn whether the host destroyed our window or its parent meanwhile,
    // so that no request names a window that is gone.
    Drain();
    FBatch.clear();
    if (FGrabbed) xcb_ungrab_pointer(FConnection->Get(), XCB_CURRENT_TIME);
    FUploader.reset();
    xcb_connection_t* c = FConnection->Get();
    if (FWindow != 0 && !FWindowGone) xcb_destroy_window(c, FWindow);
    if (FGC != 0) xcb_free_gc(c, FGC);
    if (FCursor != 0) xcb_free_cursor(c, FCursor);
    if (FColormap != 0) xcb_free_colormap(c, FColormap);
    // Gone from the server before we return: a host may look right away.
    FConnection->Sync();
  }
  FUploader.reset();
  FConnection.reset();
  FWindow = FParent = FColormap = FGC = FCursor = 0;
  FWindowGone = FParentGone = FGrabbed = FWarpPending = false;
  FBatch.clear();
  FExposed = TRect{};
}

bool TX11Window::Embedded() const { return FConnection && FConnection->Connected() && FWindow != 0 && !FWindowGone; }

std::uintptr_t TX11Window::NativeHandle() const { return Embedded() ? FWindow : 0; }

bool TX11Window::UsesShm() const { return FUploader && FUploader->UsesShm(); }

std::int64_t TX11Window::ImageRequestCount() const { return FUploader ? FUploader->RequestCount() : 0; }

std::uint32_t TX11Window::LargestImageRequestBytes() const { return FUploader ? FUploader->LargestRequestBytes() : 0; }

void TX11Window::SetImageRequestLimit(std::uint32_t Bytes) {
  if (FUploader) FUploader->SetRequestLimit(Bytes);
}

bool TX11Window::Sync() const { return FConnection && FConnection->Sync(); }

void TX11Window::Flush() const {
  if (FConnection && FConnection->Connected()) xcb_flush(FConnection->Get());
}

// --- size and visibility -------------------------------------------------------------

void TX11Window::SetSize(std::int32_t Width, std::int32_t Height) {
  FWidth = std::max(Width, 1);
  FHeight = std::max(Height, 1);
  if (!Embedded()) return;
  const std::array<std::uint32_t, 2> size = {std::uint32_t(FWidth), std::uint32_t(FHeight)};
  xcb_configure_window(FConnection->Get(), FWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size.data());
  SetSizeHints();
  FUploader->Resize(FWidth, FHeight);
  Flush();
}

void TX11Window::SetSizeHints() {
  // A fixed size: hosts that copy the hints to their own window (and window
  // managers) keep the editor from being resized.
  std::array<std::uint32_t, kSizeHintItems> hints{};
  hints[0] = kHintProgramSize | kHintMinSize | kHintMaxSize;
  hints[3] = hints[5] = hints[7] = std::uint32_t(FWidth);
  hints[4] = hints[6] = hints[8] = std::uint32_t(FHeight);
  xcb_change_property(FConnection->Get(), XCB_PROP_MODE_REPLACE, FWindow, XCB_ATOM_WM_NORMAL_HINTS,
                      XCB_ATOM_WM_SIZE_HINTS, 32, kSizeHintItems, hints.data());
}

void TX11Window::Show() {
  FVisible = true;
  if (!Embedded()) return;
  FConnection->Check(xcb_map_window_checked(FConnection->Get(), FWindow));
}

void TX11Window::Hide() {
  FVisible = false;
  if (!Embedded()) return;
  SetCapture(false);
  xcb_unmap_window(FConnection->Get(), FWindow);
  Flush();
}

// --- drawing -------------------------------------------------------------------------

void TX11Window::Present(const TRasterView& Frame, const TRect& Area) {
  if (!Embedded()) return;
  FUploader->Put(Frame, Area);
  Flush();
}

// --- pointer -------------------------------------------------------------------------

void TX11Window::SetCapture(bool Captured) {
  FCaptureWanted = Captured;
  if (!Embedded()) {
    FGrabbed = false;
    return;
  }
  xcb_connection_t* c = FConnection->Get();
  if (!Captured) {
    if (FGrabbed) xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    FGrabbed = false;
    Flush();
    return;
  }
  if (FGrabbed) return;
  const xcb_cursor_t cursor = FPointerHidden ? BlankCursor() : xcb_cursor_t(XCB_CURSOR_NONE);
  TX11Reply<xcb_grab_pointer_reply_t> reply(
      xcb_grab_pointer_reply(c,
                             xcb_grab_pointer(c, 0, FWindow, kGrabEvents, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                                              XCB_WINDOW_NONE, cursor, XCB_CURRENT_TIME),
                             nullptr));
  // Refused (another client holds a grab, the window is not viewable): the
  // drag still works while the pointer stays over the window.
  FGrabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
}

std::uint32_t TX11Window::BlankCursor() {
  if (FCursor != 0 || !Embedded()) return FCursor;
  // A cursor whose mask is all zeros shows nothing. New pixmaps hold
  // undefined bits, so the 1 x 1 pixmap is cleared first.
  xcb_connection_t* c = FConnection->Get();
  const xcb_pixmap_t pixmap = xcb_generate_id(c);
  xcb_create_pixmap(c, 1, pixmap, FWindow, 1, 1);
  const xcb_gcontext_t gc = xcb_generate_id(c);
  const std::uint32_t zero = 0;
  xcb_create_gc(c, gc, pixmap, XCB_GC_FOREGROUND, &zero);
  const xcb_rectangle_t all = {0, 0, 1, 1};
  xcb_poly_fill_rectangle(c, pixmap, gc, 1, &all);
  FCursor = xcb_generate_id(c);
  xcb_create_cursor(c, FCursor, pixmap, pixmap, 0, 0, 0, 0, 0, 0, 0, 0);
  xcb_free_gc(c, gc);
  xcb_free_pixmap(c, pixmap);
  return FCursor;
}

void TX11Window::SetPointerHidden(bool Hidden) {
  FPointerHidden = Hidden;
  if (!Embedded()) return;
  xcb_connection_t* c = FConnection->Get();
  const xcb_cursor_t cursor = Hidden ? BlankCursor() : xcb_cursor_t(XCB_CURSOR_NONE);
  xcb_change_window_attributes(c, FWindow, XCB_CW_CURSOR, &cursor);
  // During a grab the grab's cursor is shown wherever the pointer is.
  if (FGrabbed) xcb_change_active_pointer_grab(c, cursor, XCB_CURRENT_TIME, kGrabEvents);
  Flush();
}

void TX11Window::WarpPointer(TPoint Point) {
  if (!Embedded()) return;
  const xcb_void_cookie_t cookie = xcb_warp_pointer(FConnection->Get(), XCB_WINDOW_NONE, FWindow, 0, 0, 0, 0,
                                                    std::int16_t(Point.X), std::int16_t(Point.Y));
  Flush();
  // The server reports a warp as motion only when the pointer really moved;
  // the contract promises one movement either way. Ours is queued now and
  // the server's own (same place, after the request) is dropped when it
  // comes.
  FWarpSequence = std::uint16_t(cookie.sequence);
  FWarpTarget = Point;
  FWarpPending = true;
  TPlatformEvent event;
  event.Kind = TPlatformEventKind::pekMouseMove;
  event.Position = Point;
  event.Shift = FLastShift;
  Queue(event);
}

TShiftState TX11Window::KeyboardState() const {
  if (!Embedded()) return 0;
  xcb_connection_t* c = FConnection->Get();
  TX11Reply<xcb_query_pointer_reply_t> reply(xcb_query_pointer_reply(c, xcb_query_pointer(c, FWindow), nullptr));
  return reply ? ShiftFromState(reply->mask) : 0;
}

std::uint64_t TX11Window::NowMilliseconds() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u;
}

std::uint64_t TX11Window::ServerMilliseconds(std::uint32_t Time) {
  if (FHaveServerTime) FServerClock += std::uint32_t(Time - FLastServerTime);
  FHaveServerTime = true;
  FLastServerTime = Time;
  return FServerClock;
}

// --- events --------------------------------------------------------------------------

void TX11Window::Idle() {
  if (!FConnection || !FConnection->Connected()) return;
  Drain();
  Deliver();
  Flush();
}

void TX11Window::Drain() {
  xcb_connection_t* c = FConnection->Get();
  while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
    TX11Reply<xcb_generic_event_t> owned(event);
    HandleEvent(*event);
  }
  if (FExposed.IsEmpty() || !Embedded()) return;
  TPlatformEvent expose;
  expose.Kind = TPlatformEventKind::pekExpose;
  expose.Area = FExposed;
  FExposed = TRect{};
  Queue(expose);
}

void TX11Window::Deliver() {
  // Listeners may queue more (a warp's movement); those come in this call.
  while (!FBatch.empty()) {
    const TPlatformEvent event = FBatch.front();
    FBatch.pop_front();
    if (event.Kind != TPlatformEventKind::pekExpose) FLastShift = event.Shift;
    if (FListener != nullptr) FListener->OnPlatformEvent(event);
  }
}

void TX11Window::HandleEvent(const xcb_generic_event_t& Event) {
  switch (Event.response_type & 0x7F) {
    case 0:
      HandleError(reinterpret_cast<const xcb_generic_error_t&>(Event));
      break;
    case XCB_BUTTON_PRESS:
      HandleButton(reinterpret_cast<const xcb_button_press_event_t&>(Event), true);
      break;
    case XCB_BUTTON_RELEASE:
      HandleButton(reinterpret_cast<const xcb_button_press_event_t&>(Event), false);
      break;
    case XCB_MOTION_NOTIFY:
      HandleMotion(reinterpret_cast<const xcb_motion_notify_event_t&>(Event));
      break;
    case XCB_ENTER_NOTIFY:
      HandleCrossing(reinterpret_cast<const xcb_enter_notify_event_t&>(Event), true);
      break;
    case XCB_LEAVE_NOTIFY:
      HandleCrossing(reinterpret_cast<const xcb_enter_notify_event_t&>(Event), false);
      break;
    case XCB_EXPOSE: {
      const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(Event);
      if (expose.window == FWindow)
        FExposed = Union(FExposed, TRect{expose.x, expose.y, expose.x + expose.width, expose.y + expose.height});
      break;
    }
    default:
      HandleStructure(Event);
      break;
  }
}

void TX11Window::HandleStructure(const xcb_generic_event_t& Event) {
  switch (Event.response_type & 0x7F) {
    case XCB_DESTROY_NOTIFY: {
      const auto& destroy = reinterpret_cast<const xcb_destroy_notify_event_t&>(Event);
      if (destroy.window == FWindow) FWindowGone = true;
      if (destroy.window == FParent) FParentGone = true;
      if (FWindowGone) FGrabbed = false;
      break;
    }
    case XCB_UNMAP_NOTIFY: {
      // The server ends a grab whose window stops being viewable, and no
      // release will come for the drag it carried.
      const auto& unmap = reinterpret_cast<const xcb_unmap_notify_event_t&>(Event);
      if ((unmap.window == FWindow || unmap.window == FParent) && FCaptureWanted) LoseCapture();
      break;
    }
    case XCB_REPARENT_NOTIFY: {
      // Hosts may move the editor into another window of theirs; from then
      // on that one's destruction is the one that matters.
      const auto& reparent = reinterpret_cast<const xcb_reparent_notify_event_t&>(Event);
      if (reparent.window != FWindow || reparent.parent == FParent || !Embedded()) break;
      FParent = reparent.parent;
      FParentGone = false;
      const std::uint32_t parentEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
      xcb_change_window_attributes(FConnection->Get(), FParent, XCB_CW_EVENT_MASK, &parentEvents);
      break;
    }
    default:
      break;
  }
}

void TX11Window::HandleError(const xcb_generic_error_t& Error) {
  ++FErrorCount;
  // A window named in a failed request no longer exists (the host destroyed
  // it between our looks); never name it again.
  if (Error.error_code != XCB_WINDOW && Error.error_code != XCB_DRAWABLE) return;
  if (Error.resource_id == FWindow) FWindowGone = true;
  if (Error.resource_id == FParent) FParentGone = true;
}

void TX11Window::HandleButton(const xcb_button_press_event_t& Event, bool Press) {
  if (Event.event != FWindow) return;
  const TPoint at{Event.event_x, Event.event_y};
  const std::uint64_t time = ServerMilliseconds(Event.time);
  TPlatformEvent out;
  out.Position = at;
  out.Shift = ShiftFromState(Event.state);
  if (Event.detail == kWheelUp || Event.detail == kWheelDown) {
    // A wheel notch is a press and a release; only the press means anything.
    if (!Press) return;
    out.Kind = TPlatformEventKind::pekMouseWheel;
    out.WheelDelta = Event.detail == kWheelUp ? kWheelDeltaPerNotch : -kWheelDeltaPerNotch;
    Queue(out);
    return;
  }
  if (!PointerButton(Event.detail, out.Button)) return;
  // A warp the server did not echo (the pointer was there already) is
  // forgotten once the drag goes on with a button.
  FWarpPending = false;
  // X reports the state before the event: a release still holds its own
  // button, which the contract leaves out.
  out.Shift &= ~ButtonShift(out.Button);
  out.Kind = Press ? TPlatformEventKind::pekMouseDown : TPlatformEventKind::pekMouseUp;
  if (Press && FDoubleClick.Press(out.Button, at, time)) out.Shift |= ssDouble;
  Queue(out);
}

void TX11Window::HandleMotion(const xcb_motion_notify_event_t& Event) {
  if (Event.event != FWindow) return;
  const TPoint at{Event.event_x, Event.event_y};
  // The server's report of our own warp (already queued by WarpPointer):
  // the first movement to the warp's target sent after the warp request.
  // Servers queue it as input, so it may carry a later request's number.
  if (FWarpPending && at == FWarpTarget && std::int16_t(Event.sequence - FWarpSequence) >= 0) {
    FWarpPending = false;
    return;
  }
  TPlatformEvent out;
  out.Kind = TPlatformEventKind::pekMouseMove;
  out.Position = at;
  out.Shift = ShiftFromState(Event.state);
  // A burst of movements counts once: only the last position matters.
  if (!FBatch.empty() && FBatch.back().Kind == TPlatformEventKind::pekMouseMove) {
    FBatch.back() = out;
    return;
  }
  Queue(out);
}

void TX11Window::LoseCapture() {
  SetCapture(false);
  TPlatformEvent lost;
  lost.Kind = TPlatformEventKind::pekCaptureLost;
  Queue(lost);
}

void TX11Window::HandleCrossing(const xcb_enter_notify_event_t& Event, bool Enter) {
  // Another client's grab took the pointer from a drag we could not grab
  // for ourselves (ours would have kept it).
  if (Event.event == FWindow && !Enter && Event.mode == XCB_NOTIFY_MODE_GRAB && FCaptureWanted && !FGrabbed) {
    LoseCapture();
    return;
  }
  if (Event.event != FWindow || Event.mode == XCB_NOTIFY_MODE_GRAB) return;
  if (Event.detail == XCB_NOTIFY_DETAIL_INFERIOR) return;
  TPlatformEvent out;
  out.Shift = ShiftFromState(Event.state);
  if (Enter) {
    // Entering is a movement to where the pointer came in (hover follows);
    // during a drag the movements are reported anyway.
    if (FGrabbed) return;
    out.Kind = TPlatformEventKind::pekMouseMove;
    out.Position = TPoint{Event.event_x, Event.event_y};
  } else {
    out.Kind = TPlatformEventKind::pekMouseLeave;
  }
  Queue(out);
}

}  // namespace vb
