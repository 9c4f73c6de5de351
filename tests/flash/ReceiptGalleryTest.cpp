// The receipt movie's gallery band: the entry's name and its picture fitted into the picture area
// (never enlarged, centred), the change animation stepped by hand, the blank entry showing no dish,
// and the band as the receipt movie draws it from GalleryXML with pictures served from the file list.
#include <gtest/gtest.h>

#include "FlashTestSupport.h"
#include "flash/FlashList.h"
#include "flash/MovieXml.h"
#include "flash/movies/ReceiptGallery.h"
#include "flash/movies/ReceiptMovie.h"

using namespace flash;

namespace {

std::unique_ptr<XmlDocument> Entry(std::u16string_view name, std::u16string_view picture) {
  return ParseMovieXml(u"<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\"" + std::u16string(name) +
                       u"\" Picture=\"" + std::u16string(picture) + u"\"/>");
}

struct GalleryBand : FlashTest {
  double now = 10;
  ui::Layout stage;
  ReceiptGallery gallery{stage, [this] { return now; }};
  std::vector<std::u16string> asked;  // the picture names the gallery asked for
  ReceiptGallery::PictureSource Pictures(int width, int height) {
    return [this, width, height](std::u16string_view name) {
      asked.emplace_back(name);
      return width > 0 ? ui::Bitmap(width, height) : ui::Bitmap();
    };
  }
  GalleryBand() { stage.SetSize(ReceiptMovie::kStageWidth, ReceiptMovie::kStageHeight); }
};

TEST_F(GalleryBand, PictureIsFittedIntoItsAreaAndNeverEnlarged) {
  const float areaX = ReceiptGallery::kPictureLeft, areaY = ReceiptGallery::kPictureTop - ReceiptGallery::kTop;
  const float areaW = ReceiptGallery::kPictureWidth, areaH = ReceiptGallery::kPictureHeight;
  struct Case {
    int width, height;
    float w, h;  // the size drawn
  } cases[] = {
      {100, 50, 100, 50},                        // smaller: its own size
      {2 * 720, 2 * 224, areaW, areaH},          // twice the area: halved
      {3000, 100, areaW, 24},                    // wide: as wide as the area
      {100, 2240, 10, areaH},                    // tall: as high as the area
      {static_cast<int>(areaW), static_cast<int>(areaH), areaW, areaH},
  };
  int n = 0;
  for (const Case& c : cases) {
    gallery.Reload(*Entry(u"DISH", u"p" + std::u16string(1, static_cast<char16_t>(u'0' + n++)) + u".png"),
                   Pictures(c.width, c.height));
    const ui::Image& image = gallery.PictureImage();
    ASSERT_TRUE(image.Visible());
    EXPECT_EQ(image.Width(), c.w) << c.width << "x" << c.height;
    EXPECT_EQ(image.Height(), c.h) << c.width << "x" << c.height;
    EXPECT_FLOAT_EQ(image.X() + image.Width() / 2, areaX + areaW / 2) << "centred";
    EXPECT_FLOAT_EQ(image.Y() + image.Height() / 2, areaY + areaH / 2) << "centred";
    EXPECT_EQ(image.GetBitmap().Width(), static_cast<int>(c.w)) << "a larger picture is kept at its drawn size";
  }
  EXPECT_EQ(gallery.NameText().GetText(), L"DISH");
}

TEST_F(GalleryBand, NewEntryFadesAndRisesInTheBlankShowsNoDish) {
  gallery.Reload(*Entry(u"СУП", u"soup.png"), Pictures(40, 40));
  EXPECT_TRUE(gallery.Changing());
  EXPECT_EQ(gallery.Entry().Opacity(), 0.0f);
  EXPECT_EQ(gallery.Entry().Y(), ReceiptGallery::kRise);
  now += ReceiptGallery::kChangeSeconds / 2;
  gallery.Clock().Tick();
  EXPECT_GT(gallery.Entry().Opacity(), 0.5f);
  EXPECT_LT(gallery.Entry().Opacity(), 1.0f);
  now += ReceiptGallery::kChangeSeconds;
  gallery.Clock().Tick();
  EXPECT_FALSE(gallery.Changing());
  EXPECT_EQ(gallery.Entry().Opacity(), 1.0f);
  EXPECT_EQ(gallery.Entry().Y(), 0.0f);

  gallery.Reload(*Entry(u"СУП", u"soup.png"), Pictures(40, 40));
  EXPECT_FALSE(gallery.Changing()) << "the same entry again is no change";
  EXPECT_EQ(asked, std::vector<std::u16string>{u"soup.png"});

  gallery.Reload(*Entry(u"", u"cake.png"), Pictures(0, 0));  // a name that is served by nothing
  EXPECT_TRUE(gallery.Changing());
  EXPECT_FALSE(gallery.PictureImage().Visible());
  EXPECT_EQ(gallery.NameText().GetText(), L"");

  gallery.Reload(*Entry(u" ", u""), Pictures(40, 40));
  EXPECT_FALSE(gallery.Changing()) << "the blank entry just clears the band";
  EXPECT_FALSE(gallery.PictureImage().Visible());
  EXPECT_EQ(gallery.NameText().GetText(), L" ");
  EXPECT_EQ(asked.size(), 2u) << "no picture is asked for an empty Picture";

  gallery.Reload(*Entry(u"TEA", u""), Pictures(40, 40));
  gallery.Reload(XmlDocument(), Pictures(40, 40));  // no root: no dish
  EXPECT_EQ(gallery.ShownName(), u" ");
  EXPECT_EQ(gallery.ShownPicture(), u"");
}

TEST_F(FlashTest, ReceiptMovieDrawsTheGalleryEntryInItsBand) {
  const MovieRegistration receipt = RegisterReceiptMovie();
  list.Flashs.Add().FlashStore = kReceiptMovieName;
  TsfFlashItem& red = list.Flashs.Add();
  red.FlashStore = u"red.png";
  red.Bytes = PngBytes(200, 100, ui::Rgb(0xE00000));
  TsfFlashItem& capital = list.Flashs.Add();
  capital.FlashStore = u"blue.PNG";
  capital.Bytes = PngBytes(200, 100, ui::Rgb(0x0000E0));
  TsfFlashPlayer player;
  player.SetFlashList(&list);
  player.LoadMovie(0, kReceiptMovieName);
  auto& movie = dynamic_cast<ReceiptMovie&>(*player.Movie());
  const int cx = 384, cy = static_cast<int>(ReceiptGallery::kPictureTop + ReceiptGallery::kPictureHeight / 2);
  const int nameY = static_cast<int>(ReceiptGallery::kNameTop + ReceiptGallery::kNameHeight / 2);
  auto show = [&](const std::u16string& entry) {
    player.SetVariable(u"GalleryXML", entry);
    player.CallFunction(Invoke(u"reloadGallery"));
    EXPECT_TRUE(PumpUntil(app, [&] { return !movie.Gallery().Changing(); }, 3000)) << "the change ends";
    return player.GrabToBmp();
  };
  auto inkInNameRow = [&](const ui::Bitmap& frame) {
    int n = 0;
    for (int x = 24; x < 744; ++x) n += ui::GreenOf(frame.Pixel(x, nameY)) < 0x90;
    return n;
  };

  ui::Bitmap frame = show(u"<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\"SOUP &amp; BREAD\" Picture=\"red.png\"/>");
  EXPECT_TRUE(Near(frame.Pixel(cx, cy), ui::Rgb(0xE00000), 8));
  EXPECT_EQ(frame.Pixel(cx + 101, cy), ui::kWhite) << "drawn at its own size, not enlarged";
  EXPECT_GT(inkInNameRow(frame), 10);

  frame = show(u"<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\"X\" Picture=\"blue.PNG\"/>");
  EXPECT_EQ(frame.Pixel(cx, cy), ui::kWhite) << "a name in capitals is not served";

  frame = show(u"<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\" \" Picture=\"\"/>");
  EXPECT_EQ(frame.Pixel(cx, cy), ui::kWhite);
  EXPECT_EQ(inkInNameRow(frame), 0) << "the blank entry shows no dish";
  EXPECT_TRUE(failures.empty());
}

}  // namespace
