// Face fonts loaded by file path: sizes in points at 96 dpi, width with kerning, wrapping,
// justification, trimming and ellipsis, drawn on the kit's canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/graphics/font.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/surface_object.h"
#include "oru/graphics/fonts/font_library.h"

namespace vk2::test {
namespace {

constexpr const char16_t* kSans = u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr uint64_t kNormal = 0x1000001000Full;  // normal blending on all channels

RefPtr<MFont> Font(oru::FontLibrary& library, int32_t points, uint32_t style = 1,
                   const char16_t* face = kSans) {
  FontDescription d;
  d.face = face;
  d.size = points;
  d.style = style;
  RefPtr<MFont> font;
  EXPECT_EQ(library.GetFont(d, font.Put()), kOk);
  return font;
}

// A transparent surface the text is drawn on; ink is any pixel with alpha.
class Page {
 public:
  Page(int32_t w, int32_t h) {
    EXPECT_EQ(gfx::CreateSurface(w, h, PixelFormat::kArgb32, &surface_), kOk);
    surface_->GetView(&view_);
    EXPECT_EQ(gfx::CreateCanvas(surface_.Get(), &canvas_), kOk);
  }
  MCanvas* Canvas() { return canvas_.Get(); }
  bool Ink(int32_t x, int32_t y) const { return view_.Argb(y)[x] >> 24; }
  // The bounds of all ink; empty when none.
  RectI InkBounds() const {
    RectI b{view_.width, view_.height, 0, 0};
    for (int32_t y = 0; y < view_.height; ++y) {
      for (int32_t x = 0; x < view_.width; ++x) {
        if (!Ink(x, y)) continue;
        b = RectI{std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1),
                  std::max(b.bottom, y + 1)};
      }
    }
    return b;
  }
  std::vector<uint32_t> Pixels() const {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < view_.height; ++y) {
      out.insert(out.end(), view_.Argb(y), view_.Argb(y) + view_.width);
    }
    return out;
  }

 private:
  RefPtr<MSurface> surface_;
  SurfaceView view_;
  RefPtr<MCanvas> canvas_;
};

TEST(FaceFonts, SizesArePointsAt96DotsPerInch) {
  oru::FontLibrary library;
  FontMetrics m12;
  FontMetrics m24;
  ASSERT_EQ(Font(library, 12)->GetMetrics(&m12), kOk);
  ASSERT_EQ(Font(library, 24)->GetMetrics(&m24), kOk);
  // 12 points at 96 dpi is a 16-pixel em; the face's line spans 1.164 em (2384 of 2048 units):
  // 18.6 pixels, where 72 dpi would give 14.
  EXPECT_GE(m12.lineHeight, 18);
  EXPECT_LE(m12.lineHeight, 20);
  EXPECT_NEAR(m24.lineHeight, 2 * m12.lineHeight, 2);
  EXPECT_EQ(m12.lineHeight, std::max(m12.lineHeight, m12.ascent + m12.descent));
  EXPECT_GT(m12.averageWidth, 0);
  EXPECT_GE(m12.maxWidth, m12.averageWidth);
  auto f12 = Font(library, 12);
  auto f24 = Font(library, 24);
  EXPECT_NEAR(f24->TextWidth(u"Hamburgefonts", -1), 2 * f12->TextWidth(u"Hamburgefonts", -1), 2);
}

TEST(FaceFonts, WidthsFollowTheTextWithKerning) {
  oru::FontLibrary library;
  auto font = Font(library, 20);
  EXPECT_EQ(font->TextWidth(u"", -1), 0);
  EXPECT_LT(font->TextWidth(u"iiii", -1), font->TextWidth(u"WWWW", -1));
  EXPECT_EQ(font->TextWidth(u"WWWWxx", 4), font->TextWidth(u"WWWW", -1));
  // The face kerns A against V.
  EXPECT_LT(font->TextWidth(u"AV", -1), font->TextWidth(u"A", -1) + font->TextWidth(u"V", -1));
  // A character beyond the basic plane, written as a surrogate pair, counts once.
  EXPECT_GT(font->TextWidth(u"\U0001D400", -1), 0);
}

TEST(FaceFonts, WrappedHeightBreaksAtSpacesAndLineBreaks) {
  oru::FontLibrary library;
  auto font = Font(library, 12);
  FontMetrics m;
  font->GetMetrics(&m);
  const char16_t* text = u"one two three four";
  const int32_t fits = font->TextWidth(u"three four", -1);
  struct Case {
    const char16_t* text;
    int32_t width;
    uint32_t flags;
    int32_t lines;
  };
  const std::vector<Case> cases = {
      {text, fits, 0, 2},                    // "one two" / "three four"
      {text, fits - 1, 0, 3},                // "one two" / "three" / "four"
      {text, 1000, 0, 1},                    //
      {text, fits - 1, kTextSingleLine, 1},  //
      {u"a\nb\r\nc", 1000, 0, 3},            //
      {u"a\nb", 1000, kTextSingleLine, 1},   //
      {u"", 1000, 0, 0},                     //
  };
  for (const Case& c : cases) {
    EXPECT_EQ(font->WrappedHeight(c.text, -1, c.width, c.flags), c.lines * m.lineHeight)
        << c.width << " " << c.flags;
  }
  // A word wider than the line breaks between characters.
  EXPECT_GE(font->WrappedHeight(u"abcdefghij", -1, font->TextWidth(u"abc", -1), 0),
            3 * m.lineHeight);
}

TEST(FaceFonts, JustificationPlacesTheTextInItsRectangle) {
  oru::FontLibrary library;
  auto font = Font(library, 12);
  const RectI rect{0, 0, 200, 60};
  const int32_t width = font->TextWidth(u"Hello", -1);
  struct Case {
    uint32_t flags;
    int32_t inkCentreX;
    int32_t inkCentreY;
  };
  const std::vector<Case> cases = {
      {0, width / 2, 10},
      {kTextRight, 200 - width / 2, 10},
      {kTextHCenter | kTextVCenter, 100, 30},
      {kTextBottom, width / 2, 50},
  };
  for (const Case& c : cases) {
    Page page(200, 60);
    ASSERT_EQ(font->DrawText(page.Canvas(), u"Hello", -1, rect, c.flags, kNormal, 0xFF000000, 256),
              kOk);
    const RectI ink = page.InkBounds();
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR((ink.left + ink.right) / 2, c.inkCentreX, 3) << c.flags;
    EXPECT_NEAR((ink.top + ink.bottom) / 2, c.inkCentreY, 5) << c.flags;
  }
}

TEST(FaceFonts, FullWidthSpreadsEveryLineButAParagraphsLast) {
  oru::FontLibrary library;
  auto font = Font(library, 12);
  FontMetrics m;
  font->GetMetrics(&m);
  const RectI rect{0, 0, 150, 3 * m.lineHeight};
  Page page(150, rect.bottom);
  ASSERT_EQ(font->DrawText(page.Canvas(), u"aa bb cc dd ee ff gg hh ii jj kk", -1, rect, kTextHFull,
                           kNormal, 0xFF000000, 256),
            kOk);
  auto rightmostInkInRows = [&](int32_t top, int32_t bottom) {
    int32_t right = -1;
    for (int32_t y = top; y < bottom; ++y) {
      for (int32_t x = 0; x < 150; ++x) {
        if (page.Ink(x, y)) right = std::max(right, x);
      }
    }
    return right;
  };
  EXPECT_GE(rightmostInkInRows(0, m.lineHeight), 146);
  EXPECT_LT(rightmostInkInRows(2 * m.lineHeight, 3 * m.lineHeight), 120);
}

// Draws `text` single-line into a rectangle `width` wide on a 300 x 40 page.
std::vector<uint32_t> Drawn(MFont* font, const char16_t* text, int32_t width, uint32_t flags) {
  Page page(300, 40);
  font->DrawText(page.Canvas(), text, -1, RectI{0, 0, width, 40}, flags | kTextSingleLine, kNormal,
                 0xFF000000, 256);
  return page.Pixels();
}

TEST(FaceFonts, TrimmingCutsWholeCharactersAndMarksTheCutWithAnEllipsis) {
  oru::FontLibrary library;
  auto font = Font(library, 12);
  const std::u16string text = u"abcdefghijklmnop";
  const int32_t width = font->TextWidth(u"abcdefgh", -1);
  struct Case {
    uint32_t flags;
    std::u16string mark;
  };
  for (const Case& c : {Case{kTextTrimChars, u""}, Case{kTextTrimEllipsis, u"\u2026"}}) {
    SCOPED_TRACE(c.flags);
    const auto drawn = Drawn(font.Get(), text.c_str(), width, c.flags);
    // The longest prefix that fits with its mark is what is drawn, to the pixel.
    size_t kept = 0;
    while (kept < text.size() &&
           font->TextWidth((text.substr(0, kept + 1) + c.mark).c_str(), -1) <= width) {
      ++kept;
    }
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, text.size());
    const std::u16string expected = text.substr(0, kept) + c.mark;
    EXPECT_EQ(drawn, Drawn(font.Get(), expected.c_str(), 300, 0));
  }
}

TEST(FaceFonts, TextIsClippedToItsRectangle) {
  oru::FontLibrary library;
  auto font = Font(library, 20);
  struct Case {
    const char16_t* text;
    uint32_t flags;
  };
  // Too wide on one line; too many lines for the height.
  for (const Case& c : {Case{u"WWWWWWWWWWWW", kTextSingleLine}, Case{u"W\nW\nW\nW", 0}}) {
    Page page(120, 60);
    ASSERT_EQ(font->DrawText(page.Canvas(), c.text, -1, RectI{10, 5, 60, 45}, c.flags, kNormal,
                             0xFF000000, 256),
              kOk);
    const RectI ink = page.InkBounds();
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 5);
    EXPECT_EQ(c.flags ? ink.right : ink.bottom, c.flags ? 60 : 45);
  }
}

TEST(FaceFonts, StylesChangeTheGlyphs) {
  oru::FontLibrary library;
  auto regular = Font(library, 12);
  auto underlined = Font(library, 12, 1 | kFontUnderline);
  Page plain(100, 30);
  Page lined(100, 30);
  regular->DrawText(plain.Canvas(), u"ooo", -1, RectI{0, 0, 100, 30}, 0, kNormal, 0xFF000000, 256);
  underlined->DrawText(lined.Canvas(), u"ooo", -1, RectI{0, 0, 100, 30}, 0, kNormal, 0xFF000000,
                       256);
  EXPECT_GT(lined.InkBounds().bottom, plain.InkBounds().bottom);
  // Monochrome glyphs have only full and empty pixels.
  FontDescription d;
  d.face = kSans;
  d.size = 12;
  d.smoothed = false;
  RefPtr<MFont> sharp;
  ASSERT_EQ(library.GetFont(d, sharp.Put()), kOk);
  Page mono(100, 30);
  sharp->DrawText(mono.Canvas(), u"ooo", -1, RectI{0, 0, 100, 30}, 0, kNormal, 0xFF000000, 256);
  for (uint32_t p : mono.Pixels())
    EXPECT_TRUE(p == 0 || p == 0xFF000000) << std::hex << p;
}

TEST(FaceFonts, EqualDescriptionsShareOneFontAndBadOnesAreRefused) {
  oru::FontLibrary library;
  EXPECT_EQ(Font(library, 12).Get(), Font(library, 12).Get());
  EXPECT_NE(Font(library, 12).Get(), Font(library, 13).Get());
  FontDescription d;
  d.face = kSans;
  RefPtr<MFont> font;
  for (int32_t size : {0, -3, 501}) {
    d.size = size;
    EXPECT_EQ(library.GetFont(d, font.Put()), kErrOutOfRange) << size;
  }
  d.size = 12;
  d.face = u"/nowhere/font.ttf";
  EXPECT_EQ(library.GetFont(d, font.Put()), kErrNotFound);
}

// The faces skins name are mapped through fontconfig to installed metric-compatible fonts.
TEST(FontMatching, SkinFacesMapToInstalledFonts) {
  oru::FontMatcher matcher;
  struct Case {
    const char* family;
    uint32_t style;
    const char* fileContains;
  };
  const std::vector<Case> cases = {
      {"arial", 1, "LiberationSans-Regular"},
      {"Arial", 2, "LiberationSans-Bold"},
      {"arial", 1 | kFontItalic, "LiberationSans-Italic"},
      {"times new roman", 1, "LiberationSerif"},
      {"", kFontFixedPitch | 1, "Mono"},
  };
  for (const Case& c : cases) {
    oru::FontFile file;
    ASSERT_TRUE(matcher.Match(c.family, c.style, &file)) << c.family;
    EXPECT_NE(file.path.find(c.fileContains), std::string::npos) << c.family << ": " << file.path;
  }
  oru::FontFile tahoma;
  EXPECT_TRUE(matcher.Match("tahoma", 1, &tahoma));
  EXPECT_FALSE(tahoma.path.empty());
}

}  // namespace
}  // namespace vk2::test
