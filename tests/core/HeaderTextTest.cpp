// The two lines of a message layout, the 2000 ms rule across the wrap of the tick count, and the
// line breaks of a dish name at the edges of its budget.
#include <gtest/gtest.h>

#include "core/orderdisplay/HeaderText.h"

namespace {

// The tables are written as the display's wide texts; every character here is one UTF-16 unit.
std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

TEST(SplitTwoLines, Cases) {
  struct Case { const wchar_t* text; const wchar_t* expected; } cases[] = {
      {L"ABCDE", L"AB\r\nCDE"},
      {L"A|B|C", L"A\r\nB|C"},
      {L"A|", L"A\r\n"},
      {L"", L"\r\n"},
      {L"ABCD", L"AB\r\nCD"},
      {L"ИЗВИНИТЕ, КАССА     ВРЕМЕННО НЕ РАБОТАЕТ.", L"ИЗВИНИТЕ, КАССА     \r\nВРЕМЕННО НЕ РАБОТАЕТ."},
  };
  for (auto& c : cases) EXPECT_EQ(SplitTwoLines(U16(c.text)), U16(c.expected));
}

TEST(TwoSecondsRule, AcrossTheWrap) {
  struct Case { uint32_t last, now; bool passed; } cases[] = {
      {1000, 2999, false}, {1000, 3000, true}, {0, 0, false},
      {0xFFFFFC18u, 1000, true},    // 1000 ms before the wrap, 1000 ms after it: 2000 ms
      {0xFFFFFC18u, 999, false},
      {0xFFFFFFFFu, 1998, false}, {0xFFFFFFFFu, 1999, true},
  };
  for (auto& c : cases) EXPECT_EQ(TwoSecondsPassed(c.now, c.last), c.passed) << c.last << " " << c.now;
}

TEST(WrapDishName, Cases) {
  struct Case { std::wstring text, expected; } cases[] = {
      {L"Soup", L"Soup"},
      {L"Borsch salad", L"Borsch salad"},
      {L"Caesar salad with chicken", L"Caesar salad \r\nwith chicken"},
      {L"One two three four five six", L"One two \r\nthree four \r\nfive six"},
      {L"Pelmeniwithbutt soup", L"\r\nPelmeniwithbutt \r\nsoup"},  // 15 letters and a blank
      {std::wstring(16, L'a'), std::wstring(16, L'a')},
      {std::wstring(17, L'a'), L"\r\n" + std::wstring(17, L'a')},
      {L"", L""},
      {L"a  b", L"a  b"},  // each further blank of a run is a word of its own
      // A word of 14 letters and its blank, charged 16 characters, takes the whole line of 400 and
      // stays on it; the next word starts a new line.
      {L"aaaaaaaaaaaaaa b", L"aaaaaaaaaaaaaa \r\nb"},
      // A word that starts a new line leaves it 400 - 12 x 25 = 100: a last word of 4 letters fits.
      {L"aaaaaaa bbbbbbbbbbb cccc", L"aaaaaaa \r\nbbbbbbbbbbb cccc"},
      {L"aaaaaaa bbbbbbbbbbb ccccc", L"aaaaaaa \r\nbbbbbbbbbbb \r\nccccc"},
  };
  for (auto& c : cases) EXPECT_EQ(WrapDishName(U16(c.text)), U16(c.expected)) << ::testing::PrintToString(c.text);
}

}  // namespace
