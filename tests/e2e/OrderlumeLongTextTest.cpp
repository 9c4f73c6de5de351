// The real Orderlume given texts of a million characters in every place the host fills: it applies
// each, and answers a message within a second after the apply, and again after a hide and a show
// (the show draws the long text once more).
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "E2eSupport.h"

namespace {

// Words of 1 to 11 letters with a blank between them, as prose wraps.
std::wstring LongText(size_t length) {
  std::wstring s;
  s.reserve(length);
  for (size_t word = 0; s.size() < length; ++word) {
    for (size_t k = 0; k <= word % 11 && s.size() < length; ++k) s += static_cast<wchar_t>(L'a' + (word * 3 + k) % 26);
    if (s.size() < length) s += L' ';
  }
  return s;
}

const std::wstring kDecl = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>";

std::wstring Dish(const std::wstring& name, const std::wstring& modifier, const std::wstring& currency) {
  return kDecl + L"<C ModeName=\"Mode_3\" Sum=\"350\" Currency=\"" + currency +
         L"\"><CheckLines><L Name=\"Tea\"/><L New=\"1\" Name=\"" + name + L"\" Price=\"300\"><ModiLine Name=\"" +
         modifier + L"\" Qnt=\"1\"/></L></CheckLines></C>";
}

// Whether the window answers a harmless message within a second; how long it took.
bool Answers(HWND window, DWORD& took) {
  const DWORD start = GetTickCount();
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
  took = GetTickCount() - start;
  return answered;
}

TEST(OrderlumeLongText, AnswersWithinASecondAfterAMillionCharacters) {
  const std::wstring text = LongText(1000000);
  const struct {
    const char* place;
    std::wstring check;
  } cases[] = {
      {"ModeText, Mode_1", kDecl + L"<C ModeName=\"Mode_1\" ModeText=\"" + text + L"\"/>"},
      {"ModeText, Mode_2", kDecl + L"<C ModeName=\"Mode_2\" ModeText=\"" + text + L"\"/>"},
      {"ModeText, Mode_4", kDecl + L"<C ModeName=\"Mode_4\" Sum=\"350\" ModeText=\"" + text + L"\"/>"},
      {"dish name", Dish(text, L"Lemon", L"rub")},
      {"modifier name", Dish(L"Tea", text, L"rub")},
      {"Currency, Mode_3", Dish(L"Tea", L"Lemon", text)},
      {"Currency, Mode_4", kDecl + L"<C ModeName=\"Mode_4\" Sum=\"350\" ModeText=\"Total\" Currency=\"" + text + L"\"/>"},
  };
  OrderlumeRun run;
  run.Start();
  HWND window = run.WaitVisible();
  ASSERT_NE(window, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.place);
    const size_t applied = run.CountLog(L"< apply data");
    zebhost::SendCopyData(window, zebhost::CHECK_DATA_TAG, c.check, 5000);
    ASSERT_TRUE(run.WaitForLog(L"< apply data", applied + 1, 15000)) << "the apply did not end";
    zebhost::Wait(200);  // the frame with the new texts is drawn meanwhile
    DWORD afterApply = 0, afterShow = 0;
    EXPECT_TRUE(Answers(window, afterApply)) << "no answer after the apply";
    zebhost::HideDisplay(window, 1000);
    zebhost::ShowDisplay(window, 1000);
    zebhost::Wait(200);  // the window draws its frame again
    EXPECT_TRUE(Answers(window, afterShow)) << "no answer after a hide and a show";
    std::cout << c.place << ": answered in " << afterApply << " ms after the apply, " << afterShow
              << " ms after a hide and a show\n";
  }
  EXPECT_EQ(run.CountLog(L"AV in"), 0u);
  EXPECT_TRUE(run.Stop());
}

}  // namespace
