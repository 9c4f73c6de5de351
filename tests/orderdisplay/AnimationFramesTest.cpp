// The header animation: which files of media\anim become frames and in what order, the failure that
// ends loading, the tick that copies one frame into the header image, and who switches the timer
// (creation, first paint, the host's hide and show, close) on a real display form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "core/Exception.h"
#include "orderdisplay/BackgroundWindow.h"
#include "orderdisplay/TwoLinesForm.h"
#include "ui/GdiPlus.h"
#include "ui/GdiPlusIncludes.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGrey = 0xFF808080;

ui::Bitmap Solid(int width, int height, uint32_t argb) {
  ui::Bitmap b(width, height);
  for (int i = 0; i < width * height; ++i) b.Bits()[i] = argb;
  return b;
}

// Writes a picture with the GDI+ encoder of the given type ("image/png", "image/jpeg", ...).
void SavePicture(const ui::Bitmap& picture, const std::wstring& path, const std::wstring& mime) {
  UINT count = 0, size = 0;
  ASSERT_EQ(Gdiplus::GetImageEncodersSize(&count, &size), Gdiplus::Ok);
  std::vector<unsigned char> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  ASSERT_EQ(Gdiplus::GetImageEncoders(count, size, codecs), Gdiplus::Ok);
  for (UINT i = 0; i < count; ++i) {
    if (mime == codecs[i].MimeType) {
      ASSERT_EQ(picture.Gdi()->Save(path.c_str(), &codecs[i].Clsid, nullptr), Gdiplus::Ok) << Narrow(path);
      return;
    }
  }
  FAIL() << "no encoder for " << Narrow(mime);
}

// Channels within a tolerance (JPEG is lossy).
bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d < -8 || d > 8) return false;
  }
  return true;
}

// Runs each test in a fresh temporary current folder with a fresh unit state.
class FrameFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    previous_ = previous;
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.Path().c_str()));
    ResetUnitForTests();
  }
  void TearDown() override {
    ResetUnitForTests();
    SetCurrentDirectoryW(previous_.c_str());
  }
  std::wstring MakeAnimFolder() {
    CreateDirectoryW((dir_ / L"media").c_str(), nullptr);
    const std::wstring anim = dir_ / L"media\\anim\\";
    CreateDirectoryW(anim.c_str(), nullptr);
    return anim;
  }
  std::vector<uint32_t> FrameColours() const {
    std::vector<uint32_t> out;
    for (const ui::Bitmap& b : Unit().AnimationFrames) out.push_back(b.Pixel(b.Width() / 2, b.Height() / 2));
    return out;
  }

  ui::GdiPlusSession gdiplus_;
  TempDir dir_;
  std::wstring previous_;
};

TEST_F(FrameFolder, TakesJpgBmpPngByExtensionInNameOrder) {
  const std::wstring anim = MakeAnimFolder();
  SavePicture(Solid(8, 6, kBlue), anim + L"c.bmp", L"image/bmp");
  SavePicture(Solid(8, 6, kRed), anim + L"a.PNG", L"image/png");
  SavePicture(Solid(8, 6, kGrey), anim + L"d.gif", L"image/gif");
  SavePicture(Solid(8, 6, kGreen), anim + L"B.jpg", L"image/jpeg");
  SavePicture(Solid(8, 6, kGrey), anim + L"e.jpeg", L"image/jpeg");
  SavePicture(Solid(8, 6, kGrey), anim + L"png", L"image/png");  // no dot, no extension
  LoadAnimationFrames();
  const std::vector<uint32_t> colours = FrameColours();
  ASSERT_EQ(colours.size(), 3u);
  EXPECT_TRUE(Near(colours[0], kRed));
  EXPECT_TRUE(Near(colours[1], kGreen)) << std::hex << colours[1];
  EXPECT_TRUE(Near(colours[2], kBlue));
  EXPECT_EQ(Unit().AnimationFrames[0].Width(), 8);
  EXPECT_EQ(Unit().AnimationFrames[0].Height(), 6);
}

TEST_F(FrameFolder, SortIgnoresCaseAndComparesDigitsAsCharacters) {
  const std::wstring anim = MakeAnimFolder();
  // Name and the colour its frame must have, in the expected order.
  const std::vector<std::pair<std::wstring, uint32_t>> expected = {
      {L"Frame1.png", 0xFF000010}, {L"frame10.png", 0xFF000020}, {L"FRAME11.BMP", 0xFF000030},
      {L"frame2.Png", 0xFF000040}, {L"frame20.png", 0xFF000050}, {L"z.png", 0xFF000060}};
  for (auto it = expected.rbegin(); it != expected.rend(); ++it)
    SavePicture(Solid(2, 2, it->second), anim + it->first, L"image/png");
  LoadAnimationFrames();
  std::vector<uint32_t> want;
  for (const auto& e : expected) want.push_back(e.second);
  EXPECT_EQ(FrameColours(), want);
}

TEST_F(FrameFolder, AFolderWithAPictureNameEndsLoadingThereWithTheError) {
  const std::wstring anim = MakeAnimFolder();
  SavePicture(Solid(2, 2, kRed), anim + L"a.png", L"image/png");
  SavePicture(Solid(2, 2, kGreen), anim + L"b.png", L"image/png");
  ASSERT_TRUE(CreateDirectoryW((anim + L"x.png").c_str(), nullptr));
  SavePicture(Solid(2, 2, kBlue), anim + L"y.png", L"image/png");
  EXPECT_THROW(LoadAnimationFrames(), Exception);
  EXPECT_EQ(FrameColours(), (std::vector<uint32_t>{kRed, kGreen}));
}

TEST_F(FrameFolder, NoFolderOrAnEmptyOneGivesNoFrames) {
  EXPECT_NO_THROW(LoadAnimationFrames());
  EXPECT_TRUE(Unit().AnimationFrames.empty());
  const std::wstring anim = MakeAnimFolder();
  WriteText(anim + L"notes.txt", "no pictures here");
  EXPECT_NO_THROW(LoadAnimationFrames());
  EXPECT_TRUE(Unit().AnimationFrames.empty());
}

// --- Ticks on a display form ----------------------------------------------------------------------

class FrameTicks : public FrameFolder {
 protected:
  void SetUp() override {
    FrameFolder::SetUp();
    Unit().Registration.RegHost = "none";  // the form's creation sends no datagram anywhere
  }
  void TearDown() override {
    CloseBackgroundWindow();
    FrameFolder::TearDown();
  }
  static uint32_t Shown(const TfmOrderlume& form) {
    const ui::Bitmap& b = form.HeaderAnimationImage->GetBitmap();
    return b.Empty() ? 0 : b.Pixel(b.Width() / 2, b.Height() / 2);
  }
  LRESULT Send(TfmOrderlume& form, UINT msg) {
    const LRESULT r = SendMessageW(form.Handle(), msg, 0, 0);
    app_.ProcessMessages();
    return r;
  }
  const uint32_t colours_[3] = {kRed, kGreen, kBlue};
  ui::Application app_;
};

TEST_F(FrameTicks, ThreeFramesShowInTurnAndTheHeaderDrawsThem) {
  for (uint32_t c : colours_) Unit().AnimationFrames.push_back(Solid(769, 217, c));
  TfmOrderlume form(app_, L"FrameTicksForm1");
  std::vector<uint32_t> shown;
  for (int i = 0; i < 5; ++i) {
    form.Timer.Fire();
    shown.push_back(Shown(form));
  }
  EXPECT_EQ(shown, (std::vector<uint32_t>{kRed, kGreen, kBlue, kRed, kGreen}));
  // The frame is stretched over the whole header, above its gradient.
  const ui::Bitmap look = form.RenderFrame();
  for (int x : {2, 384, 765})
    for (int y : {2, 108, 200}) EXPECT_EQ(look.Pixel(x, y), kGreen) << x << "," << y;

  // One frame: the same picture at every tick.
  Unit().AnimationFrames.resize(1);
  for (int i = 0; i < 3; ++i) {
    form.TimerTimer();
    EXPECT_EQ(Shown(form), kRed);
  }
  // After close the ticks do nothing and the image keeps the last frame.
  Unit().AnimationFrames.clear();
  form.TimerTimer();
  EXPECT_EQ(Shown(form), kRed);
}

TEST_F(FrameTicks, TimerRunsWhileShownAndHideShowResumesWhereItStopped) {
  const std::wstring anim = MakeAnimFolder();
  for (int i = 0; i < 3; ++i) SavePicture(Solid(769, 217, colours_[i]), anim + std::to_wstring(i) + L".png", L"image/png");
  TfmOrderlume form(app_, L"FrameTicksForm2");
  Unit().fmOrderlume = &form;
  form.Create();  // FormCreate loads the frames and enables the timer
  ASSERT_EQ(Unit().AnimationFrames.size(), 3u);
  EXPECT_TRUE(form.Timer.Enabled());
  ASSERT_NE(BackgroundWindow(), nullptr);
  form.Show();
  app_.ProcessMessages();  // the first paint
  EXPECT_TRUE(Unit().Started);
  EXPECT_TRUE(form.Timer.Enabled());

  // Real ticks may come with every message pump while the timer runs: each step is checked against
  // the frame index as it stands.
  auto fire = [&] {
    const size_t next = Unit().FrameIndex;
    form.Timer.Fire();
    EXPECT_EQ(Shown(form), colours_[next]);
    EXPECT_EQ(Unit().FrameIndex, (next + 1) % 3);
  };
  fire();
  fire();
  const uint32_t before = Shown(form);
  const size_t stoppedAt = Unit().FrameIndex;
  Send(form, WM_HIDE_DISPLAY);
  EXPECT_FALSE(form.Timer.Enabled());
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(Shown(form), before);  // the image keeps the last frame while hidden
  EXPECT_EQ(Unit().FrameIndex, stoppedAt);
  EXPECT_TRUE(IsWindowVisible(BackgroundWindow()->Handle()));  // the background stays on screen
  // Showing again resumes at the frame where the hide stopped it.
  SendMessageW(form.Handle(), WM_SHOW_DISPLAY, 0, 0);
  EXPECT_EQ(Unit().FrameIndex, stoppedAt);
  EXPECT_TRUE(form.Timer.Enabled());
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  fire();
  app_.ProcessMessages();

  // A real tick arrives from the message loop within a few intervals.
  const size_t waitingAt = Unit().FrameIndex;
  const DWORD start = GetTickCount();
  while (Unit().FrameIndex == waitingAt && GetTickCount() - start < 3000) {
    app_.ProcessMessages();
    Sleep(5);
  }
  EXPECT_EQ(Shown(form), colours_[waitingAt]);
  const uint32_t last = Shown(form);

  // Close frees the frames and closes the background window; the timer stays on, its ticks do nothing.
  HWND background = BackgroundWindow()->Handle();
  form.Close();
  EXPECT_TRUE(Unit().AnimationFrames.empty());
  EXPECT_EQ(BackgroundWindow(), nullptr);
  EXPECT_FALSE(IsWindow(background));
  EXPECT_TRUE(form.Timer.Enabled());
  form.Timer.Fire();
  EXPECT_EQ(Shown(form), last);
}

TEST_F(FrameTicks, NoFramesNoTimer) {
  TfmOrderlume form(app_, L"FrameTicksForm3");
  Unit().fmOrderlume = &form;
  form.Create();
  form.Show();
  app_.ProcessMessages();
  EXPECT_TRUE(Unit().Started);
  EXPECT_FALSE(form.Timer.Enabled());
  Send(form, WM_HIDE_DISPLAY);
  Send(form, WM_SHOW_DISPLAY);
  EXPECT_FALSE(form.Timer.Enabled());
  EXPECT_TRUE(form.HeaderAnimationImage->GetBitmap().Empty());
  form.Close();
}

TEST_F(FrameTicks, AFailingFrameLeavesTheRestOfTheSetUpUndoneButThePaintStartsTheTimer) {
  const std::wstring anim = MakeAnimFolder();
  SavePicture(Solid(4, 4, kRed), anim + L"a.png", L"image/png");
  ASSERT_TRUE(CreateDirectoryW((anim + L"b.png").c_str(), nullptr));
  SavePicture(Solid(4, 4, kBlue), anim + L"c.png", L"image/png");
  TfmOrderlume form(app_, L"FrameTicksForm4");
  Unit().fmOrderlume = &form;
  form.Create();
  EXPECT_EQ(Unit().AnimationFrames.size(), 1u);
  EXPECT_FALSE(form.Timer.Enabled());
  EXPECT_EQ(BackgroundWindow(), nullptr);  // opening it came after the failure
  EXPECT_EQ(Unit().PreviousWindowProc != nullptr, true);
  form.Show();
  app_.ProcessMessages();
  EXPECT_TRUE(form.Timer.Enabled());
  form.Close();
}

}  // namespace
