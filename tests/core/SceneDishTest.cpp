// A Flash scene's reading of its parameters and of a menu dish, and the dish element's text as the
// movie gets it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Raised.h"
#include "core/Menu.h"
#include "core/Utf.h"
#include "core/scenes/FlashSceneParameters.h"
#include "core/scenes/SceneDish.h"

namespace scenes {
namespace {

std::unique_ptr<XmlDocument> Load(const std::string& text) {
  auto d = std::make_unique<XmlDocument>();
  d->LoadXml(text);
  return d;
}

DishSettings Settings(std::u16string_view floatFormat = u"0", std::u16string_view priceText = kOwnPriceText) {
  return DishSettings{.picPath = uR"(C:\pics)", .nameField = u"Name", .floatFormat = floatFormat, .priceText = priceText};
}

DishReading ReadFirstDish(const std::string& dish, const DishSettings& settings) {
  const auto menu = Load("<?xml version=\"1.0\" encoding=\"utf-8\"?><Menu>" + dish + "</Menu>");
  return ReadDish(*menu->Root()->Child(0), settings, SimpleCaseMap());
}

TEST(SceneDish, PriceIsTheDishsHundredthsInTheMaskUnlessAFixedTextStandsForIt) {
  struct Case {
    const char* dish;
    std::u16string_view mask, priceText, price;
  } cases[] = {
      {R"(<D Price="52100"/>)", u"0", kOwnPriceText, u"521"},
      {R"(<D Price="52100"/>)", u"0.00", kOwnPriceText, u"521.00"},
      {R"(<D Price="52150"/>)", u"0", kOwnPriceText, u"522"},  // a half away from zero
      {R"(<D/>)", u"0", kOwnPriceText, u"0"},
      {R"(<D/>)", u"0.00", kOwnPriceText, u"0.00"},
      {R"(<D Price=" -250"/>)", u"0.0", kOwnPriceText, u"-2.5"},
      {R"(<D Price="52100"/>)", u"0", u"99", u"99"},
      {R"(<D/>)", u"0.00", u"99", u"99"},
      {R"(<D Price="52100"/>)", u"0", u"No Price", u"No Price"},  // only "no price" means the dish's own
      {R"(<D Price="52100"/>)", u"0", u"", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dish) + " " + Utf16ToUtf8(c.mask) + " " + Utf16ToUtf8(c.priceText));
    EXPECT_EQ(ReadFirstDish(c.dish, Settings(c.mask, c.priceText)).price, c.price);
  }
  // A price that is no number, or no finite one, fails the dish, fixed text or not.
  for (std::u16string_view priceText : {std::u16string_view(kOwnPriceText), std::u16string_view(u"99")})
    for (const char* dish : {R"(<D Price="12 "/>)", R"(<D Price="inf"/>)"})
      EXPECT_NE(RaisedMessage([&] { ReadFirstDish(dish, Settings(u"0", priceText)); }), u"") << dish;
}

TEST(SceneDish, NameIsUpperCasedAndThePicturePathJoinsTheFolderAndTheFirstEntry) {
  struct Case {
    const char* dish;
    std::u16string_view name, path;
  } cases[] = {
      {R"(<D Name="Мороженое сандей" LargeImagePath="a.png;b.png"/>)", u"МОРОЖЕНОЕ САНДЕЙ", uR"(C:\picsa.png)"},
      {R"(<D Name="tea" LargeImagePath="a.png"/>)", u"TEA", uR"(C:\picsa.png)"},
      {R"(<D LargeImagePath=";b.png"/>)", u"", uR"(C:\pics)"},
      {R"(<D LargeImagePath=""/>)", u"", uR"(C:\pics)"},
      {R"(<D/>)", u"", uR"(C:\pics)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dish);
    const DishReading r = ReadFirstDish(c.dish, Settings());
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.picturePath, c.path);
  }
  DishSettings other = Settings();
  other.nameField = u"ShortName";
  EXPECT_EQ(ReadFirstDish(R"(<D Name="long" ShortName="short"/>)", other).name, u"SHORT");
}

TEST(SceneDish, MenuXmlIsOneElementAfterCrLfInTheOrderTheAttributesWereFirstSet) {
  auto item = XmlDocument::Create(u"Item");
  XmlNode& root = *item->Root();
  root.SetAttr(u"Currency", u"РУБ.");
  root.SetAttr(u"ShowText", u"ХОЛОДНЫЕ \"НАПИТКИ\" & <ЛЁД> 'да'");
  SetItemDish(root, DishReading{.name = u"МОРОЖЕНОЕ САНДЕЙ", .picturePath = uR"(D:\x\sundae.png)", .price = u"521"},
              u"sundae.png");
  EXPECT_EQ(MenuXmlText(root),
            u"\r\n<Item Currency=\"РУБ.\" ShowText=\"ХОЛОДНЫЕ &quot;НАПИТКИ&quot; &amp; &lt;ЛЁД&gt; 'да'\" "
            u"Name=\"МОРОЖЕНОЕ САНДЕЙ\" Path=\"sundae.png\" Price=\"521\"/>");
  // A second dish sets the same attributes in place.
  root.SetAttr(u"ShowText", u"");
  SetItemDish(root, DishReading{.name = u"B", .picturePath = u"", .price = u"7"}, u"");
  EXPECT_EQ(MenuXmlText(root), u"\r\n<Item Currency=\"РУБ.\" ShowText=\"\" Name=\"B\" Path=\"\" Price=\"7\"/>");
}

TEST(SceneParametersReading, PlacementFromTheFirstSizeWithItsDefaults) {
  EXPECT_EQ(ReadScenePlacement(*Load(R"(<P><Size PosX=" 10" PosY="-5" Width="$20" Height="300"/><Size PosX="1"/></P>)")),
            (ScenePlacement{10, -5, 32, 300}));
  EXPECT_EQ(ReadScenePlacement(*Load(R"(<Any><x/><Size/></Any>)")), (ScenePlacement{0, 0, 690, 758}));
  for (const char* bad : {"", "<P/>", "<P><size/></P>", "<P><parameters><Size/></parameters></P>",
                          R"(<P><Size PosX="1.5"/></P>)", R"(<P><Size Width=""/></P>)",
                          R"(<P><Size Height="3 "/></P>)", R"(<P><Size PosY="99999999999"/></P>)"}) {
    SCOPED_TRACE(bad);
    EXPECT_NE(RaisedMessage([&] { ReadScenePlacement(*Load(bad)); }), u"");
  }
}

TEST(SceneParametersReading, RootSettingsAndTheFirstParametersRequest) {
  const SceneSettings none = ReadSceneSettings(*Load("<P/>"), SimpleCaseMap());
  EXPECT_EQ(none.picPath, u"");
  EXPECT_EQ(none.nameField, u"Name");
  EXPECT_EQ(none.imageForMissing, u"");
  EXPECT_EQ(none.floatFormat, u"0");
  EXPECT_EQ(none.currency, u"");
  EXPECT_FALSE(none.request);

  const SceneSettings s = ReadSceneSettings(
      *Load("<?xml version=\"1.0\"?><P PicPath=\"C:\\pics\\\" QuorvNameField=\"Short\" ImageForMissing=\"none.png\" "
            "FloatFormat=\"0.00\" CurrencyText=\"руб.\"><Size/><parameters ShowText=\"Холодные\" Price=\"99\" "
            "DishCode=\" 7\" CurrencyText=\"x\"/><parameters DishCode=\"8\"/></P>"),
      SimpleCaseMap());
  EXPECT_EQ(s.picPath, uR"(C:\pics\)");
  EXPECT_EQ(s.nameField, u"Short");
  EXPECT_EQ(s.imageForMissing, u"none.png");
  EXPECT_EQ(s.floatFormat, u"0.00");
  EXPECT_EQ(s.currency, u"РУБ.");
  ASSERT_TRUE(s.request);
  EXPECT_EQ(s.request->showText, u"ХОЛОДНЫЕ");
  EXPECT_EQ(s.request->priceText, u"99");
  EXPECT_EQ(s.request->dishCode, 7);

  const SceneSettings bare = ReadSceneSettings(*Load("<P><parameters/></P>"), SimpleCaseMap());
  ASSERT_TRUE(bare.request);
  EXPECT_EQ(bare.request->showText, u"");
  EXPECT_EQ(bare.request->priceText, kOwnPriceText);
  EXPECT_FALSE(bare.request->dishCode);

  for (const char* bad : {"", R"(<P><parameters DishCode="x"/></P>)", R"(<P><parameters DishCode=""/></P>)"}) {
    SCOPED_TRACE(bad);
    EXPECT_NE(RaisedMessage([&] { ReadSceneSettings(*Load(bad), SimpleCaseMap()); }), u"");
  }
}

TEST(SceneParametersReading, TheDefaultTextAsksForDishZeroWithAnEmptyCurrency) {
  const auto text = Load(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<SceneParameters>\r\n\t<Size PosX=\"0\" PosY=\"0\" Width=\"690\" "
      "Height=\"758\"/>\r\n\t<parameters DishCode=\"0\" ShowText=\"СЫРНОЕ ОБОСТРЕНИЕ!\" CurrencyText=\"РУБ.\" "
      "PlateText=\"ВСЕГО ЗА\"/>\r\n</SceneParameters>");
  EXPECT_EQ(ReadScenePlacement(*text), (ScenePlacement{0, 0, 690, 758}));
  const SceneSettings s = ReadSceneSettings(*text, SimpleCaseMap());
  EXPECT_EQ(s.currency, u"");
  ASSERT_TRUE(s.request);
  EXPECT_EQ(s.request->showText, u"СЫРНОЕ ОБОСТРЕНИЕ!");
  EXPECT_EQ(s.request->dishCode, 0);
}

}  // namespace
}  // namespace scenes
