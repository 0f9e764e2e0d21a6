#include "editor_snapshot.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
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
void ToOpaquePixelMap(const TMemoryBitmap& shot, TGuiPixelMapMemory& map) {
  map.SetSize(shot.Width(), shot.Height());
  for (std::int32_t y = 0; y < shot.Height(); ++y) {
    TPixel32* row = map.ScanLine(y);
    for (std::int32_t x = 0; x < shot.Width(); ++x) row[x] = Pixel32(shot.PixelARGB(x, y) | 0xFF000000u);
  }
}

// Writes Bytes to Path through an output target: a failure never leaves a
// partial file behind.
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
  TOutputTarget target;
  if (!target.Open(path, true, error)) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(target.Fd(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = "cannot write '" + path + "': " + std::strerror(errno);
      return false;
    }
    done += std::size_t(n);
  }
  return target.Commit(error);
}

}  // namespace

TEditorSnapshot::TEditorSnapshot(TPluginHost& plugin) : FPlugin(plugin) {}

TEditorSnapshot::~TEditorSnapshot() { Close(); }

std::int32_t TEditorSnapshot::Width() const { return FWindow ? FWindow->Width() : 0; }
std::int32_t TEditorSnapshot::Height() const { return FWindow ? FWindow->Height() : 0; }

void TEditorSnapshot::AskSize(std::int32_t& width, std::int32_t& height) {
  ERect* rect = nullptr;
  FPlugin.Dispatch(effEditGetRect, 0, 0, &rect);
  width = rect != nullptr ? rect->Right - rect->Left : 0;
  height = rect != nullptr ? rect->Bottom - rect->Top : 0;
}

bool TEditorSnapshot::Open(std::string& error) {
  if (!FPlugin.HasFlag(effFlagsHasEditor)) {
    error = "the plug-in has no editor";
    return false;
  }
  std::int32_t width = 0, height = 0;
  AskSize(width, height);
  const bool sized = width > 0 && height > 0;
  std::string why;
  FWindow = CreateHostWindow(sized ? width : kFallbackWidth, sized ? height : kFallbackHeight,
                             "vst-render: " + FPlugin.DispatchText(effGetEffectName), nullptr, &why);
  if (!FWindow) {
    error = "cannot open a window for the editor: " + why + "; snapshots need an X display (Xvfb will do)";
    return false;
  }
  if (!FWindow->Show()) {
    error = "the editor's window did not appear on the display";
    return false;
  }
  if (FPlugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(FWindow->NativeHandle())) == 0) {
    error = "the plug-in did not open its editor";
    return false;
  }
  FEditorOpen = true;
  // Some editors know their size only once they are open.
  AskSize(width, height);
  if (width > 0 && height > 0 && (width != FWindow->Width() || height != FWindow->Height()))
    FWindow->SetSize(width, height);
  return true;
}

void TEditorSnapshot::IdleFor(int milliseconds) {
  using TClock = std::chrono::steady_clock;
  const auto end = TClock::now() + std::chrono::milliseconds(milliseconds);
  do {
    if (FWindow) FWindow->Pump();
    if (FEditorOpen) FPlugin.Dispatch(effEditIdle);
    std::this_thread::sleep_for(std::chrono::milliseconds(kIdleIntervalMs));
  } while (TClock::now() < end);
}

bool TEditorSnapshot::Save(const std::string& path, std::string& error) {
  if (!FWindow) {
    error = "no editor window to take a picture of";
    return false;
  }
  FWindow->Pump();
  const std::unique_ptr<TMemoryBitmap> shot = FWindow->Grab();
  if (!shot) {
    error = "cannot read the editor's window back from the display";
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
    error = std::string("cannot encode the editor's picture: ") + e.what();
    return false;
  }
  return WriteBytes(path, encoded.Bytes(), error);
}

void TEditorSnapshot::Close() {
  if (FEditorOpen) FPlugin.Dispatch(effEditClose);
  FEditorOpen = false;
  // Like a host: the editor goes first, then the window it lived in.
  if (FWindow) FWindow->Destroy();
  FWindow.reset();
}

}  // namespace vb
