// The receipt build's plan: the change key, the code lists, the receipt text handed to the movie and
// the pictures it names, and where a failing build stops.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/receiptdisplay/ReceiptBuilder.h"
#include "core/Utf.h"

void PrintTo(const ReceiptPicture& p, std::ostream* os) {
  *os << '{' << Utf16ToUtf8(p.Path) << ", " << Utf16ToUtf8(p.Name) << '}';
}

namespace {

struct Receipt {
  ReceiptSettings settings{.MoneyFormat = u"0", .ShowZeroCheckLines = true, .DefPcs = u"шт.",
                           .Case = &SimpleCaseMap()};
  std::set<std::u16string> files;  // the paths where a picture file exists
  std::vector<std::u16string> asked;

  ReceiptPlan Plan(const std::string& check, std::u16string_view lastKey = {}) {
    XmlDocument document;
    document.LoadXml(check);
    return PlanReceiptBuild(document, lastKey, settings, [this](std::u16string_view path) {
      asked.emplace_back(path);
      return files.count(std::u16string(path)) > 0;
    });
  }
};

TEST(ReceiptBuilder, LinePriceAddsModifiersTimesQuantityButNotComboParts) {
  Receipt r;
  r.files = {uR"(C:\img\burger.jpg)"};
  const ReceiptPlan plan = r.Plan(R"(<?xml version="1.0" encoding="utf-8"?><Check>
    <CheckLines Codes=" 12, 15 " Categories="3">
      <Line Name="Burger" Qnt="2" Price="100" ImagePath="C:\img\burger.jpg">
        <ModiLine Name="Cheese" Qnt="1" Price="30"/>
        <ModiLine Name="Salt" Qnt="1" Price="0"/>
        <ComboLine Name="Cola" Qnt="1" Price="50"/>
        <Note Name="not a modifier" Price="x"/>
      </Line>
      <Line Name="Tea" Qnt="0.5" Price="30" Portion="л">
        <ModiLine Name="Sugar" Qnt="2"/>
        <ModiLine Name="Lemon" Qnt="2" Price="5"/>
        <ComboLine Name="Cup" Qnt="1" Price="0"/>
      </Line>
    </CheckLines></Check>)");
  ASSERT_FALSE(plan.Failure) << Utf16ToUtf8(*plan.Failure);
  EXPECT_TRUE(plan.Rebuild);
  EXPECT_EQ(plan.Currency, u"руб");
  EXPECT_TRUE(plan.CodesRead);
  EXPECT_EQ(plan.DishCodes, (std::vector<int32_t>{12, 15}));
  EXPECT_EQ(plan.Categories, (std::vector<int32_t>{3}));
  EXPECT_EQ(plan.ItemXml,
            u"<Item Picture=\"burger.jpg\" Name=\"Burger\" Qnt=\"2\" Portion=\"шт.\" Price=\"260\" "
            u"Currency=\"руб\">\t<Modi Name=\"*Cheese, 1x30руб\"/>\t<Modi Name=\"*Salt\"/>"
            u"\t<Modi Name=\"*Cola, 1x50руб\"/></Item>"
            u"<Item Picture=\"\" Name=\"Tea\" Qnt=\"0.5\" Portion=\"л\" Price=\"20\" Currency=\"руб\">"
            u"\t<Modi Name=\"*2xSugar\"/>\t<Modi Name=\"*Lemon, 2x5руб\"/>\t<Modi Name=\"*Cup, 1x0руб\"/>"
            u"</Item>");
  EXPECT_EQ(plan.Pictures, (std::vector<ReceiptPicture>{{uR"(C:\img\burger.jpg)", u"burger.jpg"}}));
  EXPECT_EQ(r.asked, (std::vector<std::u16string>{uR"(C:\img\burger.jpg)"}));  // never an empty path
}

TEST(ReceiptBuilder, LinesThatReadZeroAreShownOnlyWhenTheSettingSaysSo) {
  const std::string check = R"(<Check Currency="RUB"><CheckLines>
      <Line Name="Free" ImagePath="free.png"><ModiLine Name="Sauce" Qnt="1" Price="20"/></Line>
      <Line Name="Gift" Qnt="0" Price="100"/>
      <Line Name="Water" Qnt="1" Price="0"/>
      <Line Name="Bread" Price="15"/>
    </CheckLines></Check>)";
  const std::u16string water =
      u"<Item Picture=\"\" Name=\"Water\" Qnt=\"1\" Portion=\"шт.\" Price=\"0\" Currency=\"rub\"/>";
  struct Case {
    bool show;
    std::u16string itemXml;
    std::vector<ReceiptPicture> pictures;
  } cases[] = {
      {true,
       u"<Item Picture=\"free.png\" Name=\"Free\" Qnt=\"\" Portion=\"\" Price=\"\" Currency=\"\">"
       u"\t<Modi Name=\"*Sauce, 1x20rub\"/></Item>"
       u"<Item Picture=\"\" Name=\"Gift\" Qnt=\"0\" Portion=\"шт.\" Price=\"0\" Currency=\"rub\"/>" +
           water +
           u"<Item Picture=\"\" Name=\"Bread\" Qnt=\"0\" Portion=\"шт.\" Price=\"0\" Currency=\"rub\"/>",
       {{u"free.png", u"free.png"}}},
      {false, water, {}},
  };
  for (const Case& c : cases) {
    Receipt r;
    r.settings.ShowZeroCheckLines = c.show;
    r.files = {u"free.png"};
    const ReceiptPlan plan = r.Plan(check);
    EXPECT_EQ(plan.ItemXml, c.itemXml) << "ShowZeroCheckLines " << c.show;
    EXPECT_EQ(plan.Pictures, c.pictures) << "ShowZeroCheckLines " << c.show;
  }
}

TEST(ReceiptBuilder, DiscountsPortionsAndMoneyMask) {
  Receipt r;
  r.settings.MoneyFormat = u"0.00";
  r.files = {u"D:sale.png"};
  const ReceiptPlan plan = r.Plan(R"(<?xml version="1.0" encoding="UTF-8"?><Check Currency="Руб."><CheckLines>
      <Line Name="Soup" Qnt="1" Price="0.125" Portion=""/>
    </CheckLines><Discounts>
      <Discount Name="Card -10%" Sum="-26.5" ImagePath="D:sale.png"/>
      <Any Name="Round" Sum="-0.001"/>
    </Discounts></Check>)");
  EXPECT_EQ(plan.Currency, u"руб.");
  EXPECT_EQ(plan.ItemXml,
            u"<Item Picture=\"\" Name=\"Soup\" Qnt=\"1\" Portion=\"\" Price=\"0.13\" Currency=\"руб.\"/>"
            u"<Item Picture=\"sale.png\" Name=\"Card -10%\" Qnt=\"\" Portion=\"\" Price=\"-26.50\" "
            u"Currency=\"руб.\"/>"
            u"<Item Picture=\"\" Name=\"Round\" Qnt=\"\" Portion=\"\" Price=\"0.00\" Currency=\"руб.\"/>");
  EXPECT_EQ(plan.Pictures, (std::vector<ReceiptPicture>{{u"D:sale.png", u"sale.png"}}));
}

TEST(ReceiptBuilder, EitherSectionAlone) {
  struct Case {
    const char* check;
    bool codesRead;
    std::vector<int32_t> codes;
    std::u16string itemXml;
  } cases[] = {
      {R"(<Check><Discounts><D Name="A" Sum="5"/></Discounts></Check>)", false, {},
       u"<Item Picture=\"\" Name=\"A\" Qnt=\"\" Portion=\"\" Price=\"5\" Currency=\"руб\"/>"},
      // A check without lines is handed over as an empty receipt all the same.
      {R"(<Check><CheckLines Codes="7,"/></Check>)", true, {7}, u""},
  };
  for (const Case& c : cases) {
    Receipt r;
    const ReceiptPlan plan = r.Plan(c.check);
    EXPECT_TRUE(plan.Rebuild) << c.check;
    EXPECT_FALSE(plan.Failure) << c.check;
    EXPECT_EQ(plan.CodesRead, c.codesRead) << c.check;
    EXPECT_EQ(plan.DishCodes, c.codes) << c.check;
    EXPECT_EQ(plan.ItemXml, c.itemXml) << c.check;
  }
}

TEST(ReceiptBuilder, ChangeKeyIsTheTextOfLinesAndDiscountsOnly) {
  // The writer's text of both, its one-TAB indentation as a TAB and the run's length 0, 1.
  using namespace std::string_literals;
  const std::u16string key =
      u"\r\n<CheckLines Codes=\"1\">\r\n\t\0\x01<Line Name=\"a\" Qnt=\"1\"/>\r\n</CheckLines>\r\n<Discounts/>"s;
  Receipt r;
  // The first check data after start without lines or discounts has the initial empty key.
  const ReceiptPlan first = r.Plan(R"(<Check ModeName="Order" Currency="EUR"/>)", u"");
  EXPECT_FALSE(first.Rebuild);
  EXPECT_TRUE(first.Key.empty());

  const ReceiptPlan built = r.Plan(R"(<Check><CheckLines Codes="1"><Line Name="a" Qnt="1"/></CheckLines>
                                      <Payments><P Sum="5"/></Payments><Discounts/></Check>)");
  EXPECT_TRUE(built.Rebuild);
  EXPECT_EQ(built.Key, key);

  struct Case {
    const char* check;
    bool rebuild;
  } cases[] = {
      // Root attributes, other elements, white space between elements and a second CheckLines do
      // not count.
      {R"(<Total Currency="EUR" Sum="9"><Payments/><CheckLines Codes="1">
            <Line Name="a" Qnt="1"/></CheckLines><CheckLines Codes="2"/><Discounts/></Total>)", false},
      {R"(<Check><CheckLines Codes="1"><Line Qnt="1" Name="a"/></CheckLines><Discounts/></Check>)", true},
      {R"(<Check><CheckLines Codes="1"><Line Name="a" Qnt="1"/></CheckLines></Check>)", true},
      {R"(<Check><CheckLines Codes="1"><Line Name="a" Qnt="1.0"/></CheckLines><Discounts/></Check>)", true},
  };
  for (const Case& c : cases) {
    const ReceiptPlan plan = r.Plan(c.check, key);
    EXPECT_EQ(plan.Rebuild, c.rebuild) << c.check;
    if (!plan.Rebuild) {
      EXPECT_TRUE(plan.Currency.empty() && plan.ItemXml.empty() && !plan.CodesRead) << c.check;
    }
  }
}

TEST(ReceiptBuilder, ChangeKeyGrowsWithTheCheckDataNotWithItsDepth) {
  // A line whose children nest 900 deep: the writer indents each of them by its level.
  auto deep = [](const std::string& inner) {
    std::string s = "<Check><CheckLines><Line Name=\"a\" Qnt=\"1\">";
    for (int i = 0; i < 900; ++i) s += "<x>";
    s += inner;
    for (int i = 0; i < 900; ++i) s += "</x>";
    return s + "</Line></CheckLines></Check>";
  };
  Receipt r;
  const std::string text = deep("<y/>");
  const ReceiptPlan built = r.Plan(text);
  ASSERT_TRUE(built.Rebuild);
  EXPECT_LT(built.Key.size(), 4 * text.size());
  // The key still tells exactly what the writer's text tells: TABs of a value next to those of the
  // indentation, and the depth itself.
  struct Case {
    std::string check;
    bool rebuild;
  } cases[] = {
      {text, false},
      {deep("<y z=\"&#9;\"/>"), true},
      {deep("<x/>"), true},
      {deep("<y/><y/>"), true},
      {"<Check><CheckLines><Line Name=\"a\" Qnt=\"1\"/></CheckLines></Check>", true},
  };
  for (const Case& c : cases) EXPECT_EQ(r.Plan(c.check, built.Key).Rebuild, c.rebuild) << c.check.substr(2700);

  // Values with TABs: equal texts give equal keys, different runs different ones.
  const char* const tabs = "<Check><CheckLines><Line Name=\"&#9;\"><M Name=\"&#9;&#9;\"/></Line></CheckLines></Check>";
  const ReceiptPlan withTabs = r.Plan(tabs);
  EXPECT_FALSE(r.Plan(tabs, withTabs.Key).Rebuild);
  EXPECT_TRUE(r.Plan("<Check><CheckLines><Line Name=\"&#9;&#9;\"><M Name=\"&#9;\"/></Line></CheckLines></Check>",
                     withTabs.Key).Rebuild);
}

TEST(ReceiptBuilder, ReceiptTextPastItsBoundFailsTheBuild) {
  // A long root Currency repeated in every item and in every priced modifier's text: the receipt
  // would hold lines x (modifiers + 1) x its length.
  auto check = [](size_t currency, int lines, int modifiers) {
    std::string s = "<Check Currency=\"" + std::string(currency, 'e') + "\"><CheckLines>";
    for (int i = 0; i < lines; ++i) {
      s += "<L Name=\"d\" Qnt=\"1\" Price=\"2\" ImagePath=\"p" + std::to_string(i) + ".png\">";
      for (int m = 0; m < modifiers; ++m) s += "<ComboLine Name=\"c\" Qnt=\"1\" Price=\"1\"/>";
      s += "</L>";
    }
    return s + "</CheckLines><Discounts><D Name=\"off\" Sum=\"1\"/></Discounts></Check>";
  };
  struct Case {
    std::string check;
    bool fails;
    size_t pictures;  // those of the items before the bound
  } cases[] = {
      {check(40000, 100, 0), false, 100},     // 4.0 M characters of currency: just inside
      {check(40000, 110, 0), true, 104},      // past it at the 105th line
      {check(40000, 1, 200), true, 0},        // past it within one line's modifiers
      {check(3, 1000, 3), false, 1000},       // a banquet's receipt is far from it
  };
  for (const Case& c : cases) {
    Receipt r;
    for (size_t i = 0; i < 1000; ++i) r.files.insert(u"p" + Utf8ToUtf16(std::to_string(i)) + u".png");
    const ReceiptPlan plan = r.Plan(c.check);
    EXPECT_TRUE(plan.Rebuild);
    EXPECT_EQ(plan.Failure.has_value(), c.fails) << c.check.size();
    EXPECT_EQ(plan.Pictures.size(), c.pictures) << c.check.size();
    if (c.fails) EXPECT_TRUE(plan.ItemXml.empty());
    else EXPECT_LE(plan.ItemXml.size(), kMaxReceiptTextChars);
  }
}

TEST(ReceiptBuilder, NamesAreEscapedAndLoseTheirCrLfPairs) {
  Receipt r;
  const ReceiptPlan plan = r.Plan(
      "<Check Currency=\"a&amp;b\"><CheckLines><Line Name=\"Burger &quot;Big&quot; &amp; &lt;Co&gt;'s"
      "&#13;&#10;x&#10;y&#13;z&#9;t\" Qnt=\"1\" Price=\"1\" Portion=\"&lt;1&gt;\">"
      "<ModiLine Name=\"Ham &amp; eggs&#13;&#10;\" Qnt=\"1\"/></Line></CheckLines></Check>");
  EXPECT_EQ(plan.ItemXml,
            u"<Item Picture=\"\" Name=\"Burger &quot;Big&quot; &amp; &lt;Co&gt;'sx\ny\rz\tt\" Qnt=\"1\" "
            u"Portion=\"&lt;1&gt;\" Price=\"1\" Currency=\"a&amp;b\">\t<Modi Name=\"*Ham &amp; eggs\"/>"
            u"</Item>");
}

TEST(ReceiptBuilder, PicturesAreNamedByTheirBareFileName) {
  Receipt r;
  r.files = {uR"(C:\pics\a\logo.png)", uR"(D:\other\logo.png)", u"C:logo2.png", u"pics/x.jpg",
             uR"(C:\pics\)"};
  const ReceiptPlan plan = r.Plan(R"(<Check><CheckLines>
      <L Name="1" Qnt="1" ImagePath="C:\pics\a\logo.png"/>
      <L Name="2" Qnt="1" ImagePath="D:\other\logo.png"/>
      <L Name="3" Qnt="1" ImagePath="C:logo2.png"/>
      <L Name="4" Qnt="1" ImagePath="pics/x.jpg"/>
      <L Name="5" Qnt="1" ImagePath="missing.jpg"/>
      <L Name="6" Qnt="1" ImagePath=""/>
    </CheckLines></Check>)");
  EXPECT_EQ(plan.Pictures, (std::vector<ReceiptPicture>{{uR"(C:\pics\a\logo.png)", u"logo.png"},
                                                         {uR"(D:\other\logo.png)", u"logo.png"},
                                                         {u"C:logo2.png", u"logo2.png"},
                                                         {u"pics/x.jpg", u"pics/x.jpg"}}));
  const std::u16string rest = u"\" Qnt=\"1\" Portion=\"шт.\" Price=\"0\" Currency=\"руб\"/>";
  EXPECT_EQ(plan.ItemXml, u"<Item Picture=\"logo.png\" Name=\"1" + rest +
                              u"<Item Picture=\"logo.png\" Name=\"2" + rest +
                              u"<Item Picture=\"logo2.png\" Name=\"3" + rest +
                              u"<Item Picture=\"pics/x.jpg\" Name=\"4" + rest +
                              u"<Item Picture=\"\" Name=\"5" + rest + u"<Item Picture=\"\" Name=\"6" + rest);
  EXPECT_EQ(r.asked.size(), 5u);
}

// A failure after the key step ends the plan where it happens: the codes read before it and the
// pictures of the items before it stay in the plan, and nothing is handed over.
TEST(ReceiptBuilder, FailureStopsWhereItHappens) {
  struct Case {
    const char* check;
    std::vector<int32_t> categories, codes;
    std::vector<std::u16string> pictures;
  } cases[] = {
      {R"(<C><CheckLines Categories="1,x" Codes="5"><L Qnt="1" ImagePath="a.jpg"/></CheckLines></C>)",
       {1}, {}, {}},
      {R"(<C><CheckLines Codes="12 ,15"/></C>)", {}, {}, {}},
      {R"(<C><CheckLines Codes="12,15,,"/></C>)", {}, {12, 15}, {}},
      {R"(<C><CheckLines Codes=",12"/></C>)", {}, {}, {}},
      {R"(<C><CheckLines><L Qnt="1" ImagePath="a.jpg"/><L Qnt="abc" ImagePath="b.jpg"/></CheckLines></C>)",
       {}, {}, {u"a.jpg"}},
      {R"(<C><CheckLines><L Qnt="1" ImagePath="a.jpg"/></CheckLines>
             <Discounts><D Sum="" ImagePath="b.jpg"/></Discounts></C>)",
       {}, {}, {u"a.jpg"}},
      {R"(<C><CheckLines><L Qnt="1" ImagePath="a.jpg"><ModiLine Price="1,5"/></L></CheckLines></C>)",
       {}, {}, {}},
  };
  for (const Case& c : cases) {
    Receipt r;
    r.files = {u"a.jpg", u"b.jpg"};
    const ReceiptPlan plan = r.Plan(c.check);
    EXPECT_TRUE(plan.Rebuild) << c.check;
    EXPECT_TRUE(plan.Failure) << c.check;
    EXPECT_FALSE(plan.Key.empty()) << c.check;
    EXPECT_TRUE(plan.CodesRead) << c.check;
    EXPECT_EQ(plan.Categories, c.categories) << c.check;
    EXPECT_EQ(plan.DishCodes, c.codes) << c.check;
    std::vector<std::u16string> pictures;
    for (const ReceiptPicture& p : plan.Pictures) pictures.push_back(p.Name);
    EXPECT_EQ(pictures, c.pictures) << c.check;
    EXPECT_EQ(plan.ItemXml, u"") << c.check;
  }
  Receipt r;
  EXPECT_EQ(r.Plan(R"(<C><CheckLines><L Qnt="abc"/></CheckLines></C>)").Failure,
            u"'abc' is not a valid floating point value (attribute Qnt)");
}

TEST(ReceiptBuilder, DocumentWithoutRootFailsBeforeTheKey) {
  Receipt r;
  EXPECT_THROW(r.Plan("<?xml version=\"1.0\"?><!-- no check -->"), Exception);
}

}  // namespace

namespace {

// Comments and text among the lines or the discounts are no lines and no discounts.
TEST(ReceiptBuilder, OnlyChildElementsAreLinesAndDiscounts) {
  Receipt r;
  const ReceiptPlan plan = r.Plan(R"(<Check><CheckLines><!-- a note -->text<L Name="A" Qnt="1"/></CheckLines>
      <Discounts><!-- none --><![CDATA[x]]></Discounts></Check>)");
  ASSERT_FALSE(plan.Failure) << Utf16ToUtf8(*plan.Failure);
  EXPECT_EQ(plan.ItemXml, u"<Item Picture=\"\" Name=\"A\" Qnt=\"1\" Portion=\"шт.\" Price=\"0\" Currency=\"руб\"/>");
}

// The check data reaches the loader as UTF-8 whatever its declaration names; a declaration that the
// loader refuses still fails.
TEST(ReceiptBuilder, CheckDataIsReadAsUtf8WhateverItsDeclarationSays) {
  const std::string check = "<Check><CheckLines><L Name=\"Борщ\" Qnt=\"1\"/></CheckLines></Check>";
  for (const std::string declaration :
       {"", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>", "<?xml version=\"1.0\"?>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"}) {
    XmlDocument document;
    LoadCheckDataUtf8(document, declaration + check);
    ASSERT_NE(document.Root(), nullptr) << declaration;
    EXPECT_EQ(document.Root()->FirstChild(u"CheckLines")->Child(0)->Attr(u"Name"), u"Борщ") << declaration;
  }
  for (const std::string& bad : {"<?xml version=\"1.0\" encoding=\"klingon\"?>" + check, "<?xml version=\"1.0\"" + check,
                                std::string("<Check>"), std::string("<?xml version=\"1.0\"?><?xml version=\"1.0\"?>") + check}) {
    XmlDocument document;
    EXPECT_THROW(LoadCheckDataUtf8(document, bad), Exception) << bad;
  }
}

}  // namespace
