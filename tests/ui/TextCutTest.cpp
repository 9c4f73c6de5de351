// A text hands GDI+ only the part of it that can appear: the cut itself (lines, line breaks, ends of
// long lines, blank runs), frames of a text control against the full text drawn straight with GDI+
// (every alignment, with and without wrapping, scaled, boxes lower than a line), and auto-sized boxes
// against the full text's own size where the window shows it.
#include <gtest/gtest.h>

#include <string>

#include "ui/Fonts.h"
#include "ui/GdiPlus.h"
#include "ui/GdiPlusIncludes.h"
#include "ui/Renderer.h"
#include "ui/TextCut.h"

using namespace ui;

namespace {

// Prose: words of 1 to 9 letters, a line break (CR LF) after every `lineEvery` words when given.
std::wstring Prose(size_t length, size_t lineEvery = 0) {
  std::wstring s;
  for (size_t word = 0; s.size() < length; ++word) {
    for (size_t k = 0; k <= word % 9; ++k) s += static_cast<wchar_t>((word % 5 == 0 ? L'A' : L'a') + (word + k) % 26);
    s += lineEvery && word % lineEvery == lineEvery - 1 ? L"\r\n" : L" ";
  }
  return s.substr(0, length);
}

// --- The cut --------------------------------------------------------------------------------------

TEST(CutText, KeepsTheLinesThatCanShow) {
  TextCut wrapped;
  wrapped.lines = 2;
  wrapped.lineCount = 4;
  struct Case {
    const wchar_t* text;
    TextCut cut;
    const wchar_t* expected;
    bool linesLeft;
  };
  TextCut nowrap;
  nowrap.wrap = false;
  nowrap.lines = 2;
  TextCut ends = nowrap;
  ends.lines = TextCut::kAll;
  ends.keepCount = 1;  // and 8 more for the look-ahead
  ends.ends = TextCut::Ends::Both;
  TextCut end = ends;
  end.ends = TextCut::Ends::End;
  const Case cases[] = {
      {L"a\r\nb\rc\nd", TextCut{}, L"a\nb\nc\nd", false},  // every break as LF
      {L"a\r\nb\r\nc\r\nd", nowrap, L"a\nb\n", true},
      {L"a\r\n", nowrap, L"a\n", false},
      // Blank lines take no height under Wine: the third line still shows after them. A run of more
      // than lines + 1 is shortened to that many.
      {L"\n\n\t\n\nab\ncd\nef", nowrap, L"\n\n\t\nab\ncd\n", true},
      // Wrapped: two lines of at most 4 counted characters, and 8 more; blanks are not counted.
      {L"aaaa bbbb cccc dddd", wrapped, L"aaaa bbbb cccc dddd", false},
      {L"aaaa bbbb cccc dddd e", wrapped, L"aaaa bbbb cccc dddd", true},
      {L"a\nb\nc", wrapped, L"a\nb\n", true},
      // Marks, zero-width and format characters count for nothing.
      {L"aaaa\x0301\x0301\x200B bbbb cccc dddd\x0301 e", wrapped, L"aaaa\x0301\x0301\x200B bbbb cccc dddd", true},
      // Right-to-left letters: never cut.
      {L"a\nb\nc\x05D0", nowrap, L"a\nb\nc\x05D0", false},
      {L"0123456789ABCDEFGH", ends, L"0123456789ABCDEFGH", false},
      {L"0123456789ABCDEFGHI\nshort", ends, L"012345678ABCDEFGHI\nshort", false},
      {L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", ends, L"012345678RSTUVWXYZ", false},
      {L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ\nnext", end, L"RSTUVWXYZ\nnext", false},
  };
  for (const Case& c : cases) {
    const CutResult r = CutText(c.text, c.cut);
    EXPECT_EQ(r.text, c.expected) << c.text;
    EXPECT_EQ(r.linesLeft, c.linesLeft) << c.text;
  }
  EXPECT_TRUE(CutText(L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", ends).lineShortened);
}

TEST(CutText, IsLinearInTheTextsLength) {
  // A million line breaks and a million characters on one line, cut as the display cuts them.
  TextCut cut;
  cut.lines = 50;
  cut.lineCount = 100;
  const std::wstring breaks(1000000, L'\n');
  EXPECT_EQ(CutText(breaks, cut).text.size(), 51u);
  const CutResult one = CutText(std::wstring(1000000, L'x'), cut);
  EXPECT_EQ(one.text.size(), 50u * 100 + 8);
  EXPECT_EQ(one.restAt, one.text.size());
}

// --- Frames ---------------------------------------------------------------------------------------

class TextFrames : public ::testing::Test {
 protected:
  GdiPlusSession gdiplus;
};

struct Look {
  float w, h, size;
  TextAlign horz, vert;
  bool wrap;
  float scale = 1;
};

// The text as the control drew it before it was cut: the whole text handed to GDI+ with the same
// format, font and placement, clipped to the box.
Bitmap DrawnWhole(const std::wstring& text, const Look& look, float x, float y, int width, int height) {
  Bitmap frame(width, height);
  Gdiplus::Bitmap target(width, height, width * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(frame.Bits()));
  Gdiplus::Graphics g(&target);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
  g.SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed);
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  g.ScaleTransform(look.scale, look.scale);
  g.TranslateTransform(x, y);
  auto format = std::unique_ptr<Gdiplus::StringFormat>(Gdiplus::StringFormat::GenericTypographic()->Clone());
  format->SetFormatFlags(format->GetFormatFlags() | Gdiplus::StringFormatFlagsNoClip |
                         (look.wrap ? 0 : Gdiplus::StringFormatFlagsNoWrap));
  auto gdi = [](TextAlign a) {
    return a == TextAlign::Leading  ? Gdiplus::StringAlignmentNear
           : a == TextAlign::Center ? Gdiplus::StringAlignmentCenter
                                    : Gdiplus::StringAlignmentFar;
  };
  format->SetAlignment(gdi(look.horz));
  format->SetLineAlignment(gdi(look.vert));
  format->SetTrimming(Gdiplus::StringTrimmingNone);
  Gdiplus::FontFamily family(ResolveFontFamily(L"Tahoma").c_str());
  Gdiplus::Font font(&family, look.size, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
  Gdiplus::SolidBrush brush(Gdiplus::Color(255, 255, 255, 255));
  float top = 0, h = look.h;
  const float line = font.GetHeight(&g);
  if (line > h) {
    if (look.vert == TextAlign::Center) top = (h - line) / 2;
    if (look.vert == TextAlign::Trailing) top = h - line;
    h = line;
  }
  std::wstring lf;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != L'\r') lf += text[i];
    else if (i + 1 >= text.size() || text[i + 1] != L'\n') lf += L'\n';
  g.SetClip(Gdiplus::RectF(0, 0, look.w, look.h));
  g.DrawString(lf.c_str(), static_cast<INT>(lf.size()), &font, Gdiplus::RectF(0, top, look.w, h), format.get(), &brush);
  return frame;
}

Text& AddText(Control& parent, const std::wstring& text, const Look& look) {
  Text& t = parent.Add<Text>();
  t.SetFontFamily(L"Tahoma");
  t.SetFontSize(look.size);
  t.SetBold(true);
  t.SetColor(kWhite);
  t.SetHorzAlign(look.horz);
  t.SetVertAlign(look.vert);
  t.SetWordWrap(look.wrap);
  t.SetText(text);
  return t;
}

size_t Differing(const Bitmap& a, const Bitmap& b) {
  size_t n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

size_t Ink(const Bitmap& b) {
  size_t n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += AlphaOf(b.Pixel(x, y)) != 0;
  return n;
}

TEST_F(TextFrames, TheCutDrawsWhatTheWholeTextDraws) {
  constexpr int kW = 320, kH = 200;
  const TextAlign aligns[] = {TextAlign::Leading, TextAlign::Center, TextAlign::Trailing};
  // Boxes of several lines, one line, lower than a line, and the texts that fill them several times
  // over (short, prose, prose in lines, one long word); some of them scaled as the form scales.
  const Look boxes[] = {{200, 80, 16, {}, {}, true}, {200, 80, 16, {}, {}, false},
                        {120, 12, 16, {}, {}, true}, {120, 12, 16, {}, {}, false},
                        {180, 60, 22, {}, {}, true, 0.75f}, {180, 60, 22, {}, {}, false, 1.3f}};
  const std::wstring texts[] = {L"Short text", Prose(1500), Prose(1500, 3), std::wstring(900, L'W') + L"i"};
  size_t inked = 0;
  for (Look look : boxes)
    for (TextAlign horz : aligns)
      for (TextAlign vert : aligns)
        for (const std::wstring& text : texts) {
          look.horz = horz;
          look.vert = vert;
          Layout root;
          root.SetSize(kW, kH);
          Layout& scaled = root.Add<Layout>();
          scaled.SetScale(look.scale, look.scale);
          Text& t = AddText(scaled, text, look);
          t.SetBounds(30, 40, look.w, look.h);
          const Bitmap cut = RenderToBitmap(root, kW, kH);
          const Bitmap whole = DrawnWhole(text, look, 30, 40, kW, kH);
          inked += Ink(whole) > 0;
          EXPECT_EQ(Differing(cut, whole), 0u)
              << "box " << look.w << "x" << look.h << " wrap " << look.wrap << " scale " << look.scale << " horz "
              << static_cast<int>(horz) << " vert " << static_cast<int>(vert) << " text of " << text.size();
        }
  EXPECT_GT(inked, 100u) << "most of the frames show text";
}

// --- Auto-size ------------------------------------------------------------------------------------

TEST_F(TextFrames, AutoSizeMatchesTheWholeTextWhereTheWindowShowsIt) {
  Layout root;
  root.SetSize(768, 1024);
  Text& wrapped = AddText(root, Prose(600), {400, 0, 28, TextAlign::Leading, TextAlign::Leading, true});
  wrapped.SetBounds(24, 109, 400, 0);
  wrapped.SetAutoSize(true);
  EXPECT_FLOAT_EQ(wrapped.Height(), wrapped.MeasureWrapped(400).Y) << "all of it inside the window";
  wrapped.SetText(Prose(20000));
  EXPECT_GT(wrapped.Height(), 1024 - 109) << "reaches past the window's bottom";
  EXPECT_LT(wrapped.Height(), wrapped.MeasureWrapped(400).Y);

  Text& line = AddText(root, Prose(60), {0, 0, 16, TextAlign::Trailing, TextAlign::Center, false});
  line.SetAutoSize(true);
  EXPECT_FLOAT_EQ(line.Width(), line.MeasuredWidth() + 16.0f / 3);
  line.SetText(Prose(100000));
  EXPECT_GT(line.Width(), 2 * 768) << "wider than the window from anywhere in it";
  // More lines than the window shows, the widest of them far below: the width is still the text's.
  std::wstring tall;
  for (int i = 0; i < 300; ++i) tall += L"a\r\n";
  line.SetText(tall + L"The widest line of them all");
  EXPECT_FLOAT_EQ(line.Width(), line.MeasuredWidth() + 16.0f / 3);
  EXPECT_GT(line.Height(), 1024);
}

// A box that stopped short of its text draws what the full box would: a message growing down from
// its top, and a row's text flush with the row's right edge (the layout places the box by its width).
TEST_F(TextFrames, ABoxStoppedShortDrawsWhatTheFullBoxDraws) {
  constexpr int kW = 240, kH = 120;
  const std::wstring text = Prose(2500);
  for (TextAlign horz : {TextAlign::Leading, TextAlign::Center, TextAlign::Trailing}) {
    const Look look{150, 0, 16, horz, TextAlign::Leading, true};
    Layout root;
    root.SetSize(kW, kH);
    Text& t = AddText(root, text, look);
    t.SetBounds(20, 30, 150, 0);
    t.SetAutoSize(true);
    const float full = t.MeasureWrapped(150).Y;
    ASSERT_LT(t.Height(), full) << "the cut applies";
    Look whole = look;
    whole.h = full;
    EXPECT_EQ(Differing(RenderToBitmap(root, kW, kH), DrawnWhole(text, whole, 20, 30, kW, kH)), 0u)
        << "wrapped, horz " << static_cast<int>(horz);
  }
  for (TextAlign vert : {TextAlign::Leading, TextAlign::Center, TextAlign::Trailing}) {
    const Look look{0, 0, 16, TextAlign::Trailing, vert, false};
    Layout root;
    root.SetSize(kW, kH);
    Text& t = AddText(root, text, look);
    t.SetAutoSize(true);
    t.SetHeight(50);
    t.SetPosition(200 - t.Width(), 20);
    const float full = t.MeasuredWidth() + 16.0f / 3;
    ASSERT_LT(t.Width(), full) << "the cut applies";
    Look whole = look;
    whole.w = full;
    whole.h = 50;
    EXPECT_EQ(Differing(RenderToBitmap(root, kW, kH), DrawnWhole(text, whole, 200 - full, 20, kW, kH)), 0u)
        << "right-aligned row, vert " << static_cast<int>(vert);
  }
}

}  // namespace
