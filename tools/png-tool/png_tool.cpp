// png-tool: decodes PNG files to RGBA PAM, encodes PAM to PNG and lists the
// chunks of a PNG, with the system's own codec. Errors are one line on
// stderr and exit status 1; a wrong command line gives the usage and 2.
// main() picks the command and runs one function for it.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "command_line.h"
#include "image/file_format_registry.h"
#include "image/gui_pixel_map_memory.h"
#include "output_target.h"
#include "platform/system/system_calls.h"
#include "png/png_chunk_list.h"
#include "png/png_startup.h"
#include "png/portable_network_graphic_pixel32.h"
#include "png_file_check.h"

namespace {

using namespace vb;

constexpr size_t kReadChunk = 1 << 16;  // bytes per read(2)
constexpr long kMaxPamSide = 65535;     // pixels

const TToolMessages GSay("png-tool");

std::runtime_error SystemError(const std::string& What, const std::string& Path) {
  return std::runtime_error("cannot " + What + " '" + Path + "': " + std::strerror(errno));
}

// The whole file (or pipe); every failure names the file and the reason.
std::vector<uint8_t> ReadAll(const std::string& Path) {
  const int fd = Path == kStandardStream ? DuplicateStandardInput() : OpenToRead(Path);
  if (fd < 0) throw SystemError("open", Path);
  std::vector<uint8_t> bytes;
  for (;;) {
    const size_t used = bytes.size();
    bytes.resize(used + kReadChunk);
    const ssize_t n = ::read(fd, bytes.data() + used, kReadChunk);
    if (n < 0 && errno == EINTR) {
      bytes.resize(used);
      continue;
    }
    if (n < 0) {
      const std::runtime_error e = SystemError("read", Path);
      ::close(fd);
      throw e;
    }
    bytes.resize(used + size_t(n));
    if (n == 0) break;
  }
  ::close(fd);
  return bytes;
}

// Written whole or not at all: a failed write leaves no file behind.
void WriteAll(const std::string& Path, const void* Data, size_t Size) {
  std::string error;
  if (!WriteWholeFile(Path, Data, Size, error)) throw std::runtime_error(error);
}

constexpr uint8_t kPaletteColorType = 3;

// Files the codec would decode although they are broken: refused, so that a
// broken file is never reported as a success.
void CheckWellFormed(const TPortableNetworkGraphicPixel32& Png) {
  const auto& h = Png.ImageHeader();
  if (h.Width() == 0 || h.Height() == 0)
    throw std::runtime_error("the image header gives a size of " + std::to_string(h.Width()) + " x " +
                             std::to_string(h.Height()) + "; a PNG image is at least 1 x 1 pixels");
  if (h.ColorType() == kPaletteColorType && !Png.PaletteChunk())
    throw std::runtime_error("palette image (colour type 3) without a PLTE chunk: its colours are missing");
}

// A codec failure as a message naming the file. The chunks are whole
// (CheckPngFile): a shortage is inside the compressed image data.
std::runtime_error InFile(const std::string& Path, const std::exception& E) {
  const std::string what = E.what();
  if (what.find("Data not complete") != std::string::npos)
    return std::runtime_error("'" + Path + "': the image data (IDAT) ends before the last row of pixels");
  return std::runtime_error("'" + Path + "': " + what);
}

void Load(const std::string& Path, const std::vector<uint8_t>& File, TPortableNetworkGraphicPixel32& Png) {
  if (std::string fault = CheckPngFile(Path, File, kPngMaxPixelMapBytes / 4); !fault.empty())
    throw std::runtime_error(fault);
  try {
    Png.LoadFromMemory(File.data(), File.size());
    CheckWellFormed(Png);
  } catch (const std::exception& e) {
    throw InFile(Path, e);
  }
}

int Decode(const std::string& In, const std::string& Out) {
  const auto file = ReadAll(In);
  TPortableNetworkGraphicPixel32 png;
  Load(In, file, png);
  TGuiPixelMapMemory map;
  try {
    png.AssignTo(map);
  } catch (const std::exception& e) {
    throw InFile(In, e);
  }
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
  if (width < 1 || height < 1 || width > kMaxPamSide || height > kMaxPamSide)
    throw std::runtime_error("PAM size " + std::to_string(width) + " x " + std::to_string(height) +
                             " (WIDTH and HEIGHT must be 1 to 65535)");
  if (depth < 1 || depth > 4 || maxval != 255)
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
  const auto file = ReadAll(In);
  TGuiPixelMapMemory map;
  try {
    ReadPam(file, map);
  } catch (const std::exception& e) {
    throw std::runtime_error("'" + In + "': " + e.what());
  }
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
  Load(In, file, png);
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

constexpr const char* kUsageLine = "usage: png-tool decode IN.png OUT.pam | encode IN.pam OUT.png | info IN.png\n";

int Usage(const std::string& Why) {
  GSay.Error(Why, kExitUsage);
  std::fprintf(stderr, "%s(png-tool --help explains)\n", kUsageLine);
  return kExitUsage;
}

int Help() {
  const uint64_t maxPixels = kPngMaxPixelMapBytes / 4;
  std::printf(
      "%s"
      "Reads and writes PNG files with the plug-in's own PNG codec.\n"
      "\n"
      "  decode IN.png OUT.pam  decodes any standard PNG (every colour type, bit\n"
      "                         depth and interlace method, CRCs checked) to a PAM\n"
      "                         file: P7, DEPTH 4, MAXVAL 255, TUPLTYPE RGB_ALPHA,\n"
      "                         8 bits per sample, always RGBA. 16-bit samples are\n"
      "                         reduced to 8 bits (high byte); grey and palette\n"
      "                         images become RGB; alpha is 255 unless the image\n"
      "                         has an alpha channel or a tRNS chunk.\n"
      "  encode IN.pam OUT.png  encodes a PAM of MAXVAL 255 and DEPTH 1 to 4 (grey,\n"
      "                         grey+alpha, RGB, RGBA), choosing the smallest colour\n"
      "                         type that holds its colours. Non-interlaced.\n"
      "  info IN.png            prints size, bit depth, colour type, interlace and\n"
      "                         the chunks the file holds.\n"
      "%s"
      "\n"
      "A file named - is standard input or output. The output may not be the\n"
      "input.\n"
      "\n"
      "Largest image: %llu pixels (for example 8192 x 8192). The image is\n"
      "decoded into one 32-bit pixel map in memory, %llu MiB at most; a larger\n"
      "header is refused before any memory is taken, so a broken or hostile\n"
      "file cannot exhaust the memory.\n"
      "\n"
      "Gamma: a gAMA chunk is applied. Colour samples are corrected from the\n"
      "file's gamma to a display gamma of 2.2 (value ^ (1 / (2.2 x gamma)));\n"
      "a file marked 1/2.2 (gAMA 45455) decodes unchanged. Decoders that ignore\n"
      "gAMA give other numbers for such files.\n"
      "\n"
      "Refused as broken, naming the chunk and where it sits: a chunk whose CRC\n"
      "does not match, a chunk cut by the end of the file, a file without its\n"
      "IEND chunk, a size of 0 in the image header, and a palette image without\n"
      "its PLTE chunk. Errors are one line on stderr, \"png-tool: error: ...\",\n"
      "with exit status 1; a wrong command line gives exit status 2. An output\n"
      "is written under a temporary name and renamed when complete: a failed\n"
      "command leaves no output file (pipes and devices are written directly).\n",
      kUsageLine, UsageRows(std::span<const TOptionRow<int>>()).c_str(), static_cast<unsigned long long>(maxPixels),
      static_cast<unsigned long long>(kPngMaxPixelMapBytes >> 20));
  return kExitOk;
}

// True when both names stand for one existing file.
bool SameNamedFile(const std::string& A, const std::string& B) {
  return A != kStandardStream && B != kStandardStream && SameFile(A, B);
}

// The command and its files, checked before any file is touched.
int RunCommand(const std::vector<std::string>& Words) {
  const std::string command = Words.empty() ? std::string() : Words[0];
  const size_t files = Words.size() - (Words.empty() ? 0 : 1);
  if (command == "info" && files == 1) return Info(Words[1]);
  if ((command == "decode" || command == "encode") && files == 2) {
    if (SameNamedFile(Words[1], Words[2]))
      return GSay.Error("'" + Words[2] + "' is the input; " + command + " writes a new file, name another", kExitUsage);
    return command == "decode" ? Decode(Words[1], Words[2]) : Encode(Words[1], Words[2]);
  }
  if (command == "decode" || command == "encode" || command == "info")
    return Usage(command + " takes " + (command == "info" ? "one file" : "two files") + ", not " +
                 std::to_string(files));
  return Usage(command.empty() ? "no command given" : "unknown command '" + command + "'");
}

}  // namespace

int main(int argc, char** argv) {
  UseUtf8(argc, argv);
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  int noOptions = 0;
  std::vector<std::string> words;
  std::string error;
  const TCommandMode mode = ParseCommandLine(std::span<const TOptionRow<int>>(), args, noOptions, words, error);
  if (mode == cmUsageError) return Usage(error);
  if (mode == cmHelp || (words.size() == 1 && words[0] == "help")) return Help();
  if (mode == cmVersion) {
    std::fputs(VersionText("png-tool").c_str(), stdout);
    return kExitOk;
  }
  vb::RemoveTempFileOnFatalSignals();
  vb::PngStartUp();
  int status = kExitFailure;
  try {
    status = RunCommand(words);
  } catch (const std::exception& e) {
    status = GSay.Error(e.what());
  }
  vb::PngShutDown();
  vb::ClearFileFormatRegistry();
  return status;
}
