// Guards strips held in pieces against a glyph a user would see differ
// from the whole strip's (at a piece's edge, in the short last piece, for a
// control not of the glyph's size), against pieces decoded that nothing
// shows or kept beyond the limit, and against pieces that do not fit
// together being taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <vector>

#include "gui/gui_stitched_switch.h"
#include "gui_test_support.h"
#include "png/png_error.h"

#include <zlib.h>

namespace vb::test {
namespace {

constexpr std::int32_t kGlyphsPerPiece = 5;

// A coordinate strip of Glyphs glyphs of W x H cut into PNG pieces.
struct TPiecedStrip {
  TPiecedStrip(std::int32_t W, std::int32_t H, std::int32_t Glyphs, TGuiStitchKind Kind) {
    const bool across = Kind == skHorizontal;
    for (std::int32_t first = 0; first < Glyphs; first += kGlyphsPerPiece) {
      const std::int32_t count = std::min(kGlyphsPerPiece, Glyphs - first);
      TGuiPixelMapMemory piece;
      piece.SetSize(across ? count * W : W, across ? H : count * H);
      for (std::int32_t y = 0; y < piece.Height(); ++y)
        for (std::int32_t x = 0; x < piece.Width(); ++x)
          piece.ScanLine(y)[x] = CoordinatePixel(across ? first * W + x : x, across ? y : first * H + y);
      Files.push_back(EncodePng(piece));
    }
    for (const std::vector<std::uint8_t>& file : Files) Pieces.emplace_back(file);
  }
  std::vector<std::vector<std::uint8_t>> Files;
  std::vector<std::span<const std::uint8_t>> Pieces;
};

struct TPiecedGui : THeadlessGui {
  TPiecedGui() : THeadlessGui(200, 200), List(Window->Create<TGuiStitchedPNGList>()) {}
  TGuiStitchedPNGCollectionItem& Add(const TPiecedStrip& Strip, std::int32_t Glyphs, TGuiStitchKind Kind) {
    return List.AddPngPieces(Strip.Pieces, kGlyphsPerPiece, "strip", Glyphs, Kind);
  }
  TGuiStitchedDisplay& Display(std::int32_t W, std::int32_t H, std::int32_t Glyph) {
    auto& d = Window->Create<TGuiStitchedDisplay>();
    d.SetBounds(0, 0, W, H);
    d.SetImageList(&List);
    d.SetImageIndex(List.Count() - 1);
    d.SetGlyphIndex(Glyph);
    Window->Idle();
    return d;
  }
  TGuiStitchedPNGList& List;
};

// Every pixel of the control shows the whole strip's pixel at its place.
::testing::AssertionResult ShowsStripAt(const TGuiStitchedDisplay& D, std::int32_t Left, std::int32_t Top,
                                        std::int32_t StripWidth, std::int32_t StripHeight) {
  for (std::int32_t y = 0; y < D.Height(); ++y) {
    for (std::int32_t x = 0; x < D.Width(); ++x) {
      if (Left + x >= StripWidth || Top + y >= StripHeight) continue;
      if (D.Buffer().GetPixel(x, y) != CoordinatePixel(Left + x, Top + y))
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " of the glyph at " << Left << "," << Top;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(StitchedPieces, EveryGlyphShowsAsInTheWholeStripAndFewPiecesStayDecoded) {
  // 23 glyphs: four full pieces and a last one of three.
  for (const TGuiStitchKind kind : {skVertical, skHorizontal}) {
    const bool across = kind == skHorizontal;
    const std::int32_t w = across ? 20 : 60, h = across ? 84 : 60, glyphs = 23;
    const std::int32_t stripW = across ? w * glyphs : w, stripH = across ? h : h * glyphs;
    TPiecedGui gui;
    TPiecedStrip strip(w, h, glyphs, kind);
    auto& item = gui.Add(strip, glyphs, kind);
    EXPECT_EQ(item.Width(), stripW);
    EXPECT_EQ(item.Height(), stripH);
    EXPECT_EQ(item.DecodedPieces(), 0u) << "nothing drawn yet";
    auto& d = gui.Display(w, h, 7);
    EXPECT_EQ(item.DecodedPieces(), 1u);
    for (std::int32_t g = 0; g < glyphs; ++g) {
      d.SetGlyphIndex(g);
      gui.Window->Idle();
      EXPECT_TRUE(ShowsStripAt(d, across ? g * w : 0, across ? 0 : g * h, stripW, stripH)) << "glyph " << g;
      EXPECT_LE(item.DecodedPieces(), TGuiStitchedPNGCollectionItem::kKeptPieces);
      // A glyph that ends on a piece's edge is drawn from its piece, not from
      // the whole strip decoded at once.
      EXPECT_LE(item.DecodedBytes(), TGuiStitchedPNGCollectionItem::kKeptPieces * kGlyphsPerPiece * w * h * 4)
          << "glyph " << g;
    }
    // A control shorter than the glyphs reaches across a piece's edge.
    const std::int32_t shortW = across ? w - 3 : w, shortH = across ? h : h - 7;
    auto& odd = gui.Display(shortW, shortH, 0);
    for (std::int32_t g = 0; g < glyphs; ++g) {
      odd.SetGlyphIndex(g);
      gui.Window->Idle();
      EXPECT_TRUE(ShowsStripAt(odd, across ? g * shortW : 0, across ? 0 : g * shortH, stripW, stripH)) << g;
    }
    // Copied into another list, the strip is whole.
    TTestStitchedList& copy = gui.Window->Create<TTestStitchedList>();
    copy.StitchedCollection().Add();
    copy.StitchedCollection().SetItem(0, item);
    const TGuiCustomPixelMap& whole = copy.GetStitchedItems(0).PixelMap();
    ASSERT_EQ(std::make_pair(whole.Width(), whole.Height()), std::make_pair(stripW, stripH));
    EXPECT_EQ(whole.GetPixel(stripW - 1, stripH - 1), CoordinatePixel(stripW - 1, stripH - 1));
  }
}

// Drawing goes on in the pieces decoded last: with every kept piece in use,
// a new one pushes out the one drawn longest ago, not one just drawn again.
TEST(StitchedPieces, ANewPiecePushesOutTheOneDrawnLongestAgo) {
  TPiecedGui gui;
  TPiecedStrip strip(60, 60, 25, skVertical);
  gui.Add(strip, 25, skVertical);
  auto& item = gui.List.GetItems(0);
  auto& d = gui.Display(60, 60, 0);
  for (const std::int32_t glyph : {5, 10, 15, 0, 20}) {  // pieces 1, 2, 3, 0 again, 4
    d.SetGlyphIndex(glyph);
    gui.Window->Idle();
  }
  EXPECT_TRUE(item.PieceDecoded(0)) << "the piece drawn again was pushed out";
  EXPECT_FALSE(item.PieceDecoded(1)) << "the oldest piece stayed";
  EXPECT_TRUE(item.PieceDecoded(4));
  EXPECT_TRUE(ShowsStripAt(d, 0, 20 * 60, 60, 25 * 60));
  // A control twice a glyph's height, past the strip's end, shows nothing
  // of it (and reads nothing past the last piece).
  d.SetVisible(false);
  gui.Window->Idle();
  const std::uint32_t background = gui.Screen->ScreenPixel(0, 0);
  auto& tall = gui.Display(60, 120, 13);
  ASSERT_EQ(tall.GlyphIndex(), 13);
  EXPECT_EQ(gui.Screen->ScreenPixel(0, 0), background);
  EXPECT_EQ(gui.Screen->ScreenPixel(59, 119), background);
  EXPECT_LE(item.DecodedBytes(), TGuiStitchedPNGCollectionItem::kKeptPieces * 5 * 60 * 60 * 4)
      << "the whole strip decoded for nothing";
}

// A PNG file whose header claims W x H pixels (only the header is read
// when pieces are taken).
std::vector<std::uint8_t> HeaderClaiming(std::uint32_t W, std::uint32_t H) {
  TGuiPixelMapMemory one;
  one.SetSize(1, 1);
  std::vector<std::uint8_t> file = EncodePng(one);
  const auto store = [&](std::size_t At, std::uint32_t V) {
    for (int i = 0; i < 4; ++i) file[At + std::size_t(i)] = std::uint8_t(V >> (24 - 8 * i));
  };
  // After the signature: IHDR's length (8), type (12), width (16), height
  // (20), and its CRC over type and 13 data bytes (29).
  store(16, W);
  store(20, H);
  store(29, std::uint32_t(crc32(0, file.data() + 12, 17)));
  return file;
}

TEST(StitchedPieces, PiecesThatDoNotFitAreRefusedAndLeaveNoStrip) {
  TPiecedGui gui;
  TPiecedStrip strip(60, 60, 12, skVertical);
  TPiecedStrip narrow(50, 60, 12, skVertical);
  TPiecedStrip shortLast(60, 60, 3, skVertical);
  const auto expectRefused = [&](std::vector<std::span<const std::uint8_t>> Pieces, std::int32_t PerPiece) {
    try {
      gui.List.AddPngPieces(Pieces, PerPiece, "bad", 12, skVertical);
      ADD_FAILURE() << "taken";
    } catch (const EControlError& e) {
      EXPECT_EQ(e.Code(), TErrorCode::ecStripPiecesDoNotFit);
    }
    EXPECT_EQ(gui.List.Count(), 0);
  };
  expectRefused({strip.Pieces[0], narrow.Pieces[1], strip.Pieces[2]}, kGlyphsPerPiece);     // another width
  expectRefused({shortLast.Pieces[0], strip.Pieces[1], strip.Pieces[2]}, kGlyphsPerPiece);  // short, not last
  expectRefused(strip.Pieces, 7);                                                           // 300 rows are not 7 glyphs
  TPiecedStrip ragged(60, 65, 2, skVertical);
  expectRefused({strip.Pieces[0], strip.Pieces[1], ragged.Pieces[0]}, kGlyphsPerPiece);  // 130 rows: no whole glyphs
  TPiecedStrip tall(60, 84, 5, skVertical);
  expectRefused({strip.Pieces[0], strip.Pieces[1], tall.Pieces[0]}, kGlyphsPerPiece);  // 420 rows: longer than a piece
  // Each piece of 8192 x 5000 pixels (160 MB) may be one picture, but the
  // whole strip they make (320 MB) may not.
  const std::vector<std::uint8_t> large = HeaderClaiming(8192, 5000);
  try {
    gui.List.AddPngPieces(std::vector<std::span<const std::uint8_t>>{large, large}, kGlyphsPerPiece, "bad", 10,
                          skVertical);
    ADD_FAILURE() << "a strip larger than a picture may be taken";
  } catch (const EPngError& e) {
    EXPECT_EQ(e.Code(), TErrorCode::ecImageTooLarge);
  }
  EXPECT_EQ(gui.List.Count(), 0);
  std::vector<std::uint8_t> broken = strip.Files[1];
  broken[20] ^= 1;  // the header's CRC no longer holds
  EXPECT_THROW(gui.List.AddPngPieces(std::vector<std::span<const std::uint8_t>>{strip.Pieces[0], broken},
                                     kGlyphsPerPiece, "bad", 10, skVertical),
               EPngError);
  EXPECT_EQ(gui.List.Count(), 0);
}

}  // namespace
}  // namespace vb::test
