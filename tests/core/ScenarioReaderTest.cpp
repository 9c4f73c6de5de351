// The gallery list of a scenario: codes in scenario order without those on the receipt, dishes from
// the menu, names in capitals, candidate picture paths, and where a failing reading stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/Menu.h"
#include "core/receiptdisplay/ScenarioReader.h"
#include "core/Utf.h"

void PrintTo(const GalleryEntry& e, std::ostream* os) {
  *os << '{' << Utf16ToUtf8(e.Name) << ", " << Utf16ToUtf8(e.PicturePath) << ", "
      << Utf16ToUtf8(e.PictureName) << '}';
}

namespace {

std::unique_ptr<XmlDocument> LoadMenu(const std::string& text) {
  auto menu = std::make_unique<XmlDocument>();
  menu->LoadXml(text);
  return menu;
}

const char* const kMenu = R"(<?xml version="1.0" encoding="utf-8"?><Menu>
    <Dish Code="5" Name="Суп &amp; хлеб" LargeImagePath="soup.jpg;soup2.jpg"/>
    <Dish Code="7" LargeImagePath=";b.jpg"/>
    <Group Name="no code"/>
    <Dish Code="$65" Name="Tea" ShortName="чай"/>
    <Dish Code="5" Name="Second five" LargeImagePath="other.jpg"/>
    <Dish Code="102" Name="Cola" LargeImagePath="cola.png"/>
  </Menu>)";

ScenarioReading Read(std::u16string_view scenario, const XmlDocument& menu,
                     std::vector<int32_t> onReceipt = {}, std::u16string nameField = u"Name") {
  return ReadScenario(scenario, menu, onReceipt,
                      ScenarioSettings{.ItemNameField = std::move(nameField), .Case = &SimpleCaseMap()});
}

TEST(ScenarioReader, EntriesInScenarioOrderWithoutTheReceiptsDishes) {
  const auto menu = LoadMenu(kMenu);
  const std::u16string scenario = uR"(<SceneList PicPath="C:\pics\">
      <Scene><parameters DishCodes="5" DishCode="7"/></Scene>
      <Scene><other DishCodes="101"/></Scene>
      <Scene><x/><parameters DishCodes=" 101, 102, 9,"/><parameters DishCodes="101"/></Scene>
      <Scene><parameters DishCode="5"/></Scene>
    </SceneList>)";
  const GalleryEntry soup{u"СУП & ХЛЕБ", uR"(C:\pics\soup.jpg)", u"soup.jpg"};
  const ScenarioReading reading = Read(scenario, *menu, {102, 44});
  ASSERT_FALSE(reading.Failure) << Utf16ToUtf8(*reading.Failure);
  EXPECT_TRUE(reading.SceneList);
  EXPECT_EQ(reading.PicturePath, uR"(C:\pics\)");
  EXPECT_EQ(reading.ScenarioCodes, (std::vector<int32_t>{5, 7, 101, 9, 5}));
  EXPECT_EQ(reading.Entries, (std::vector<GalleryEntry>{
                                 soup,
                                 {u"", uR"(C:\pics\)", u""},  // ";b.jpg": the folder itself
                                 {u"TEA", uR"(C:\pics\)", u""},
                                 soup,
                             }));

  const ScenarioReading shortNames = Read(scenario, *menu, {102, 44}, u"ShortName");
  ASSERT_EQ(shortNames.Entries.size(), 4u);
  EXPECT_EQ(shortNames.Entries[0].Name, u"");
  EXPECT_EQ(shortNames.Entries[2].Name, u"ЧАЙ");
}

TEST(ScenarioReader, PicturePathIsThePlainPrefix) {
  const auto menu = LoadMenu(kMenu);
  struct Case {
    const char16_t* scenario;
    GalleryEntry entry;
  } cases[] = {
      {uR"(<SceneList PicPath="C:\pics"><S><parameters DishCode="5"/></S></SceneList>)",
       {u"СУП & ХЛЕБ", uR"(C:\picssoup.jpg)", u"picssoup.jpg"}},
      {uR"(<SceneList><S><parameters DishCode="102"/></S></SceneList>)", {u"COLA", u"cola.png", u"cola.png"}},
      {uR"(<SceneList PicPath=" D:"><S><parameters DishCode="102"/></S></SceneList>)",
       {u"COLA", u" D:cola.png", u"cola.png"}},
  };
  for (const Case& c : cases) {
    const ScenarioReading reading = Read(c.scenario, *menu);
    EXPECT_EQ(reading.Entries, std::vector<GalleryEntry>{c.entry}) << Utf16ToUtf8(c.scenario);
  }
}

TEST(ScenarioReader, NoRootOrNoDishesGivesAnEmptyGallery) {
  const auto menu = LoadMenu(kMenu);
  struct Case {
    std::u16string scenario;
    bool sceneList;
  } cases[] = {
      {u"", false},
      {u"<?xml version=\"1.0\" encoding=\"utf-8\"?><!-- nothing -->", false},
      {std::u16string(u"<SceneList/>\0<<<", 16), true},  // the text ends at its first NUL
      {u"<SceneList><S><parameters DishCodes=\"5,102\"/></S></SceneList>", true},  // all on the receipt
      {u"<SceneList><S><parameters DishCode=\"1000\"/></S></SceneList>", true},    // not on the menu
  };
  for (const Case& c : cases) {
    const ScenarioReading reading = Read(c.scenario, *menu, {5, 102});
    EXPECT_EQ(reading.SceneList, c.sceneList) << Utf16ToUtf8(c.scenario);
    EXPECT_FALSE(reading.Failure) << Utf16ToUtf8(c.scenario);
    EXPECT_TRUE(reading.Entries.empty()) << Utf16ToUtf8(c.scenario);
  }
}

TEST(ScenarioReader, TextThatDoesNotParseOrIsNoSceneListRaises) {
  const auto menu = LoadMenu(kMenu);
  for (const char16_t* scenario :
       {u"<SceneList>", u"<?xml version=\"1.0\" encoding=\"koi8-r\"?><SceneList/>", u"<scenelist/>"}) {
    EXPECT_THROW(Read(scenario, *menu), Exception) << Utf16ToUtf8(scenario);
  }
}

TEST(ScenarioReader, CodeListsAcceptedAsTheHostWritesThem) {
  const auto menu = LoadMenu(kMenu);
  struct Case {
    const char16_t* parameters;
    std::vector<int32_t> codes;
  } cases[] = {
      {u"DishCodes=\"101, 102\"", {101, 102}},  // the blank after the comma starts the next piece
      {u"DishCodes=\"101,102,\"", {101, 102}},  // a trailing comma adds nothing
      {u"DishCodes=\" \t101,102\r\n\"", {101, 102}},
      {u"DishCodes=\"  \"", {}},
      {u"DishCodes=\"-5,+7,$1F,0x10\"", {-5, 7, 31, 16}},
      {u"DishCode=\"7\" DishCodes=\"5\"", {5, 7}},  // DishCodes first, whatever the order written
      {u"DishCodes=\"5,5\"", {5, 5}},
  };
  for (const Case& c : cases) {
    const std::u16string scenario =
        u"<SceneList><S><parameters " + std::u16string(c.parameters) + u"/></S></SceneList>";
    const ScenarioReading reading = Read(scenario, *menu);
    EXPECT_FALSE(reading.Failure) << Utf16ToUtf8(scenario);
    EXPECT_EQ(reading.ScenarioCodes, c.codes) << Utf16ToUtf8(scenario);
  }
}

TEST(ScenarioReader, BadCodeListsFailBeforeAnyEntry) {
  const auto menu = LoadMenu(kMenu);
  struct Case {
    const char16_t* parameters;
    std::vector<int32_t> codes;  // read before the failure
  } cases[] = {
      {u"DishCodes=\"101 ,102\"", {}},
      {u"DishCodes=\",101\"", {}},
      {u"DishCodes=\"101,,102\"", {101}},
      {u"DishCodes=\"5,44,7\" DishCode=\"x\"", {5, 7}},
      {u"DishCodes=\"2147483648\"", {}},
  };
  for (const Case& c : cases) {
    const std::u16string scenario =
        u"<SceneList><S><parameters " + std::u16string(c.parameters) + u"/></S></SceneList>";
    const ScenarioReading reading = Read(scenario, *menu, {44});
    EXPECT_TRUE(reading.Failure) << Utf16ToUtf8(scenario);
    EXPECT_EQ(reading.ScenarioCodes, c.codes) << Utf16ToUtf8(scenario);
    EXPECT_TRUE(reading.Entries.empty()) << Utf16ToUtf8(scenario);
  }
}

TEST(ScenarioReader, MenuFailuresKeepTheEntriesBuiltBefore) {
  const std::u16string scenario = u"<SceneList><S><parameters DishCodes=\"5,7\"/></S></SceneList>";
  const XmlDocument noMenu;
  EXPECT_FALSE(Read(scenario, noMenu, {5, 7}).Failure);  // nothing looked up, nothing failed
  const ScenarioReading noRoot = Read(scenario, noMenu, {5});
  EXPECT_EQ(noRoot.Failure, u"The menu has no root element");

  const auto badCode = LoadMenu(R"(<Menu><D Code="5" Name="a"/><D Code="five" Name="b"/><D Code="7"/></Menu>)");
  const ScenarioReading reading = Read(scenario, *badCode);
  EXPECT_EQ(reading.Failure, u"'five' is not a valid integer value (attribute Code)");
  EXPECT_EQ(reading.Entries, (std::vector<GalleryEntry>{{u"A", u"", u""}}));
}

TEST(ScenarioReader, GalleryPastItsBoundFailsKeepingTheEntriesWithin) {
  // A long picture folder in front of every entry's path: codes x its length.
  const auto menu = LoadMenu(R"(<Menu><D Code="5" Name="Soup" LargeImagePath="soup.jpg"/></Menu>)");
  auto scenario = [](size_t folder, int codes) {
    std::u16string s = u"<SceneList PicPath=\"" + std::u16string(folder, u'p') + u"\"><S><parameters DishCodes=\"";
    for (int i = 0; i < codes; ++i) s += u"5,";
    return s + u"\"/></S></SceneList>";
  };
  struct Case {
    size_t folder;
    int codes;
    bool fails;
    size_t entries;
  } cases[] = {
      {40000, 52, false, 52},  // 52 entries of 80 K characters (path and name): just inside
      {40000, 60, true, 52},   // past it at the 53rd entry
      {10, 20000, false, 20000},
  };
  for (const Case& c : cases) {
    const ScenarioReading reading = Read(scenario(c.folder, c.codes), *menu);
    EXPECT_EQ(reading.Failure.has_value(), c.fails) << c.codes;
    EXPECT_EQ(reading.Entries.size(), c.entries) << c.codes;
    EXPECT_EQ(reading.ScenarioCodes.size(), static_cast<size_t>(c.codes));
  }
}

TEST(Menu, DishIndexAnswersAsTheSearchFromTheStart) {
  // First matches, codes written two ways, elements without Code, and a Code that is no integer
  // before some dishes and after others.
  const char* const menus[] = {
      R"(<Menu><!-- dishes --><Note/><D Code=" 7" Name="a"/><D Code="$10" Name="b"/>
         <D Code="7" Name="c"/><D Code="1.5" Name="d"/><D Code="8" Name="e"/><D Code="9"/></Menu>)",
      R"(<Menu>text<D Code="0x7"/><D Code="7"/><D/><D Code="-3"/><D Code="3"/></Menu>)",
      R"(<Menu><D Code="x"/><D Code="1"/></Menu>)",
      R"(<Menu/>)",
  };
  for (const char* text : menus) {
    const auto menu = LoadMenu(text);
    const DishIndex index(*menu);
    for (int32_t code = -4; code <= 17; ++code) {
      SCOPED_TRACE(std::string(text) + " code " + std::to_string(code));
      const XmlNode* expected = nullptr;
      bool raises = false;
      try {
        expected = FindDishByCode(*menu, code);
      } catch (const Exception&) {
        raises = true;
      }
      if (raises) {
        EXPECT_THROW(index.Find(code), Exception);
      } else {
        EXPECT_EQ(index.Find(code), expected);
      }
    }
  }
  const XmlDocument noMenu;
  EXPECT_THROW(DishIndex(noMenu).Find(1), Exception);
}

TEST(Menu, FindDishByCodeTakesTheFirstMatchAndReadsCodesOnTheWay) {
  const auto menu = LoadMenu(R"(<Menu><!-- dishes --><Note/><D Code=" 7" Name="a"/><D Code="$10" Name="b"/>
                              <D Code="7" Name="c"/><D Code="1.5" Name="d"/><D Code="8" Name="e"/></Menu>)");
  EXPECT_EQ(FindDishByCode(*menu, 7)->Attr(u"Name"), u"a");
  EXPECT_EQ(FindDishByCode(*menu, 16)->Attr(u"Name"), u"b");
  EXPECT_THROW(FindDishByCode(*menu, 8), Exception);
  EXPECT_EQ(FindDishByCode(*LoadMenu(R"(<Menu><D Code="1"/><D Name="no code"/></Menu>)"), 0), nullptr);
  EXPECT_THROW(FindDishByCode(XmlDocument(), 1), Exception);
}

TEST(Menu, FirstListEntry) {
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"a.jpg;b.jpg", u"a.jpg"}, {u";b.jpg", u""}, {u"a.jpg", u"a.jpg"}, {u"", u""}, {u" a ;b;c", u" a "},
  };
  for (const auto& [list, first] : cases) EXPECT_EQ(FirstListEntry(list), first) << Utf16ToUtf8(list);
}

}  // namespace
