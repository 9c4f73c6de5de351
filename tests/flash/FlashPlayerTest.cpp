// The player against the recording movie: files served by name, variables and calls reaching the
// movie in order and unchanged, movie commands delivered only from the message loop, the timeline,
// pictures the movie keeps, and the inert player.
#include <gtest/gtest.h>

#include <memory>

#include "FlashTestSupport.h"
#include "TestFiles.h"

using namespace flash;

namespace {

std::string Show(std::u16string_view s) { return Narrow(s); }

TEST(FlashList, ServesFilesByBareNameAsThePlayerDoes) {
  TsfFlashList list;
  const std::pair<const char16_t*, const char*> items[] = {
      {u"check.swf", "movie"}, {u"Soup.jpg", "soup 1"},     {u"soup.jpg", "soup 2"}, {u"PHOTO.JPG", "photo"},
      {u"salad.png", "salad"}, {u"bread.gif", "bread"},     {u"Kasha.PNG", "kasha"}, {u"Борщ.jpg", "borscht"},
  };
  for (const auto& [name, bytes] : items) {
    TsfFlashItem& item = list.Flashs.Add();
    item.FlashStore = name;
    item.Bytes = bytes;
  }
  struct Case {
    const char16_t* request;
    const char* picture;  // null: not served
  };
  const Case cases[] = {
      {u"Soup.jpg", "soup 1"},
      {u"soup.jpg", "soup 1"},  // the first of two equal names, though the second is spelled the same
      {u"SOUP.jpg", "soup 1"},
      {u"PHOTO.JPG", nullptr},  // in the list, but ".JPG" is never served
      {u"salad.png", "salad"},
      {u"Kasha.PNG", nullptr},
      {u"bread.gif", nullptr},
      {u"check.swf", nullptr},
      {u"missing.jpg", nullptr},
      {u"Борщ.jpg", "borscht"},
      {u"БОРЩ.jpg", nullptr},  // only ASCII letters match without regard to case
      {u"", nullptr},
  };
  for (const Case& c : cases) {
    const TsfFlashItem* served = list.FindPicture(c.request);
    if (!c.picture) {
      EXPECT_EQ(served, nullptr) << Show(c.request);
    } else {
      ASSERT_NE(served, nullptr) << Show(c.request);
      EXPECT_EQ(served->Bytes, c.picture) << Show(c.request);
    }
  }
  ASSERT_NE(list.FindFile(u"CHECK.SWF"), nullptr);
  EXPECT_EQ(list.FindFile(u"CHECK.SWF")->Bytes, "movie");
  EXPECT_EQ(list.FindFile(u"PHOTO.jpg")->Bytes, "photo") << "files other than pictures match by name only";

  list.Flashs.Delete(1);
  EXPECT_EQ(list.FindPicture(u"Soup.jpg")->Bytes, "soup 2");
  EXPECT_EQ(list.Flashs.Count(), 7u);
  EXPECT_THROW(list.Flashs.Delete(7), Exception);
  EXPECT_THROW(list.Flashs[7], Exception);
}

TEST_F(FlashTest, VariablesAndCallsReachTheMovieInOrderAndUnchanged) {
  TsfFlashPlayer player;
  Load(player);
  ASSERT_NE(player.Movie(), nullptr);
  RecordingMovie& movie = Recorder(player);
  EXPECT_FALSE(player.IsPlaying()) << "the movie stops itself on its first frame";

  // Entities stay as written, a TAB and a lone LF stay, Cyrillic letters and an embedded NUL too.
  const std::u16string title = u"<Item Name=\"Наименование &amp; &quot;x&quot;\" Quantity=\"'\t\n\" />";
  const std::u16string nul(u"a\0b", 3);
  player.SetVariable(u"TitleXML", title);
  player.SetVariable(u"GalleryXML", nul);
  EXPECT_EQ(player.CallFunction(Invoke(u"updateTitle")), u"done updateTitle");
  player.SetVariable(u"TitleXML", u"second");
  EXPECT_EQ(player.CallFunction(u"<invoke name=\"other\" returntype=\"xml\"><arguments><string>x</string>"
                                u"</arguments></invoke>"),
            u"done other");
  const std::vector<std::u16string> expected = {u"set TitleXML=" + title, u"set GalleryXML=" + nul,
                                                u"call updateTitle", u"set TitleXML=second", u"call other"};
  EXPECT_EQ(movie.events, expected);
  EXPECT_EQ(movie.Variable(u"TitleXML"), u"second");
  EXPECT_EQ(movie.Variable(u"titlexml"), u"") << "variable names are case-sensitive";

  EXPECT_THROW(player.CallFunction(Invoke(u"UpdateTitle")), Exception) << "function names are case-sensitive";
  EXPECT_THROW(player.CallFunction(u"<invoke name=\"updateTitle\""), Exception);
  EXPECT_THROW(player.CallFunction(u"<call name=\"updateTitle\"/>"), Exception);
  EXPECT_EQ(movie.events.size(), expected.size()) << "a refused request runs nothing";
}

TEST_F(FlashTest, CommandsComeFromTheMessageLoopAllInOrder) {
  TsfFlashPlayer player;
  Load(player);
  std::vector<std::u16string> delivered;
  player.OnHandleFSCommand = [&](TsfFlashPlayer* sender, const std::u16string& command, const std::u16string& args) {
    EXPECT_EQ(sender, &player);
    delivered.push_back(command + u":" + args);
  };
  player.CallFunction(Invoke(u"emit"));
  player.CallFunction(Invoke(u"emit"));
  EXPECT_TRUE(delivered.empty()) << "nothing is delivered inside the calls";
  player.SetVariable(u"x", u"y");
  EXPECT_TRUE(delivered.empty());

  ASSERT_TRUE(PumpUntil(app, [&] { return delivered.size() >= 6; }));
  Pump(app, 100);
  const std::vector<std::u16string> expected = {u"a:1", u"b:2", u"a:3", u"a:1", u"b:2", u"a:3"};
  EXPECT_EQ(delivered, expected);
  EXPECT_TRUE(failures.empty());
}

TEST_F(FlashTest, CommandsOfADestroyedPlayerAreDropped) {
  int delivered = 0;
  {
    auto player = std::make_unique<TsfFlashPlayer>();
    Load(*player);
    player->OnHandleFSCommand = [&](TsfFlashPlayer*, const std::u16string&, const std::u16string&) { ++delivered; };
    player->CallFunction(Invoke(u"emit"));
  }
  Pump(app, 200);
  EXPECT_EQ(delivered, 0);
  EXPECT_TRUE(failures.empty());
}

TEST_F(FlashTest, PlaysAtItsFrameRateUntilStopped) {
  TsfFlashPlayer player;
  Load(player);
  RecordingMovie& movie = Recorder(player);
  Pump(app, 150);
  EXPECT_EQ(movie.frames, 0) << "stopped on its first frame";

  player.Play();
  EXPECT_TRUE(player.IsPlaying());
  ASSERT_TRUE(PumpUntil(app, [&] { return movie.frames >= 3; }));
  for (void (TsfFlashPlayer::*stop)() : {&TsfFlashPlayer::Stop, &TsfFlashPlayer::StopPlay}) {
    player.Play();
    (player.*stop)();
    EXPECT_FALSE(player.IsPlaying());
    const int frames = movie.frames;
    Pump(app, 200);
    EXPECT_EQ(movie.frames, frames);
  }
}

TEST_F(FlashTest, PicturesAreTheMoviesOwnCopies) {
  const uint32_t green = 0xFF00C000u;
  const std::string png = PngBytes(4, 4, green);
  const std::pair<const char16_t*, std::string> files[] = {
      {u"dish.png", png}, {u"Dish.PNG", png}, {u"bad.jpg", "not a picture"}, {u"empty.png", ""}};
  for (const auto& [name, bytes] : files) {
    TsfFlashItem& item = list.Flashs.Add();
    item.FlashStore = name;
    item.Bytes = bytes;
  }
  // Bytes held together with other items (the gallery's items of one picture file).
  TsfFlashItem& shared = list.Flashs.Add();
  shared.FlashStore = u"shared.png";
  shared.Shared = std::make_shared<const std::string>(png);
  TsfFlashPlayer player;
  Load(player);
  RecordingMovie& movie = Recorder(player);
  auto shown = [&](const char16_t* name) {
    player.SetVariable(u"Picture", name);
    player.CallFunction(Invoke(u"showPicture"));
    return !movie.picture->GetBitmap().Empty();
  };
  EXPECT_FALSE(shown(u"Dish.PNG"));
  EXPECT_FALSE(shown(u"bad.jpg")) << "a file that does not decode is no picture";
  EXPECT_FALSE(shown(u"empty.png"));
  EXPECT_FALSE(shown(u""));
  EXPECT_TRUE(shown(u"shared.png")) << "a picture whose bytes other items share";
  ASSERT_TRUE(shown(u"DISH.png"));

  while (list.Flashs.Count() > 0) list.Flashs.Delete(list.Flashs.Count() - 1);
  const ui::Bitmap frame = player.GrabToBmp();
  EXPECT_EQ(frame.Width(), 100);
  EXPECT_EQ(frame.Height(), 50);
  EXPECT_TRUE(Near(frame.Pixel(20, 20), green)) << "the freed file's picture is still shown";
  EXPECT_EQ(frame.Pixel(5, 5), ui::Rgb(0xFF0000));
  EXPECT_TRUE(failures.empty());
}

TEST_F(FlashTest, WithoutItsMovieThePlayerIsInert) {
  MovieRegistration stray(u"stray.swf", [](MovieHost& host) { return std::make_unique<RecordingMovie>(host); });
  list.Flashs.Add().FlashStore = u"other.swf";  // in the list, but no native movie stands in for it
  struct Case {
    TsfFlashList* list;
    const char16_t* name;
    int layer;
  };
  const Case cases[] = {
      {&list, u"other.swf", 0},
      {&list, u"stray.swf", 0},  // a native movie, but not in the list
      {&list, u"record.swf", 1},
      {nullptr, u"record.swf", 0},
  };
  list.Flashs.Add().FlashStore = RecordingMovie::kName;
  for (const Case& c : cases) {
    TsfFlashPlayer player;
    std::vector<std::u16string> commands;
    player.OnHandleFSCommand = [&](TsfFlashPlayer*, const std::u16string& command, const std::u16string&) {
      commands.push_back(command);
    };
    player.SetFlashList(c.list);
    player.LoadMovie(c.layer, c.name);
    EXPECT_EQ(player.Movie(), nullptr) << Show(c.name);
    player.SetVariable(u"TitleXML", u"<Item/>");
    EXPECT_EQ(player.CallFunction(Invoke(u"emit")), u"");
    EXPECT_EQ(player.CallFunction(u"not a request"), u"");
    player.Play();
    EXPECT_FALSE(player.IsPlaying());
    player.Stop();
    player.StopPlay();
    EXPECT_TRUE(player.GrabToBmp().Empty());
    Pump(app, 50);
    EXPECT_TRUE(commands.empty());
  }
  TsfFlashPlayer player;
  player.SetFlashList(&list);
  player.LoadMovie(0, u"RECORD.SWF");
  ASSERT_NE(player.Movie(), nullptr) << "movie names match without regard to ASCII case";
  player.LoadMovie(0, u"other.swf");
  EXPECT_EQ(player.Movie(), nullptr) << "loading a missing movie unloads the one there was";
  EXPECT_TRUE(failures.empty());
}

}  // namespace
