// The two lines of a message layout and the 2000 ms rule across the wrap of the tick count.
#include <gtest/gtest.h>

#include "orderdisplay/HeaderText.h"

namespace {

TEST(SplitTwoLines, Cases) {
  struct Case { const wchar_t* text; const wchar_t* expected; } cases[] = {
      {L"ABCDE", L"AB\r\nCDE"},
      {L"A|B|C", L"A\r\nB|C"},
      {L"A|", L"A\r\n"},
      {L"", L"\r\n"},
      {L"ABCD", L"AB\r\nCD"},
      {L"ИЗВИНИТЕ, КАССА     ВРЕМЕННО НЕ РАБОТАЕТ.", L"ИЗВИНИТЕ, КАССА     \r\nВРЕМЕННО НЕ РАБОТАЕТ."},
  };
  for (auto& c : cases) EXPECT_EQ(SplitTwoLines(c.text), c.expected);
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

}  // namespace
