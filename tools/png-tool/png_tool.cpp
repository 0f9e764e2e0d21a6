// png-tool: decodes PNG files to RGBA PAM, encodes PAM to PNG and lists the
// chunks of a PNG, with the system's own codec. Errors are one line on
// stderr and exit status 1.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/file_format_registry.h"
#include "image/gui_pixel_map_memory.h"
#include "png/png_chunk_list.h"
#include "png/png_startup.h"
#include "png/portable_network_graphic_pixel32.h"

namespace {

using namespace vb;

std::vector<uint8_t> ReadAll(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + Path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& Path, const void* Data, size_t Size) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(Data), std::streamsize(Size));
  if (!out) throw std::runtime_error("cannot write " + Path);
}

int Decode(const std::string& In, const std::string& Out) {
  const auto file = ReadAll(In);
  TPortableNetworkGraphicPixel32 png;
  png.LoadFromMemory(file.data(), file.size());
  TGuiPixelMapMemory map;
  png.AssignTo(map);
  std::string pam = "P7\nWIDTH " + std::to_string(map.Width()) + "\nHEIGHT " + std::to_string(map.Height()) +
                    "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  const size_t header = pam.size();
  pam.resize(header + size_t(map.Width()) * size_t(map.Height()) * 4);
  char* p = pam.data() + header;
  for (int y = 0; y < map.Height(); ++y)
    for (int x = 0; x < map.Width(); ++x) {
      const TPixel32 c = map.ScanLine(y)[x];
      *p++ = char(c.R);
      *p++ = char(c.G);
      *p++ = char(c.B);
      *p++ = char(c.A);
    }
  WriteAll(Out, pam.data(), pam.size());
  return 0;
}

// Reads a PAM of depth 1 to 4 (grey, grey+alpha, RGB, RGBA), MAXVAL 255.
void ReadPam(const std::vector<uint8_t>& File, TGuiPixelMapMemory& Map) {
  const std::string text(File.begin(), File.begin() + long(std::min<size_t>(File.size(), 512)));
  const size_t end = text.find("ENDHDR\n");
  if (text.rfind("P7\n", 0) != 0 || end == std::string::npos) throw std::runtime_error("not a PAM file");
  std::istringstream header(text.substr(3, end - 3));
  long width = -1, height = -1, depth = -1, maxval = -1;
  for (std::string key; header >> key;) {
    if (key == "WIDTH")
      header >> width;
    else if (key == "HEIGHT")
      header >> height;
    else if (key == "DEPTH")
      header >> depth;
    else if (key == "MAXVAL")
      header >> maxval;
    else if (key == "TUPLTYPE")
      header >> key;
    else if (key[0] == '#')
      std::getline(header, key);
  }
  if (width < 0 || height < 0 || width > 65535 || height > 65535 || depth < 1 || depth > 4 || maxval != 255)
    throw std::runtime_error("unsupported PAM header (need MAXVAL 255, DEPTH 1-4)");
  const size_t offset = end + 7;
  if (File.size() - offset < size_t(width) * size_t(height) * size_t(depth))
    throw std::runtime_error("PAM data is incomplete");
  Map.SetSize(int32_t(width), int32_t(height));
  const uint8_t* s = File.data() + offset;
  for (long y = 0; y < height; ++y)
    for (long x = 0; x < width; ++x, s += depth) {
      const uint8_t r = s[0], g = depth >= 3 ? s[1] : s[0], b = depth >= 3 ? s[2] : s[0];
      const uint8_t a = depth == 2 ? s[1] : depth == 4 ? s[3] : 255;
      Map.ScanLine(int32_t(y))[x] = Pixel32(a, r, g, b);
    }
}

int Encode(const std::string& In, const std::string& Out) {
  TGuiPixelMapMemory map;
  ReadPam(ReadAll(In), map);
  TPortableNetworkGraphicPixel32 png;
  png.Assign(map);
  TPngMemoryStream out;
  png.SaveToMemory(out);
  WriteAll(Out, out.Memory(), out.Size());
  return 0;
}

int Info(const std::string& In) {
  const auto file = ReadAll(In);
  TPortableNetworkGraphicPixel32 png;
  png.LoadFromMemory(file.data(), file.size());
  const auto& h = png.ImageHeader();
  std::printf("size %d x %d, bit depth %d, colour type %d, interlace %d\n", h.Width(), h.Height(), h.BitDepth(),
              h.ColorType(), h.InterlaceMethod());
  std::printf("chunks: IHDR");
  if (png.PaletteChunk()) std::printf(" PLTE(%d entries)", png.PaletteEntryCount());
  if (png.GammaChunk()) std::printf(" gAMA(%u)", png.GammaChunk()->Gamma());
  if (png.HasPhysicalPixelDimensionsInformation()) std::printf(" pHYs");
  if (png.SignificantBitsChunk()) std::printf(" sBIT");
  if (png.PrimaryChromaticitiesChunk()) std::printf(" cHRM");
  if (png.HasModifiedTimeInformation()) std::printf(" tIME");
  for (int i = 0; i < png.AdditionalChunkList().Count(); ++i)
    std::printf(" %s", png.AdditionalChunkList()[i].GetChunkName().c_str());
  uint64_t packed = 0;
  for (int i = 0; i < png.DataChunkList().Count(); ++i)
    packed += static_cast<const TChunkPngImageData&>(png.DataChunkList()[i]).Data().Size();
  std::printf(" IDAT x %d (%llu bytes)\n", png.DataChunkList().Count(), static_cast<unsigned long long>(packed));
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: png-tool decode IN.png OUT.pam | encode IN.pam OUT.png | info IN.png\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  vb::PngStartUp();
  int status = 1;
  try {
    if (command == "decode" && argc == 4)
      status = Decode(argv[2], argv[3]);
    else if (command == "encode" && argc == 4)
      status = Encode(argv[2], argv[3]);
    else if (command == "info" && argc == 3)
      status = Info(argv[2]);
    else
      status = Usage();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "png-tool: %s: %s\n", argv[2], e.what());
    status = 1;
  }
  vb::PngShutDown();
  vb::ClearFileFormatRegistry();
  return status;
}
