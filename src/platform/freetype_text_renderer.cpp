// The system text renderer: FreeType renders the glyphs of faces held in
// memory, the ones compiled into the library (bundled_fonts.cpp) and any a
// program adds. No face comes from the machine, so text looks the same on
// every one, with or without fonts installed. FreeType is used through an
// FT_Library made here, so a host that uses it too never sees its state
// changed by us.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

#include "platform/text_renderer.h"

namespace vb {
namespace {

// Family names of another desktop, with the generic family that stands in
// for them. Without this a missing fixed-pitch face would fall back to a
// proportional one.
struct TGenericAlias {
  const char* Family;
  const char* Generic;
};
constexpr TGenericAlias kGenericAliases[] = {
    {"Lucida Console", "monospace"}, {"Courier New", "monospace"},
    {"Courier", "monospace"},        {"Consolas", "monospace"},
    {"Fixedsys", "monospace"},       {"Terminal", "monospace"},
    {"Times New Roman", "serif"},    {"Georgia", "serif"},
    {"Arial", "sans-serif"},         {"Tahoma", "sans-serif"},
    {"Verdana", "sans-serif"},       {"MS Sans Serif", "sans-serif"},
    {"Segoe UI", "sans-serif"},      {"Microsoft Sans Serif", "sans-serif"},
};

// The family that answers for each generic family.
struct TGenericFace {
  const char* Generic;
  const char* Family;
};
constexpr TGenericFace kGenericFaces[] = {
    {"sans-serif", "DejaVu Sans"},
    {"monospace", "DejaVu Sans Mono"},
    {"serif", "DejaVu Serif"},
};

// Oblique shear of a synthesised italic: tan(12 degrees) in 16.16.
constexpr FT_Fixed kObliqueShear = 0x0366A;
constexpr char32_t kReplacementCharacter = 0xFFFD;

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

const char* GenericFamilyOf(std::string_view family) {
  for (const TGenericAlias& alias : kGenericAliases) {
    if (SameNameIgnoringCase(family, alias.Family)) return alias.Generic;
  }
  return "sans-serif";
}

const char* FamilyOfGeneric(std::string_view generic) {
  for (const TGenericFace& face : kGenericFaces) {
    if (generic == face.Generic) return face.Family;
  }
  return kGenericFaces[0].Family;
}

bool IsDefaultFace(std::string_view family) { return family.empty() || SameNameIgnoringCase(family, "Default"); }

// The face's family as its name table gives it to older systems (name 1):
// "DejaVu Sans Condensed", where FreeType's family name is the typographic
// "DejaVu Sans" shared with the normal width. English names only; both
// platforms' encodings hold ASCII for the faces we carry.
std::string LegacyFamilyName(FT_Face face) {
  const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
  for (FT_UInt i = 0; i < count; ++i) {
    FT_SfntName name{};
    if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != TT_NAME_ID_FONT_FAMILY) continue;
    if (name.platform_id == TT_PLATFORM_MICROSOFT && name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES) {
      std::string family;
      for (FT_UInt k = 1; k < name.string_len; k += 2) family.push_back(char(name.string[k]));  // UTF-16BE
      return family;
    }
    if (name.platform_id == TT_PLATFORM_MACINTOSH && name.encoding_id == TT_MAC_ID_ROMAN &&
        name.language_id == TT_MAC_LANGID_ENGLISH) {
      return std::string(reinterpret_cast<const char*>(name.string), name.string_len);
    }
  }
  return face->family_name != nullptr ? face->family_name : "";
}

// Decodes UTF-8; malformed or overlong sequences and surrogates each become
// one U+FFFD, so hostile text still draws something finite.
std::vector<char32_t> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) {
      result.push_back(kReplacementCharacter);
      ++i;
      continue;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = true;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = valid && (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && code >= kSmallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    result.push_back(valid ? code : kReplacementCharacter);
    i += valid ? length : 1;
  }
  return result;
}

// One rendered glyph: coverage rows, placed relative to the pen's start on
// the baseline (Left to the right, Top upwards).
struct TPlacedGlyph {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Rows = 0;
  std::vector<std::uint8_t> Coverage;
};

struct TTextLayout {
  std::vector<TPlacedGlyph> Glyphs;
  TTextExtent Extent;
  // Pen start relative to the box's top-left corner.
  std::int32_t OriginX = 0;
};

// A face opened from memory, with what a description is matched against.
struct TOpenFace {
  FT_Face Face = nullptr;
  std::string Family;
  bool Bold = false;
  bool Italic = false;
  bool FixedPitch = false;
};

struct TLoadedFace {
  FT_Face Face = nullptr;
  TFaceInfo Info;
};

class TFreeTypeTextRenderer final : public TTextRenderer {
 public:
  explicit TFreeTypeTextRenderer(std::span<const TFontFile> files);
  ~TFreeTypeTextRenderer() override;

  TTextExtent Measure(const TFontDescription& font, std::string_view utf8) override;
  TRect Draw(const TFontDescription& font, std::string_view utf8, const TRasterView& target, std::int32_t x,
             std::int32_t y, TTextAnchor anchor) override;
  TFaceInfo Describe(const TFontDescription& font) override;
  void AddFiles(std::span<const TFontFile> files);

 private:
  using TFaceKey = std::tuple<std::string, bool, bool>;

  void OpenFiles(std::span<const TFontFile> files);
  const TLoadedFace* FaceFor(const TFontDescription& font);
  const TOpenFace* Match(const TFontDescription& font) const;
  std::unique_ptr<TLoadedFace> LoadFace(const TFontDescription& font);
  bool SetSize(FT_Face face, const TFontDescription& font);
  bool LayOut(const TFontDescription& font, std::string_view utf8, TTextLayout& layout);
  bool RenderGlyph(const TLoadedFace& face, const TFontDescription& font, char32_t code, TPlacedGlyph& glyph,
                   std::int32_t& advance);

  std::mutex FLock;
  FT_Library FLibrary = nullptr;
  // In the order the files came: the first face answers when nothing else
  // fits.
  std::vector<TOpenFace> FOpenFaces;
  std::map<TFaceKey, std::unique_ptr<TLoadedFace>> FFaces;
};

TFreeTypeTextRenderer::TFreeTypeTextRenderer(std::span<const TFontFile> files) {
  if (FT_Init_FreeType(&FLibrary) != 0) FLibrary = nullptr;
  OpenFiles(files);
}

TFreeTypeTextRenderer::~TFreeTypeTextRenderer() {
  FFaces.clear();
  for (TOpenFace& face : FOpenFaces) FT_Done_Face(face.Face);
  if (FLibrary != nullptr) FT_Done_FreeType(FLibrary);
}

void TFreeTypeTextRenderer::AddFiles(std::span<const TFontFile> files) {
  std::lock_guard<std::mutex> guard(FLock);
  OpenFiles(files);
  FFaces.clear();  // a description may now resolve to a better face
}

// Every face of every file (a collection holds several); files FreeType
// cannot read or that hold no outlines are passed over.
void TFreeTypeTextRenderer::OpenFiles(std::span<const TFontFile> files) {
  if (FLibrary == nullptr) return;
  for (const TFontFile& file : files) {
    FT_Long faces = 1;
    for (FT_Long index = 0; index < faces; ++index) {
      FT_Face face = nullptr;
      if (FT_New_Memory_Face(FLibrary, file.Data, FT_Long(file.Size), index, &face) != 0) break;
      faces = face->num_faces;
      if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        continue;
      }
      FOpenFaces.push_back(TOpenFace{face, LegacyFamilyName(face), (face->style_flags & FT_STYLE_FLAG_BOLD) != 0,
                                     (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0, FT_IS_FIXED_WIDTH(face) != 0});
    }
  }
}

const TLoadedFace* TFreeTypeTextRenderer::FaceFor(const TFontDescription& font) {
  TFaceKey key{IsDefaultFace(font.FaceName) ? std::string() : font.FaceName, font.Bold, font.Italic};
  auto found = FFaces.find(key);
  if (found == FFaces.end()) found = FFaces.emplace(key, LoadFace(font)).first;
  return found->second.get();
}

// The family asked for, else the family answering for its generic family
// (a fixed-pitch face for a fixed-pitch family), else the first face's; in
// that family the cut nearest the asked weight and slant (weight first).
const TOpenFace* TFreeTypeTextRenderer::Match(const TFontDescription& font) const {
  if (FOpenFaces.empty()) return nullptr;
  auto cutsOf = [&](auto&& fits) {
    std::vector<const TOpenFace*> cuts;
    for (const TOpenFace& face : FOpenFaces) {
      if (fits(face)) cuts.push_back(&face);
    }
    return cuts;
  };
  auto named = [&](std::string_view family) {
    return cutsOf([&](const TOpenFace& face) { return SameNameIgnoringCase(face.Family, family); });
  };
  std::vector<const TOpenFace*> cuts;
  if (!IsDefaultFace(font.FaceName)) cuts = named(font.FaceName);
  const std::string_view generic = IsDefaultFace(font.FaceName) ? "sans-serif" : GenericFamilyOf(font.FaceName);
  if (cuts.empty()) cuts = named(FamilyOfGeneric(generic));
  if (cuts.empty() && generic == "monospace") cuts = cutsOf([](const TOpenFace& face) { return face.FixedPitch; });
  if (cuts.empty()) cuts = named(FOpenFaces.front().Family);
  auto distance = [&](const TOpenFace* face) { return 2 * (face->Bold != font.Bold) + (face->Italic != font.Italic); };
  return *std::min_element(cuts.begin(), cuts.end(),
                           [&](const TOpenFace* a, const TOpenFace* b) { return distance(a) < distance(b); });
}

std::unique_ptr<TLoadedFace> TFreeTypeTextRenderer::LoadFace(const TFontDescription& font) {
  const TOpenFace* match = Match(font);
  if (match == nullptr) return nullptr;
  FT_Face face = match->Face;
  auto loaded = std::make_unique<TLoadedFace>();
  loaded->Face = face;
  loaded->Info.Family = match->Family;
  loaded->Info.Style = face->style_name != nullptr ? face->style_name : "";
  loaded->Info.FixedPitch = match->FixedPitch;
  loaded->Info.SyntheticBold = font.Bold && !match->Bold;
  loaded->Info.SyntheticItalic = font.Italic && !match->Italic;
  return loaded;
}

bool TFreeTypeTextRenderer::SetSize(FT_Face face, const TFontDescription& font) {
  std::int32_t pixels = std::clamp(font.PixelHeight, 1, 4096);
  const long cellUnits = long(face->ascender) - long(face->descender);
  if (font.CellHeight && cellUnits > 0) {
    pixels = std::max<std::int32_t>(1, std::int32_t((long(pixels) * face->units_per_EM + cellUnits / 2) / cellUnits));
  }
  return FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) == 0;
}

bool TFreeTypeTextRenderer::RenderGlyph(const TLoadedFace& face, const TFontDescription& font, char32_t code,
                                        TPlacedGlyph& glyph, std::int32_t& advance) {
  FT_Face ft = face.Face;
  const FT_Int32 target = font.Antialiased ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO;
  if (FT_Load_Glyph(ft, FT_Get_Char_Index(ft, FT_ULong(code)), FT_LOAD_NO_BITMAP | target) != 0) return false;
  FT_GlyphSlot slot = ft->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  FT_Pos extra = 0;
  if (face.Info.SyntheticItalic) {
    FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
    FT_Outline_Transform(&slot->outline, &shear);
  }
  if (face.Info.SyntheticBold) {
    // Thickens strokes by 1/24 em, as heavier cuts of a face typically do.
    extra = std::max<FT_Pos>(32, FT_Pos(ft->size->metrics.y_ppem) * 64 / 24);
    FT_Outline_Embolden(&slot->outline, extra);
  }
  advance = std::int32_t((slot->advance.x + extra + 32) >> 6);
  if (FT_Render_Glyph(slot, font.Antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return false;

  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.Left = slot->bitmap_left;
  glyph.Top = slot->bitmap_top;
  glyph.Width = std::int32_t(bitmap.width);
  glyph.Rows = std::int32_t(bitmap.rows);
  glyph.Coverage.assign(std::size_t(glyph.Width) * std::size_t(glyph.Rows), 0);
  const int pitch = bitmap.pitch;
  for (std::int32_t row = 0; row < glyph.Rows; ++row) {
    const unsigned char* source = bitmap.buffer + std::ptrdiff_t(pitch >= 0 ? row : glyph.Rows - 1 - row) *
                                                      std::ptrdiff_t(pitch >= 0 ? pitch : -pitch);
    std::uint8_t* out = glyph.Coverage.data() + std::size_t(row) * std::size_t(glyph.Width);
    for (std::int32_t col = 0; col < glyph.Width; ++col) {
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        out[col] = (source[col >> 3] & (0x80 >> (col & 7))) != 0 ? 255 : 0;
      } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        out[col] = std::uint8_t(bitmap.num_grays == 256 ? source[col] : source[col] * 255 / (bitmap.num_grays - 1));
      }
    }
  }
  return true;
}

bool TFreeTypeTextRenderer::LayOut(const TFontDescription& font, std::string_view utf8, TTextLayout& layout) {
  if (utf8.empty()) return false;
  const TLoadedFace* face = FaceFor(font);
  if (face == nullptr || !SetSize(face->Face, font)) return false;
  const FT_Size_Metrics& metrics = face->Face->size->metrics;
  std::int32_t ascent = std::int32_t((metrics.ascender + 63) >> 6);
  std::int32_t descent = std::int32_t((-metrics.descender + 63) >> 6);
  std::int32_t pen = 0;
  std::int32_t inkLeft = 0;
  std::int32_t inkRight = 0;
  for (char32_t code : DecodeUtf8(utf8)) {
    TPlacedGlyph glyph;
    std::int32_t advance = 0;
    if (!RenderGlyph(*face, font, code, glyph, advance)) continue;
    glyph.Left += pen;
    if (glyph.Width > 0 && glyph.Rows > 0) {
      inkLeft = std::min(inkLeft, glyph.Left);
      inkRight = std::max(inkRight, glyph.Left + glyph.Width);
      ascent = std::max(ascent, glyph.Top);
      descent = std::max(descent, glyph.Rows - glyph.Top);
      layout.Glyphs.push_back(std::move(glyph));
    }
    pen += advance;
  }
  layout.OriginX = -inkLeft;
  layout.Extent.Width = std::max(pen, inkRight) - inkLeft;
  layout.Extent.Height = ascent + descent;
  layout.Extent.Ascent = ascent;
  return layout.Extent.Width > 0;
}

TTextExtent TFreeTypeTextRenderer::Measure(const TFontDescription& font, std::string_view utf8) {
  std::lock_guard<std::mutex> guard(FLock);
  TTextLayout layout;
  return LayOut(font, utf8, layout) ? layout.Extent : TTextExtent{};
}

void BlendWhite(const TPlacedGlyph& glyph, std::int32_t left, std::int32_t top, const TRasterView& target,
                const TRect& clip) {
  const TRect area = Intersection(Rect(left, top, left + glyph.Width, top + glyph.Rows), clip);
  for (std::int32_t y = area.Top; y < area.Bottom; ++y) {
    std::uint8_t* row = target.Row(y);
    const std::uint8_t* coverage = glyph.Coverage.data() + std::size_t(y - top) * std::size_t(glyph.Width);
    for (std::int32_t x = area.Left; x < area.Right; ++x) {
      const unsigned cover = coverage[x - left];
      row[x] = std::uint8_t(row[x] + ((255u - row[x]) * cover + 127u) / 255u);
    }
  }
}

TRect TFreeTypeTextRenderer::Draw(const TFontDescription& font, std::string_view utf8, const TRasterView& target,
                                  std::int32_t x, std::int32_t y, TTextAnchor anchor) {
  std::lock_guard<std::mutex> guard(FLock);
  TTextLayout layout;
  if (!LayOut(font, utf8, layout)) return TRect{};
  const std::int32_t boxLeft = anchor == TTextAnchor::taBaseline ? x - layout.OriginX : x;
  const std::int32_t boxTop = anchor == TTextAnchor::taBaseline ? y - layout.Extent.Ascent : y;
  const TRect box = Rect(boxLeft, boxTop, boxLeft + layout.Extent.Width, boxTop + layout.Extent.Height);
  if (target.IsEmpty() || target.Format != TRasterFormat::rfGrey8) return box;
  const TRect clip = Intersection(box, Rect(0, 0, target.Width, target.Height));
  const std::int32_t baseline = boxTop + layout.Extent.Ascent;
  for (const TPlacedGlyph& glyph : layout.Glyphs) {
    BlendWhite(glyph, boxLeft + layout.OriginX + glyph.Left, baseline - glyph.Top, target, clip);
  }
  return box;
}

TFaceInfo TFreeTypeTextRenderer::Describe(const TFontDescription& font) {
  std::lock_guard<std::mutex> guard(FLock);
  const TLoadedFace* face = FaceFor(font);
  return face != nullptr ? face->Info : TFaceInfo{};
}

TFreeTypeTextRenderer& SystemRenderer() {
  static TFreeTypeTextRenderer renderer(BundledFontFiles());
  return renderer;
}

}  // namespace

TTextRenderer& SystemTextRenderer() { return SystemRenderer(); }

void AddSystemFontFiles(std::span<const TFontFile> files) { SystemRenderer().AddFiles(files); }

}  // namespace vb
