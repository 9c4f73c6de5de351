#include "core/orderdisplay/CheckData.h"

#include "core/Exception.h"
#include "core/NumberForms.h"

std::u16string MoneyText(double value, const std::u16string& moneyFormat) {
  return FormatFloat(moneyFormat, value);
}

namespace {

void ReadLines(const XmlNode& lines, const CheckTexts& texts, CheckSummary& s) {
  for (const XmlNode* line : lines.Children()) {
    s.NoLines = false;
    ++s.LineCount;
    if (!line->AttrBool(u"New", false)) continue;
    double comboSum = 0;
    std::u16string modifiers;
    const auto children = line->Children();
    for (size_t j = 0; j < children.size(); ++j) {
      const XmlNode* child = children[j];
      if (!child->IsElement()) continue;
      // The separator goes by the child's position, not by what has been written so far.
      if (child->Name() == u"ModiLine") {
        if (j > 0) modifiers += u", ";
        const double q = child->AttrFloat(u"Qnt", 0);
        if (q != 1) modifiers += FloatToStr(q) + u"x";
        modifiers += child->Attr(u"Name");
        comboSum += child->AttrFloat(u"Price", 0) * q;
      } else if (child->Name() == u"ComboLine") {
        if (j > 0) modifiers += u", ";
        modifiers += child->Attr(u"Name");
      }
    }
    const double qnt = line->AttrFloat(u"Qnt", 1);
    const double price = line->AttrFloat(u"Price", 0);
    s.ModifiersText = modifiers;
    s.DishName = std::u16string(TrimBlanks(line->Attr(u"Name")));
    s.QuantityText = FloatToStr(qnt) + u" " + line->Attr(u"Portion", texts.DefPcs);
    s.DishPriceText = MoneyText((price + comboSum) * qnt, texts.MoneyFormat);
  }
}

void AppendAmount(std::u16string& to, double amount, const std::u16string& iso, const CheckTexts& texts) {
  if (!to.empty()) to += u"; ";
  to += MoneyText(amount, texts.MoneyFormat) + u" " + iso;
}

}  // namespace

CheckData ReadCheckDataUtf8(std::string_view utf8, const CheckTexts& texts) {
  CheckData data;
  data.Document = std::make_unique<XmlDocument>();
  data.Document->LoadXml(utf8);
  const XmlNode* root = data.Document->Root();
  if (!root) throw Exception(u"The check data has no root element");
  CheckSummary& s = data.Summary;
  s.ModeName = root->Attr(u"ModeName");
  s.Currency = texts.Case->Lower(root->Attr(u"Currency", u"руб"));
  if (const XmlNode* lines = root->FirstChild(u"CheckLines")) ReadLines(*lines, texts, s);
  if (const XmlNode* payments = root->FirstChild(u"Payments")) {
    for (const XmlNode* p : payments->Children()) {
      const double sum = p->AttrFloat(u"Sum", 0);
      if (sum > 0) AppendAmount(s.PaidText, sum, p->Attr(u"ISOCode"), texts);
      const double change = p->AttrFloat(u"Change", 0);
      if (change > 0) AppendAmount(s.ChangeText, change, p->Attr(u"ISOCode"), texts);
    }
  }
  return data;
}
