// artwork-gen: draws the editor's pictures and writes them out.
//
//   artwork-gen --source OUT.cpp   the C++ source embedding the PNG files
//                                  at every scale factor (1, 1.5 and 2)
//   artwork-gen --png DIR          one PNG file per picture
//   artwork-gen --preview OUT.png  the editor composed as a user sees it
//   artwork-gen --unlit OUT.png    the same with the power off
//   artwork-gen --scale F          --png, --preview and --unlit at factor F
//                                  (1, 1.5 or 2; default 1)
//
// Options combine; the same sources always give the same bytes.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "artwork_set.h"
#include "cpu/cpu_unit.h"
#include "editor_preview.h"
#include "embedded_source.h"
#include "image/image_unit.h"
#include "png/png_startup.h"

namespace {

using namespace vb;
using namespace vb::artwork;

struct TOptions {
  std::string Source;
  std::string PngDirectory;
  std::string Preview;
  std::string UnlitPreview;
  TEditorScale Scale = TEditorScale::esOne;
  bool Verbose = false;
};

// The factor of --scale, as the user writes it.
struct TScaleName {
  const char* Text;
  TEditorScale Scale;
};
constexpr TScaleName kScaleNames[] = {
    {"1", TEditorScale::esOne}, {"1.5", TEditorScale::esOneAndHalf}, {"2", TEditorScale::esTwo}};

bool ParseScale(const std::string& text, TEditorScale& scale) {
  for (const TScaleName& name : kScaleNames) {
    if (text == name.Text) {
      scale = name.Scale;
      return true;
    }
  }
  return false;
}

void WriteFile(const std::string& path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), std::streamsize(size));
  if (!out) throw std::runtime_error("cannot write " + path);
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The per-picture files and the composed editor at the previewed scale.
void WritePreviews(const TOptions& options, const TGuiPixelMapMemory (&pictures)[kArtworkCount],
                   const TArtworkFiles& files) {
  if (!options.PngDirectory.empty()) {
    for (const TArtworkInfo& info : kArtworkTable) {
      const std::vector<std::uint8_t>& file = files[std::size_t(info.Id)];
      WriteFile(options.PngDirectory + "/" + info.DisplayName + ".png", file.data(), file.size());
    }
  }
  for (const bool powerOn : {true, false}) {
    const std::string& path = powerOn ? options.Preview : options.UnlitPreview;
    if (path.empty()) continue;
    TGuiPixelMapMemory preview;
    ComposeEditorPreview(pictures, preview, powerOn, options.Scale);
    const std::vector<std::uint8_t> png = EncodeRgbaPng(preview);
    WriteFile(path, png.data(), png.size());
  }
}

bool ParseOptions(int argc, char** argv, TOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--verbose") {
      options.Verbose = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    if (arg == "--source")
      options.Source = argv[++i];
    else if (arg == "--png")
      options.PngDirectory = argv[++i];
    else if (arg == "--preview")
      options.Preview = argv[++i];
    else if (arg == "--unlit")
      options.UnlitPreview = argv[++i];
    else if (arg != "--scale" || !ParseScale(argv[++i], options.Scale))
      return false;
  }
  return !options.Source.empty() || !options.PngDirectory.empty() || !options.Preview.empty() ||
         !options.UnlitPreview.empty();
}

// Draws and encodes the fifteen pictures at Scale into Pictures and Files.
void DrawSet(TEditorScale scale, bool verbose, TGuiPixelMapMemory (&pictures)[kArtworkCount], TArtworkFiles& files) {
  const auto setStart = std::chrono::steady_clock::now();
  for (const TArtworkInfo& info : kArtworkTable) {
    const auto start = std::chrono::steady_clock::now();
    TGuiPixelMapMemory& map = pictures[std::size_t(info.Id)];
    DrawArtwork(info.Id, map, scale);
    files.push_back(EncodeRgbaPng(map, PngLevel(scale)));
    if (verbose) {
      std::printf("%-10s %4d x %5d  %7zu bytes  %6.1f ms\n", info.DisplayName, map.Width(), map.Height(),
                  files.back().size(), MillisecondsSince(start));
    }
  }
  if (verbose) {
    std::size_t bytes = 0;
    for (const std::vector<std::uint8_t>& file : files) bytes += file.size();
    std::printf("scale %.1f: %zu bytes in %.1f ms\n", ScaleFactor(scale), bytes, MillisecondsSince(setStart));
  }
}

int Run(const TOptions& options) {
  std::vector<TArtworkFiles> sets;
  for (const TEditorScale scale : kEditorScales) {
    const bool previewed = scale == options.Scale;
    if (!previewed && options.Source.empty()) continue;
    TGuiPixelMapMemory pictures[kArtworkCount];
    TArtworkFiles& files = sets.emplace_back();
    DrawSet(scale, options.Verbose, pictures, files);
    if (previewed) WritePreviews(options, pictures, files);
  }
  if (!options.Source.empty()) {
    const std::string source = EmbeddedArtworkSource(sets);
    WriteFile(options.Source, source.data(), source.size());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(
        stderr,
        "usage: artwork-gen [--source OUT.cpp] [--png DIR] [--preview OUT.png] [--unlit OUT.png] [--scale 1|1.5|2]\n"
        "                   [--verbose]\n");
    return 2;
  }
  CpuStartUp();
  ImageStartUp();
  PngStartUp();
  int status = 1;
  try {
    status = Run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artwork-gen: %s\n", e.what());
  }
  PngShutDown();
  ImageShutDown();
  CpuShutDown();
  return status;
}
