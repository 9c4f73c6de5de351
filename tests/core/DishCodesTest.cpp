// The gallery scene's choice of dishes: the DishCodes list, the cycle collected from the menu's
// classifications, how the cycle moves on and the one pass that looks for a dish.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/scenes/DishCodes.h"

namespace {

using Codes = std::vector<int32_t>;

std::unique_ptr<XmlDocument> LoadMenu(const std::string& text) {
  auto menu = std::make_unique<XmlDocument>();
  menu->LoadXml(text);
  return menu;
}

TEST(DishCodes, ListCases) {
  struct Case {
    const char16_t* text;
    std::optional<Codes> codes;  // none: the text is refused
    Codes before = {};           // what the list holds when it is refused
  };
  const Case cases[] = {
      {u"3", Codes{3}},
      {u"5,3", Codes{5, 3}},
      {u"3,5,", Codes{3, 5}},          // a trailing comma adds nothing
      {u",3", std::nullopt},           // a leading comma is an empty piece
      {u"3,,5", std::nullopt, {3}},    // two commas in a row
      {u"3 ,5", std::nullopt},         // a blank between a code and its comma
      {u"3, 5,  7", Codes{3, 5, 7}},   // blanks before a code
      {u"  3,5  ", Codes{3, 5}},       // the whole text is trimmed
      {u"\t3,5\r\n", Codes{3, 5}},
      {u"$1F,0x10,X2", Codes{31, 16, 2}},
      {u"-4,+6", Codes{-4, 6}},
      {u"3,3", Codes{3, 3}},           // duplicates kept
      {u"", Codes{}},
      {u"   ", Codes{}},
      {u",", std::nullopt},
      {u"3,a", std::nullopt, {3}},
      {u"2147483648", std::nullopt},   // beyond the signed 32-bit range
      {u"3;5", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.text));
    Codes list{99, 98};  // the old contents always go
    if (c.codes) {
      ParseDishCodes(c.text, list);
      EXPECT_EQ(list, *c.codes);
    } else {
      EXPECT_THROW(ParseDishCodes(c.text, list), Exception);
      EXPECT_EQ(list, c.before);
    }
  }
}

TEST(DishCodes, IsInDishCodes) {
  EXPECT_TRUE(IsInDishCodes({5, 3}, 3));
  EXPECT_TRUE(IsInDishCodes({0}, 0));
  EXPECT_FALSE(IsInDishCodes({5, 3}, 4));
  EXPECT_FALSE(IsInDishCodes({}, 0));
}

const char* const kMenu = R"(<Menu>
    <Dish Code="1" Name="A"><Classifications><C Code="3"/></Classifications></Dish>
    <Dish Code="2" Name="B"><Classifications><C Code="5"/><C Code="8"/></Classifications></Dish>
    <Dish Code="3" Name="Twice"><Classifications><C Code="8"/><!-- none --><C Code="3"/></Classifications></Dish>
    <Dish Name="No code"><Classifications><C Code="9"/></Classifications></Dish>
    <Dish Code="4" Name="Blank classification"><Classifications><C/></Classifications></Dish>
    <Dish Code="5" Name="Second list only"><Other/><Classifications/><Classifications><C Code="3"/></Classifications></Dish>
    <Dish Code="6" Name="None"/>
  </Menu>)";

TEST(DishCodes, ShownCodesFollowTheMenuOncePerMatchingClassification) {
  const auto menu = LoadMenu(kMenu);
  struct Case {
    Codes dishCodes;
    Codes shown;
  };
  const Case cases[] = {
      {{5, 3}, {1, 2, 3}},     // menu order, whatever the order of DishCodes
      {{3, 5}, {1, 2, 3}},
      {{8, 3}, {1, 2, 3, 3}},  // two matching classifications: twice in a row
      {{3, 3}, {1, 3}},        // a code named twice selects no dish more often
      {{9}, {0}},              // a dish without Code enters as 0
      {{0}, {4}},              // a classification without Code counts as 0
      {{7}, {}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    Codes shown{42};
    CollectShownCodes(*menu, c.dishCodes, shown);
    EXPECT_EQ(shown, c.shown) << ::testing::PrintToString(c.dishCodes);
  }
}

TEST(DishCodes, ShownCodesFailures) {
  Codes shown{42};
  EXPECT_THROW(CollectShownCodes(XmlDocument(), {3}, shown), Exception);
  EXPECT_EQ(shown, Codes{42}) << "a menu without root is found before the list is touched";

  const auto menu = LoadMenu(R"(<Menu>
      <Dish Code="1"><Classifications><C Code="3"/></Classifications></Dish>
      <Dish Code="x"><Classifications><C Code="4"/></Classifications></Dish>
      <Dish Code="2"><Classifications><C Code="3"/></Classifications></Dish>
    </Menu>)");
  CollectShownCodes(*menu, {3}, shown);  // a bad dish Code is read only for a match
  EXPECT_EQ(shown, (Codes{1, 2}));
  EXPECT_THROW(CollectShownCodes(*menu, {4, 3}, shown), Exception);
  EXPECT_EQ(shown, (Codes{1})) << "the codes before the failure";

  const auto badClassification = LoadMenu(R"(<Menu>
      <Dish Code="1"><Classifications><C Code="3"/><C Code="three"/></Classifications></Dish>
    </Menu>)");
  EXPECT_THROW(CollectShownCodes(*badClassification, {5}, shown), Exception);
}

TEST(DishCodes, NextDishIndexCycles) {
  EXPECT_EQ(NextDishIndex(-1, 3), 0);
  EXPECT_EQ(NextDishIndex(0, 3), 1);
  EXPECT_EQ(NextDishIndex(2, 3), 0);
  EXPECT_EQ(NextDishIndex(0, 1), 0);
  EXPECT_EQ(NextDishIndex(5, 3), 0);
  EXPECT_EQ(NextDishIndex(0, 0), -1);
  EXPECT_EQ(NextDishIndex(-1, 0), -1);
}

TEST(DishCodes, FindShownDishMakesAtMostOnePass) {
  const auto menu = LoadMenu(kMenu);
  struct Case {
    Codes shown;
    int32_t index;
    int32_t found;  // the index after the call
    const char16_t* name;
  };
  const Case cases[] = {
      {{1, 2, 3}, 0, 0, u"A"},
      {{1, 2, 3}, 2, 2, u"Twice"},
      {{1, 77, 0, 2}, 1, 3, u"B"},  // entries that name no dish are skipped
      {{1, 77, 0}, 1, 0, u"A"},     // round to the start
      {{0, 77}, 0, -1, nullptr},    // none names a dish: one pass, then nothing is selected
      {{0, 0, 0, 77, 0, 3}, 1, 5, u"Twice"},  // dishes without Code stand as 0
      {{}, 0, -1, nullptr},
      {{1}, -1, -1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.shown) + " from " + std::to_string(c.index));
    int32_t index = c.index;
    const XmlNode* dish = FindShownDish(*menu, c.shown, index);
    EXPECT_EQ(index, c.found);
    if (c.name) {
      ASSERT_NE(dish, nullptr);
      EXPECT_EQ(dish->Attr(u"Name"), c.name);
    } else {
      EXPECT_EQ(dish, nullptr);
    }
  }
  int32_t index = 0;
  EXPECT_THROW(FindShownDish(XmlDocument(), {1}, index), Exception);
}

}  // namespace
