#include "embedded_source.h"

#include "editor/editor_artwork.h"
#include "editor/editor_scale.h"

namespace vb::artwork {
namespace {

constexpr std::size_t kBytesPerLine = 40;

// ArtworkPng finds a scale's set at ScaleHalves(scale) - 2.
constexpr bool ScalesInOrderOfHalves() {
  for (std::size_t i = 0; i < std::size(kEditorScales); ++i)
    if (ScaleHalves(kEditorScales[i]) != std::int32_t(2 + i)) return false;
  return true;
}
static_assert(ScalesInOrderOfHalves());

// One string literal per line of bytes, each byte an octal escape (at most
// three digits, so no following character can join it). Compilers read
// literals far faster than brace lists of numbers.
void AppendLiteral(std::string& out, const std::vector<std::uint8_t>& bytes) {
  static const char kOctal[] = "01234567";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % kBytesPerLine == 0) out += i == 0 ? "    \"" : "\"\n    \"";
    const std::uint8_t b = bytes[i];
    out += '\\';
    out += kOctal[(b >> 6) & 7];
    out += kOctal[(b >> 3) & 7];
    out += kOctal[b & 7];
  }
  out += bytes.empty() ? "    \"\";\n" : "\";\n";
}

}  // namespace

std::string EmbeddedArtworkSource(std::span<const TArtworkFiles> sets) {
  std::string out =
      "// Made by tools/artwork at build time; not to be edited. The editor's\n"
      "// pictures as PNG files, at each scale factor.\n"
      "#include \"editor/editor_artwork.h\"\n"
      "#include \"editor/scaled_artwork.h\"\n\n"
      "namespace vb {\nnamespace {\n\n";
  for (std::size_t set = 0; set < sets.size(); ++set) {
    const TArtworkFiles& files = sets[set];
    const std::string suffix = set == 0 ? "" : " at " + std::to_string(ScaleHalves(kEditorScales[set])) + "/2";
    for (std::size_t i = 0; i < files.size(); ++i) {
      out += "// " + std::string(kArtworkTable[i].DisplayName) + suffix + ": " + std::to_string(files[i].size()) +
             " bytes\n";
      out += "constexpr char kPicture" + std::to_string(set * kArtworkCount + i) + "[] =\n";
      AppendLiteral(out, files[i]);
      out += "\n";
    }
  }
  out += "struct TEmbedded {\n  const char* Bytes;\n  std::size_t Size;\n};\n\n";
  out += "constexpr TEmbedded kPictures[" + std::to_string(sets.size()) + "][kArtworkCount] = {\n";
  for (std::size_t set = 0; set < sets.size(); ++set) {
    out += "    {\n";
    for (std::size_t i = 0; i < sets[set].size(); ++i) {
      out += "        {kPicture" + std::to_string(set * kArtworkCount + i) + ", " +
             std::to_string(sets[set][i].size()) + "},\n";
    }
    out += "    },\n";
  }
  out +=
      "};\n\n}  // namespace\n\n"
      "std::span<const std::uint8_t> ArtworkPng(TArtwork id, TEditorScale scale) {\n"
      "  const std::size_t index = std::size_t(id);\n"
      "  const std::size_t set = std::size_t(ScaleHalves(scale) - ScaleHalves(TEditorScale::esOne));\n"
      "  if (index >= kArtworkCount || set >= std::size(kPictures)) return {};\n"
      "  return {reinterpret_cast<const std::uint8_t*>(kPictures[set][index].Bytes), kPictures[set][index].Size};\n"
      "}\n\n"
      "std::span<const std::uint8_t> ArtworkPng(TArtwork id) { return ArtworkPng(id, TEditorScale::esOne); }\n\n"
      "}  // namespace vb\n";
  return out;
}

}  // namespace vb::artwork
