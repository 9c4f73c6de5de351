// The apply of one check data text: read it, choose the layout by the mode name, fill it, show it and
// start its fade and slide animations when the previous layout change is at least 2000 ms old.
#include <functional>

#include "core/Exception.h"
#include "core/orderdisplay/CheckData.h"
#include "core/orderdisplay/HeaderText.h"
#include "orderdisplay/TwoLinesForm.h"
#include "shared/Logging.h"
#include "win/WinCaseMap.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

namespace {

double RootSum(const CheckData& d) { return d.Document->Root()->AttrFloat(u"Sum", 0); }
std::u16string RootModeText(const CheckData& d) { return d.Document->Root()->Attr(u"ModeText"); }

}  // namespace

void TfmOrderlume::FormSetText(const std::string& text) {
  if (!HandleAllocated()) return;
  try {
    TwoLinesFormUnit& u = Unit();
    const CheckTexts texts{ToU16(u.MoneyFormat), ToU16(u.Texts.DEFPCS), &SystemCaseMap()};
    const CheckData data = ReadCheckDataUtf8(AnsiToUtf8(text), texts);
    const CheckSummary& s = data.Summary;

    if (!Visible()) {
      for (ui::Control* c : std::initializer_list<ui::Control*>{Header, Layout1, Layout2, Layout3, Layout4})
        c->Hide();
      return;
    }
    Header->Show();

    ui::Layout* layout = nullptr;
    std::function<void()> setTexts;
    std::vector<ui::Animation*> animations;
    const std::u16string& mode = s.ModeName;
    auto message = [&](ui::Layout* l, ui::Text* t, ui::Animation* a) {
      layout = l;
      setTexts = [&data, t] { t->SetText(ToW(SplitTwoLines(RootModeText(data)))); };
      animations = {a};
    };
    if (mode == u"Mode_1" || mode == u"Mode_18") {
      message(Layout1, Text1, Text1Animation);
    } else if (mode == u"Mode_2" || mode == u"Mode_11" ||
               (mode == u"Mode_3" && (s.NoLines || u.StaticTextInOrder))) {
      message(Layout2, Text2, Text2Animation);
    } else if (mode == u"Mode_3") {
      layout = Layout3;
      setTexts = [&] {
        const bool dish = !s.DishName.empty();
        LastOrdered3->SetText(dish ? u.Texts.JUSTORDERED + L": " + ToW(s.QuantityText) : L"");
        DishName3->SetText(dish ? ToW(WrapDishName(s.DishName)) : L"");
        Price3->SetText(dish ? ToW(s.DishPriceText) : L"");
        Currency3->SetText(dish ? ToW(s.Currency) : L"");
        Modi3->SetText(dish ? ToW(SystemCaseMap().Upper(s.ModifiersText)) : L"");
        BasketGoods->SetText(u.Texts.BASKETGOODS + L":");
        BasketText->SetText(std::to_wstring(s.LineCount) + L" " + u.Texts.BASKETFOR + L" " +
                            ToW(MoneyText(RootSum(data), ToU16(u.MoneyFormat))) + L" " + ToW(s.Currency));
        ArrangeBasketRow();
        BasketLine->SetX(BasketImg->X() + 8.0f);
        BasketLine->SetWidth(BasketText->Width() + 129.0f);
      };
      animations = {DishName3Animation, Price3Animation, Currency3Animation};
    } else if (mode == u"Mode_4" || mode == u"Mode_5") {
      layout = Layout4;
      setTexts = [&] {
        Text4->SetText(ToW(RootModeText(data)));
        Sum4->SetText(ToW(MoneyText(RootSum(data), ToU16(u.MoneyFormat))));
        Currency4->SetText(ToW(s.Currency));
        Paid4->SetText(s.PaidText.empty() ? L"" : u.Texts.PAID + L": " + ToW(s.PaidText));
        Given4->SetText(s.ChangeText.empty() ? L"" : u.Texts.CHANGE + L": " + ToW(s.ChangeText));
      };
      animations = {Text4Animation, Currency4Animation, Sum4Animation1, Sum4Animation2};
    } else {
      return;  // any other mode: the header stays as it is
    }

    for (ui::Layout* other : {Layout1, Layout2, Layout3, Layout4})
      if (other != layout) other->Hide();
    setTexts();
    layout->Show();
    if (TwoSecondsPassed(u.Now(), u.LastLayoutTick))
      for (ui::Animation* a : animations) a->Start();
    u.LastLayoutTick = u.Now();
  } catch (...) {
    WriteLogNoRaise(L"AV in FormSetText", 1, true);
  }
}
