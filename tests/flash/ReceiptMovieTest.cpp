// The receipt movie as the receipt display loads it: its defaults, its five functions, standing still
// on its first frame, the title row drawn from TitleXML, the receipt's rows from ItemXML with their
// pictures from the player's in-memory files, and a receipt longer than its part.
#include <gtest/gtest.h>

#include "FlashTestSupport.h"
#include "flash/movies/ReceiptMovie.h"

using namespace flash;

namespace {

// The control's box on the stage (without what its drawing may spill beyond it).
ui::RectF Box(const ui::Control& c) {
  ui::RectF a{0, 0, c.Width(), c.Height()};
  for (const ui::Control* p = &c; p; p = p->Parent())
    a = {p->X() + a.X * p->ScaleX(), p->Y() + a.Y * p->ScaleY(), a.Width * p->ScaleX(), a.Height * p->ScaleY()};
  return a;
}

// Pixels in the control's box that are clearly darker than the panel.
int Ink(const ui::Bitmap& frame, const ui::Control& c) {
  const ui::RectF a = Box(c);
  int n = 0;
  for (int y = static_cast<int>(a.Y); y < static_cast<int>(a.Bottom()); ++y)
    for (int x = static_cast<int>(a.X); x < static_cast<int>(a.Right()); ++x)
      n += ui::GreenOf(frame.Pixel(x, y)) < 0x90;
  return n;
}

// The pixel at the middle of the control's box.
uint32_t Middle(const ui::Bitmap& frame, const ui::Control& c) {
  const ui::RectF a = Box(c);
  return frame.Pixel(static_cast<int>(a.X + a.Width / 2), static_cast<int>(a.Y + a.Height / 2));
}

// Whether a row rule is drawn along the top of the row: pixels off the panel's white in a thin strip
// at its top edge, left of the row's picture, where nothing but the rule draws.
bool RuleAbove(const ui::Bitmap& frame, const ui::Control& row) {
  const int top = static_cast<int>(Box(row).Y);
  for (int y = top - 1; y <= top + 1; ++y)
    for (int x = 17; x < 23; ++x)
      if (frame.Pixel(x, y) != ui::kWhite) return true;
  return false;
}

struct ReceiptMovieTest : FlashTest {
  MovieRegistration receipt = RegisterReceiptMovie();
  TsfFlashPlayer player;
  ReceiptMovie* movie = nullptr;
  ReceiptMovieTest() {
    list.Flashs.Add().FlashStore = kReceiptMovieName;
    player.SetFlashList(&list);
    player.LoadMovie(0, kReceiptMovieName);
    movie = dynamic_cast<ReceiptMovie*>(player.Movie());
  }
  void AddFile(std::u16string name, std::string bytes) {
    TsfFlashItem& item = list.Flashs.Add();
    item.FlashStore = std::move(name);
    item.Bytes = std::move(bytes);
  }
  // The receipt text handed over and drawn, as the receipt display does it.
  void Build(const std::u16string& itemXml) {
    player.CallFunction(Invoke(u"deleteCheck"));
    player.SetVariable(u"ItemXML", itemXml);
    player.CallFunction(Invoke(u"newDataCheck"));
    player.CallFunction(Invoke(u"buildCheck"));
  }
};

std::u16string Item(const std::u16string& name, const std::u16string& picture = u"", const std::u16string& modis = u"") {
  const std::u16string open = u"<Item Picture=\"" + picture + u"\" Name=\"" + name +
                              u"\" Qnt=\"2\" Portion=\"шт.\" Price=\"260\" Currency=\"руб\"";
  return modis.empty() ? open + u"/>" : open + u">" + modis + u"</Item>";
}

std::u16string Lines(int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i) text += Item(u"Line " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)));
  return text;
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

TEST_F(ReceiptMovieTest, BuildCheckDrawsEachLineInItsRowWithItsPicture) {
  ASSERT_NE(movie, nullptr);
  AddFile(u"dish.png", PngBytes(60, 30, 0xFF00C000u));
  AddFile(u"photo.JPG", PngBytes(40, 40, 0xFF00C000u));  // in the list, never served
  AddFile(u"broken.png", "not a picture at all");
  player.SetVariable(u"ItemXML",
                     Item(u"Burger", u"DISH.png", u"\t<Modi Name=\"*Cheese, 1x30руб\"/>\t<Modi Name=\"*Salt\"/>") +
                         Item(u"Tea", u"photo.JPG") + Item(u"Soup", u"broken.png") +
                         u"<Item Picture=\"\" Name=\"Card\" Qnt=\"\" Portion=\"\" Price=\"-26.50\" Currency=\"руб\"/>");
  player.CallFunction(Invoke(u"newDataCheck"));
  EXPECT_TRUE(movie->RowsInView().empty()) << "newDataCheck only reads";
  player.CallFunction(Invoke(u"buildCheck"));
  ASSERT_EQ(movie->Lines().size(), 4u);
  EXPECT_EQ(movie->Lines()[0].Modifiers, (std::vector<std::u16string>{u"*Cheese, 1x30руб", u"*Salt"}));
  const auto rows = movie->RowsInView();
  ASSERT_EQ(rows.size(), 6u);
  const ui::Bitmap frame = player.GrabToBmp();
  struct Expected {
    size_t line;
    int modifier;
    std::wstring name, quantity, price;
  } expected[] = {{0, -1, L"Burger", L"2 шт.", L"260 руб"},   {0, 0, L"*Cheese, 1x30руб", L"", L""},
                  {0, 1, L"*Salt", L"", L""},                 {1, -1, L"Tea", L"2 шт.", L"260 руб"},
                  {2, -1, L"Soup", L"2 шт.", L"260 руб"},     {3, -1, L"Card", L"", L"-26.50 руб"}};
  float lastY = -1;
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& row = rows[i];
    const Expected& e = expected[i];
    EXPECT_EQ(row.line, e.line);
    EXPECT_EQ(row.modifier, e.modifier);
    EXPECT_EQ(row.name->GetText(), e.name);
    EXPECT_GT(Ink(frame, *row.name), 20) << "row " << i;
    const ui::RectF area = Box(*row.row);
    EXPECT_GT(area.Y, lastY) << "rows go down the receipt";
    EXPECT_LE(area.Bottom(), ReceiptMovie::kReceiptHeight) << "the gallery's band stays free";
    lastY = area.Y;
    if (e.modifier >= 0) {
      EXPECT_GT(Box(*row.name).X, 80) << "a modifier is indented";
      continue;
    }
    EXPECT_EQ(row.quantity->GetText(), e.quantity);
    EXPECT_EQ(row.price->GetText(), e.price);
    EXPECT_GT(Ink(frame, *row.price), 20) << "row " << i;
  }
  // A rule parts one line from the line before it: none above the first row or a modifier.
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(RuleAbove(frame, *rows[i].row), i == 3 || i == 4 || i == 5) << "row " << i;
  // The picture from memory, made small; a name in capitals is not served; a file that does not decode
  // is no picture.
  EXPECT_TRUE(Near(Middle(frame, *rows[0].picture), 0xFF00C000u, 8));
  for (size_t i : {3u, 4u, 5u}) {
    EXPECT_TRUE(rows[i].picture->GetBitmap().Empty()) << "row " << i;
    EXPECT_EQ(Middle(frame, *rows[i].picture), ui::kWhite) << "row " << i;
  }
  EXPECT_FALSE(player.IsPlaying());

  player.CallFunction(Invoke(u"deleteCheck"));
  EXPECT_TRUE(movie->Lines().empty());
  EXPECT_TRUE(movie->RowsInView().empty());
  const ui::Bitmap cleared = player.GrabToBmp();
  EXPECT_EQ(Ink(cleared, *rows[0].row), 0);
  EXPECT_TRUE(failures.empty());
}

// A receipt taller than its part shrinks, and beyond that turns its pages while the movie plays; a
// frame is drawn only when a page turns.
TEST_F(ReceiptMovieTest, LongReceiptShrinksThenTurnsItsPages) {
  ASSERT_NE(movie, nullptr);
  Build(Lines(6));
  EXPECT_EQ(movie->BodyScale(), 1.0f);
  EXPECT_EQ(movie->RowsInView().size(), 6u);
  Build(Lines(10));
  EXPECT_LT(movie->BodyScale(), 1.0f);
  EXPECT_GE(movie->BodyScale(), ReceiptMovie::kMinScale);
  EXPECT_EQ(movie->PageCount(), 1u);
  EXPECT_EQ(movie->RowsInView().size(), 10u);
  EXPECT_FALSE(player.IsPlaying());

  Build(Lines(40));
  EXPECT_EQ(movie->BodyScale(), ReceiptMovie::kMinScale);
  ASSERT_GT(movie->PageCount(), 1u);
  EXPECT_TRUE(player.IsPlaying());
  int frames = 0;
  player.OnFrame = [&] { ++frames; };
  Pump(app, 100);
  frames = 0;
  // Frames entered by hand and by the player's own timer alike: each page turn, and nothing else,
  // makes a new frame.
  std::vector<size_t> seen;
  auto collect = [&] {
    for (const auto& row : movie->RowsInView()) seen.push_back(row.line);
  };
  collect();
  const unsigned perPage = movie->FrameRate() * ReceiptMovie::kPageSeconds;
  size_t turns = 0, entered = 0;
  for (size_t page = movie->Page(); turns < movie->PageCount() && entered < 2 * perPage * movie->PageCount();) {
    movie->EnterFrame();
    ++entered;
    app.ProcessMessages();
    if (movie->Page() == page) continue;
    EXPECT_EQ(movie->Page(), (page + 1) % movie->PageCount());
    page = movie->Page();
    if (++turns < movie->PageCount()) collect();
  }
  EXPECT_LE(entered, perPage * movie->PageCount());
  Pump(app, 50);
  EXPECT_EQ(static_cast<size_t>(frames), turns);
  EXPECT_EQ(movie->Page(), 0u) << "after the last page the first";
  std::vector<size_t> all(40);
  for (size_t i = 0; i < all.size(); ++i) all[i] = i;
  EXPECT_EQ(seen, all) << "every line on one page";
  // The second page starts without a rule above its first row, as the first page does.
  for (entered = 0; movie->Page() != 1 && entered < 2 * perPage; ++entered) movie->EnterFrame();
  ASSERT_EQ(movie->Page(), 1u);
  const auto rows = movie->RowsInView();
  ASSERT_GT(rows.size(), 1u);
  const ui::Bitmap frame = player.GrabToBmp();
  EXPECT_FALSE(RuleAbove(frame, *rows[0].row)) << "line " << rows[0].line;
  EXPECT_TRUE(RuleAbove(frame, *rows[1].row)) << "line " << rows[1].line;
  player.CallFunction(Invoke(u"deleteCheck"));
  EXPECT_FALSE(player.IsPlaying());
}

}  // namespace
