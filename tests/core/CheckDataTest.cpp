// ReadCheckData: the summary of a check data text, from tables of texts, and every failure.
#include <gtest/gtest.h>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/orderdisplay/CheckData.h"
#ifdef _WIN32
#include "win/WinCaseMap.h"
#endif

namespace {

// The system's case mapping where there is one; natively the core's own, which maps Cyrillic too.
const CaseMap& Case() {
#ifdef _WIN32
  return SystemCaseMap();
#else
  return SimpleCaseMap();
#endif
}

CheckSummary Read(const std::u16string& xml, const std::u16string& mask = u"0") {
  CheckTexts texts{mask, u"шт.", &Case()};
  return ReadCheckDataUtf8(Utf16ToUtf8(u"<?xml version=\"1.0\" encoding=\"utf-8\"?>" + xml), texts).Summary;
}

std::string Show(const std::u16string& s) { return Utf16ToUtf8(s); }

TEST(ReadCheckData, Lines) {
  struct Case {
    std::u16string xml;
    int lineCount;
    bool noLines;
    std::u16string dish, quantity, price, modifiers;
    std::u16string mask = u"0";
  } cases[] = {
      {u"<Check/>", 0, true, u"", u"", u"", u""},
      {u"<Check><CheckLines/></Check>", 0, true, u"", u"", u"", u""},
      {u"<Check><CheckLines><L Name=\"A\"/><L/><L Qnt=\"bad\"/></CheckLines></Check>", 3, false, u"", u"", u"", u""},
      // The last new line wins; a comment counts as a line; layout white space does not.
      {u"<Check><CheckLines>\r\n  <L New=\"true\" Name=\"First\"/>\r\n  <!-- note -->\r\n"
       u"  <L New=\"1\" Name=\" Borsch \" Qnt=\"2\" Price=\"150\"/>\r\n</CheckLines></Check>",
       3, false, u"Borsch", u"2 шт.", u"300", u""},
      {u"<Check><CheckLines><L New=\"TRUE\" Name=\"D\" Qnt=\"2\" Price=\"200\">"
       u"<ModiLine Name=\"A\" Qnt=\"1\" Price=\"30\"/><ModiLine Name=\"B\" Qnt=\"2\" Price=\"10\"/>"
       u"<ComboLine Name=\"C\" Price=\"50\"/></L></CheckLines></Check>",
       // (200 + 30 + 2 x 10) x 2; the combo part adds nothing.
       1, false, u"D", u"2 шт.", u"500.00", u"A, 2xB, C", u"0.00"},
      {u"<Check><CheckLines><L New=\"true\" Name=\"D\" Price=\"10\"><ModiLine Name=\"A\" Price=\"5\"/>"
       u"</L></CheckLines></Check>", 1, false, u"D", u"1 шт.", u"10", u"0xA"},
      {u"<Check><CheckLines><L New=\"true\" Name=\"D\" Qnt=\"1.5\" Portion=\"U\"><ModiLine Name=\"A\" Qnt=\"0.5\"/>"
       u"</L></CheckLines></Check>", 1, false, u"D", u"1.5 U", u"0", u"0.5xA"},
      // The separator goes by position: a first child that is neither kind still counts.
      {u"<Check><CheckLines><L New=\"true\" Name=\"D\"><Other/><ComboLine Name=\"C\"/></L></CheckLines></Check>",
       1, false, u"D", u"1 шт.", u"0", u", C"},
  };
  for (auto& c : cases) {
    CheckSummary s = Read(c.xml, c.mask);
    EXPECT_EQ(s.LineCount, c.lineCount) << Show(c.xml);
    EXPECT_EQ(s.NoLines, c.noLines) << Show(c.xml);
    EXPECT_EQ(s.DishName, c.dish) << Show(c.xml);
    EXPECT_EQ(s.QuantityText, c.quantity) << Show(c.xml);
    EXPECT_EQ(s.DishPriceText, c.price) << Show(c.xml);
    EXPECT_EQ(s.ModifiersText, c.modifiers) << Show(c.xml);
  }
}

TEST(ReadCheckData, RootAndPayments) {
  CheckSummary s = Read(
      u"<Check ModeName=\"Mode_4\" Currency=\"RUB\"><Payments>"
      u"<P Sum=\"500\" ISOCode=\"RUB\"/><P Sum=\"0\" Change=\"0\"/><P Sum=\"100\" ISOCode=\"USD\" Change=\"20\"/>"
      u"<P Sum=\"-5\" Change=\"-1\" ISOCode=\"X\"/><P Sum=\"7\"/></Payments></Check>");
  EXPECT_EQ(s.ModeName, u"Mode_4");
  EXPECT_EQ(s.Currency, u"rub");
  EXPECT_EQ(s.PaidText, u"500 RUB; 100 USD; 7 ");
  EXPECT_EQ(s.ChangeText, u"20 USD");
  EXPECT_EQ(Read(u"<Check/>").Currency, u"руб");
  EXPECT_EQ(Read(u"<Check Currency=\"ГРН\"/>").Currency, u"грн") << "Cyrillic lower-cased";
}

TEST(ReadCheckData, Failures) {
  const std::u16string bad[] = {
      u"<Check>",
      u"",
      u"<Check><CheckLines><L New=\"yes\"/></CheckLines></Check>",
      u"<Check><CheckLines><L New=\"true\" Qnt=\"x\"/></CheckLines></Check>",
      u"<Check><CheckLines><L New=\"true\" Price=\"\"/></CheckLines></Check>",
      u"<Check><CheckLines><L New=\"true\"><ModiLine Qnt=\"1,5\"/></L></CheckLines></Check>",
      u"<Check><Payments><P Sum=\"5 \"/></Payments></Check>",
      u"<Check><Payments><P Change=\"many\"/></Payments></Check>",
  };
  for (auto& xml : bad) EXPECT_THROW(Read(xml), Exception) << Show(xml);
  CheckTexts texts{u"0", u"шт.", &Case()};
  EXPECT_THROW(ReadCheckDataUtf8("<?xml version=\"1.0\" encoding=\"koi8-r\"?><C/>", texts), Exception);
}

TEST(ReadCheckData, WithoutDeclarationEachByteIsACharacter) {
  CheckTexts texts{u"0", u"шт.", &Case()};
  CheckData d = ReadCheckDataUtf8(Utf16ToUtf8(u"<C><CheckLines><L New=\"true\" Name=\"Щи\"/></CheckLines></C>"), texts);
  EXPECT_EQ(d.Summary.DishName, u"\u00D0\u00A9\u00D0\u00B8");
}

}  // namespace
