#include "gui_test_support.h"

namespace vb::test {

void TFillControl::Paint(TCanvas& canvas) {
  ++PaintCount;
  // FillRect takes 0x00BBGGRR.
  const TColor color = TColor(((FFill >> 16) & 0xFF) | (FFill & 0xFF00) | ((FFill & 0xFF) << 16));
  canvas.FillRect(ClientRect(), color);
}

void TFillControl::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) {
  Log.push_back("down " + std::to_string(int(button)) + " " + std::to_string(x) + "," + std::to_string(y) +
                ((shift & ssDouble) ? " double" : ""));
  TGuiControl::MouseDown(button, shift, x, y);
}

void TFillControl::MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) {
  Log.push_back("up " + std::to_string(int(button)) + " " + std::to_string(x) + "," + std::to_string(y));
}

void TFillControl::MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) {
  Log.push_back("move " + std::to_string(x) + "," + std::to_string(y) + ((shift & ssLeft) ? " left" : ""));
}

bool TFillControl::MouseWheel(TShiftState shift, std::int32_t wheelDelta, TPoint at) {
  Log.push_back("wheel " + std::to_string(wheelDelta));
  return true;
}

}  // namespace vb::test
