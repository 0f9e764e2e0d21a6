#pragma once
// Helpers of the GUI tests: a headless window to build controls on, and a
// plain windowless/windowed control that fills itself with one colour and
// records the input it receives.

#include <memory>
#include <string>
#include <vector>

#include "gui/gui_control.h"
#include "gui/gui_errors.h"
#include "gui/gui_stitched_list.h"
#include "gui/gui_window.h"
#include "image/gui_pixel_map_memory.h"
#include "platform/headless_window.h"

namespace vb::test {

// A GUI window over a headless platform window, both kept reachable.
struct THeadlessGui {
  explicit THeadlessGui(std::int32_t Width = 100, std::int32_t Height = 50) {
    auto platform = std::make_unique<THeadlessWindow>(0x42);
    Screen = platform.get();
    Window = std::make_unique<TGuiWindow>(std::move(platform));
    Window->SetClientSize(Width, Height);
  }
  THeadlessWindow* Screen;
  std::unique_ptr<TGuiWindow> Window;
};

class TFillControl : public TGuiControl {
 public:
  TFillControl(TGuiWindow* Owner, bool Windowed, std::uint32_t Fill = 0xFF000000)
      : TGuiControl(Owner), FWindowed(Windowed), FFill(Fill) {}
  bool Windowed() const override { return FWindowed; }
  void Paint(TCanvas& Canvas) override;
  void SetFill(std::uint32_t Fill) {
    FFill = Fill;
    Invalidate();
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) override;
  void MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) override;
  bool MouseWheel(TShiftState Shift, std::int32_t WheelDelta, TPoint At) override;
  void Click() override {
    Log.push_back("click");
    TGuiControl::Click();
  }
  void DblClick() override { Log.push_back("dblclick"); }
  void MouseEnter() override { Log.push_back("enter"); }
  void MouseLeave() override { Log.push_back("leave"); }

  std::vector<std::string> Log;
  std::int32_t PaintCount = 0;

 private:
  bool FWindowed;
  std::uint32_t FFill;
};

// A strip whose every pixel tells where it lies: R = x mod 256,
// G = y mod 256, B = x div 256 + 8 * (y div 256); alpha as given.
void FillCoordinateStrip(TGuiCustomPixelMap& Map, std::int32_t Width, std::int32_t Height, std::uint8_t Alpha = 255);
TPixel32 CoordinatePixel(std::int32_t X, std::int32_t Y, std::uint8_t Alpha = 255);

// PNG file bytes of Map (8-bit RGBA).
std::vector<std::uint8_t> EncodePng(const TGuiCustomPixelMap& Map);

// Adds a strip of the given glyphs to List with coordinate pixels.
TGuiCustomStitchedCollectionItem& AddCoordinateStrip(TGuiCustomStitchedList& List, std::int32_t Width,
                                                     std::int32_t Height, std::int32_t Glyphs, TGuiStitchKind Kind,
                                                     std::uint8_t Alpha = 255);

// A plain stitched list whose strips are set from pixel maps.
class TTestStitchedList : public TGuiCustomStitchedList {
 public:
  explicit TTestStitchedList(TGuiWindow* Owner);
};

}  // namespace vb::test
