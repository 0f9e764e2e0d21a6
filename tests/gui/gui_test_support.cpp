#include "gui_test_support.h"

#include "png/portable_network_graphic_pixel32.h"

namespace vb::test {

void TFillControl::Paint(TCanvas& Canvas) {
  ++PaintCount;
  // FillRect takes 0x00BBGGRR.
  const TColor color = TColor(((FFill >> 16) & 0xFF) | (FFill & 0xFF00) | ((FFill & 0xFF) << 16));
  Canvas.FillRect(ClientRect(), color);
}

void TFillControl::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  Log.push_back("down " + std::to_string(int(Button)) + " " + std::to_string(X) + "," + std::to_string(Y) +
                ((Shift & ssDouble) ? " double" : ""));
  TGuiControl::MouseDown(Button, Shift, X, Y);
}

void TFillControl::MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  Log.push_back("up " + std::to_string(int(Button)) + " " + std::to_string(X) + "," + std::to_string(Y));
}

void TFillControl::MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) {
  Log.push_back("move " + std::to_string(X) + "," + std::to_string(Y) + ((Shift & ssLeft) ? " left" : ""));
}

bool TFillControl::MouseWheel(TShiftState Shift, std::int32_t WheelDelta, TPoint At) {
  Log.push_back("wheel " + std::to_string(WheelDelta));
  return true;
}

TPixel32 CoordinatePixel(std::int32_t X, std::int32_t Y, std::uint8_t Alpha) {
  return Pixel32(Alpha, std::uint8_t(X & 255), std::uint8_t(Y & 255), std::uint8_t((X >> 8) + 8 * (Y >> 8)));
}

void FillCoordinateStrip(TGuiCustomPixelMap& Map, std::int32_t Width, std::int32_t Height, std::uint8_t Alpha) {
  Map.SetSize(Width, Height);
  for (std::int32_t y = 0; y < Height; ++y)
    for (std::int32_t x = 0; x < Width; ++x) Map.ScanLine(y)[x] = CoordinatePixel(x, y, Alpha);
}

std::vector<std::uint8_t> EncodePng(const TGuiCustomPixelMap& Map) {
  TPortableNetworkGraphicPixel32 png;
  png.SetStorageFormat(psfRGBA);
  png.Assign(Map);
  TPngMemoryStream out;
  png.SaveToMemory(out);
  return out.Bytes();
}

TTestStitchedList::TTestStitchedList(TGuiWindow* Owner)
    : TGuiCustomStitchedList(Owner, [](TGuiStitchedImageCollection* Collection) {
        return std::make_unique<TGuiCustomStitchedCollectionItem>(Collection);
      }) {}

TGuiCustomStitchedCollectionItem& AddCoordinateStrip(TGuiCustomStitchedList& List, std::int32_t Width,
                                                     std::int32_t Height, std::int32_t Glyphs, TGuiStitchKind Kind,
                                                     std::uint8_t Alpha) {
  TGuiPixelMapMemory map;
  FillCoordinateStrip(map, Width, Height, Alpha);
  auto& item = List.StitchedCollection().Add();
  item.SetPixelMap(map);
  item.SetGlyphCount(Glyphs);
  item.SetStitchKind(Kind);
  return item;
}

}  // namespace vb::test
