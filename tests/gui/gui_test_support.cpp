#include "gui_test_support.h"

#include "png/portable_network_graphic_pixel32.h"

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

TPixel32 CoordinatePixel(std::int32_t x, std::int32_t y, std::uint8_t alpha) {
  return Pixel32(alpha, std::uint8_t(x & 255), std::uint8_t(y & 255), std::uint8_t((x >> 8) + 8 * (y >> 8)));
}

void FillCoordinateStrip(TGuiCustomPixelMap& map, std::int32_t width, std::int32_t height, std::uint8_t alpha) {
  map.SetSize(width, height);
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) map.ScanLine(y)[x] = CoordinatePixel(x, y, alpha);
}

std::vector<std::uint8_t> EncodePng(const TGuiCustomPixelMap& map) {
  TPortableNetworkGraphicPixel32 png;
  png.SetStorageFormat(psfRGBA);
  png.Assign(map);
  TPngMemoryStream out;
  png.SaveToMemory(out);
  return out.Bytes();
}

TTestStitchedList::TTestStitchedList(TGuiWindow* owner)
    : TGuiCustomStitchedList(owner, [](TGuiStitchedImageCollection* collection) {
        return std::make_unique<TGuiCustomStitchedCollectionItem>(collection);
      }) {}

TGuiCustomStitchedCollectionItem& AddCoordinateStrip(TGuiCustomStitchedList& list, std::int32_t width,
                                                     std::int32_t height, std::int32_t glyphs, TGuiStitchKind kind,
                                                     std::uint8_t alpha) {
  TGuiPixelMapMemory map;
  FillCoordinateStrip(map, width, height, alpha);
  auto& item = list.StitchedCollection().Add();
  item.SetPixelMap(map);
  item.SetGlyphCount(glyphs);
  item.SetStitchKind(kind);
  return item;
}

}  // namespace vb::test
