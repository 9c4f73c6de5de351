// The gallery movie as the gallery scene uses it: standing still until played, the dish read from
// MenuXML (parts left out when empty or a single blank, the picture fitted into 512 x 512 and never
// enlarged), about 125 frames on screen, a closing fade, "EndAnimation", "nextBanner" and "stop".
#include <gtest/gtest.h>

#include <algorithm>

#include "FlashTestSupport.h"
#include "TestFiles.h"
#include "flash/movies/GalleryMovie.h"

using namespace flash;

namespace {

struct GalleryMovieTest : FlashTest {
  const MovieRegistration gallery = RegisterGalleryMovie();
  TsfFlashPlayer player;
  std::vector<std::u16string> commands;
  GalleryMovieTest() {
    list.Flashs.Add().FlashStore = kGalleryMovieName;
    player.SetFlashList(&list);
    player.OnHandleFSCommand = [this](TsfFlashPlayer*, const std::u16string& c, const std::u16string&) {
      commands.push_back(c);
    };
    player.LoadMovie(0, u"gallery.swf");
  }
  GalleryMovie& Movie() { return dynamic_cast<GalleryMovie&>(*player.Movie()); }
  void AddPicture(const char16_t* name, int w, int h) {
    TsfFlashItem& item = list.Flashs.Add();
    item.FlashStore = name;
    item.Bytes = PngBytes(w, h, 0xFF20C040);
  }
  // Frames of the timeline, as the player's clock would run them.
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Movie().EnterFrame();
  }
  // Delivers the commands the movie raised, and nothing of the player's clock (which would run the
  // timeline on by itself).
  void Deliver() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_APP + 1, WM_APP + 1, PM_REMOVE)) DispatchMessageW(&msg);
  }
};

TEST_F(GalleryMovieTest, StandsStillOnItsFirstFrameUntilPlayed) {
  ASSERT_NE(player.Movie(), nullptr);
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_EQ(Movie().CurrentPhase(), GalleryMovie::Phase::FirstFrame);
  EXPECT_EQ(Movie().FrameRate(), 30u);
  EXPECT_EQ(Movie().StageWidth(), 690);
  EXPECT_EQ(Movie().StageHeight(), 758);
  const auto names = Movie().FunctionNames();
  for (const char16_t* f : {u"nextBanner", u"stop", u"deleteAnimation"})
    EXPECT_NE(std::find(names.begin(), names.end(), f), names.end()) << Narrow(std::u16string(f));
  // "stop" is there from the first frame on.
  player.CallFunction(Invoke(u"stop"));
  EXPECT_EQ(Movie().CurrentPhase(), GalleryMovie::Phase::FirstFrame);
  // "nextBanner" on the first frame waits for the play, which reads MenuXML itself.
  player.SetVariable(u"MenuXML", u"\r\n<Item Name=\"SOUP\"/>");
  player.CallFunction(Invoke(u"nextBanner"));
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_FALSE(Movie().Name().Visible());
}

TEST_F(GalleryMovieTest, ShowsTheDishPartsThatAreNotEmptyOrASingleBlank) {
  AddPicture(u"soup.png", 100, 60);
  struct Case {
    const char16_t* item;
    const wchar_t* caption;  // null: left out
    const wchar_t* name;
    const wchar_t* price;
    bool picture;
  };
  const Case cases[] = {
      {u"<Item Currency=\"РУБ.\" ShowText=\"HOT\" Name=\"SOUP\" Path=\"soup.png\" Price=\"521\"/>", L"HOT", L"SOUP",
       L"521 РУБ.", true},
      {u"<Item Currency=\" \" ShowText=\"\" Name=\" \" Path=\"\" Price=\"99\"/>", nullptr, nullptr, L"99", false},
      {u"<Item Currency=\"EUR\" ShowText=\"  \" Name=\"X\" Path=\"missing.png\" Price=\" \"/>", L"  ", L"X", L"EUR", false},
      {u"<Item/>", nullptr, nullptr, nullptr, false},
      {u"not XML", nullptr, nullptr, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(std::u16string(c.item)));
    player.SetVariable(u"MenuXML", std::u16string(u"\r\n") + c.item);
    player.Play();
    Frames(1);
    GalleryMovie& m = Movie();
    EXPECT_EQ(m.CurrentPhase(), GalleryMovie::Phase::Showing);
    auto check = [](const ui::Text& t, const wchar_t* text) {
      EXPECT_EQ(t.Visible(), text != nullptr);
      if (text) {
        EXPECT_EQ(t.GetText(), text);
      }
    };
    check(m.Caption(), c.caption);
    check(m.Name(), c.name);
    check(m.Price(), c.price);
    EXPECT_EQ(m.Picture().Visible(), c.picture);
    player.CallFunction(Invoke(u"stop"));
  }
}

TEST_F(GalleryMovieTest, PicturesAreFittedInto512NeverEnlarged) {
  struct Case {
    const char16_t* name;
    int w, h;
    float shownW, shownH;
  };
  const Case cases[] = {
      {u"small.png", 100, 60, 100, 60},
      {u"wide.png", 1024, 256, 512, 128},
      {u"tall.png", 300, 900, 171, 512},
      {u"exact.png", 512, 512, 512, 512},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(std::u16string(c.name)));
    AddPicture(c.name, c.w, c.h);
    player.SetVariable(u"MenuXML", u"<Item Path=\"" + std::u16string(c.name) + u"\"/>");
    player.Play();
    Frames(GalleryMovie::kEntryFrames + 1);
    const ui::Image& p = Movie().Picture();
    EXPECT_EQ(p.GetBitmap().Width(), static_cast<int>(c.shownW));
    EXPECT_EQ(p.GetBitmap().Height(), static_cast<int>(c.shownH));
    EXPECT_FLOAT_EQ(p.X() + p.Width() / 2, 345) << "centred";
    EXPECT_FLOAT_EQ(p.Y() + p.Height() / 2, 118 + 256);
    // On screen in full once the entry is over.
    const ui::Bitmap frame = player.GrabToBmp();
    EXPECT_TRUE(Near(frame.Pixel(345, 374), 0xFF20C040, 3));
    player.CallFunction(Invoke(u"stop"));
  }
}

TEST_F(GalleryMovieTest, ADishStaysAbout125FramesThenClosesAndRaisesEndAnimation) {
  player.SetVariable(u"MenuXML", u"<Item Name=\"A\"/>");
  player.Play();
  Frames(1);  // the dish's first frame
  Frames(GalleryMovie::kOnScreenFrames - 1);
  EXPECT_EQ(Movie().CurrentPhase(), GalleryMovie::Phase::Showing);
  EXPECT_FLOAT_EQ(Movie().Dish().Opacity(), 1);
  Frames(1);
  EXPECT_EQ(Movie().CurrentPhase(), GalleryMovie::Phase::Closing);
  Frames(GalleryMovie::kClosingFrames - 1);
  EXPECT_LT(Movie().Dish().Opacity(), 0.2f);
  Deliver();
  EXPECT_TRUE(commands.empty());
  Frames(1);
  EXPECT_EQ(Movie().CurrentPhase(), GalleryMovie::Phase::Ended);
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_FALSE(Movie().Name().Visible());
  Deliver();
  EXPECT_EQ(commands, std::vector<std::u16string>{u"EndAnimation"});

  // "nextBanner" reads MenuXML again and plays the new dish from its beginning.
  player.SetVariable(u"MenuXML", u"<Item Name=\"B\"/>");
  player.CallFunction(Invoke(u"nextBanner"));
  EXPECT_TRUE(player.IsPlaying());
  EXPECT_EQ(Movie().CurrentPhase(), GalleryMovie::Phase::Showing);
  EXPECT_EQ(Movie().Name().GetText(), L"B");
  // "deleteAnimation" drops it without going back to the first frame; "stop" goes back.
  player.CallFunction(Invoke(u"deleteAnimation"));
  EXPECT_EQ(Movie().CurrentPhase(), GalleryMovie::Phase::Ended);
  EXPECT_FALSE(player.IsPlaying());
  player.CallFunction(Invoke(u"stop"));
  EXPECT_EQ(Movie().CurrentPhase(), GalleryMovie::Phase::FirstFrame);
  Deliver();
  EXPECT_EQ(commands.size(), 1u);
  EXPECT_TRUE(failures.empty());
}

TEST_F(GalleryMovieTest, AtItsFrameRateADishTakesUnderFiveSeconds) {
  player.SetVariable(u"MenuXML", u"<Item Name=\"A\"/>");
  const DWORD start = GetTickCount();
  player.Play();
  ASSERT_TRUE(PumpUntil(app, [&] { return !commands.empty(); }, 15000));
  const DWORD ms = GetTickCount() - start;
  // 137 frames at 30 a second are 4.6 s; a loaded machine may run late, never early. A clock at half
  // the frame rate, or a timeline twice as long, would take over 9 s.
  EXPECT_GE(ms, 4300u);
  EXPECT_LT(ms, 8000u);
}

}  // namespace
