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
  explicit THeadlessGui(std::int32_t width = 100, std::int32_t height = 50) {
    auto platform = std::make_unique<THeadlessWindow>(0x42);
    Screen = platform.get();
    Window = std::make_unique<TGuiWindow>(std::move(platform));
    Window->SetClientSize(width, height);
  }
  THeadlessWindow* Screen;
  std::unique_ptr<TGuiWindow> Window;
};

class TFillControl : public TGuiControl {
 public:
  TFillControl(TGuiWindow* owner, bool windowed, std::uint32_t fill = 0xFF000000)
      : TGuiControl(owner), FWindowed(windowed), FFill(fill) {}
  bool Windowed() const override { return FWindowed; }
  void Paint(TCanvas& canvas) override;
  void SetFill(std::uint32_t fill) {
    FFill = fill;
    Invalidate();
  }
  void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
  void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) override;
  bool MouseWheel(TShiftState shift, std::int32_t wheelDelta, TPoint at) override;
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
void FillCoordinateStrip(TGuiCustomPixelMap& map, std::int32_t width, std::int32_t height, std::uint8_t alpha = 255);
TPixel32 CoordinatePixel(std::int32_t x, std::int32_t y, std::uint8_t alpha = 255);

// PNG file bytes of Map (8-bit RGBA).
std::vector<std::uint8_t> EncodePng(const TGuiCustomPixelMap& map);

// Adds a strip of the given glyphs to List with coordinate pixels.
TGuiCustomStitchedCollectionItem& AddCoordinateStrip(TGuiCustomStitchedList& list, std::int32_t width,
                                                     std::int32_t height, std::int32_t glyphs, TGuiStitchKind kind,
                                                     std::uint8_t alpha = 255);

// A plain stitched list whose strips are set from pixel maps.
class TTestStitchedList : public TGuiCustomStitchedList {
 public:
  explicit TTestStitchedList(TGuiWindow* owner);
};

}  // namespace vb::test
