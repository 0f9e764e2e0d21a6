// artwork-gen: draws the editor's pictures and writes them out.
//
//   artwork-gen --source OUT.cpp   the C++ source embedding the PNG files
//   artwork-gen --png DIR          one PNG file per picture
//   artwork-gen --preview OUT.png  the editor composed as a user sees it
//   artwork-gen --unlit OUT.png    the same with the power off
//
// Options combine; the same sources always give the same bytes.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "artwork_fonts.h"
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
  bool Verbose = false;
};

void WriteFile(const std::string& path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), std::streamsize(size));
  if (!out) throw std::runtime_error("cannot write " + path);
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
    else
      return false;
  }
  return !options.Source.empty() || !options.PngDirectory.empty() || !options.Preview.empty() ||
         !options.UnlitPreview.empty();
}

int Run(const TOptions& options) {
  TGuiPixelMapMemory pictures[kArtworkCount];
  std::vector<std::vector<std::uint8_t>> files;
  for (const TArtworkInfo& info : kArtworkTable) {
    const auto start = std::chrono::steady_clock::now();
    TGuiPixelMapMemory& map = pictures[std::size_t(info.Id)];
    DrawArtwork(info.Id, map);
    files.push_back(EncodeRgbaPng(map));
    if (options.Verbose) {
      const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      std::printf("%-10s %4d x %4d  %7zu bytes  %6.1f ms\n", info.DisplayName, info.Width, info.Height,
                  files.back().size(), ms);
    }
    if (!options.PngDirectory.empty()) {
      WriteFile(options.PngDirectory + "/" + info.DisplayName + ".png", files.back().data(), files.back().size());
    }
  }
  if (!options.Source.empty()) {
    const std::string source = EmbeddedArtworkSource(files);
    WriteFile(options.Source, source.data(), source.size());
  }
  for (const bool powerOn : {true, false}) {
    const std::string& path = powerOn ? options.Preview : options.UnlitPreview;
    if (path.empty()) continue;
    TGuiPixelMapMemory preview;
    ComposeEditorPreview(pictures, preview, powerOn);
    const std::vector<std::uint8_t> png = EncodeRgbaPng(preview);
    WriteFile(path, png.data(), png.size());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(
        stderr,
        "usage: artwork-gen [--source OUT.cpp] [--png DIR] [--preview OUT.png] [--unlit OUT.png] [--verbose]\n");
    return 2;
  }
  CpuStartUp();
  ImageStartUp();
  PngStartUp();
  int status = 1;
  try {
    UseRepositoryFonts();
    status = Run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artwork-gen: %s\n", e.what());
  }
  PngShutDown();
  ImageShutDown();
  CpuShutDown();
  return status;
}
