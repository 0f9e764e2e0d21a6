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

bool ParseScale(const std::string& Text, TEditorScale& Scale) {
  for (const TScaleName& name : kScaleNames) {
    if (Text == name.Text) {
      Scale = name.Scale;
      return true;
    }
  }
  return false;
}

void WriteFile(const std::string& Path, const void* Data, std::size_t Size) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(Data), std::streamsize(Size));
  if (!out) throw std::runtime_error("cannot write " + Path);
}

double MillisecondsSince(std::chrono::steady_clock::time_point Start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
}

// The per-picture files and the composed editor at the previewed scale.
void WritePreviews(const TOptions& Options, const TGuiPixelMapMemory (&Pictures)[kArtworkCount]) {
  if (!Options.PngDirectory.empty()) {
    for (const TArtworkInfo& info : kArtworkTable) {
      const std::vector<std::uint8_t> file = EncodeRgbaPng(Pictures[std::size_t(info.Id)], PngLevel(Options.Scale));
      WriteFile(Options.PngDirectory + "/" + info.DisplayName + ".png", file.data(), file.size());
    }
  }
  for (const bool powerOn : {true, false}) {
    const std::string& path = powerOn ? Options.Preview : Options.UnlitPreview;
    if (path.empty()) continue;
    TGuiPixelMapMemory preview;
    ComposeEditorPreview(Pictures, preview, powerOn, Options.Scale);
    const std::vector<std::uint8_t> png = EncodeRgbaPng(preview);
    WriteFile(path, png.data(), png.size());
  }
}

bool SetText(std::string& Field, const std::string& Value) {
  Field = Value;
  return true;
}

const TOptionRow<TOptions> kOptions[] = {
    {nullptr, "--source", "OUT.cpp", "the C++ source embedding the PNG files\nat every scale factor (1, 1.5 and 2)",
     [](TOptions& O, const std::string& V, std::string&) { return SetText(O.Source, V); }},
    {nullptr, "--png", "DIR", "one PNG file per picture",
     [](TOptions& O, const std::string& V, std::string&) { return SetText(O.PngDirectory, V); }},
    {nullptr, "--preview", "OUT.png", "the editor composed as a user sees it",
     [](TOptions& O, const std::string& V, std::string&) { return SetText(O.Preview, V); }},
    {nullptr, "--unlit", "OUT.png", "the same with the power off",
     [](TOptions& O, const std::string& V, std::string&) { return SetText(O.UnlitPreview, V); }},
    {nullptr, "--scale", "F", "--png, --preview and --unlit at factor F\n(1, 1.5 or 2; default 1)",
     [](TOptions& O, const std::string& V, std::string& E) {
       if (ParseScale(V, O.Scale)) return true;
       E = "--scale takes 1, 1.5 or 2, not '" + V + "'";
       return false;
     }},
    {nullptr, "--verbose", nullptr, "the size and drawing time of each picture",
     [](TOptions& O, const std::string&, std::string&) { return O.Verbose = true; }},
};

std::string Usage() {
  return "usage: artwork-gen [--source OUT.cpp] [--png DIR] [--preview OUT.png] [--unlit OUT.png] [--scale 1|1.5|2]\n"
         "Draws the editor's pictures and writes them out; options combine, and the\n"
         "same sources always give the same bytes.\n\n" +
         UsageRows(std::span<const TOptionRow<TOptions>>(kOptions));
}

// The pictures of one scale, drawn and encoded.
struct TDrawnSet {
  explicit TDrawnSet(TEditorScale Scale) : Scale(Scale), Files(kArtworkCount) {}
  TEditorScale Scale;
  TGuiPixelMapMemory Pictures[kArtworkCount];
  TArtworkFiles Files;
  double Milliseconds[kArtworkCount] = {};
};

// Draws one picture of a set; keeps its pixels only when Keep (previews).
void DrawPicture(TDrawnSet& Set, std::size_t Index, bool Keep) {
  const auto start = std::chrono::steady_clock::now();
  TGuiPixelMapMemory& map = Set.Pictures[Index];
  DrawArtwork(TArtwork(Index), map, Set.Scale);
  Set.Files[Index] = EncodeArtworkPieces(map, TArtwork(Index), Set.Scale);
  if (!Keep) map.SetSize(0, 0);
  Set.Milliseconds[Index] = MillisecondsSince(start);
}

// Draws every picture of the sets on every core, the largest set first.
// Pictures are independent of each other, so the bytes do not depend on
// which thread draws which; the first failure is thrown here.
void DrawSets(std::vector<std::unique_ptr<TDrawnSet>>& Sets, TEditorScale Kept) {
  const std::size_t jobs = Sets.size() * kArtworkCount;
  std::atomic<std::size_t> next{0};
  std::mutex failureLock;
  std::exception_ptr failure;
  const auto work = [&] {
    try {
      for (std::size_t job; (job = next.fetch_add(1)) < jobs;) {
        TDrawnSet& set = *Sets[Sets.size() - 1 - job / kArtworkCount];
        DrawPicture(set, job % kArtworkCount, set.Scale == Kept);
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

void Report(const TDrawnSet& Set) {
  std::size_t bytes = 0;
  double milliseconds = 0;
  for (const TArtworkInfo& info : kArtworkTable) {
    const TArtworkInfo scaled = ScaledArtworkInfo(info.Id, Set.Scale);
    const std::size_t i = std::size_t(info.Id);
    std::size_t size = 0;
    for (const std::vector<std::uint8_t>& piece : Set.Files[i]) size += piece.size();
    std::printf("%-10s %4d x %5d  %7zu bytes in %2zu  %6.1f ms\n", info.DisplayName, scaled.Width, scaled.Height, size,
                Set.Files[i].size(), Set.Milliseconds[i]);
    bytes += size;
    milliseconds += Set.Milliseconds[i];
  }
  std::printf("scale %.1f: %zu bytes, %.1f ms of drawing\n", ScaleFactor(Set.Scale), bytes, milliseconds);
}

int Run(const TOptions& Options) {
  std::vector<std::unique_ptr<TDrawnSet>> sets;
  for (const TEditorScale scale : kEditorScales) {
    if (scale == Options.Scale || !Options.Source.empty()) sets.push_back(std::make_unique<TDrawnSet>(scale));
  }
  DrawSets(sets, Options.Scale);
  std::vector<TArtworkFiles> files;
  for (const std::unique_ptr<TDrawnSet>& set : sets) {
    if (Options.Verbose) Report(*set);
    if (set->Scale == Options.Scale) WritePreviews(Options, set->Pictures);
    files.push_back(set->Files);
  }
  if (!Options.Source.empty()) {
    const std::string source = EmbeddedArtworkSource(files);
    WriteFile(Options.Source, source.data(), source.size());
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
