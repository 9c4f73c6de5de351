// One scene library driven through its exports, as a host drives it: the library named by the
// environment variable ZEB_SCENE_LIBRARY (one test process per library), loaded from the build's
// bin folder; the probe builds (ZebProbeFirst, ZebProbeSecond: the frame with a fail point export)
// from this test's folder. The host thread pumps messages between calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "HostLib.h"
#include "ReloadCycle.h"
#include "SceneWindows.h"
#include "TestFiles.h"
#include "scenes/ZebScene.h"
#include "ui/Bitmap.h"
#include "win/WinPaths.h"

namespace {

const wchar_t kDefaultText[] =
    L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<SceneParameters>\r\n"
    L"\t<Size PosX=\"0\" PosY=\"0\" Width=\"690\" Height=\"758\"/>\r\n"
    L"\t<parameters DishCode=\"0\" ShowText=\"\u0421\u042B\u0420\u041D\u041E\u0415 "
    L"\u041E\u0411\u041E\u0421\u0422\u0420\u0415\u041D\u0418\u0415!\" "
    L"CurrencyText=\"\u0420\u0423\u0411.\" PlateText=\"\u0412\u0421\u0415\u0413\u041E \u0417\u0410\"/>\r\n"
    L"</SceneParameters>";

std::wstring Env(const wchar_t* name) {
  wchar_t buf[512];
  DWORD n = GetEnvironmentVariableW(name, buf, 512);
  return n > 0 && n < 512 ? std::wstring(buf, n) : std::wstring();
}

std::wstring TestFolder() { return ExecutableFolder() + L"\\"; }
std::wstring LibraryPath(const std::wstring& module) {
  if (module.rfind(L"ZebProbe", 0) == 0) return TestFolder() + module + L".dll";
  return TestFolder() + L"..\\..\\bin\\" + module + L".dll";
}
std::wstring LogFolder() { return TestFolder() + L"scene-logs\\"; }
std::wstring LogPath(const std::wstring& module) { return LogFolder() + module + L".01.log"; }

// The library's exports by ordinal, the way the host calls them.
struct Scene : zebhost::SceneExports {
  explicit Scene(const std::wstring& module) : name(module) {
    handle = LoadLibraryW(LibraryPath(module).c_str());
    if (!handle) return;
    auto at = [&](auto& fn, const char* ordinalOrName) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
          reinterpret_cast<void*>(GetProcAddress(handle, ordinalOrName)));
    };
    at(SceneScreenshot, MAKEINTRESOURCEA(1));
    at(SceneAnimationsStop, MAKEINTRESOURCEA(2));
    at(SceneAnimationsStart, MAKEINTRESOURCEA(3));
    at(SceneDestroy, MAKEINTRESOURCEA(4));
    at(SceneDefaultParameters, MAKEINTRESOURCEA(5));
    at(SceneParameters, MAKEINTRESOURCEA(6));
    at(SceneCreate, MAKEINTRESOURCEA(7));
    at(FailAt, "ProbeFailAt");
  }
  ~Scene() { Unload(); }
  void Unload() {
    if (handle) FreeLibrary(handle);
    handle = nullptr;
  }
  bool Loaded() const {
    return handle && SceneScreenshot && SceneAnimationsStop && SceneAnimationsStart && SceneDestroy &&
           SceneDefaultParameters && SceneParameters && SceneCreate;
  }

  std::wstring name;
  HMODULE handle = nullptr;
  void(__stdcall* FailAt)(const char*) = nullptr;
};

struct Shot {
  int width = -1, height = -1;
  std::vector<uint32_t> pixels;
};
// Takes a screenshot object and frees it through its own function table.
Shot Take(Scene& s) {
  Shot r;
  ZebSceneBitmap* b = s.SceneScreenshot();
  if (!b) return r;
  r.width = b->functions->Width(b);
  r.height = b->functions->Height(b);
  const DWORD* p = b->functions->Pixels(b);
  if (p) r.pixels.assign(p, p + static_cast<size_t>(r.width) * r.height);
  b->functions->Free(b);
  return r;
}

// The background picture as the library carries it, decoded as the library decodes it.
ui::Bitmap Background(HMODULE module) {
  HRSRC r = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(10));
  HGLOBAL g = LoadResource(module, r);
  return ui::Bitmap::FromMemory(LockResource(g), SizeofResource(module, r));
}


HWND OnlySceneWindow() {
  auto w = SceneWindows();
  return w.size() == 1 ? w[0] : nullptr;
}

RECT WindowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

std::vector<std::wstring> LogTexts(const std::wstring& module) {
  std::vector<std::wstring> texts;
  for (const auto& line : zebhost::ReadLogLines(LogPath(module)))
    if (auto parsed = zebhost::ParseLogLine(line)) texts.push_back(parsed->text);
  return texts;
}

class SceneLibraryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CreateDirectoryW(LogFolder().c_str(), nullptr);
    zebhost::WriteUtf8File(TestFolder() + L"Zebrane.ini",
                           L"[LOGFILE]\r\nLog=1\r\nLogDir=" + LogFolder() + L"\r\n");
  }
  void SetUp() override {
    module = Env(L"ZEB_SCENE_LIBRARY");
    if (module.empty()) GTEST_SKIP() << "ZEB_SCENE_LIBRARY names no library";
    for (const auto& f : ListFolder(LogFolder()))
      if (f.rfind(module + L".", 0) == 0) DeleteFileW((LogFolder() + f).c_str());
  }
  std::wstring module;
  zebhost::AdvertWindow advert{L"SceneTestAdvert"};
};

TEST_F(SceneLibraryTest, ExportsByOrdinalAreTheNamedOnes) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded()) << Narrow(LibraryPath(module));
  const char* names[] = {"SceneScreenshot", "SceneAnimationsStop", "SceneAnimationsStart", "SceneDestroy",
                         "SceneDefaultParameters", "SceneParameters", "SceneCreate"};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(s.handle, names[i])),
              reinterpret_cast<void*>(GetProcAddress(s.handle, MAKEINTRESOURCEA(i + 1))))
        << names[i];
}

TEST_F(SceneLibraryTest, WithoutASceneNothingHappensAndNothingIsLogged) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  s.SceneAnimationsStart(0);
  s.SceneAnimationsStart(1);
  s.SceneAnimationsStop();
  s.SceneDestroy();
  zebhost::Wait(50);
  Shot shot = Take(s);
  EXPECT_EQ(shot.width, 0);
  EXPECT_EQ(shot.height, 0);
  EXPECT_TRUE(shot.pixels.empty());
  EXPECT_TRUE(SceneWindows().empty());
  EXPECT_FALSE(Exists(LogPath(module)));
}

TEST_F(SceneLibraryTest, DefaultParametersAreTheFiveLinesOnEveryCallWithOrWithoutAScene) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  const wchar_t* first = s.SceneDefaultParameters();
  EXPECT_EQ(std::wstring(first), kDefaultText);
  s.SceneCreate();
  EXPECT_EQ(std::wstring(s.SceneDefaultParameters()), kDefaultText);
  s.SceneDestroy();
  EXPECT_EQ(std::wstring(first), kDefaultText) << "the text stays valid";
  EXPECT_TRUE(SceneWindows().empty());

  // Every other library returns the same text.
  for (const wchar_t* other : {L"Sucrelle", L"Cinevra", L"Braisette", L"Libavo", L"Platero", L"Marquella"}) {
    Scene o(other);
    ASSERT_TRUE(o.Loaded()) << Narrow(std::wstring(other));
    EXPECT_EQ(std::wstring(o.SceneDefaultParameters()), kDefaultText) << Narrow(std::wstring(other));
  }
}

TEST_F(SceneLibraryTest, SceneWindowIsAHiddenToolWindowWithoutOwnerAndSecondCreateChangesNothing) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  s.SceneCreate();
  zebhost::Wait(50);
  HWND w = OnlySceneWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
  const LONG style = GetWindowLongW(w, GWL_STYLE), ex = GetWindowLongW(w, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(ex & WS_EX_APPWINDOW);
  RECT r = WindowRect(w);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, 690);
  EXPECT_EQ(r.bottom - r.top, 758);

  SetWindowPos(w, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  s.SceneCreate();
  EXPECT_EQ(OnlySceneWindow(), w);
  r = WindowRect(w);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 30);
  EXPECT_FALSE(IsWindowVisible(w));
  s.SceneDestroy();
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(Exists(LogPath(module)));
}

TEST_F(SceneLibraryTest, StartAndStopShowAndHideTopMostAndScreenshotsShowTheBackground) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  const ui::Bitmap background = Background(s.handle);
  ASSERT_EQ(background.Width(), 690);
  ASSERT_EQ(background.Height(), 758);
  const std::vector<uint32_t> expected(background.Bits(), background.Bits() + 690 * 758);
  s.SceneCreate();
  HWND w = OnlySceneWindow();
  ASSERT_NE(w, nullptr);

  Shot hidden = Take(s);
  EXPECT_EQ(hidden.width, 690);
  EXPECT_EQ(hidden.height, 758);
  EXPECT_TRUE(hidden.pixels == expected) << "a hidden scene's picture is its background";

  for (BOOL flag : {FALSE, TRUE}) {
    SCOPED_TRACE(flag);
    s.SceneAnimationsStart(flag);
    // Before its first frame has passed the movie draws nothing (an inert player never does): the
    // window shows its background.
    Shot shown = Take(s);
    EXPECT_EQ(shown.width, 690);
    EXPECT_EQ(shown.height, 758);
    EXPECT_TRUE(shown.pixels == expected);
    zebhost::Wait(50);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT r = WindowRect(w);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right - r.left, 690);
    s.SceneAnimationsStop();
    zebhost::Wait(20);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
  }
  s.SceneDestroy();
  EXPECT_TRUE(SceneWindows().empty());
  EXPECT_FALSE(Exists(LogPath(module)));
}

// The test host writes a picture object as PNG: the file decodes to the object's size and pixels.
TEST_F(SceneLibraryTest, HostSavesThePictureObjectAsPng) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  TempDir dir;
  ZebSceneBitmap* none = s.SceneScreenshot();
  ASSERT_NE(none, nullptr);
  EXPECT_THROW(zebhost::SaveScenePicture(*none, dir / L"none.png"), std::exception) << "a 0 x 0 picture";
  none->functions->Free(none);
  EXPECT_FALSE(Exists(dir / L"none.png"));

  s.SceneCreate();
  ZebSceneBitmap* picture = s.SceneScreenshot();
  ASSERT_NE(picture, nullptr);
  zebhost::SaveScenePicture(*picture, dir / L"scene.png");
  const int width = picture->functions->Width(picture), height = picture->functions->Height(picture);
  const DWORD* pixels = picture->functions->Pixels(picture);
  const std::vector<uint32_t> expected(pixels, pixels + static_cast<size_t>(width) * height);
  picture->functions->Free(picture);
  const ui::Bitmap saved = ui::Bitmap::FromFile(dir / L"scene.png");
  EXPECT_EQ(saved.Width(), 690);
  EXPECT_EQ(saved.Height(), 758);
  ASSERT_EQ(saved.Width(), width);
  ASSERT_EQ(saved.Height(), height);
  // Opaque pixels come back exactly; the colours of a translucent one are kept in the file without
  // alpha's factor and may come back one step off.
  int alphaOff = 0, worst = 0;
  size_t opaqueOff = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    const uint32_t a = expected[i], b = saved.Bits()[i];
    if ((a >> 24) != (b >> 24)) ++alphaOff;
    if ((a >> 24) == 0xFF && a != b) ++opaqueOff;
    for (int shift = 0; shift < 24; shift += 8)
      worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  }
  EXPECT_EQ(alphaOff, 0);
  EXPECT_EQ(opaqueOff, 0u);
  EXPECT_LE(worst, 1);
  s.SceneDestroy();
}

TEST_F(SceneLibraryTest, DestroyThenCreateGivesAFreshHiddenWindowAtTheOrigin) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  s.SceneCreate();
  HWND first = OnlySceneWindow();
  ASSERT_NE(first, nullptr);
  s.SceneAnimationsStart(1);
  SetWindowPos(first, nullptr, 100, 100, 200, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  wchar_t className[256] = {};
  GetClassNameW(first, className, 256);
  s.SceneDestroy();
  zebhost::Wait(20);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(SceneWindows().empty());
  WNDCLASSEXW info{};
  info.cbSize = sizeof(info);
  EXPECT_FALSE(GetClassInfoExW(s.handle, className, &info)) << "the class goes with the last scene";
  EXPECT_EQ(Take(s).width, 0);

  s.SceneCreate();
  HWND second = OnlySceneWindow();
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(IsWindowVisible(second));
  RECT r = WindowRect(second);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, 690);
  EXPECT_EQ(r.bottom - r.top, 758);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(second, region), ERROR) << "no window region";
  DeleteObject(region);
  EXPECT_EQ(Take(s).width, 690);
  s.SceneDestroy();
}

TEST_F(SceneLibraryTest, SceneParametersParseBothTextsAndCreateTheScene) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  s.SceneParameters(L"<SceneParameters", L"<Menu/>");  // does not parse: nothing, no log line
  s.SceneParameters(kDefaultText, L"<Menu");
  EXPECT_TRUE(SceneWindows().empty());
  s.SceneParameters(s.SceneDefaultParameters(), L"<Menu/>");
  HWND w = OnlySceneWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(IsWindowVisible(w));
  s.SceneParameters(s.SceneDefaultParameters(), L"<Menu/>");
  EXPECT_EQ(OnlySceneWindow(), w);
  s.SceneDestroy();
  EXPECT_FALSE(Exists(LogPath(module)));
}

TEST_F(SceneLibraryTest, TwoLibrariesInOneHostEachWithItsScene) {
  const std::wstring partner = module == L"Sucrelle" ? L"Cinevra" : L"Sucrelle";
  Scene a(module), b(partner);
  ASSERT_TRUE(a.Loaded());
  ASSERT_TRUE(b.Loaded());
  a.SceneCreate();
  b.SceneCreate();
  auto windows = SceneWindows();
  ASSERT_EQ(windows.size(), 2u);
  a.SceneAnimationsStart(1);
  zebhost::Wait(20);
  int shown = IsWindowVisible(windows[0]) + IsWindowVisible(windows[1]);
  EXPECT_EQ(shown, 1) << "only the first library's scene is shown";
  EXPECT_EQ(Take(a).pixels.size(), 690u * 758u);
  EXPECT_TRUE(Take(a).pixels != Take(b).pixels || module == L"Platero" || partner == L"Platero");
  a.SceneDestroy();
  EXPECT_EQ(SceneWindows().size(), 1u);
  a.Unload();
  b.SceneAnimationsStop();
  zebhost::Wait(20);
  b.SceneDestroy();
  EXPECT_TRUE(SceneWindows().empty());
}

TEST_F(SceneLibraryTest, UnloadingALiveSceneLeavesNoWindowBehind) {
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  s.SceneCreate();
  s.SceneAnimationsStart(0);
  HWND w = OnlySceneWindow();
  ASSERT_NE(w, nullptr);
  s.Unload();
  EXPECT_FALSE(IsWindow(w));
  zebhost::Wait(100);  // nothing posted or timed may reach the unloaded code
  Scene again(module);
  ASSERT_TRUE(again.Loaded());
  again.SceneCreate();
  EXPECT_NE(OnlySceneWindow(), nullptr);
  again.SceneDestroy();
}

// A host that loads the library for each show: what one load takes (the C++ runtime's pool for
// exceptions, 72 KB on x86-64 and 18 KB on x86, the thread layer's TLS slot for the host's thread,
// and everything the scene makes) is given back at unload. Memory is measured as committed private
// pages, which do not depend on what happens to be resident; the first rounds fill what the process
// keeps once (GDI+, the heap's own growth).
TEST_F(SceneLibraryTest, LoadingAndUnloadingAgainAndAgainKeepsNothing) {
  TempDir pictures;
  reload::WriteDishPicture(pictures.Path());
  const std::wstring path = LibraryPath(module);
  for (int round = 0; round < 5; ++round) ASSERT_TRUE(reload::Cycle(path, pictures.Path(), false));
  constexpr int kRounds = 40;
  const reload::Footprint before = reload::MeasureFootprint();
  for (int round = 0; round < kRounds; ++round) ASSERT_TRUE(reload::Cycle(path, pictures.Path(), false));
  const reload::Footprint after = reload::MeasureFootprint();
  EXPECT_EQ(GetModuleHandleW((module + L".dll").c_str()), nullptr);
  EXPECT_LT(static_cast<double>(after.committedPrivate) - static_cast<double>(before.committedPrivate),
            kRounds * 8.0 * 1024)
      << "committed private bytes before " << before.committedPrivate << ", after " << after.committedPrivate;
  EXPECT_LT(after.freeTlsSlot, before.freeTlsSlot + 5) << "TLS slots kept by the unloaded library";
}

TEST_F(SceneLibraryTest, StackIsBalancedAfterEveryExport) {
#if defined(__i386__)
  Scene s(module);
  ASSERT_TRUE(s.Loaded());
  auto espAround = [](auto call) {
    uintptr_t before, after;
    __asm__ volatile("mov %%esp, %0" : "=r"(before));
    call();
    __asm__ volatile("mov %%esp, %0" : "=r"(after));
    return before - after;
  };
  EXPECT_EQ(espAround([&] { s.SceneCreate(); }), 0u);
  EXPECT_EQ(espAround([&] { s.SceneAnimationsStart(1); }), 0u);
  EXPECT_EQ(espAround([&] { s.SceneParameters(kDefaultText, L"<Menu/>"); }), 0u);
  EXPECT_EQ(espAround([&] { ZebSceneBitmap* b = s.SceneScreenshot(); b->functions->Free(b); }), 0u);
  EXPECT_EQ(espAround([&] { s.SceneDefaultParameters(); }), 0u);
  EXPECT_EQ(espAround([&] { s.SceneAnimationsStop(); }), 0u);
  EXPECT_EQ(espAround([&] { s.SceneDestroy(); }), 0u);
#else
  GTEST_SKIP() << "one calling convention on x86-64: the stack is checked in the 32-bit build";
#endif
}

// ---- Failures, through the probe builds of the frame -------------------------------------------------

// The log lines written since `before` lines.
std::vector<std::wstring> LogTextsAfter(const std::wstring& module, size_t before) {
  auto texts = LogTexts(module);
  return texts.size() > before ? std::vector<std::wstring>(texts.begin() + before, texts.end())
                               : std::vector<std::wstring>();
}

// The logs outlive each library's load (the log folder is the suite's), so these tests count the lines
// they add.
class SceneFailureTest : public SceneLibraryTest {
 protected:
  void SetUp() override {}
};

TEST_F(SceneFailureTest, SceneParametersThatFailWhileApplyingAreLoggedAndTheHostGoesOn) {
  const size_t before = LogTexts(L"ZebProbeFirst").size();
  Scene s(L"ZebProbeFirst");
  ASSERT_TRUE(s.Loaded());
  s.FailAt("SceneParameters");
  s.SceneParameters(s.SceneDefaultParameters(), L"<Menu/>");
  s.FailAt(nullptr);
  EXPECT_NE(OnlySceneWindow(), nullptr) << "the scene was made before the failure";
  EXPECT_EQ(LogTextsAfter(L"ZebProbeFirst", before),
            (std::vector<std::wstring>{L"[ERROR] ZebProbeFirst.dll: AV in SceneParameters"}));
  s.SceneDestroy();
}

TEST_F(SceneFailureTest, EachGuardedExportLogsItsLineWithTheModuleName) {
  for (const wchar_t* probe : {L"ZebProbeFirst", L"ZebProbeSecond"}) {
    const std::wstring m = probe;
    SCOPED_TRACE(Narrow(m));
    const size_t before = LogTexts(m).size();
    Scene s(m);
    ASSERT_TRUE(s.Loaded());
    ASSERT_NE(s.FailAt, nullptr);
    s.FailAt("FormCreate");
    s.SceneCreate();
    EXPECT_EQ(Take(s).width, 0) << "a failed creation leaves no scene";
    // A failure after the form is made keeps the scene (without its title yet).
    s.FailAt("SceneCreate");
    s.SceneCreate();
    EXPECT_EQ(Take(s).width, 690);
    s.FailAt("SceneAnimationsStart");
    s.SceneAnimationsStart(1);
    s.FailAt("SceneAnimationsStop");
    s.SceneAnimationsStop();
    s.FailAt("SceneDestroy.1");
    s.SceneDestroy();
    EXPECT_EQ(Take(s).width, 690);
    s.FailAt(nullptr);
    s.SceneDestroy();
    EXPECT_EQ(Take(s).width, 0);
    const std::wstring p = m + L".dll: AV in ";
    EXPECT_EQ(LogTextsAfter(m, before), (std::vector<std::wstring>{
                               L"[ERROR] " + p + L"SceneCreate", L"[ERROR] " + p + L"SceneCreate",
                               L"[ERROR] " + p + L"SceneAnimationsStart",
                               L"[ERROR] " + p + L"SceneAnimationsStop", L"[ERROR] " + p + L"SceneDestroy"}));
  }
}

TEST_F(SceneFailureTest, ADestroyThatFailedPartWayRunsAgainWithoutTouchingWhatItFreed) {
  // Every step of both orders, each failing once and the destroy called again. The file list's items
  // are freed by the fifth step of the first order and the eighth of the second.
  struct Order {
    const wchar_t* probe;
    int steps, itemsFreedBy;
  } orders[] = {{L"ZebProbeFirst", 9, 5}, {L"ZebProbeSecond", 12, 8}};
  for (const auto& [probe, steps, itemsFreedBy] : orders) {
    const std::wstring m = probe;
    const size_t before = LogTexts(m).size();
    Scene s(m);
    ASSERT_TRUE(s.Loaded());
    auto listedFiles = reinterpret_cast<int(__stdcall*)()>(
        reinterpret_cast<void*>(GetProcAddress(s.handle, "ProbeListedFiles")));
    ASSERT_NE(listedFiles, nullptr);
    for (int step = 1; step <= steps; ++step) {
      SCOPED_TRACE(Narrow(m) + " step " + std::to_string(step));
      s.SceneCreate();
      s.SceneAnimationsStart(1);
      HWND w = OnlySceneWindow();
      ASSERT_NE(w, nullptr);
      const std::string at = "SceneDestroy." + std::to_string(step);
      s.FailAt(at.c_str());
      s.SceneDestroy();
      EXPECT_TRUE(IsWindow(w));
      EXPECT_EQ(Take(s).width, step <= (steps == 9 ? 8 : 11) ? 690 : 0);
      EXPECT_EQ(listedFiles() > 0, step <= itemsFreedBy) << listedFiles() << " items";
      s.FailAt(nullptr);
      s.SceneDestroy();
      EXPECT_TRUE(SceneWindows().empty());
      EXPECT_EQ(Take(s).width, 0);
    }
    EXPECT_EQ(LogTextsAfter(m, before),
              std::vector<std::wstring>(steps, L"[ERROR] " + m + L".dll: AV in SceneDestroy"));
  }
}

// FreeLibrary takes a library out of the process also after failures inside it (an exception caught
// without a line, for a text that does not parse; a logged failure), and the library loaded again
// logs again.
TEST_F(SceneFailureTest, AnUnloadedLibraryGoesAfterItsFailuresAndLogsAgainWhenReloaded) {
  const std::wstring m = L"ZebProbeSecond";
  {
    Scene s(m);
    ASSERT_TRUE(s.Loaded());
    s.SceneParameters(L"<SceneParameters", L"<Menu/>");
  }
  EXPECT_EQ(GetModuleHandleW((m + L".dll").c_str()), nullptr) << "after an exception";
  const size_t before = LogTexts(m).size();
  for (int round = 1; round <= 2; ++round) {
    Scene s(m);
    ASSERT_TRUE(s.Loaded());
    s.FailAt("SceneAnimationsStart");
    s.SceneCreate();
    s.SceneAnimationsStart(0);
    s.FailAt(nullptr);
    s.SceneDestroy();
    s.Unload();
    EXPECT_EQ(GetModuleHandleW((m + L".dll").c_str()), nullptr) << "after a logged failure";
    EXPECT_EQ(LogTextsAfter(m, before).size(), static_cast<size_t>(round));
  }
}

TEST_F(SceneFailureTest, MovieEndReachesTheHostAndACommandOfADestroyedSceneIsDropped) {
  Scene s(L"ZebProbeSecond");
  ASSERT_TRUE(s.Loaded());
  auto useMovie = reinterpret_cast<void(__stdcall*)()>(
      reinterpret_cast<void*>(GetProcAddress(s.handle, "ProbeUseEndingMovie")));
  ASSERT_NE(useMovie, nullptr);
  useMovie();
  const int start = advert.SceneEndedCount();

  // The movie's "stop" raises EndAnimation: delivered later, from the message loop.
  s.SceneCreate();
  s.SceneAnimationsStart(1);
  s.SceneAnimationsStop();
  EXPECT_EQ(advert.SceneEndedCount(), start);
  zebhost::Wait(100);
  EXPECT_EQ(advert.SceneEndedCount(), start + 1);

  // Queued, then the scene is destroyed before the loop runs: never delivered, not to a new scene
  // either.
  s.SceneAnimationsStart(1);
  s.SceneAnimationsStop();
  s.SceneDestroy();
  s.SceneCreate();
  zebhost::Wait(100);
  EXPECT_EQ(advert.SceneEndedCount(), start + 1);

  // A failing command handler logs its line and tells the host nothing.
  const size_t before = LogTexts(L"ZebProbeSecond").size();
  s.FailAt("callback");
  s.SceneAnimationsStart(1);
  s.SceneAnimationsStop();
  zebhost::Wait(100);
  s.FailAt(nullptr);
  EXPECT_EQ(advert.SceneEndedCount(), start + 1);
  EXPECT_EQ(LogTextsAfter(L"ZebProbeSecond", before),
            std::vector<std::wstring>{L"[ERROR] ZebProbeSecond.dll: AV in callback"});
  s.SceneDestroy();
}

// A host that breaks the rule and destroys the scene inside its WM_SCENE_ENDED handler: the library
// goes on only after it has seen that its scene is gone, logs nothing, and a new scene works as before.
// Both teardown orders.
TEST_F(SceneFailureTest, SceneDestroyedInsideTheHostsSceneEndedHandler) {
  for (const wchar_t* probe : {L"ZebProbeFirst", L"ZebProbeSecond"}) {
    const std::wstring m = probe;
    SCOPED_TRACE(Narrow(m));
    Scene s(m);
    ASSERT_TRUE(s.Loaded());
    auto useMovie = reinterpret_cast<void(__stdcall*)()>(
        reinterpret_cast<void*>(GetProcAddress(s.handle, "ProbeUseEndingMovie")));
    ASSERT_NE(useMovie, nullptr);
    useMovie();
    const size_t before = LogTexts(m).size();
    const int start = advert.SceneEndedCount();
    bool destroyedInside = false;
    advert.InsideHandler = [&] {
      s.SceneDestroy();
      destroyedInside = SceneWindows().empty();
    };
    s.SceneCreate();
    s.SceneAnimationsStart(1);
    s.SceneAnimationsStop();  // the movie's "stop" raises EndAnimation, delivered from the loop below
    zebhost::Wait(150);
    advert.InsideHandler = nullptr;
    EXPECT_EQ(advert.SceneEndedCount(), start + 1);
    EXPECT_TRUE(destroyedInside);
    EXPECT_TRUE(SceneWindows().empty());
    EXPECT_EQ(Take(s).width, 0);

    s.SceneCreate();
    HWND w = OnlySceneWindow();
    ASSERT_NE(w, nullptr);
    s.SceneAnimationsStart(0);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(Take(s).width, 690);
    s.SceneAnimationsStop();
    zebhost::Wait(150);
    EXPECT_EQ(advert.SceneEndedCount(), start + 2);
    s.SceneDestroy();
    EXPECT_TRUE(SceneWindows().empty());
    EXPECT_TRUE(LogTextsAfter(m, before).empty());
  }
}

}  // namespace
