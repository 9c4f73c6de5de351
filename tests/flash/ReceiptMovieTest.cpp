// The receipt movie as the receipt display loads it: its defaults, its five functions, standing still
// on its first frame, and the title row drawn from TitleXML.
#include <gtest/gtest.h>

#include "FlashTestSupport.h"
#include "flash/movies/ReceiptMovie.h"

using namespace flash;

namespace {

// Pixels in the control's box that are clearly darker than the panel.
int Ink(const ui::Bitmap& frame, const ui::Control& c) {
  int n = 0;
  for (int y = static_cast<int>(c.Y()); y < static_cast<int>(c.Y() + c.Height()); ++y)
    for (int x = static_cast<int>(c.X()); x < static_cast<int>(c.X() + c.Width()); ++x)
      n += ui::GreenOf(frame.Pixel(x, y)) < 0x90;
  return n;
}

TEST_F(FlashTest, ReceiptMovieDrawsItsTitleRowFromTitleXml) {
  const MovieRegistration receipt = RegisterReceiptMovie();
  list.Flashs.Add().FlashStore = kReceiptMovieName;
  TsfFlashPlayer player;
  player.SetFlashList(&list);
  player.LoadMovie(0, u"check.swf");
  ASSERT_NE(player.Movie(), nullptr);
  auto& movie = dynamic_cast<ReceiptMovie&>(*player.Movie());

  EXPECT_EQ(movie.Variable(u"TitleXML"), u"<Item Name=\"\" Quantity=\"\" Amount=\"\" Description=\"\"/>");
  EXPECT_EQ(movie.Variable(u"GalleryXML"), u"<Item Name=\"\" Picture=\"\"/>");
  EXPECT_EQ(movie.Variable(u"ItemXML"),
            u"<Item Name=\"\" Picture=\"\" Qnt=\"\" Portion=\"\" Price=\"\" Currency=\"\"><Modi Name=\"\"/></Item>");
  const std::vector<std::u16string> functions = {u"reloadGallery", u"deleteCheck", u"buildCheck", u"newDataCheck",
                                                 u"updateTitle"};
  EXPECT_EQ(movie.FunctionNames(), functions);
  EXPECT_FALSE(player.IsPlaying());

  const ui::Control* title[] = {&movie.Caption(), &movie.NameHeading(), &movie.QuantityHeading(),
                                &movie.AmountHeading()};
  ui::Bitmap frame = player.GrabToBmp();
  ASSERT_EQ(frame.Width(), 768);
  ASSERT_EQ(frame.Height(), 805);
  for (const ui::Control* c : title) EXPECT_EQ(Ink(frame, *c), 0) << "the defaults hold empty texts";
  EXPECT_EQ(frame.Pixel(384, 700), ui::kWhite);

  player.SetVariable(u"TitleXML", u"<Item Name=\"Наименование\" Quantity=\"Количество\" Amount=\"Стоимость\" "
                                  u"Description=\"Приходите еще!\" Evaluation=\"false\"/>");
  for (const auto& function : functions) player.CallFunction(Invoke(function));
  EXPECT_EQ(movie.NameHeading().GetText(), L"Наименование");
  EXPECT_EQ(movie.QuantityHeading().GetText(), L"Количество");
  EXPECT_EQ(movie.AmountHeading().GetText(), L"Стоимость");
  EXPECT_EQ(movie.Caption().GetText(), L"Приходите еще!");
  frame = player.GrabToBmp();
  for (const ui::Control* c : title) EXPECT_GT(Ink(frame, *c), 20) << "a text in the title row";
  EXPECT_EQ(frame.Pixel(384, 700), ui::kWhite);

  player.SetVariable(u"TitleXML", u"not XML");
  player.CallFunction(Invoke(u"updateTitle"));
  EXPECT_EQ(movie.Caption().GetText(), L"");
  EXPECT_TRUE(failures.empty());
}

}  // namespace
