#pragma once
// The window contract between the portable GUI layer and a windowing system.
//
// A backend creates one native child window inside a host-supplied parent,
// shows a 32-bit frame that the GUI layer composes in memory, and reports
// pointer and keyboard input. It owns no controls and draws nothing of its
// own. Nothing here starts a thread: the host's editor idle calls Idle(),
// which reads pending native events and hands them to the listener on the
// calling thread; timers are driven by the GUI layer from the same call,
// measured with NowMilliseconds().
//
// TPlatformWindow is used from the thread that opened the editor only.
// CreateHeadlessWindow (headless_window.h) is the in-memory backend for tests
// and screenshots; the X11 backend (TX11Window) lives in platform/x11.

#include <cstdint>
#include <memory>

#include "platform/canvas.h"
#include "platform/rect.h"

namespace vb {

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held down, as a bit set.
using TShiftState = std::uint32_t;
constexpr TShiftState ssShift = 1u << 0;
constexpr TShiftState ssAlt = 1u << 1;
constexpr TShiftState ssCtrl = 1u << 2;
constexpr TShiftState ssLeft = 1u << 3;
constexpr TShiftState ssRight = 1u << 4;
constexpr TShiftState ssMiddle = 1u << 5;
// Set on the second press of a double click (and only there).
constexpr TShiftState ssDouble = 1u << 6;

constexpr TShiftState ButtonShift(TMouseButton Button) {
  return Button == TMouseButton::mbLeft ? ssLeft : Button == TMouseButton::mbRight ? ssRight : ssMiddle;
}

// One wheel notch, in wheel-delta units (positive: turned away from the user).
constexpr std::int32_t kWheelDeltaPerNotch = 120;

enum class TPlatformEventKind : std::uint8_t {
  pekMouseDown,   // Button pressed at Position; Shift holds ssDouble on the second press of a double click
  pekMouseUp,     // Button released at Position
  pekMouseMove,   // pointer moved to Position
  pekMouseWheel,  // WheelDelta turned with the pointer at Position
  pekMouseLeave,  // the pointer left the window (no Position)
  pekKeyDown,     // Key pressed (a platform-neutral key code, see below)
  pekKeyUp,       // Key released
  pekExpose,      // Area of the window lost its picture: present it again
  // The capture ended without a release: the window stopped being viewable
  // (unmapped, or its host's window was) or another client took the
  // pointer. A drag in progress ends here; no pekMouseUp follows for it.
  pekCaptureLost,
  // The platform's own pulse (Win32: a 100 ms timer of the window): do the
  // work of an editor idle, for hosts that idle rarely or not at all while
  // one of their dialogs is open. Backends that rely on the host's idle
  // alone (X11, headless) never send it.
  pekTimer,
  // The screen density under the window changed (Win32: the host's window
  // moved to a monitor of another scale). No Area or Position.
  pekScaleChanged,
};

// Position and Area are in the window's client pixels (0, 0 top-left).
// Shift holds the modifier keys and the mouse buttons held down at the moment
// of the event, not counting the event's own button (neither the press nor
// the release of the left button carries ssLeft).
struct TPlatformEvent {
  TPlatformEventKind Kind = TPlatformEventKind::pekMouseMove;
  TPoint Position;
  TMouseButton Button = TMouseButton::mbLeft;
  TShiftState Shift = 0;
  std::int32_t WheelDelta = 0;
  // For key events: the character code for printable keys (lower case ASCII),
  // else one of the kKey... values of the GUI layer's users.
  std::int32_t Key = 0;
  TRect Area;
};

// Receives the events of one window (the GUI layer's window object).
class TPlatformWindowListener {
 public:
  virtual ~TPlatformWindowListener() = default;
  virtual void OnPlatformEvent(const TPlatformEvent& Event) = 0;
};

class TPlatformWindow {
 public:
  virtual ~TPlatformWindow() = default;

  // Null detaches; events arriving without a listener are dropped.
  virtual void SetListener(TPlatformWindowListener* Listener) = 0;
  // Creates the native window inside Parent (a host's native window id) for
  // backends built without one (the X11 backend opens its display here).
  // False when that is impossible: no display, the server unreachable, the
  // parent unknown; the window then shows nothing, reports no input and
  // holds no native resources. Backends built with their parent accept it.
  virtual bool Embed(std::uintptr_t Parent) { return Parent != 0; }
  // The native window's id (an X11 window id; an opaque number headless).
  virtual std::uintptr_t NativeHandle() const = 0;

  // Client size in pixels. A new size may discard the shown picture; the
  // caller presents the frame again.
  virtual void SetSize(std::int32_t Width, std::int32_t Height) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;

  // Shows Area of Frame (a raster of the window's size; Area in client
  // pixels, clipped to both) on the screen. Alpha bytes are ignored.
  virtual void Present(const TRasterView& Frame, const TRect& Area) = 0;

  // While captured, pointer moves and releases reach this window even outside
  // it (a drag from press to release).
  virtual void SetCapture(bool Captured) = 0;
  // Hides or shows the pointer while it is over (or captured by) the window.
  virtual void SetPointerHidden(bool Hidden) = 0;
  // Moves the pointer to Point in client pixels. The move is reported back
  // as a pekMouseMove like any other (a dragging dial relies on it).
  virtual void WarpPointer(TPoint Point) = 0;
  // Modifier keys and buttons held down now (no ssDouble).
  virtual TShiftState KeyboardState() const = 0;

  // Reads pending native events and delivers them to the listener, in order.
  // Never blocks.
  virtual void Idle() = 0;
  // A monotonic clock in milliseconds (any origin).
  virtual std::uint64_t NowMilliseconds() const = 0;
};

// Pairs presses into double clicks the way users expect: the second press of
// the same button within 500 ms and 4 pixels of the first is a double click;
// a third press starts over. Backends run every press through it.
class TDoubleClickDetector {
 public:
  static constexpr std::uint64_t kIntervalMs = 500;
  static constexpr std::int32_t kDistance = 4;
  // True when this press completes a double click.
  bool Press(TMouseButton Button, TPoint Position, std::uint64_t NowMs);

 private:
  bool FPending = false;
  TMouseButton FButton = TMouseButton::mbLeft;
  TPoint FPosition;
  std::uint64_t FTime = 0;
};

}  // namespace vb
