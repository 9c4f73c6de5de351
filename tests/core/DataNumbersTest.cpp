// Numbers of the host's data that no screen can show (not finite, or too large for an exact money
// form): each reader of check data and menus fails on them as on a text that is no number.
#include <gtest/gtest.h>

#include <string>

#include "Raised.h"
#include "core/Numbers.h"
#include "core/Utf.h"
#include "core/orderdisplay/CheckData.h"
#include "core/receiptdisplay/ReceiptBuilder.h"
#include "core/scenes/SceneDish.h"

namespace {

TEST(TryStrToDataNumber, FiniteAndBelowTenToTheFifteenth) {
  const struct {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"999999999999999", true, 999999999999999.0}, {"-999999999999999", true, -999999999999999.0},
      {"999999999999999.9", true, 999999999999999.9}, {" 12.5", true, 12.5},
      {"1e-400", true, 0},                         {"1e14", true, 1e14},
      {"1e15", false, 0},                          {"-1e15", false, 0},
      {"1000000000000000", false, 0},              {"1e308", false, 0},
      {"1e400", false, 0},                         {"NAN", false, 0},
      {"nan", false, 0},                           {"INF", false, 0},
      {"-INF", false, 0},                          {"+inf", false, 0},
      {"abc", false, 0},                           {"", false, 0},
  };
  for (const auto& c : cases) {
    double v = 12345;
    EXPECT_EQ(TryStrToDataNumber(Ascii(c.text), v), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(v, c.ok ? c.value : 12345) << '"' << c.text << '"';
  }
}

// Each hostile value in each place where a program reads a number of the host's texts.
TEST(DataNumbers, HostileValuesFailEveryReader) {
  const char* const values[] = {"NaN", "INF", "-INF", "1e308", "1e15"};
  // Check data as the order display reads it (the new line, its modifiers, the payments).
  const char* const orderChecks[] = {
      R"(<C><CheckLines><L New="true" Name="D" Price="%"/></CheckLines></C>)",
      R"(<C><CheckLines><L New="true" Name="D" Qnt="%"/></CheckLines></C>)",
      R"(<C><CheckLines><L New="true" Name="D"><ModiLine Name="A" Price="%"/></L></CheckLines></C>)",
      R"(<C><Payments><P Sum="%" ISOCode="RUB"/></Payments></C>)",
      R"(<C><Payments><P Sum="1" Change="%"/></Payments></C>)",
  };
  // Check data as the receipt display reads it (lines, modifiers, combo parts, discounts).
  const char* const receiptChecks[] = {
      R"(<C><CheckLines><L Name="D" Qnt="1" Price="%"/></CheckLines></C>)",
      R"(<C><CheckLines><L Name="D" Qnt="%" Price="1"/></CheckLines></C>)",
      R"(<C><CheckLines><L Name="D" Qnt="1"><ComboLine Name="A" Qnt="%"/></L></CheckLines></C>)",
      R"(<C><Discounts><D Name="D" Sum="%"/></Discounts></C>)",
  };
  auto with = [](std::string text, const char* value) { return text.replace(text.find('%'), 1, value); };
  const CheckTexts texts{u"0.00", u"pcs", &SimpleCaseMap()};
  const ReceiptSettings settings{.MoneyFormat = u"0.00", .ShowZeroCheckLines = true, .DefPcs = u"pcs",
                                 .Case = &SimpleCaseMap()};
  for (const char* value : values) {
    SCOPED_TRACE(value);
    const std::u16string expected = u"'" + Utf8ToUtf16(value) + u"' is not a valid floating point value";
    for (const char* check : orderChecks) {
      const std::string text = with(check, value);
      EXPECT_EQ(RaisedMessage([&] { ReadCheckDataUtf8(text, texts); }).substr(0, expected.size()), expected)
          << text;
    }
    for (const char* check : receiptChecks) {
      XmlDocument document;
      document.LoadXml(with(check, value));
      const ReceiptPlan plan = PlanReceiptBuild(document, {}, settings, [](std::u16string_view) { return false; });
      ASSERT_TRUE(plan.Failure) << with(check, value);
      EXPECT_EQ(plan.Failure->substr(0, expected.size()), expected) << with(check, value);
      EXPECT_EQ(plan.ItemXml, u"") << with(check, value);
    }
    // A menu dish's price, as a scene reads it.
    XmlDocument menu;
    menu.LoadXml(with(R"(<Menu><D Code="1" Price="%"/></Menu>)", value));
    const scenes::DishSettings dish{.picPath = u"", .nameField = u"Name", .floatFormat = u"0",
                                    .priceText = scenes::kOwnPriceText};
    EXPECT_EQ(RaisedMessage([&] { scenes::ReadDish(*menu.Root()->Child(0), dish, SimpleCaseMap()); })
                  .substr(0, expected.size()),
              expected);
  }
}

}  // namespace
