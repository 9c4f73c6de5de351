// The receipt build's plan: the change key, the check's code lists, the items and their pictures.
#include "core/receiptdisplay/ReceiptBuilder.h"

#include "core/Exception.h"
#include "core/NumberForms.h"
#include "core/Numbers.h"

namespace {

class Build {
 public:
  Build(ReceiptPlan& plan, const ReceiptSettings& settings, const PictureExists& pictureExists)
      : plan_(plan), settings_(settings), pictureExists_(pictureExists) {}

  void Run(const XmlNode& root, const XmlNode* lines, const XmlNode* discounts) {
    plan_.Currency = settings_.Case->Lower(root.Attr(u"Currency", u"Руб"));
    if (lines) {
      plan_.CodesRead = true;
      ParseIntList(lines->Attr(u"Categories"), plan_.Categories);
      ParseIntList(lines->Attr(u"Codes"), plan_.DishCodes);
      for (const XmlNode* line : lines->Children())
        if (line->IsElement()) AddLine(*line);
    }
    if (discounts) {
      for (const XmlNode* discount : discounts->Children())
        if (discount->IsElement())
          AddItem(*discount, discount->Attr(u"Name"), {}, {}, Money(discount->AttrFloat(u"Sum", 0)),
                  plan_.Currency, {});
    }
    plan_.ItemXml = RemoveCrLfPairs(receipt_.Xml());
  }

 private:
  std::u16string Money(double value) const { return FormatFloat(settings_.MoneyFormat, value); }

  // "*Name, 2x30руб": a priced modifier or any combo part.
  std::u16string PricedText(const std::u16string& name, double qnt, double price) const {
    return u"*" + name + u", " + FloatToStr(qnt) + u"x" + Money(price) + plan_.Currency;
  }

  void AddLine(const XmlNode& line) {
    std::vector<std::u16string> modifiers;
    size_t modifierChars = 0;  // counted against the bound as they are made, shown or not
    double modifierSum = 0;
    const std::u16string name = line.Attr(u"Name");
    for (const XmlNode* child : line.Children()) {
      if (!child->IsElement()) continue;
      const bool modifier = child->Name() == u"ModiLine";
      if (!modifier && child->Name() != u"ComboLine") continue;
      const std::u16string childName = child->Attr(u"Name");
      const double qnt = child->AttrFloat(u"Qnt", 0);
      const double price = child->AttrFloat(u"Price", 0);
      if (!modifier || price != 0)
        modifiers.push_back(PricedText(childName, qnt, price));
      else if (qnt == 1)
        modifiers.push_back(u"*" + childName);
      else
        modifiers.push_back(u"*" + FloatToStr(qnt) + u"x" + childName);
      if (modifier) modifierSum += price * qnt;
      modifierChars += modifiers.back().size() + kModiMarkupChars;
      Within(modifierChars);
    }
    const double qnt = line.AttrFloat(u"Qnt", 0);
    const double price = line.AttrFloat(u"Price", 0);
    if (qnt == 0 && price == 0) {
      if (settings_.ShowZeroCheckLines) AddItem(line, name, {}, {}, {}, {}, modifiers);
      return;
    }
    const std::u16string qntText = FloatToStr(qnt);
    if (qntText == u"0" && !settings_.ShowZeroCheckLines) return;
    AddItem(line, name, qntText, line.Attr(u"Portion", settings_.DefPcs),
            Money((price + modifierSum) * qnt), plan_.Currency, modifiers);
  }

  void AddItem(const XmlNode& source, const std::u16string& name, const std::u16string& qnt,
               const std::u16string& portion, const std::u16string& price,
               const std::u16string& currency, const std::vector<std::u16string>& modifiers) {
    std::u16string picture;
    const std::u16string path = source.Attr(u"ImagePath");
    if (!path.empty() && pictureExists_(path)) picture = BareFileName(path);
    size_t chars = kItemMarkupChars + picture.size() + name.size() + qnt.size() + portion.size() +
                   price.size() + currency.size();
    for (const std::u16string& text : modifiers) chars += text.size() + kModiMarkupChars;
    Within(chars);
    receiptChars_ += chars;
    XmlNode* item = receipt_.Nodes().AppendElement(u"Item");
    if (!picture.empty()) plan_.Pictures.push_back({path, picture});
    item->SetAttr(u"Picture", picture);
    item->SetAttr(u"Name", name);
    item->SetAttr(u"Qnt", qnt);
    item->SetAttr(u"Portion", portion);
    item->SetAttr(u"Price", price);
    item->SetAttr(u"Currency", currency);
    for (const std::u16string& text : modifiers) item->AppendElement(u"Modi")->SetAttr(u"Name", text);
  }

  // Raises when `more` characters would take the receipt text past its bound.
  void Within(size_t more) const {
    if (more > kMaxReceiptTextChars - receiptChars_) throw Exception(u"The receipt text exceeds its bound");
  }

  // What the writer puts around the values: <Item Picture="" Name="" Qnt="" Portion="" Price=""
  // Currency=""></Item>, and a TAB and <Modi Name=""/> per modifier.
  static constexpr size_t kItemMarkupChars = 64;
  static constexpr size_t kModiMarkupChars = 16;

  ReceiptPlan& plan_;
  const ReceiptSettings& settings_;
  const PictureExists& pictureExists_;
  size_t receiptChars_ = 0;  // of the items so far, values unescaped
  XmlDocument receipt_;  // neither declaration nor root: the items lie at top level
};

}  // namespace

void LoadCheckDataUtf8(XmlDocument& document, std::string_view utf8) {
  constexpr std::string_view kUtf8Declaration = "<?xml version=\"1.0\"?>";
  std::string_view body = utf8;
  if (utf8.starts_with("<?xml") && utf8.size() > 5 &&
      (utf8[5] == '?' || utf8[5] == ' ' || utf8[5] == '\t' || utf8[5] == '\r' || utf8[5] == '\n')) {
    const size_t end = utf8.find("?>");
    if (end == std::string_view::npos) {
      document.LoadXml(utf8);  // raises: the declaration does not end
      return;
    }
    // The declaration alone, with an element to make a document, tells whether the loader takes it.
    document.LoadXml(std::string(utf8.substr(0, end + 2)) + "<x/>");
    body = utf8.substr(end + 2);
  }
  document.LoadXml(std::string(kUtf8Declaration) + std::string(body));
}

ReceiptPlan PlanReceiptBuild(const XmlDocument& check, std::u16string_view lastKey,
                             const ReceiptSettings& settings, const PictureExists& pictureExists) {
  const XmlNode* root = check.Root();
  if (!root) throw Exception(u"The check data has no root element");
  const XmlNode* lines = root->FirstChild(u"CheckLines");
  const XmlNode* discounts = root->FirstChild(u"Discounts");
  ReceiptPlan plan;
  if (lines) plan.Key = lines->XmlTabRuns();
  if (discounts) plan.Key += discounts->XmlTabRuns();
  if (plan.Key == lastKey) return plan;
  plan.Rebuild = true;
  try {
    Build(plan, settings, pictureExists).Run(*root, lines, discounts);
  } catch (const std::exception& e) {
    plan.Failure = ExceptionMessage(e);
  }
  return plan;
}
