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

bool SameNameIgnoringCase(std::string_view A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           auto lower = [](char C) { return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C; };
           return lower(X) == lower(Y);
         });
}

const char* GenericFamilyOf(std::string_view Family) {
  for (const TGenericAlias& alias : kGenericAliases) {
    if (SameNameIgnoringCase(Family, alias.Family)) return alias.Generic;
  }
  return "sans-serif";
}

const char* FamilyOfGeneric(std::string_view Generic) {
  for (const TGenericFace& face : kGenericFaces) {
    if (Generic == face.Generic) return face.Family;
  }
  return kGenericFaces[0].Family;
}

bool IsDefaultFace(std::string_view Family) { return Family.empty() || SameNameIgnoringCase(Family, "Default"); }

// The face's family as its name table gives it to older systems (name 1):
// "DejaVu Sans Condensed", where FreeType's family name is the typographic
// "DejaVu Sans" shared with the normal width. English names only; both
// platforms' encodings hold ASCII for the faces we carry.
std::string LegacyFamilyName(FT_Face Face) {
  const FT_UInt count = FT_Get_Sfnt_Name_Count(Face);
  for (FT_UInt i = 0; i < count; ++i) {
    FT_SfntName name{};
    if (FT_Get_Sfnt_Name(Face, i, &name) != 0 || name.name_id != TT_NAME_ID_FONT_FAMILY) continue;
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
  return Face->family_name != nullptr ? Face->family_name : "";
}

// Decodes UTF-8; malformed or overlong sequences and surrogates each become
// one U+FFFD, so hostile text still draws something finite.
std::vector<char32_t> DecodeUtf8(std::string_view Text) {
  std::vector<char32_t> result;
  result.reserve(Text.size());
  std::size_t i = 0;
  while (i < Text.size()) {
    const auto lead = static_cast<unsigned char>(Text[i]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > Text.size()) {
      result.push_back(kReplacementCharacter);
      ++i;
      continue;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = true;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(Text[i + k]);
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
  explicit TFreeTypeTextRenderer(std::span<const TFontFile> Files);
  ~TFreeTypeTextRenderer() override;

  TTextExtent Measure(const TFontDescription& Font, std::string_view Utf8) override;
  TRect Draw(const TFontDescription& Font, std::string_view Utf8, const TRasterView& Target, std::int32_t X,
             std::int32_t Y, TTextAnchor Anchor) override;
  TFaceInfo Describe(const TFontDescription& Font) override;
  void AddFiles(std::span<const TFontFile> Files);

 private:
  using TFaceKey = std::tuple<std::string, bool, bool>;

  void OpenFiles(std::span<const TFontFile> Files);
  const TLoadedFace* FaceFor(const TFontDescription& Font);
  const TOpenFace* Match(const TFontDescription& Font) const;
  std::unique_ptr<TLoadedFace> LoadFace(const TFontDescription& Font);
  bool SetSize(FT_Face Face, const TFontDescription& Font);
  bool LayOut(const TFontDescription& Font, std::string_view Utf8, TTextLayout& Layout);
  bool RenderGlyph(const TLoadedFace& Face, const TFontDescription& Font, char32_t Code, TPlacedGlyph& Glyph,
                   std::int32_t& Advance);

  std::mutex FLock;
  FT_Library FLibrary = nullptr;
  // In the order the files came: the first face answers when nothing else
  // fits.
  std::vector<TOpenFace> FOpenFaces;
  std::map<TFaceKey, std::unique_ptr<TLoadedFace>> FFaces;
};

TFreeTypeTextRenderer::TFreeTypeTextRenderer(std::span<const TFontFile> Files) {
  if (FT_Init_FreeType(&FLibrary) != 0) FLibrary = nullptr;
  OpenFiles(Files);
}

TFreeTypeTextRenderer::~TFreeTypeTextRenderer() {
  FFaces.clear();
  for (TOpenFace& face : FOpenFaces) FT_Done_Face(face.Face);
  if (FLibrary != nullptr) FT_Done_FreeType(FLibrary);
}

void TFreeTypeTextRenderer::AddFiles(std::span<const TFontFile> Files) {
  std::lock_guard<std::mutex> guard(FLock);
  OpenFiles(Files);
  FFaces.clear();  // a description may now resolve to a better face
}

// Every face of every file (a collection holds several); files FreeType
// cannot read or that hold no outlines are passed over.
void TFreeTypeTextRenderer::OpenFiles(std::span<const TFontFile> Files) {
  if (FLibrary == nullptr) return;
  for (const TFontFile& file : Files) {
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

const TLoadedFace* TFreeTypeTextRenderer::FaceFor(const TFontDescription& Font) {
  TFaceKey key{IsDefaultFace(Font.FaceName) ? std::string() : Font.FaceName, Font.Bold, Font.Italic};
  auto found = FFaces.find(key);
  if (found == FFaces.end()) found = FFaces.emplace(key, LoadFace(Font)).first;
  return found->second.get();
}

// The family asked for, else the family answering for its generic family
// (a fixed-pitch face for a fixed-pitch family), else the first face's; in
// that family the cut nearest the asked weight and slant (weight first).
const TOpenFace* TFreeTypeTextRenderer::Match(const TFontDescription& Font) const {
  if (FOpenFaces.empty()) return nullptr;
  auto cutsOf = [&](auto&& Fits) {
    std::vector<const TOpenFace*> cuts;
    for (const TOpenFace& face : FOpenFaces) {
      if (Fits(face)) cuts.push_back(&face);
    }
    return cuts;
  };
  auto named = [&](std::string_view Family) {
    return cutsOf([&](const TOpenFace& Face) { return SameNameIgnoringCase(Face.Family, Family); });
  };
  std::vector<const TOpenFace*> cuts;
  if (!IsDefaultFace(Font.FaceName)) cuts = named(Font.FaceName);
  const std::string_view generic = IsDefaultFace(Font.FaceName) ? "sans-serif" : GenericFamilyOf(Font.FaceName);
  if (cuts.empty()) cuts = named(FamilyOfGeneric(generic));
  if (cuts.empty() && generic == "monospace") cuts = cutsOf([](const TOpenFace& Face) { return Face.FixedPitch; });
  if (cuts.empty()) cuts = named(FOpenFaces.front().Family);
  auto distance = [&](const TOpenFace* Face) { return 2 * (Face->Bold != Font.Bold) + (Face->Italic != Font.Italic); };
  return *std::min_element(cuts.begin(), cuts.end(),
                           [&](const TOpenFace* A, const TOpenFace* B) { return distance(A) < distance(B); });
}

std::unique_ptr<TLoadedFace> TFreeTypeTextRenderer::LoadFace(const TFontDescription& Font) {
  const TOpenFace* match = Match(Font);
  if (match == nullptr) return nullptr;
  FT_Face face = match->Face;
  auto loaded = std::make_unique<TLoadedFace>();
  loaded->Face = face;
  loaded->Info.Family = match->Family;
  loaded->Info.Style = face->style_name != nullptr ? face->style_name : "";
  loaded->Info.FixedPitch = match->FixedPitch;
  loaded->Info.SyntheticBold = Font.Bold && !match->Bold;
  loaded->Info.SyntheticItalic = Font.Italic && !match->Italic;
  return loaded;
}

bool TFreeTypeTextRenderer::SetSize(FT_Face Face, const TFontDescription& Font) {
  std::int32_t pixels = std::clamp(Font.PixelHeight, 1, 4096);
  const long cellUnits = long(Face->ascender) - long(Face->descender);
  if (Font.CellHeight && cellUnits > 0) {
    pixels = std::max<std::int32_t>(1, std::int32_t((long(pixels) * Face->units_per_EM + cellUnits / 2) / cellUnits));
  }
  return FT_Set_Pixel_Sizes(Face, 0, FT_UInt(pixels)) == 0;
}

bool TFreeTypeTextRenderer::RenderGlyph(const TLoadedFace& Face, const TFontDescription& Font, char32_t Code,
                                        TPlacedGlyph& Glyph, std::int32_t& Advance) {
  FT_Face ft = Face.Face;
  const FT_Int32 target = Font.Antialiased ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO;
  if (FT_Load_Glyph(ft, FT_Get_Char_Index(ft, FT_ULong(Code)), FT_LOAD_NO_BITMAP | target) != 0) return false;
  FT_GlyphSlot slot = ft->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  FT_Pos extra = 0;
  if (Face.Info.SyntheticItalic) {
    FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
    FT_Outline_Transform(&slot->outline, &shear);
  }
  if (Face.Info.SyntheticBold) {
    // Thickens strokes by 1/24 em, as heavier cuts of a face typically do.
    extra = std::max<FT_Pos>(32, FT_Pos(ft->size->metrics.y_ppem) * 64 / 24);
    FT_Outline_Embolden(&slot->outline, extra);
  }
  Advance = std::int32_t((slot->advance.x + extra + 32) >> 6);
  if (FT_Render_Glyph(slot, Font.Antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return false;

  const FT_Bitmap& bitmap = slot->bitmap;
  Glyph.Left = slot->bitmap_left;
  Glyph.Top = slot->bitmap_top;
  Glyph.Width = std::int32_t(bitmap.width);
  Glyph.Rows = std::int32_t(bitmap.rows);
  Glyph.Coverage.assign(std::size_t(Glyph.Width) * std::size_t(Glyph.Rows), 0);
  const int pitch = bitmap.pitch;
  for (std::int32_t row = 0; row < Glyph.Rows; ++row) {
    const unsigned char* source = bitmap.buffer + std::ptrdiff_t(pitch >= 0 ? row : Glyph.Rows - 1 - row) *
                                                      std::ptrdiff_t(pitch >= 0 ? pitch : -pitch);
    std::uint8_t* out = Glyph.Coverage.data() + std::size_t(row) * std::size_t(Glyph.Width);
    for (std::int32_t col = 0; col < Glyph.Width; ++col) {
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        out[col] = (source[col >> 3] & (0x80 >> (col & 7))) != 0 ? 255 : 0;
      } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        out[col] = std::uint8_t(bitmap.num_grays == 256 ? source[col] : source[col] * 255 / (bitmap.num_grays - 1));
      }
    }
  }
  return true;
}

bool TFreeTypeTextRenderer::LayOut(const TFontDescription& Font, std::string_view Utf8, TTextLayout& Layout) {
  if (Utf8.empty()) return false;
  const TLoadedFace* face = FaceFor(Font);
  if (face == nullptr || !SetSize(face->Face, Font)) return false;
  const FT_Size_Metrics& metrics = face->Face->size->metrics;
  std::int32_t ascent = std::int32_t((metrics.ascender + 63) >> 6);
  std::int32_t descent = std::int32_t((-metrics.descender + 63) >> 6);
  std::int32_t pen = 0;
  std::int32_t inkLeft = 0;
  std::int32_t inkRight = 0;
  for (char32_t code : DecodeUtf8(Utf8)) {
    TPlacedGlyph glyph;
    std::int32_t advance = 0;
    if (!RenderGlyph(*face, Font, code, glyph, advance)) continue;
    glyph.Left += pen;
    if (glyph.Width > 0 && glyph.Rows > 0) {
      inkLeft = std::min(inkLeft, glyph.Left);
      inkRight = std::max(inkRight, glyph.Left + glyph.Width);
      ascent = std::max(ascent, glyph.Top);
      descent = std::max(descent, glyph.Rows - glyph.Top);
      Layout.Glyphs.push_back(std::move(glyph));
    }
    pen += advance;
  }
  Layout.OriginX = -inkLeft;
  Layout.Extent.Width = std::max(pen, inkRight) - inkLeft;
  Layout.Extent.Height = ascent + descent;
  Layout.Extent.Ascent = ascent;
  return Layout.Extent.Width > 0;
}

TTextExtent TFreeTypeTextRenderer::Measure(const TFontDescription& Font, std::string_view Utf8) {
  std::lock_guard<std::mutex> guard(FLock);
  TTextLayout layout;
  return LayOut(Font, Utf8, layout) ? layout.Extent : TTextExtent{};
}

void BlendWhite(const TPlacedGlyph& Glyph, std::int32_t Left, std::int32_t Top, const TRasterView& Target,
                const TRect& Clip) {
  const TRect area = Intersection(Rect(Left, Top, Left + Glyph.Width, Top + Glyph.Rows), Clip);
  for (std::int32_t y = area.Top; y < area.Bottom; ++y) {
    std::uint8_t* row = Target.Row(y);
    const std::uint8_t* coverage = Glyph.Coverage.data() + std::size_t(y - Top) * std::size_t(Glyph.Width);
    for (std::int32_t x = area.Left; x < area.Right; ++x) {
      const unsigned cover = coverage[x - Left];
      row[x] = std::uint8_t(row[x] + ((255u - row[x]) * cover + 127u) / 255u);
    }
  }
}

TRect TFreeTypeTextRenderer::Draw(const TFontDescription& Font, std::string_view Utf8, const TRasterView& Target,
                                  std::int32_t X, std::int32_t Y, TTextAnchor Anchor) {
  std::lock_guard<std::mutex> guard(FLock);
  TTextLayout layout;
  if (!LayOut(Font, Utf8, layout)) return TRect{};
  const std::int32_t boxLeft = Anchor == TTextAnchor::taBaseline ? X - layout.OriginX : X;
  const std::int32_t boxTop = Anchor == TTextAnchor::taBaseline ? Y - layout.Extent.Ascent : Y;
  const TRect box = Rect(boxLeft, boxTop, boxLeft + layout.Extent.Width, boxTop + layout.Extent.Height);
  if (Target.IsEmpty() || Target.Format != TRasterFormat::rfGrey8) return box;
  const TRect clip = Intersection(box, Rect(0, 0, Target.Width, Target.Height));
  const std::int32_t baseline = boxTop + layout.Extent.Ascent;
  for (const TPlacedGlyph& glyph : layout.Glyphs) {
    BlendWhite(glyph, boxLeft + layout.OriginX + glyph.Left, baseline - glyph.Top, Target, clip);
  }
  return box;
}

TFaceInfo TFreeTypeTextRenderer::Describe(const TFontDescription& Font) {
  std::lock_guard<std::mutex> guard(FLock);
  const TLoadedFace* face = FaceFor(Font);
  return face != nullptr ? face->Info : TFaceInfo{};
}

TFreeTypeTextRenderer& SystemRenderer() {
  static TFreeTypeTextRenderer renderer(BundledFontFiles());
  return renderer;
}

}  // namespace

TTextRenderer& SystemTextRenderer() { return SystemRenderer(); }

void AddSystemFontFiles(std::span<const TFontFile> Files) { SystemRenderer().AddFiles(Files); }

}  // namespace vb
