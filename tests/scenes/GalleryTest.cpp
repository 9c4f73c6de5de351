// The gallery scene through its exports, as a host drives it. The cycle itself is followed in a test
// build of the library (ZebProbeGallery: the gallery with a stand-in movie that records every MenuXML
// text and call and raises commands on request); what needs no stand-in runs against Marquella.dll
// itself, its own movie included. One test process per suite (CMakeLists.txt).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "HostLib.h"
#include "ScenePictures.h"
#include "TestFiles.h"
#include "scenes/ZebScene.h"
#include "ui/Bitmap.h"
#include "win/WinPaths.h"

namespace {

std::wstring TestFolder() { return ExecutableFolder() + L"\\"; }
std::wstring PictureFolder() { return TestFolder() + L"gallery-pictures\\"; }
std::wstring LogFolder() { return TestFolder() + L"gallery-logs\\"; }

// The library and its exports, and the probe's own exports when it has them.
struct Gallery : zebhost::SceneExports {
  explicit Gallery(const std::wstring& module)
      : library(module == L"Marquella" ? TestFolder() + L"..\\..\\bin\\Marquella.dll" : TestFolder() + module + L".dll") {
    static_cast<zebhost::SceneExports&>(*this) = library.Exports();
    auto at = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(library.Module(), name)); };
    FailAt = reinterpret_cast<void(__stdcall*)(const char*)>(at("ProbeFailAt"));
    EventsFn = reinterpret_cast<int(__stdcall*)(wchar_t*, int)>(at("ProbeGalleryEvents"));
    RaiseFn = reinterpret_cast<BOOL(__stdcall*)(const wchar_t*)>(at("ProbeGalleryRaise"));
    if (auto use = reinterpret_cast<void(__stdcall*)()>(at("ProbeUseRecordingGallery"))) use();
  }
  ~Gallery() { SceneDestroy(); }
  ZebSceneBitmap* Screenshot() { return static_cast<ZebSceneBitmap*>(SceneScreenshot()); }

  // The stand-in's events since the last look, each as a short word: "dish:<Name>" for a MenuXML
  // text, "next" for nextBanner, "stop", "play".
  std::vector<std::wstring> Trace() {
    std::vector<std::wstring> trace;
    for (const std::wstring& e : RawEvents()) {
      if (e.rfind(L"MenuXML ", 0) == 0) {
        trace.push_back(L"dish:" + Attribute(e, L"Name"));
      } else {
        trace.push_back(e == L"nextBanner" ? L"next" : e);
      }
    }
    return trace;
  }
  std::vector<std::wstring> RawEvents() {
    std::wstring all(1 << 16, L'\0');
    const int n = EventsFn(all.data(), static_cast<int>(all.size()));
    all.resize(std::min<size_t>(static_cast<size_t>(n), all.size()));
    std::vector<std::wstring> events;
    for (size_t start = 0, end; (end = all.find(L'\x1e', start)) != std::wstring::npos; start = end + 1)
      events.push_back(all.substr(start, end - start));
    return events;
  }
  static std::wstring Attribute(const std::wstring& xml, const std::wstring& name) {
    const std::wstring key = L" " + name + L"=\"";
    const size_t at = xml.find(key);
    if (at == std::wstring::npos) return L"(none)";
    const size_t from = at + key.size();
    return xml.substr(from, xml.find(L'"', from) - from);
  }
  // The stand-in raises the command; the library gets it from the message loop.
  void Raise(const wchar_t* command) {
    ASSERT_TRUE(RaiseFn(command)) << "no movie";
    zebhost::Wait(30);
  }

  zebhost::SceneLibrary library;
  void(__stdcall* FailAt)(const char*) = nullptr;
  int(__stdcall* EventsFn)(wchar_t*, int) = nullptr;
  BOOL(__stdcall* RaiseFn)(const wchar_t*) = nullptr;
};

using Trace = std::vector<std::wstring>;

// Dish A (classification 3) stands before dish B (classification 5) in the menu.
const wchar_t kMenu[] = LR"(<Menu>
  <Dish Code="11" Name="Apple pie" LargeImagePath="a.png;other.png" Price="52100"><Classifications><C Code="3"/></Classifications></Dish>
  <Dish Code="12" Name="Borscht" LargeImagePath="b.png" Price="1000"><Classifications><C Code="5"/></Classifications></Dish>
  <Dish Code="13" Name="Cake" Price="250"><Classifications><C Code="7"/><C Code="8"/></Classifications></Dish>
  <Dish Name="No code"><Classifications><C Code="9"/></Classifications></Dish>
  <Dish Code="14" Name="Big picture" LargeImagePath="big.png"><Classifications><C Code="20"/></Classifications></Dish>
  <Dish Code="15" Name="Folder picture" LargeImagePath="folder.png"><Classifications><C Code="21"/></Classifications></Dish>
  <Dish Code="16" Name="Missing picture" LargeImagePath="none.png"><Classifications><C Code="22"/></Classifications></Dish>
  <Dish Code="17" Name="Device picture" LargeImagePath="CON.png"><Classifications><C Code="23"/></Classifications></Dish>
</Menu>)";

// Scene parameters with these parameters attributes (none: no parameters element), root attributes
// and placement.
std::wstring Params(const wchar_t* parameters, const std::wstring& root = L"",
                    const std::wstring& size = scenetest::SizeElement(0, 0, 690, 758)) {
  std::wstring text = L"<SceneParameters PicPath=\"" + PictureFolder() + L"\"" + root + L">" + size;
  if (parameters) text += L"<parameters " + std::wstring(parameters) + L"/>";
  return text + L"</SceneParameters>";
}

std::vector<std::wstring> LogTexts(const std::wstring& module) {
  std::vector<std::wstring> texts;
  for (const auto& line : zebhost::ReadLogLines(LogFolder() + module + L".01.log"))
    if (auto parsed = zebhost::ParseLogLine(line)) texts.push_back(parsed->text);
  return texts;
}

void WritePicture(const std::wstring& path, int w, int h, uint32_t argb) {
  ui::Bitmap b(w, h);
  std::fill(b.Bits(), b.Bits() + static_cast<size_t>(w) * h, argb);
  b.SavePng(path);
}

class GalleryTestBase : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CreateDirectoryW(LogFolder().c_str(), nullptr);
    CreateDirectoryW(PictureFolder().c_str(), nullptr);
    zebhost::WriteUtf8File(TestFolder() + L"Zebrane.ini", L"[LOGFILE]\r\nLog=1\r\nLogDir=" + LogFolder() + L"\r\n");
    WritePicture(PictureFolder() + L"a.png", 200, 200, 0xFFFF0000);
    WritePicture(PictureFolder() + L"b.png", 200, 200, 0xFF00FF00);
    WritePicture(PictureFolder() + L"c.png", 200, 200, 0xFF0000FF);
    WritePicture(PictureFolder() + L"fallback.png", 10, 10, 0xFF808080);
    CreateDirectoryW((PictureFolder() + L"folder.png").c_str(), nullptr);
    // A picture file over 32 MB (its size is what counts; the content stays unwritten).
    HANDLE big = CreateFileW((PictureFolder() + L"big.png").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = (32ll << 20) + 1;
    SetFilePointerEx(big, size, nullptr, FILE_BEGIN);
    SetEndOfFile(big);
    CloseHandle(big);
  }
  std::unique_ptr<zebhost::AdvertWindow> advert = std::make_unique<zebhost::AdvertWindow>(L"GalleryTestAdvert");
  int Ended() const { return advert ? advert->SceneEndedCount() : -1; }
};

// ---- The cycle, through the probe build ------------------------------------------------------------

class GalleryCycle : public GalleryTestBase {
 protected:
  void SetUp() override {
    ASSERT_NE(g.EventsFn, nullptr);
    g.Trace();
  }
  Gallery g{L"ZebProbeGallery"};
};

TEST_F(GalleryCycle, DishesFollowTheMenuWhateverTheOrderOfDishCodes) {
  g.SceneParameters(Params(L"DishCodes=\"5,3\"").c_str(), kMenu);
  EXPECT_EQ(g.Trace(), Trace{L"dish:APPLE PIE"});
  for (int i = 0; i < 3; ++i) g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:BORSCHT", L"next", L"dish:APPLE PIE", L"next", L"dish:BORSCHT", L"next"}));
  EXPECT_EQ(Ended(), 0);
}

TEST_F(GalleryCycle, ADishWithTwoMatchingClassificationsComesTwiceInARow) {
  g.SceneParameters(Params(L"DishCodes=\"8,3,7\"").c_str(), kMenu);
  for (int i = 0; i < 3; ++i) g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:APPLE PIE", L"dish:CAKE", L"next", L"dish:CAKE", L"next", L"dish:APPLE PIE", L"next"}));
}

TEST_F(GalleryCycle, DishCodesListsThatParse) {
  struct Case {
    const wchar_t* codes;
    Trace first;
  };
  const Case cases[] = {
      {L"3,5,", {L"dish:APPLE PIE", L"dish:BORSCHT"}},  // a trailing comma adds nothing
      {L"  5,   3", {L"dish:APPLE PIE", L"dish:BORSCHT"}},  // blanks before a code
      {L"$5", {L"dish:BORSCHT", L"dish:BORSCHT"}},  // hexadecimal
      {L"0x3", {L"dish:APPLE PIE", L"dish:APPLE PIE"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(std::wstring(c.codes)));
    g.SceneParameters(Params((L"DishCodes=\"" + std::wstring(c.codes) + L"\"").c_str()).c_str(), kMenu);
    g.Raise(L"EndAnimation");
    EXPECT_EQ(g.Trace(), (Trace{c.first[0], c.first[1], L"next"}));
  }
  EXPECT_EQ(Ended(), 0);
}

TEST_F(GalleryCycle, NothingSelectedTellsTheHostAtOnce) {
  struct Case {
    const wchar_t* parameters;
    const wchar_t* menu;
  };
  const Case cases[] = {
      {L"DishCodes=\"\"", kMenu},
      {L"DishCodes=\"  \"", kMenu},
      {L"DishCodes=\"77\"", kMenu},   // no dish has the classification
      {L"DishCodes=\"3\"", L"<Menu/>"},
      {L"Price=\"5\"", kMenu},        // no DishCodes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(std::wstring(c.parameters)));
    const int before = Ended();
    g.SceneParameters(Params(c.parameters).c_str(), c.menu);
    EXPECT_EQ(Ended(), before + 1) << "during the call";
    EXPECT_EQ(g.Trace(), Trace{});
    // Each "EndAnimation" with nothing selected tells the host again.
    g.Raise(L"EndAnimation");
    EXPECT_EQ(Ended(), before + 2);
    EXPECT_EQ(g.Trace(), Trace{});
  }
}

TEST_F(GalleryCycle, AListThatFailsDeselects) {
  g.SceneParameters(Params(L"DishCodes=\"3\"").c_str(), kMenu);
  EXPECT_EQ(g.Trace(), Trace{L"dish:APPLE PIE"});
  g.SceneParameters(Params(L"DishCodes=\"3 ,\"").c_str(), kMenu);
  g.SceneParameters(Params(L"DishCodes=\",\"").c_str(), kMenu);
  EXPECT_EQ(g.Trace(), Trace{});
  EXPECT_EQ(Ended(), 0) << "a failing call tells the host nothing";
  g.Raise(L"EndAnimation");
  EXPECT_EQ(Ended(), 1);
  EXPECT_EQ(g.Trace(), Trace{});
}

TEST_F(GalleryCycle, TheDefaultTextSelectsNothingAndShowTextComesFromTheRoot) {
  const std::wstring defaults = g.SceneDefaultParameters();
  g.SceneParameters(defaults.c_str(), kMenu);
  EXPECT_EQ(Ended(), 1) << "DishCode is no DishCodes";
  EXPECT_EQ(g.Trace(), Trace{});

  // The same text with DishCodes: its ShowText under parameters is not read, the root has none.
  std::wstring withCodes = defaults;
  withCodes.replace(withCodes.find(L"DishCode=\"0\""), 12, L"DishCodes=\"3\"");
  withCodes.replace(withCodes.find(L"<SceneParameters>"), 17,
                    L"<SceneParameters PicPath=\"" + PictureFolder() + L"\" CurrencyText=\"\u0440\u0443\u0431.\">");
  g.SceneParameters(withCodes.c_str(), kMenu);
  EXPECT_EQ(g.RawEvents(), std::vector<std::wstring>{L"MenuXML \r\n<Item Currency=\"\u0420\u0423\u0411.\" ShowText=\"\" "
                                                     L"Name=\"APPLE PIE\" Path=\"a.png\" Price=\"521\"/>"});
  g.SceneParameters(Params(L"DishCodes=\"5\"", L" ShowText=\"hot &quot;soup&quot;\" FloatFormat=\"0.00\"").c_str(), kMenu);
  EXPECT_EQ(g.RawEvents(), std::vector<std::wstring>{L"MenuXML \r\n<Item Currency=\"\" ShowText=\"HOT &quot;SOUP&quot;\" "
                                                     L"Name=\"BORSCHT\" Path=\"b.png\" Price=\"10.00\"/>"});
  g.SceneParameters(Params(L"DishCodes=\"5\" Price=\"99\" ShowText=\"not read\"").c_str(), kMenu);
  EXPECT_EQ(g.RawEvents(), std::vector<std::wstring>{L"MenuXML \r\n<Item Currency=\"\" ShowText=\"\" "
                                                     L"Name=\"BORSCHT\" Path=\"b.png\" Price=\"99\"/>"});
  EXPECT_EQ(Ended(), 1);
}

TEST_F(GalleryCycle, WithoutParametersNothingHappens) {
  g.SceneParameters(Params(L"DishCodes=\"3\"").c_str(), kMenu);
  g.Trace();
  g.SceneParameters(Params(nullptr).c_str(), kMenu);
  EXPECT_EQ(g.Trace(), Trace{});
  EXPECT_EQ(Ended(), 0);
  // Nothing is selected any more: the movie's next end tells the host.
  g.Raise(L"EndAnimation");
  EXPECT_EQ(Ended(), 1);
  EXPECT_EQ(g.Trace(), Trace{});
}

TEST_F(GalleryCycle, ACycleOfOneShowsItsDishAgainAndAgain) {
  g.SceneParameters(Params(L"DishCodes=\"5\"").c_str(), kMenu);
  g.Raise(L"EndAnimation");
  g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:BORSCHT", L"dish:BORSCHT", L"next", L"dish:BORSCHT", L"next"}));
}

TEST_F(GalleryCycle, TheSameTextsAgainStartTheSameCycleFromItsFirstDish) {
  const std::wstring params = Params(L"DishCodes=\"3,5\"");
  g.SceneParameters(params.c_str(), kMenu);
  g.Raise(L"EndAnimation");
  g.SceneParameters(params.c_str(), kMenu);
  g.Raise(L"EndAnimation");
  g.Raise(L"EndAnimation");
  g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:APPLE PIE", L"dish:BORSCHT", L"next", L"dish:APPLE PIE", L"dish:BORSCHT",
                              L"next", L"dish:APPLE PIE", L"next", L"dish:BORSCHT", L"next"}));
}

TEST_F(GalleryCycle, ANewCycleWhileADishAnimatesTakesEffectAtTheMoviesEnd) {
  g.SceneParameters(Params(L"DishCodes=\"3,5\"").c_str(), kMenu);
  g.SceneAnimationsStart(1);
  zebhost::Wait(100);
  EXPECT_EQ(g.Trace(), (Trace{L"dish:APPLE PIE", L"play"}));
  // The new cycle is Borscht, Cake: MenuXML holds its first dish, the movie goes on with its own.
  g.SceneParameters(Params(L"DishCodes=\"7,5\"").c_str(), kMenu);
  EXPECT_EQ(g.Trace(), Trace{L"dish:BORSCHT"});
  g.Raise(L"EndAnimation");
  g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:CAKE", L"next", L"dish:BORSCHT", L"next"}));
  // A stop and a start show the current dish again, not the next one.
  g.SceneAnimationsStop();
  g.SceneAnimationsStart(0);
  zebhost::Wait(100);
  EXPECT_EQ(g.Trace(), (Trace{L"stop", L"play"}));
  g.SceneAnimationsStop();
}

TEST_F(GalleryCycle, MatchingDishesWithoutCodeAreSkippedOrEndTheCycle) {
  g.SceneParameters(Params(L"DishCodes=\"9,5\"").c_str(), kMenu);  // the cycle is 0, 12
  g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:BORSCHT", L"dish:BORSCHT", L"next"}));
  EXPECT_EQ(Ended(), 0);
  g.SceneParameters(Params(L"DishCodes=\"9\"").c_str(), kMenu);  // only 0: one pass, then the host is told
  EXPECT_EQ(Ended(), 1);
  EXPECT_EQ(g.Trace(), Trace{});
  // A dish that carries Code 0 answers for the entry.
  const std::wstring menu = LR"(<Menu><Dish Code="0" Name="Zero"/><Dish Name="No code"><Classifications><C Code="9"/></Classifications></Dish></Menu>)";
  g.SceneParameters(Params(L"DishCodes=\"9\"").c_str(), menu.c_str());
  EXPECT_EQ(g.Trace(), Trace{L"dish:ZERO"});
}

TEST_F(GalleryCycle, OtherCommandsChangeNothing) {
  g.SceneParameters(Params(L"DishCodes=\"3,5\"").c_str(), kMenu);
  g.Trace();
  for (const wchar_t* command : {L"endanimation", L"ENDANIMATION", L"EndAnimation ", L"nextBanner", L""})
    g.Raise(command);
  EXPECT_EQ(g.Trace(), Trace{});
  g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:BORSCHT", L"next"}));
  EXPECT_EQ(Ended(), 0);
}

TEST_F(GalleryCycle, AfterDestroyAndCreateTheOldCycleGoesOn) {
  g.SceneParameters(Params(L"DishCodes=\"3,5,7\"").c_str(), kMenu);
  g.Raise(L"EndAnimation");
  g.Trace();
  g.SceneDestroy();
  g.SceneCreate();
  EXPECT_EQ(g.Trace(), Trace{}) << "the new movie has no MenuXML";
  g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:CAKE", L"next"}));
}

// The host is the window titled "ZebAdvert": the host's window under another title is told nothing,
// and the cycle goes on without a host; the same window under the title again is told.
TEST_F(GalleryCycle, WithoutAHostWindowNothingIsReported) {
  ASSERT_TRUE(SetWindowTextW(advert->Handle(), L"NotTheHost"));
  g.SceneParameters(Params(L"DishCodes=\"\"").c_str(), kMenu);
  g.Raise(L"EndAnimation");
  g.SceneParameters(Params(L"DishCodes=\"3\"").c_str(), kMenu);
  g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:APPLE PIE", L"dish:APPLE PIE", L"next"}));
  g.SceneParameters(Params(L"DishCodes=\"9\"").c_str(), kMenu);  // only 0: the host would be told
  zebhost::Wait(100);
  EXPECT_EQ(Ended(), 0);

  ASSERT_TRUE(SetWindowTextW(advert->Handle(), L"ZebAdvert"));
  g.SceneParameters(Params(L"DishCodes=\"9\"").c_str(), kMenu);
  zebhost::Wait(100);
  EXPECT_EQ(Ended(), 1);
}

TEST_F(GalleryCycle, PicturesJoinThePictureFolderAndFallBack) {
  struct Case {
    const wchar_t* codes;
    const wchar_t* root;
    const wchar_t* path;
  };
  const std::wstring fallback = L" ImageForMissing=\"" + PictureFolder() + L"fallback.png\"";
  const Case cases[] = {
      {L"3", L"", L"a.png"},                     // the first entry of a.png;other.png
      {L"20", L"", L""},                         // a file over 32 MB counts as missing
      {L"21", L"", L""},                         // so does a folder
      {L"22", L"", L""},
      {L"23", L"", L""},                         // and a device (the console)
      {L"20", fallback.c_str(), L"fallback.png"},
      {L"21", fallback.c_str(), L"fallback.png"},
      {L"22", fallback.c_str(), L"fallback.png"},
      {L"23", fallback.c_str(), L"fallback.png"},
      {L"7", fallback.c_str(), L"fallback.png"},  // no LargeImagePath: the folder itself is no file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(std::wstring(c.codes) + c.root));
    g.SceneParameters(Params((L"DishCodes=\"" + std::wstring(c.codes) + L"\"").c_str(), c.root).c_str(), kMenu);
    const auto events = g.RawEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(Gallery::Attribute(events[0], L"Path"), c.path);
  }
}

// ---- Failures --------------------------------------------------------------------------------------

class GalleryFailures : public GalleryTestBase {};

// Each bad input: one log line, the host told nothing, and this host process goes on.
TEST_F(GalleryFailures, BadInputsAreLoggedAndTheHostGoesOn) {
  Gallery m(L"Marquella");
  const std::wstring classificationMenu =
      LR"(<Menu><Dish Code="1"><Classifications><C Code="3"/><C Code="x"/></Classifications></Dish></Menu>)";
  struct Case {
    std::wstring parameters;
    std::wstring menu;
  };
  const Case cases[] = {
      {L"", kMenu},
      {L"<SceneParameters/>", kMenu},                                    // no Size
      {L"<SceneParameters><Size PosX=\"a\"/><parameters DishCodes=\"3\"/></SceneParameters>", kMenu},
      {Params(L"DishCodes=\",3\""), kMenu},                              // a leading comma
      {Params(L"DishCodes=\"3,,5\""), kMenu},                            // two commas
      {Params(L"DishCodes=\"3 ,5\""), kMenu},                            // a blank before a comma
      {Params(L"DishCodes=\"three\""), kMenu},
      {Params(L"DishCodes=\"3\""), L""},                                 // a menu without root
      {Params(L"DishCodes=\"3\""), classificationMenu},                  // a classification Code
  };
  const size_t before = LogTexts(L"Marquella").size();
  for (const Case& c : cases) m.SceneParameters(c.parameters.c_str(), c.menu.c_str());
  zebhost::Wait(50);
  EXPECT_EQ(Ended(), 0);
  const auto texts = LogTexts(L"Marquella");
  EXPECT_EQ(std::vector<std::wstring>(texts.begin() + std::min(before, texts.size()), texts.end()),
            std::vector<std::wstring>(std::size(cases), L"[ERROR] Marquella.dll: AV in SceneParameters"));
  EXPECT_NE(FindWindowW(nullptr, L"ZebAnimatedScene"), nullptr);
}

TEST_F(GalleryFailures, ADishThatFailsIsLoggedAndTheMovieStillMovesOn) {
  Gallery g(L"ZebProbeGallery");
  g.Trace();
  // The search for Borscht meets a Code that is not an integer.
  const wchar_t menu[] = LR"(<Menu>
    <Dish Code="11" Name="Apple pie"><Classifications><C Code="3"/></Classifications></Dish>
    <Dish Code="x"/>
    <Dish Code="12" Name="Borscht"><Classifications><C Code="5"/></Classifications></Dish>
    <Dish Code="13" Name="Bad price" Price="cheap"><Classifications><C Code="6"/></Classifications></Dish>
  </Menu>)";
  const size_t before = LogTexts(L"ZebProbeGallery").size();
  g.SceneParameters(Params(L"DishCodes=\"3,5\"").c_str(), menu);
  g.Raise(L"EndAnimation");
  g.Raise(L"EndAnimation");
  EXPECT_EQ(g.Trace(), (Trace{L"dish:APPLE PIE", L"next", L"dish:APPLE PIE", L"next"}));
  g.FailAt("callback");
  g.Raise(L"EndAnimation");
  g.FailAt(nullptr);
  EXPECT_EQ(g.Trace(), Trace{});
  const auto texts = LogTexts(L"ZebProbeGallery");
  EXPECT_EQ(std::vector<std::wstring>(texts.begin() + std::min(before, texts.size()), texts.end()),
            (std::vector<std::wstring>{L"[ERROR] ZebProbeGallery.dll: AV in SetCurrentDish",
                                       L"[ERROR] ZebProbeGallery.dll: AV in callback"}));
  EXPECT_EQ(Ended(), 0);
}

TEST_F(GalleryFailures, ADestroyThatFailedRunsAgainFromWhereItStopped) {
  Gallery g(L"ZebProbeGallery");
  const size_t before = LogTexts(L"ZebProbeGallery").size();
  for (int step = 1; step <= 4; ++step) {
    SCOPED_TRACE(step);
    g.SceneParameters(Params(L"DishCodes=\"3,5\"").c_str(), kMenu);
    g.SceneAnimationsStart(1);
    HWND w = FindWindowW(nullptr, L"ZebAnimatedScene");
    ASSERT_NE(w, nullptr);
    const std::string at = "SceneDestroy." + std::to_string(step);
    g.FailAt(at.c_str());
    g.SceneDestroy();
    g.FailAt(nullptr);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_FALSE(IsWindowVisible(w) && step > 1) << "closed before the failure";
    g.SceneDestroy();
    EXPECT_FALSE(IsWindow(w));
    zebhost::Wait(50);  // nothing of the freed player runs on
  }
  const auto texts = LogTexts(L"ZebProbeGallery");
  EXPECT_EQ(std::vector<std::wstring>(texts.begin() + std::min(before, texts.size()), texts.end()),
            std::vector<std::wstring>(4, L"[ERROR] ZebProbeGallery.dll: AV in SceneDestroy"));
}

// ---- Marquella with its own movie --------------------------------------------------------------------

class GalleryMovieScene : public GalleryTestBase {};

// The colour at the middle of the picture box of a screenshot: 'r', 'g', 'b' when one channel clearly
// leads, '-' otherwise.
char PictureColour(Gallery& m) {
  ZebSceneBitmap* shot = m.Screenshot();
  if (!shot) return '?';
  char c = '-';
  const DWORD* p = shot->functions->Pixels(shot);
  if (p && shot->functions->Width(shot) == 690) {
    const DWORD px = p[374 * 690 + 345];
    const int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
    if (r > 200 && g < 60 && b < 60) c = 'r';
    if (g > 200 && r < 60 && b < 60) c = 'g';
    if (b > 200 && r < 60 && g < 60) c = 'b';
  }
  shot->functions->Free(shot);
  return c;
}

void SaveShot(Gallery& m, const std::wstring& path) {
  ZebSceneBitmap* shot = m.Screenshot();
  ASSERT_NE(shot, nullptr);
  const int w = shot->functions->Width(shot), h = shot->functions->Height(shot);
  ui::Bitmap b(w, h);
  std::copy(shot->functions->Pixels(shot), shot->functions->Pixels(shot) + static_cast<size_t>(w) * h, b.Bits());
  shot->functions->Free(shot);
  b.SavePng(path);
}

TEST_F(GalleryMovieScene, AtEverySizeTheWholeStageShowsScaledAndCentredOverTheStretchedBackground) {
  Gallery m(L"Marquella");
  const size_t logged = LogTexts(L"Marquella").size();
  const wchar_t menu[] = LR"(<Menu>
    <Dish Code="1" Name="Red" LargeImagePath="a.png" Price="100"><Classifications><C Code="4"/></Classifications></Dish>
  </Menu>)";
  scenetest::ExpectTheWholeStageAtEverySize(
      m,
      [&](int left, int top, int width, int height) {
        m.SceneParameters(Params(L"DishCodes=\"4\"", L" ShowText=\"Today\" CurrencyText=\"rub.\"",
                                 scenetest::SizeElement(left, top, width, height))
                              .c_str(),
                          menu);
      },
      scenetest::StageMovie{.picture = 0xFFFF0000u});
  EXPECT_EQ(LogTexts(L"Marquella").size(), logged);
}

TEST_F(GalleryMovieScene, TheMoviesOwnEndsDriveACycleOfThreeDishes) {
  Gallery m(L"Marquella");
  const wchar_t menu[] = LR"(<Menu>
    <Dish Code="1" Name="Red" LargeImagePath="a.png" Price="100"><Classifications><C Code="4"/></Classifications></Dish>
    <Dish Code="2" Name="Green" LargeImagePath="b.png" Price="200"><Classifications><C Code="4"/></Classifications></Dish>
    <Dish Code="3" Name="Blue" LargeImagePath="c.png" Price="300"><Classifications><C Code="4"/></Classifications></Dish>
  </Menu>)";
  const size_t logged = LogTexts(L"Marquella").size();
  m.SceneParameters(Params(L"DishCodes=\"4\"", L" ShowText=\"Today\" CurrencyText=\"rub.\"").c_str(), menu);
  // A stop right after the start hides the scene and its movie starts again from the first dish.
  m.SceneAnimationsStart(1);
  zebhost::Wait(100);
  m.SceneAnimationsStop();
  HWND w = FindWindowW(nullptr, L"ZebAnimatedScene");
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(IsWindowVisible(w));
  m.SceneAnimationsStart(1);

  std::string seen;
  const DWORD start = GetTickCount();
  while (seen.size() < 4 && GetTickCount() - start < 20000) {
    // A look every quarter of a second: each dish stays about four seconds, and a host that took
    // pictures all the time would slow the movie's clock.
    zebhost::Wait(250);
    const char c = PictureColour(m);
    if (c != '-' && (seen.empty() || seen.back() != c)) {
      seen += c;
      SaveShot(m, TestFolder() + L"gallery-" + std::to_wstring(seen.size()) + L".png");
    }
  }
  const DWORD elapsed = GetTickCount() - start;
  std::printf("three dishes and the first again on screen %lu ms after the start\n", elapsed);
  EXPECT_EQ(seen, "rgbr") << "after " << elapsed << " ms";
  EXPECT_LT(elapsed, 20000u);
  EXPECT_EQ(Ended(), 0) << "the gallery cycles without end";
  m.SceneAnimationsStop();
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(LogTexts(L"Marquella").size(), logged);
  EXPECT_EQ(FindWindowW(nullptr, L"ZebAdvert"), advert->Handle());
}

}  // namespace
