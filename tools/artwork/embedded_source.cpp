#include "embedded_source.h"

#include "editor/editor_artwork.h"

namespace vb::artwork {
namespace {

constexpr std::size_t kBytesPerLine = 40;

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

std::string EmbeddedArtworkSource(const std::vector<std::vector<std::uint8_t>>& files) {
  std::string out =
      "// Made by tools/artwork at build time; not to be edited. The editor's\n"
      "// pictures as PNG files.\n"
      "#include \"editor/editor_artwork.h\"\n\n"
      "namespace vb {\nnamespace {\n\n";
  for (std::size_t i = 0; i < files.size(); ++i) {
    out += "// " + std::string(kArtworkTable[i].DisplayName) + ": " + std::to_string(files[i].size()) + " bytes\n";
    out += "constexpr char kPicture" + std::to_string(i) + "[] =\n";
    AppendLiteral(out, files[i]);
    out += "\n";
  }
  out += "struct TEmbedded {\n  const char* Bytes;\n  std::size_t Size;\n};\n\n";
  out += "constexpr TEmbedded kPictures[kArtworkCount] = {\n";
  for (std::size_t i = 0; i < files.size(); ++i) {
    out += "    {kPicture" + std::to_string(i) + ", " + std::to_string(files[i].size()) + "},\n";
  }
  out +=
      "};\n\n}  // namespace\n\n"
      "std::span<const std::uint8_t> ArtworkPng(TArtwork id) {\n"
      "  const std::size_t index = std::size_t(id);\n"
      "  if (index >= kArtworkCount) return {};\n"
      "  return {reinterpret_cast<const std::uint8_t*>(kPictures[index].Bytes), kPictures[index].Size};\n"
      "}\n\n}  // namespace vb\n";
  return out;
}

}  // namespace vb::artwork
