#include "artwork_fonts.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/text_renderer.h"

#ifndef VB_FONTS_DIR
#error "VB_FONTS_DIR must name the repository's fonts/ folder"
#endif

namespace vb::artwork {

namespace {

// Beyond the plug-in's own (DejaVu Sans, DejaVu Sans Mono Bold): the title
// and badge (DejaVu Serif Bold, Bold Italic) and the captions and scales
// (DejaVu Sans Condensed, Condensed Bold).
constexpr const char* kArtworkFaceFiles[] = {
    "DejaVuSerif-Bold.ttf",
    "DejaVuSerif-BoldItalic.ttf",
    "DejaVuSansCondensed.ttf",
    "DejaVuSansCondensed-Bold.ttf",
};

std::vector<std::uint8_t> ReadFontFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open the font file " + Path);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || bytes.empty()) throw std::runtime_error("cannot read the font file " + Path);
  return bytes;
}

}  // namespace

void UseRepositoryFonts() {
  // The renderer keeps pointers into the bytes for the rest of the process.
  static std::vector<std::vector<std::uint8_t>> contents;
  static std::vector<TFontFile> files;
  if (!files.empty()) return;
  for (const char* name : kArtworkFaceFiles) contents.push_back(ReadFontFile(std::string(VB_FONTS_DIR) + "/" + name));
  for (const std::vector<std::uint8_t>& bytes : contents) files.push_back(TFontFile{bytes.data(), bytes.size()});
  AddSystemFontFiles(files);
}

}  // namespace vb::artwork
