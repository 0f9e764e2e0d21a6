#include "embedded_source.h"

#include "editor/editor_artwork.h"
#include "editor/editor_scale.h"

namespace vb::artwork {
namespace {

constexpr std::size_t kBytesPerLine = 40;

// ArtworkPieces finds a scale's set at ScaleHalves(scale) - 2.
constexpr bool ScalesInOrderOfHalves() {
  for (std::size_t i = 0; i < std::size(kEditorScales); ++i)
    if (ScaleHalves(kEditorScales[i]) != std::int32_t(2 + i)) return false;
  return true;
}
static_assert(ScalesInOrderOfHalves());

// One string literal per line of bytes, each byte an octal escape (at most
// three digits, so no following character can join it). Compilers read
// literals far faster than brace lists of numbers; an array of unsigned
// char takes a string literal as an array of char does.
void AppendLiteral(std::string& Out, const std::vector<std::uint8_t>& Bytes) {
  static const char kOctal[] = "01234567";
  for (std::size_t i = 0; i < Bytes.size(); ++i) {
    if (i % kBytesPerLine == 0) Out += i == 0 ? "    \"" : "\"\n    \"";
    const std::uint8_t b = Bytes[i];
    Out += '\\';
    Out += kOctal[(b >> 6) & 7];
    Out += kOctal[(b >> 3) & 7];
    Out += kOctal[b & 7];
  }
  Out += Bytes.empty() ? "    \"\";\n" : "\";\n";
}

}  // namespace

std::string EmbeddedArtworkSource(std::span<const TArtworkFiles> Sets) {
  std::string out =
      "// Made by tools/artwork at build time; not to be edited. The editor's\n"
      "// pictures as PNG files, at each scale factor, long strips in pieces.\n"
      "#include \"editor/editor_artwork.h\"\n"
      "#include \"editor/scaled_artwork.h\"\n\n"
      "namespace vb {\nnamespace {\n\n";
  std::string pieces;
  std::string pictures;
  std::size_t count = 0;
  for (std::size_t set = 0; set < Sets.size(); ++set) {
    const std::string suffix = set == 0 ? "" : " at " + std::to_string(ScaleHalves(kEditorScales[set])) + "/2";
    pictures += "    {";
    for (std::size_t i = 0; i < Sets[set].size(); ++i) {
      const TPictureFiles& files = Sets[set][i];
      pictures += "{" + std::to_string(count) + ", " + std::to_string(files.size()) + "}, ";
      for (std::size_t p = 0; p < files.size(); ++p, ++count) {
        const std::string name = "kPiece" + std::to_string(count);
        out += "// " + std::string(kArtworkTable[i].DisplayName) + suffix + ", piece " + std::to_string(p) + ": " +
               std::to_string(files[p].size()) + " bytes\n";
        out += "constexpr std::uint8_t " + name + "[] =\n";
        AppendLiteral(out, files[p]);
        out += "\n";
        pieces += "    std::span<const std::uint8_t>(" + name + ", " + std::to_string(files[p].size()) + "),\n";
      }
    }
    pictures += "},\n";
  }
  out += "constexpr std::span<const std::uint8_t> kPieces[] = {\n" + pieces + "};\n\n";
  out += "struct TPieceRun {\n  std::size_t First;\n  std::size_t Count;\n};\n\n";
  out +=
      "constexpr TPieceRun kPictures[" + std::to_string(Sets.size()) + "][kArtworkCount] = {\n" + pictures + "};\n\n";
  out +=
      "}  // namespace\n\n"
      "std::span<const std::span<const std::uint8_t>> ArtworkPieces(TArtwork id, TEditorScale scale) {\n"
      "  const std::size_t index = std::size_t(id);\n"
      "  const std::size_t set = std::size_t(ScaleHalves(scale) - ScaleHalves(TEditorScale::esOne));\n"
      "  if (index >= kArtworkCount || set >= std::size(kPictures)) return {};\n"
      "  return {kPieces + kPictures[set][index].First, kPictures[set][index].Count};\n"
      "}\n\n"
      "}  // namespace vb\n";
  return out;
}

}  // namespace vb::artwork
