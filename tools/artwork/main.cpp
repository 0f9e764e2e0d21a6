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
// Options combine; the same sources always give the same bytes. --help,
// --version and -- as every tool of the project. The
// pictures are drawn on all cores (at most kMaxThreads).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <mutex>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "artwork_fonts.h"
#include "artwork_set.h"
#include "command_line.h"
#include "cpu/cpu_unit.h"
#include "editor_preview.h"
#include "embedded_source.h"
#include "image/image_unit.h"
#include "png/png_startup.h"

namespace {

using namespace vb;
using namespace vb::artwork;

constexpr unsigned kMaxThreads = 8;

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
void WritePreviews(const TOptions& options, const TGuiPixelMapMemory (&pictures)[kArtworkCount]) {
  if (!options.PngDirectory.empty()) {
    for (const TArtworkInfo& info : kArtworkTable) {
      const std::vector<std::uint8_t> file = EncodeRgbaPng(pictures[std::size_t(info.Id)], PngLevel(options.Scale));
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

bool SetText(std::string& field, const std::string& value) {
  field = value;
  return true;
}

const TOptionRow<TOptions> kOptions[] = {
    {nullptr, "--source", "OUT.cpp", "the C++ source embedding the PNG files\nat every scale factor (1, 1.5 and 2)",
     [](TOptions& o, const std::string& v, std::string&) { return SetText(o.Source, v); }},
    {nullptr, "--png", "DIR", "one PNG file per picture",
     [](TOptions& o, const std::string& v, std::string&) { return SetText(o.PngDirectory, v); }},
    {nullptr, "--preview", "OUT.png", "the editor composed as a user sees it",
     [](TOptions& o, const std::string& v, std::string&) { return SetText(o.Preview, v); }},
    {nullptr, "--unlit", "OUT.png", "the same with the power off",
     [](TOptions& o, const std::string& v, std::string&) { return SetText(o.UnlitPreview, v); }},
    {nullptr, "--scale", "F", "--png, --preview and --unlit at factor F\n(1, 1.5 or 2; default 1)",
     [](TOptions& o, const std::string& v, std::string& e) {
       if (ParseScale(v, o.Scale)) return true;
       e = "--scale takes 1, 1.5 or 2, not '" + v + "'";
       return false;
     }},
    {nullptr, "--verbose", nullptr, "the size and drawing time of each picture",
     [](TOptions& o, const std::string&, std::string&) { return o.Verbose = true; }},
};

std::string Usage() {
  return "usage: artwork-gen [--source OUT.cpp] [--png DIR] [--preview OUT.png] [--unlit OUT.png] [--scale 1|1.5|2]\n"
         "Draws the editor's pictures and writes them out; options combine, and the\n"
         "same sources always give the same bytes.\n\n" +
         UsageRows(std::span<const TOptionRow<TOptions>>(kOptions));
}

// The pictures of one scale, drawn and encoded.
struct TDrawnSet {
  explicit TDrawnSet(TEditorScale scale) : Scale(scale), Files(kArtworkCount) {}
  TEditorScale Scale;
  TGuiPixelMapMemory Pictures[kArtworkCount];
  TArtworkFiles Files;
  double Milliseconds[kArtworkCount] = {};
};

// Draws one picture of a set; keeps its pixels only when Keep (previews).
void DrawPicture(TDrawnSet& set, std::size_t index, bool keep) {
  const auto start = std::chrono::steady_clock::now();
  TGuiPixelMapMemory& map = set.Pictures[index];
  DrawArtwork(TArtwork(index), map, set.Scale);
  set.Files[index] = EncodeArtworkPieces(map, TArtwork(index), set.Scale);
  if (!keep) map.SetSize(0, 0);
  set.Milliseconds[index] = MillisecondsSince(start);
}

// Draws every picture of the sets on every core, the largest set first.
// Pictures are independent of each other, so the bytes do not depend on
// which thread draws which; the first failure is thrown here.
void DrawSets(std::vector<std::unique_ptr<TDrawnSet>>& sets, TEditorScale kept) {
  const std::size_t jobs = sets.size() * kArtworkCount;
  std::atomic<std::size_t> next{0};
  std::mutex failureLock;
  std::exception_ptr failure;
  const auto work = [&] {
    try {
      for (std::size_t job; (job = next.fetch_add(1)) < jobs;) {
        TDrawnSet& set = *sets[sets.size() - 1 - job / kArtworkCount];
        DrawPicture(set, job % kArtworkCount, set.Scale == kept);
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
      next = jobs;
    }
  };
  const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
  std::vector<std::thread> helpers;
  for (unsigned i = 1; i < threads; ++i) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
}

void Report(const TDrawnSet& set) {
  std::size_t bytes = 0;
  double milliseconds = 0;
  for (const TArtworkInfo& info : kArtworkTable) {
    const TArtworkInfo scaled = ScaledArtworkInfo(info.Id, set.Scale);
    const std::size_t i = std::size_t(info.Id);
    std::size_t size = 0;
    for (const std::vector<std::uint8_t>& piece : set.Files[i]) size += piece.size();
    std::printf("%-10s %4d x %5d  %7zu bytes in %2zu  %6.1f ms\n", info.DisplayName, scaled.Width, scaled.Height, size,
                set.Files[i].size(), set.Milliseconds[i]);
    bytes += size;
    milliseconds += set.Milliseconds[i];
  }
  std::printf("scale %.1f: %zu bytes, %.1f ms of drawing\n", ScaleFactor(set.Scale), bytes, milliseconds);
}

int Run(const TOptions& options) {
  std::vector<std::unique_ptr<TDrawnSet>> sets;
  for (const TEditorScale scale : kEditorScales) {
    if (scale == options.Scale || !options.Source.empty()) sets.push_back(std::make_unique<TDrawnSet>(scale));
  }
  DrawSets(sets, options.Scale);
  std::vector<TArtworkFiles> files;
  for (const std::unique_ptr<TDrawnSet>& set : sets) {
    if (options.Verbose) Report(*set);
    if (set->Scale == options.Scale) WritePreviews(options, set->Pictures);
    files.push_back(set->Files);
  }
  if (!options.Source.empty()) {
    const std::string source = EmbeddedArtworkSource(files);
    WriteFile(options.Source, source.data(), source.size());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const TToolMessages say("artwork-gen");
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  TOptions options;
  std::vector<std::string> operands;
  std::string error;
  const TCommandMode mode =
      ParseCommandLine(std::span<const TOptionRow<TOptions>>(kOptions), args, options, operands, error);
  if (mode == cmHelp) {
    std::fputs(Usage().c_str(), stdout);
    return kExitOk;
  }
  if (mode == cmVersion) {
    std::fputs(VersionText("artwork-gen").c_str(), stdout);
    return kExitOk;
  }
  if (mode == cmRun && !operands.empty()) error = "unexpected argument '" + operands.front() + "' (see --help)";
  if (mode == cmRun && error.empty() && options.Source.empty() && options.PngDirectory.empty() &&
      options.Preview.empty() && options.UnlitPreview.empty())
    error = "nothing to write: give --source, --png, --preview or --unlit (see --help)";
  if (!error.empty()) return say.Error(error, kExitUsage);
  CpuStartUp();
  ImageStartUp();
  PngStartUp();
  int status = 1;
  try {
    UseRepositoryFonts();
    status = Run(options);
  } catch (const std::exception& e) {
    status = say.Error(e.what());
  }
  PngShutDown();
  ImageShutDown();
  CpuShutDown();
  return status;
}
