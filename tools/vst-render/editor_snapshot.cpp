#include "editor_snapshot.h"

#include <chrono>
#include <thread>

#include "cpu/cpu_unit.h"
#include "image/gui_pixel_map_memory.h"
#include "image/image_unit.h"
#include "output_target.h"
#include "platform/host_window.h"
#include "png/png_memory_stream.h"
#include "png/png_startup.h"
#include "png/portable_network_graphic_pixel32.h"

namespace vb {

namespace {

// The codec's units, started for one encoding and stopped after it.
class TCodecUnits {
 public:
  TCodecUnits() {
    CpuStartUp();
    ImageStartUp();
    PngStartUp();
  }
  ~TCodecUnits() {
    PngShutDown();
    ImageShutDown();
    CpuShutDown();
  }
  TCodecUnits(const TCodecUnits&) = delete;
  TCodecUnits& operator=(const TCodecUnits&) = delete;
};

// A grabbed picture as an opaque pixel map (the server's pixels carry no
// alpha of their own).
void ToOpaquePixelMap(const TMemoryBitmap& Shot, TGuiPixelMapMemory& Map) {
  Map.SetSize(Shot.Width(), Shot.Height());
  for (std::int32_t y = 0; y < Shot.Height(); ++y) {
    TPixel32* row = Map.ScanLine(y);
    for (std::int32_t x = 0; x < Shot.Width(); ++x) row[x] = Pixel32(Shot.PixelARGB(x, y) | 0xFF000000u);
  }
}

// Agreeing pictures differ in at most this share of their pixels: a meter
// or a blinking lamp may move, a half-drawn frame differs far more.
constexpr double kSettledChange = 0.01;

bool SamePicture(const TMemoryBitmap& A, const TMemoryBitmap& B) {
  if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
  std::int64_t differing = 0;
  for (std::int32_t y = 0; y < A.Height(); ++y)
    for (std::int32_t x = 0; x < A.Width(); ++x)
      differing += ((A.PixelARGB(x, y) ^ B.PixelARGB(x, y)) & 0x00FFFFFFu) != 0;
  return static_cast<double>(differing) <= kSettledChange * A.Width() * A.Height();
}

bool OneColour(const TMemoryBitmap& Shot) {
  const std::uint32_t first = Shot.PixelARGB(0, 0) & 0x00FFFFFFu;
  for (std::int32_t y = 0; y < Shot.Height(); ++y)
    for (std::int32_t x = 0; x < Shot.Width(); ++x)
      if ((Shot.PixelARGB(x, y) & 0x00FFFFFFu) != first) return false;
  return true;
}

}  // namespace

TEditorSnapshot::TEditorSnapshot(TPluginHost& Plugin) : FPlugin(Plugin) {}

TEditorSnapshot::~TEditorSnapshot() { Close(); }

std::int32_t TEditorSnapshot::Width() const { return FWindow ? FWindow->Width() : 0; }
std::int32_t TEditorSnapshot::Height() const { return FWindow ? FWindow->Height() : 0; }

void TEditorSnapshot::AskSize(std::int32_t& Width, std::int32_t& Height) {
  ERect* rect = nullptr;
  FPlugin.Dispatch(effEditGetRect, 0, 0, &rect);
  Width = rect != nullptr ? rect->Right - rect->Left : 0;
  Height = rect != nullptr ? rect->Bottom - rect->Top : 0;
}

bool TEditorSnapshot::Open(std::string& Error) {
  if (!FPlugin.HasFlag(effFlagsHasEditor)) {
    Error = "the plug-in has no editor";
    return false;
  }
  std::int32_t width = 0, height = 0;
  AskSize(width, height);
  const bool sized = width > 0 && height > 0;
  std::string why;
  FWindow = CreateHostWindow(sized ? width : kFallbackWidth, sized ? height : kFallbackHeight,
                             "vst-render: " + FPlugin.DispatchText(effGetEffectName), nullptr, &why);
  if (!FWindow) {
    Error = "cannot open a window for the editor: " + why + "; snapshots need an X display (Xvfb will do)";
    return false;
  }
  if (!FWindow->Show()) {
    Error = "the editor's window did not appear on the display";
    return false;
  }
  if (FPlugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(FWindow->NativeHandle())) == 0) {
    Error = "the plug-in did not open its editor";
    return false;
  }
  FEditorOpen = true;
  // Some editors know their size only once they are open.
  AskSize(width, height);
  if (width > 0 && height > 0 && (width != FWindow->Width() || height != FWindow->Height()))
    FWindow->SetSize(width, height);
  return true;
}

void TEditorSnapshot::IdleFor(int Milliseconds) {
  using TClock = std::chrono::steady_clock;
  const auto end = TClock::now() + std::chrono::milliseconds(Milliseconds);
  do {
    if (FWindow) FWindow->Pump();
    if (FEditorOpen) FPlugin.Dispatch(effEditIdle);
    std::this_thread::sleep_for(std::chrono::milliseconds(kIdleIntervalMs));
  } while (TClock::now() < end);
}

std::unique_ptr<TMemoryBitmap> TEditorSnapshot::GrabSettled(bool& Settled) {
  using TClock = std::chrono::steady_clock;
  const auto end = TClock::now() + std::chrono::milliseconds(kSettleLimitMs);
  FWindow->Pump();
  std::unique_ptr<TMemoryBitmap> shot = FWindow->Grab();
  // A window of one colour is an editor that has not drawn yet.
  int same = 0;
  while (shot && same < kSettleReads && TClock::now() < end) {
    IdleFor(kSettleCheckMs);
    std::unique_ptr<TMemoryBitmap> next = FWindow->Grab();
    if (!next) return nullptr;
    same = SamePicture(*shot, *next) && !OneColour(*next) ? same + 1 : 0;
    shot = std::move(next);
  }
  Settled = same >= kSettleReads;
  return shot;
}

bool TEditorSnapshot::Save(const std::string& Path, std::string& Error) {
  if (!FWindow) {
    Error = "no editor window to take a picture of";
    return false;
  }
  bool settled = false;
  const std::unique_ptr<TMemoryBitmap> shot = GrabSettled(settled);
  if (shot && !settled) {
    // A frame taken while the editor draws may be mostly black.
    Error = "the editor's picture did not settle within " + std::to_string(kSettleLimitMs / 1000) +
            " s (it stayed one colour or kept changing); no picture saved";
    return false;
  }
  if (!shot) {
    Error = "cannot read the editor's window (" + std::to_string(Width()) + " x " + std::to_string(Height()) +
            " pixels) back from the display; an editor larger than the screen cannot be read, so give the X "
            "server a larger one (Xvfb :N -screen 0 WIDTHxHEIGHTx24)";
    return false;
  }
  TPngMemoryStream encoded;
  try {
    TCodecUnits units;
    TGuiPixelMapMemory map;
    ToOpaquePixelMap(*shot, map);
    TPortableNetworkGraphicPixel32 png;
    png.Assign(map);
    png.SaveToMemory(encoded);
  } catch (const std::exception& e) {
    Error = std::string("cannot encode the editor's picture: ") + e.what();
    return false;
  }
  return WriteWholeFile(Path, encoded.Bytes().data(), encoded.Bytes().size(), Error);
}

void TEditorSnapshot::Close() {
  if (FEditorOpen) FPlugin.Dispatch(effEditClose);
  FEditorOpen = false;
  // Like a host: the editor goes first, then the window it lived in.
  if (FWindow) FWindow->Destroy();
  FWindow.reset();
}

}  // namespace vb
