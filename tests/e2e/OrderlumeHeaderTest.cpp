// The header of the real Orderlume on screen: a dish check shows up after the apply delay, a
// Cyrillic dish name survives the code-page steps only on a Cyrillic system, and bad check data is
// logged as a failed apply or applied, case by case, with the program alive and answering throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>

#include "E2eSupport.h"

namespace {

// The display window lies at its default place (1024, 0), the header at x -1 of it.
constexpr int kLeft = 1024 - 1;
// DishName3's box in the dish layout, two lines of it, in screen pixels.
constexpr RECT kDishName{kLeft + 24, 109, kLeft + 424, 185};

size_t Differing(const ScreenArea& a, const ScreenArea& b) {
  size_t n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    if (a.pixels[i] != b.pixels[i]) ++n;
  return n;
}

// A dish check with two lines; the dish just ordered has this name unless none is new.
std::wstring DishCheck(const std::wstring& dish, bool isNew = true) {
  return L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Check ModeName=\"Mode_3\" Sum=\"350\"><CheckLines>"
         L"<L Name=\"Tea\"/><L New=\"" + std::wstring(isNew ? L"true" : L"false") + L"\" Name=\"" + dish +
         L"\" Price=\"300\"/></CheckLines></Check>";
}

// Sends a check and waits until the program has applied it.
void SendAndWaitApplied(OrderlumeRun& run, HWND window, const std::wstring& check) {
  const size_t applied = run.CountLog(L"< apply data");
  zebhost::SendCopyData(window, zebhost::CHECK_DATA_TAG, check, 10000);
  ASSERT_TRUE(run.WaitForLog(L"< apply data", applied + 1, 15000)) << "the check was not applied";
}

TEST(OrderlumeHeader, DishCheckIsOnScreenAfterTheApplyDelay) {
  OrderlumeRun run;
  run.Start();
  HWND window = run.WaitVisible();
  ASSERT_NE(window, nullptr);
  // First the dish layout with no dish just ordered: the dish name's area shows the bare header.
  SendAndWaitApplied(run, window, DishCheck(L"Soup", false));
  zebhost::Wait(300);
  const ScreenArea before = CaptureScreen(kDishName);

  // Sent less than 2000 ms after the last layout change: no fade, the dish shows at once on apply.
  const DWORD sent = GetTickCount();
  zebhost::SendCopyData(window, zebhost::CHECK_DATA_TAG, DishCheck(L"Caesar salad with chicken"));
  zebhost::Wait(300);
  EXPECT_EQ(Differing(before, CaptureScreen(kDishName)), 0u) << "applied before the delay";
  std::optional<DWORD> seenAfter;
  while (!seenAfter && GetTickCount() - sent < 3000) {
    if (Differing(before, CaptureScreen(kDishName)) > 200) seenAfter = GetTickCount() - sent;
    else zebhost::Wait(20);
  }
  ASSERT_TRUE(seenAfter.has_value()) << "the dish name never showed";
  EXPECT_GE(*seenAfter, 450u);
  EXPECT_LE(*seenAfter, 2000u);  // 500 to 800 ms on an idle machine
  std::cout << "dish name on screen " << *seenAfter << " ms after the check was sent\n";
}

// The same check with a Cyrillic dish name and with as many "?" in its place. A Cyrillic system (ACP
// 1251) keeps the letters, and the two draw differently; on a Western one (1252) the letters turn into
// "?" on their way to the parser, and the two draw the same pixels. Wine takes the code page of a
// program from the Unix locale it was started in, which the programs it starts inherit: CTest runs
// this test once in the default locale and once in ru_RU.UTF-8.
TEST(OrderlumeHeader, CyrillicDishNameNeedsACyrillicCodePage) {
  const UINT codePage = GetACP();
  if (codePage != 1251 && codePage != 1252) GTEST_SKIP() << "code page " << codePage;
  const std::wstring cyrillic = L"Борщ украинский";
  std::wstring marks = cyrillic;
  std::replace_if(marks.begin(), marks.end(), [](wchar_t c) { return c != L' '; }, L'?');
  OrderlumeRun run;
  run.Start();
  HWND window = run.WaitVisible();
  ASSERT_NE(window, nullptr);
  SendAndWaitApplied(run, window, DishCheck(cyrillic));
  zebhost::Wait(300);
  const ScreenArea shown = CaptureScreen(kDishName);
  SendAndWaitApplied(run, window, DishCheck(marks));
  zebhost::Wait(300);
  const size_t differing = Differing(shown, CaptureScreen(kDishName));
  if (codePage == 1251) EXPECT_GT(differing, 200u) << "the Cyrillic name did not survive";
  else EXPECT_EQ(differing, 0u) << "the Cyrillic name survived a code page without Cyrillic letters";
  EXPECT_EQ(run.CountLog(L"AV in FormSetText"), 0u);
}

std::wstring Repeat(const std::wstring& s, size_t n) {
  std::wstring out;
  out.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

TEST(OrderlumeHeader, BadCheckDataIsLoggedOrAppliedAndNeverCrashes) {
  enum Outcome { Fails, Applied };
  const std::wstring decl = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>";
  struct Case {
    const char* what;
    std::wstring text;
    Outcome outcome;
  } cases[] = {
      {"unclosed", decl + L"<Check ModeName=\"Mode_3\"><CheckLines>", Fails},
      {"no XML", L"hello", Fails},
      {"empty", L"", Fails},
      {"no root", decl + L"<!-- nothing -->", Fails},
      {"unknown encoding", L"<?xml version=\"1.0\" encoding=\"EBCDIC\"?><C ModeName=\"Mode_2\"/>", Fails},
      {"bad quantity", decl + L"<C ModeName=\"Mode_3\"><CheckLines><L New=\"1\" Qnt=\"many\"/></CheckLines></C>", Fails},
      {"100,000 nested", decl + Repeat(L"<a>", 100000) + Repeat(L"</a>", 100000), Fails},
      // About 2 MB in the message (Wine delivers no WM_COPYDATA of 10 MB within 10 s).
      {"20,000 lines", decl + L"<C ModeName=\"Mode_3\" Sum=\"1\"><CheckLines>" +
                           Repeat(L"<L Name=\"Dish of the day\" Qnt=\"1\" Price=\"100\"/>", 20000) +
                            L"<L New=\"1\" Name=\"Last\"/></CheckLines></C>", Applied},
      // Texts of 10,000 characters: the text layout's cost grows faster than their length (one of
      // 100,000 keeps the program busy for over 10 s).
      {"long dish name", DishCheck(Repeat(L"word ", 2000)), Applied},
      {"long message", decl + L"<C ModeName=\"Mode_2\" ModeText=\"" + Repeat(L"ab", 5000) + L"\"/>", Applied},
      {"not in the code page", DishCheck(L"\u4E2D\u6587 \U0001F35C \u0416\u0436 \uFFFF"), Applied},
      {"lone surrogate", DishCheck(L"a\xD800" L"b"), Applied},
      {"zero inside", std::wstring(L"<C ModeName=\"Mode_2\"/>\0trailing", 31), Applied},
      // Control characters are text to the parser; the dish name is trimmed of them, to nothing.
      {"control characters", DishCheck(L"\x01\x02 \x1F"), Applied},
  };
  OrderlumeRun run;
  run.Start();
  HWND window = run.WaitVisible();
  ASSERT_NE(window, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const size_t failures = run.CountLog(L"[ERROR] AV in FormSetText");
    SendAndWaitApplied(run, window, c.text);
    const size_t now = run.CountLog(L"[ERROR] AV in FormSetText");
    EXPECT_EQ(now, failures + (c.outcome == Fails ? 1 : 0));
    ASSERT_TRUE(run.Process()->Running()) << "the program ended";
    EXPECT_NO_THROW(zebhost::SendWithTimeout(window, WM_NULL, 0, 0, 5000)) << "the program does not answer";
  }
  // And it still applies a good check, and closes by itself.
  SendAndWaitApplied(run, window, decl + L"<C ModeName=\"Mode_2\" ModeText=\"Still|here\"/>");
  EXPECT_TRUE(run.Stop(10000));
  EXPECT_EQ(run.CountLog(L"AV in FormClose"), 0u);
  EXPECT_EQ(run.CountLog(L"application self-terminated"), 0u);
}

}  // namespace
