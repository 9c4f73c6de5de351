// The receipt of the real Slipview on screen: check data sent to the shown display is drawn in the
// receipt's rows with the line's picture, and a Cyrillic name survives the code-page steps only on a
// Cyrillic system, whatever encoding the check data's declaration names.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "E2eSupport.h"
#include "HugePictures.h"
#include "ui/Bitmap.h"

namespace {

// The display window lies at its default place (1024, 220); the receipt's first row at y 100 to 146
// of it, its picture box at x 24 to 64, its name from x 72.
constexpr int kLeft = 1024, kTop = 220;
constexpr RECT kFirstName{kLeft + 72, kTop + 100, kLeft + 452, kTop + 146};
constexpr RECT kSecondRow{kLeft + 16, kTop + 146, kLeft + 752, kTop + 192};
constexpr POINT kFirstPicture{kLeft + 44, kTop + 123};

size_t Differing(const ScreenArea& a, const ScreenArea& b) {
  size_t n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}
size_t Dark(const ScreenArea& a) {
  return static_cast<size_t>(
      std::count_if(a.pixels.begin(), a.pixels.end(), [](uint32_t p) { return ((p >> 8) & 0xFF) < 0x90; }));
}

class ReceiptRun : public DisplayRun {
 public:
  ReceiptRun() : DisplayRun({BuiltProgram(L"Slipview.exe"), L"Slipview", L"Slipview"}) {}

  // Started and shown; the window, or null.
  HWND StartShown() {
    Start();
    if (!WaitForLog(L"< Create", 1, 15000)) return nullptr;
    HWND h = zebhost::FindDisplayWindow(L"Slipview", 5000);
    if (!h || zebhost::ShowDisplay(h) != 1) return nullptr;
    return WaitVisible();
  }
  // Sends check data and waits until it has been applied and drawn.
  void SendApplied(HWND window, const std::wstring& check) {
    const size_t applied = CountLog(L"< apply data");
    zebhost::SendCopyData(window, zebhost::CHECK_DATA_TAG, check, 10000);
    ASSERT_TRUE(WaitForLog(L"< apply data", applied + 1, 15000)) << "the check was not applied";
    zebhost::Wait(400);
  }
};

std::wstring Check(const std::wstring& declaration, const std::wstring& firstName, const std::wstring& picture) {
  return declaration + L"<Check><CheckLines Codes=\"5\"><L Name=\"" + firstName + L"\" Qnt=\"2\" Price=\"100\" "
         L"ImagePath=\"" + picture + L"\"><ModiLine Name=\"Cheese\" Qnt=\"1\" Price=\"30\"/></L>"
         L"<L Name=\"Tea\" Qnt=\"1\" Price=\"40\"/></CheckLines><Discounts><D Name=\"Card\" Sum=\"-10\"/></Discounts>"
         L"</Check>";
}

TEST(SlipviewReceipt, CheckDataIsDrawnWithItsPicture) {
  ReceiptRun run;
  ui::Bitmap green(30, 30);
  std::fill(green.Bits(), green.Bits() + 30 * 30, 0xFF00C000u);
  const std::vector<unsigned char> png = green.EncodePng();
  WriteBytes(run.Folder() / L"soup.png", png);
  HWND window = run.StartShown();
  ASSERT_NE(window, nullptr);
  // The show's apply comes before any check data: a failed build, logged, and no receipt.
  ASSERT_TRUE(run.WaitForLog(L"< apply data", 1, 5000));
  zebhost::Wait(300);
  EXPECT_EQ(run.CountLog(L"AV in FormCheckText"), 1u);
  EXPECT_EQ(Dark(CaptureScreen(kFirstName)), 0u) << "no receipt yet";

  run.SendApplied(window, Check(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>", L"Soup of the day",
                                run.Folder() / L"soup.png"));
  const ScreenArea soup = CaptureScreen(kFirstName);
  EXPECT_GT(Dark(soup), 150u) << "the first line's name is not on screen";
  EXPECT_GT(Dark(CaptureScreen(kSecondRow)), 150u) << "the modifier's row is not on screen";
  const uint32_t picture = CaptureScreen({kFirstPicture.x, kFirstPicture.y, kFirstPicture.x + 1, kFirstPicture.y + 1}).pixels[0];
  EXPECT_EQ(picture & 0xFFFFFF, 0x00C000u) << std::hex << picture;

  run.SendApplied(window, Check(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>", L"Borsch", L"missing.png"));
  EXPECT_GT(Differing(soup, CaptureScreen(kFirstName)), 150u) << "the new name is not on screen";
  const uint32_t none = CaptureScreen({kFirstPicture.x, kFirstPicture.y, kFirstPicture.x + 1, kFirstPicture.y + 1}).pixels[0];
  EXPECT_EQ(none & 0xFFFFFF, 0xFFFFFFu) << "a missing picture shows none";
  EXPECT_EQ(run.CountLog(L"AV in FormCheckText"), 1u);
  ASSERT_TRUE(run.Stop());
}

// A line's picture whose header claims far more pixels than a display can use shows as none, without
// being decoded: the display applies the check at once, goes on answering and stays small.
TEST(SlipviewReceipt, APictureClaimingTooManyPixelsShowsAsNone) {
  for (const HugePicture& huge : HugePictures()) {
    SCOPED_TRACE(huge.what);
    ReceiptRun run;
    WriteText(run.Folder() / huge.file, huge.bytes);
    HWND window = run.StartShown();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(run.WaitForLog(L"< apply data", 1, 5000));  // the show's, before any check data
    zebhost::SendCopyData(window, zebhost::CHECK_DATA_TAG,
                          Check(L"", L"Soup of the day", run.Folder() / huge.file), 1000);
    EXPECT_TRUE(run.WaitForLog(L"< apply data", 2, 5000)) << "the apply did not end";
    zebhost::Wait(400);
    ExpectAnswersAndStaysSmall(huge.what, window, run.Process()->Handle());
    EXPECT_GT(Dark(CaptureScreen(kFirstName)), 150u) << "the line is not on screen";
    const uint32_t none = CaptureScreen({kFirstPicture.x, kFirstPicture.y, kFirstPicture.x + 1, kFirstPicture.y + 1}).pixels[0];
    EXPECT_EQ(none & 0xFFFFFF, 0xFFFFFFu) << "the picture shows as none";
    EXPECT_EQ(run.CountLog(L"AV in FormCheckText"), 1u) << "only the show's apply before any check data";
    EXPECT_TRUE(run.Stop());
  }
}

// The same check with a Cyrillic name and with as many "?" in its place, declared as windows-1251, as
// UTF-8 without an encoding name and without any declaration. A Cyrillic system (ACP 1251) keeps the
// letters, so the two draw differently; on a Western one (1252) the letters turn into "?" on their way
// to the parser. CTest runs this test once in the default locale and once in ru_RU.UTF-8.
TEST(SlipviewReceipt, CyrillicNamesNeedACyrillicCodePage) {
  const UINT codePage = GetACP();
  if (codePage != 1251 && codePage != 1252) GTEST_SKIP() << "code page " << codePage;
  const std::wstring cyrillic = L"Борщ украинский";
  std::wstring marks = cyrillic;
  std::replace_if(marks.begin(), marks.end(), [](wchar_t c) { return c != L' '; }, L'?');
  ReceiptRun run;
  HWND window = run.StartShown();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(run.WaitForLog(L"< apply data", 1, 5000));  // the show's, before any check data
  for (const std::wstring declaration : {L"<?xml version=\"1.0\" encoding=\"windows-1251\"?>",
                                         L"<?xml version=\"1.0\"?>", L""}) {
    run.SendApplied(window, Check(declaration, cyrillic, L""));
    const ScreenArea shown = CaptureScreen(kFirstName);
    EXPECT_GT(Dark(shown), 150u);
    run.SendApplied(window, Check(declaration, marks, L""));
    const size_t differing = Differing(shown, CaptureScreen(kFirstName));
    if (codePage == 1251) {
      EXPECT_GT(differing, 150u) << "the Cyrillic name did not survive: " << Narrow(declaration);
    } else {
      EXPECT_EQ(differing, 0u) << "a Cyrillic name survived a code page without it: " << Narrow(declaration);
    }
  }
  EXPECT_EQ(run.CountLog(L"AV in FormCheckText"), 1u);
  ASSERT_TRUE(run.Stop());
}

}  // namespace
