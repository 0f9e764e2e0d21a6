#pragma once
// A test's own look at the X server: a separate xcb connection that reads
// the window tree, geometry, properties and attributes the way a host or
// window manager would, and makes real input through the XTEST extension.
//
//   TX11Probe probe;                      // $DISPLAY
//   auto kids = probe.Children(parent);
//   probe.MovePointer(kids[0], 30, 30);   // window-relative
//   probe.Button(1, true);                // press the left button

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vb::test {

struct TX11Geometry {
  bool Valid = false;
  std::int32_t X = 0, Y = 0, Width = 0, Height = 0;
  std::uint8_t Depth = 0;
  std::uint32_t BorderWidth = 0;
};

class TX11Probe {
 public:
  TX11Probe();
  ~TX11Probe();
  TX11Probe(const TX11Probe&) = delete;
  TX11Probe& operator=(const TX11Probe&) = delete;

  bool Connected() const;
  bool HasXTest() const { return FXTest; }
  xcb_connection_t* Get() const { return FConnection; }

  std::vector<xcb_window_t> Children(xcb_window_t Window) const;
  TX11Geometry Geometry(xcb_window_t Window) const;
  bool Exists(xcb_window_t Window) const { return Geometry(Window).Valid; }
  bool Viewable(xcb_window_t Window) const;
  // Union of every client's event mask on Window.
  std::uint32_t AllEventMasks(xcb_window_t Window) const;
  // Visual class and colormap of Window (class 0 when unknown).
  std::uint8_t VisualClass(xcb_window_t Window) const;
  // The 32-bit items of property Name (empty when absent).
  std::vector<std::uint32_t> Property32(xcb_window_t Window, const std::string& Name) const;
  std::vector<std::uint32_t> Property32(xcb_window_t Window, xcb_atom_t Atom) const;

  // --- real input (XTEST) ---
  // Moves the pointer to (X, Y) of Window.
  void MovePointer(xcb_window_t Window, std::int32_t X, std::int32_t Y);
  // Presses or releases button Button (4 and 5: the wheel).
  void Button(std::uint8_t Button, bool Press);
  // A wheel notch: press and release of button 4 (up) or 5 (down).
  void Wheel(bool Up);
  // The pointer relative to Window.
  bool PointerIn(xcb_window_t Window, std::int32_t& X, std::int32_t& Y) const;

  // Waits until the server has handled everything this probe sent.
  void Sync() const;

 private:
  xcb_connection_t* FConnection = nullptr;
  xcb_window_t FRoot = 0;
  bool FXTest = false;
};

}  // namespace vb::test
