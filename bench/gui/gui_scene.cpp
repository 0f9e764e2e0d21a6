#include "gui_scene.h"

#include <cstdlib>

#include "cpu/cpu_unit.h"
#include "editor/editor_artwork.h"
#include "editor/scaled_artwork.h"
#include "gui/gui_picture.h"
#include "gui/gui_stitched_list.h"
#include "image/gui_pixel_map_memory.h"
#include "image/image_unit.h"
#include "png/png_startup.h"

namespace vb::bench {

namespace {

struct TDialPlace {
  int Left, Top, Strip;
  float Min, Max, Value;
};
constexpr TDialPlace kDials[] = {
    {173, 8, 5, 0, 100, 0},    {591, 44, 5, 0, 100, 100}, {517, 44, 10, -15, 15, 0},     {645, 44, 11, -100, 100, 0},
    {99, 44, 4, -200, 200, 0}, {409, 44, 10, -15, 15, 0}, {281, 80, 9, 500, 5000, 3000}, {355, 44, 10, -15, 15, 0},
    {463, 44, 10, -15, 15, 0}, {173, 80, 7, 0, 500, 20},  {227, 80, 8, 0, 1000, 275},    {281, 8, 6, 1, 200, 80},
    {227, 8, 5, 0, 100, 45},
};
struct TSwitchPlace {
  int Left, Top, Width, Strip;
};
constexpr TSwitchPlace kSwitches[] = {{450, 110, 20, 1}, {630, 110, 20, 2}, {540, 110, 20, 1}, {765, 55, 30, 0}};

void StartUnits() {
  static const bool started = [] {
    CpuStartUp();
    ImageStartUp();
    PngStartUp();
    return true;
  }();
  (void)started;
}

TGuiPicture& Picture(TGuiWindow& w, TArtwork art, int left, int top, int width, int height) {
  auto& p = w.Create<TGuiPicture>();
  const auto png = ArtworkPieces(art, TEditorScale::esOne).front();
  p.LoadPng(png.data(), png.size());
  p.SetBounds(left, top, width, height);
  return p;
}

}  // namespace

TGuiScene::TGuiScene() {
  StartUnits();
  auto platform = std::make_unique<THeadlessWindow>(0x1234);
  Screen = platform.get();
  Window = std::make_unique<TGuiWindow>(std::move(platform));
  TGuiWindow& w = *Window;
  w.SetClientSize(865, 150);
  w.SetColor(0x00FFFFFF);
  w.BeginLoading();
  auto& front = Picture(w, TArtwork::awFrontPanel, 0, 0, 865, 149);
  front.SetAutoSize(true);
  Label = &w.Create<TGuiLabel>();
  Label->SetBounds(812, 68, 50, 14);
  TFont font;
  font.Name = "Lucida Console";
  font.Height = 12;
  font.Bold = true;
  font.Color = 0x00FFFFFF;
  Label->SetFont(font);
  Label->SetFontOversampling(fo16x);
  Label->SetAlignment(taRightJustify);
  Label->SetTransparent(true);
  Label->SetCaption("by Vorda");
  Label->SetHint("Visit website");
  Label->SetShowHint(true);
  Picture(w, TArtwork::awLampOn, 762, 14, 35, 35);
  Picture(w, TArtwork::awLampOff, 775, 27, 9, 9).SetVisible(false);
  auto& list = w.Create<TGuiStitchedPNGList>();
  for (std::size_t i = 0; i < kStripCount; ++i) {
    const TArtworkInfo& info = ArtworkInfo(StripArtwork(i));
    list.AddPngPieces(ArtworkPieces(info.Id, TEditorScale::esOne), kGlyphsPerPiece, info.DisplayName, info.GlyphCount,
                      info.Direction == TStripDirection::sdVertical ? skVertical : skHorizontal);
  }
  for (const TSwitchPlace& s : kSwitches) {
    auto& c = w.Create<TGuiStitchedSwitch>();
    c.SetBounds(s.Left, s.Top, s.Width, 40);
    c.SetTransparent(true);
    c.SetImageList(&list);
    c.SetImageIndex(s.Strip);
    Buffered.push_back(&c);
  }
  for (const TDialPlace& d : kDials) {
    auto& c = w.Create<TGuiStitchedDial>();
    c.SetBounds(d.Left, d.Top, 60, 60);
    c.SetTransparent(true);
    c.SetImageList(&list);
    c.SetImageIndex(d.Strip);
    c.SetMax(d.Max);
    c.SetMin(d.Min);
    c.SetValue(d.Value);
    Dials.push_back(&c);
    Buffered.push_back(&c);
  }
  for (int left : {79, 706}) {
    auto& m = w.Create<TGuiStitchedDisplay>();
    m.SetBounds(left, 32, 20, 84);
    m.SetTransparent(true);
    m.SetImageList(&list);
    m.SetImageIndex(3);
    Buffered.push_back(&m);
  }
  w.EndLoading();
  w.Show();
  Buffered.push_back(Label);
  for (TGuiControl* c : w.Controls())
    if (auto* picture = dynamic_cast<TGuiPicture*>(c)) Buffered.push_back(picture);
  if (const char* path = std::getenv("VB_GUI_SNAPSHOT")) {
    // With the pointer resting on the label, so that its hint shows too.
    Screen->MoveTo({830, 75});
    w.Idle();
    Screen->AdvanceClock(TGuiHint::kShowDelayMs);
    w.Idle();
    TGuiPixelMapMemory frame;
    w.CaptureFrame(frame);
    frame.SaveToFile(path);
  }
}

}  // namespace vb::bench
