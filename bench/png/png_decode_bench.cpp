// Decoding speed of the PNG codec beside the system's libpng decoding the
// same files (to 8-bit BGRA, the pixel map's layout), and zlib's and
// libdeflate's inflate of their image data alone (the floor each inflate
// sets for a whole decode). Three images, generated deterministically: a
// 60 x 6000 RGBA knob strip, an 865 x 149 RGBA panel and a 2268 x 1512
// photo-like RGB picture, each written by the codec's own encoder.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "image/gui_pixel_map_memory.h"
#include "png/png_startup.h"
#include "png/portable_network_graphic_pixel32.h"

#ifdef VB_HAVE_LIBPNG
#include <png.h>
#endif

namespace {

using namespace vb;
using TBytes = std::vector<uint8_t>;

// Deterministic value noise in 0..1 (smooth, photo-like at several scales).
double Hash(int X, int Y, int Seed) {
  uint32_t h = uint32_t(X) * 374761393u + uint32_t(Y) * 668265263u + uint32_t(Seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return double(h ^ (h >> 16)) / 4294967295.0;
}
double Noise(double X, double Y, int Seed) {
  const int x0 = int(std::floor(X)), y0 = int(std::floor(Y));
  const double fx = X - x0, fy = Y - y0;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double a = Hash(x0, y0, Seed) + (Hash(x0 + 1, y0, Seed) - Hash(x0, y0, Seed)) * sx;
  const double b = Hash(x0, y0 + 1, Seed) + (Hash(x0 + 1, y0 + 1, Seed) - Hash(x0, y0 + 1, Seed)) * sx;
  return a + (b - a) * sy;
}
double Fractal(double X, double Y, int Seed) {
  double sum = 0, amp = 0.5, freq = 1.0 / 128;
  for (int o = 0; o < 6; ++o, amp *= 0.5, freq *= 2) sum += amp * Noise(X * freq, Y * freq, Seed + o);
  return sum;
}
uint8_t Byte(double V) { return uint8_t(std::clamp(V, 0.0, 1.0) * 255.0 + 0.5); }

TBytes Encode(const TGuiPixelMapMemory& Map) {
  TPortableNetworkGraphicPixel32 png;
  png.Assign(Map);
  TPngMemoryStream out;
  png.SaveToMemory(out);
  return out.Bytes();
}

// 100 frames of a 60 x 60 knob: a shaded disc with a pointer, transparent
// outside, anti-aliased edge.
TBytes KnobStrip() {
  TGuiPixelMapMemory map;
  map.SetSize(60, 6000);
  for (int y = 0; y < 6000; ++y) {
    const int frame = y / 60;
    const double angle = -2.4 + 4.8 * frame / 99.0;
    for (int x = 0; x < 60; ++x) {
      const double dx = x - 29.5, dy = (y % 60) - 29.5, r = std::sqrt(dx * dx + dy * dy);
      const double coverage = std::clamp(27.0 - r, 0.0, 1.0);
      const double shade = 0.35 + 0.3 * (-dx - dy) / 60.0 + 0.05 * std::cos(r * 0.9);
      const double px = std::sin(angle), py = -std::cos(angle);
      const double along = dx * px + dy * py, across = std::fabs(dx * py - dy * px);
      const bool pointer = along > 8 && along < 24 && across < 2.0;
      const uint8_t v = pointer ? 235 : Byte(shade);
      map.ScanLine(y)[x] = Pixel32(Byte(coverage), v, uint8_t(v * 0.9), uint8_t(v * 0.8));
    }
  }
  return Encode(map);
}

// A front panel: brushed-metal gradient, screws, labels as hard-edged
// shapes, a soft shadow band with partial alpha.
TBytes Panel() {
  TGuiPixelMapMemory map;
  map.SetSize(865, 149);
  for (int y = 0; y < 149; ++y)
    for (int x = 0; x < 865; ++x) {
      double v = 0.45 + 0.15 * y / 149.0 + 0.04 * Noise(x * 0.9, y * 0.05, 3);
      if ((x / 66) % 2 == 0 && y > 110 && y < 122 && (x % 7) < 4) v = 0.9;  // label strokes
      const double sx = (x % 110) - 55.0, sy = y - 20.0;
      if (sx * sx + sy * sy < 16) v = 0.2;  // screws
      const uint8_t a = y < 6 ? uint8_t(40 * y) : 255;
      map.ScanLine(y)[x] = Pixel32(a, Byte(v), Byte(v * 0.97), Byte(v * 0.92));
    }
  return Encode(map);
}

TBytes Photo() {
  TGuiPixelMapMemory map;
  map.SetSize(2268, 1512);
  for (int y = 0; y < 1512; ++y)
    for (int x = 0; x < 2268; ++x) {
      const double l = Fractal(x, y, 11), c1 = Fractal(x, y, 31), c2 = Fractal(x, y, 51);
      const double grain = (Hash(x, y, 99) - 0.5) * 0.03;
      map.ScanLine(y)[x] = Pixel32(255, Byte(l * 1.1 + (c1 - 0.5) * 0.4 + grain), Byte(l + grain),
                                   Byte(l * 0.9 + (c2 - 0.5) * 0.4 + grain));
    }
  return Encode(map);
}

const TBytes& File(int Index) {
  static const bool started = (PngStartUp(), true);
  (void)started;
  static const TBytes files[3] = {KnobStrip(), Panel(), Photo()};
  return files[Index];
}

const char* kNames[3] = {"strip60x6000rgba", "panel865x149rgba", "photo2268x1512rgb"};

void BM_CodecDecode(benchmark::State& State) {
  const TBytes& file = File(int(State.range(0)));
  for (auto _ : State) {
    TPortableNetworkGraphicPixel32 png;
    png.LoadFromMemory(file.data(), file.size());
    TGuiPixelMapMemory map;
    png.AssignTo(map);
    benchmark::DoNotOptimize(map.DataPointer());
  }
  State.SetLabel(kNames[State.range(0)]);
  State.counters["file_bytes"] = double(file.size());
}

// The concatenated IDAT data of a file and the size it inflates to.
TBytes ImageData(const TBytes& File, size_t& Raw) {
  TPortableNetworkGraphic png;
  png.LoadFromMemory(File.data(), File.size());
  TBytes packed;
  for (int i = 0; i < png.DataChunkList().Count(); ++i) {
    const auto& d = static_cast<const TChunkPngImageData&>(png.DataChunkList()[i]).Data();
    packed.insert(packed.end(), d.Memory(), d.Memory() + d.Size());
  }
  TPngMemoryStream raw;
  png.DecompressImageData(raw);
  Raw = raw.Size();
  return packed;
}

void BM_ZlibInflateOnly(benchmark::State& State) {
  size_t rawSize = 0;
  const TBytes packed = ImageData(File(int(State.range(0))), rawSize);
  TBytes out(rawSize);
  for (auto _ : State) {
    uLongf length = uLongf(out.size());
    uncompress(out.data(), &length, packed.data(), uLong(packed.size()));
    benchmark::DoNotOptimize(out.data());
  }
  State.SetLabel(kNames[State.range(0)]);
}

void BM_LibdeflateInflateOnly(benchmark::State& State) {
  size_t rawSize = 0;
  const TBytes packed = ImageData(File(int(State.range(0))), rawSize);
  TBytes out(rawSize);
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  for (auto _ : State) {
    libdeflate_zlib_decompress(d, packed.data(), packed.size(), out.data(), out.size(), nullptr);
    benchmark::DoNotOptimize(out.data());
  }
  libdeflate_free_decompressor(d);
  State.SetLabel(kNames[State.range(0)]);
}

#ifdef VB_HAVE_LIBPNG
struct TReader {
  const TBytes* Data;
  size_t Position;
};

void BM_LibpngDecode(benchmark::State& State) {
  const TBytes& file = File(int(State.range(0)));
  for (auto _ : State) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    TReader reader{&file, 0};
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
      png_destroy_read_struct(&png, &info, nullptr);
      State.SkipWithError("libpng failed");
      return;
    }
    png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, png_size_t n) {
      auto* r = static_cast<TReader*>(png_get_io_ptr(p));
      std::memcpy(out, r->Data->data() + r->Position, n);
      r->Position += n;
    });
    png_read_info(png, info);
    const uint32_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    pixels.resize(size_t(w) * h * 4);
    rows.resize(h);
    for (uint32_t y = 0; y < h; ++y) rows[y] = pixels.data() + size_t(y) * w * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
  State.SetLabel(kNames[State.range(0)]);
}
BENCHMARK(BM_LibpngDecode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK(BM_CodecDecode)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflateOnly)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibdeflateInflateOnly)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
