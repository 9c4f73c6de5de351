// The apply of check data on the order display form in-process: the layout each mode chooses, the
// texts of the dish and total layouts, the basket row, the animations under the 2000 ms rule, the
// hidden window and the failures of the apply.
#include <gtest/gtest.h>

#include <set>

#include "FormSetTextFixture.h"
#include "core/Utf.h"
#include "core/orderdisplay/HeaderText.h"
#include "win/WinText.h"

namespace {

using LayoutField = ui::Layout* TfmOrderlume::*;
using TextField = ui::Text* TfmOrderlume::*;
using AnimationField = ui::Animation* (*)(TfmOrderlume&);

const LayoutField kLayouts[] = {&TfmOrderlume::Layout1, &TfmOrderlume::Layout2, &TfmOrderlume::Layout3,
                                &TfmOrderlume::Layout4};

// The one visible layout (1 to 4), 0 for none, -1 for more than one.
int VisibleLayout(TfmOrderlume& f) {
  int found = 0;
  for (int i = 0; i < 4; ++i)
    if ((f.*kLayouts[i])->Visible()) found = found ? -1 : i + 1;
  return found;
}

std::string Show(const std::u16string& s) { return Utf16ToUtf8(s); }

const char16_t kLines[] = u"<CheckLines><L Name=\"Tea\"/><L Name=\"Soup\"/></CheckLines>";

TEST_F(OrderForm, ModeChoosesTheLayout) {
  struct Case {
    std::u16string xml;
    int layout;      // 0: the layout of the previous apply stays, and LastLayoutTick with it
    TextField text;  // with its expected text
    std::wstring expected;
    bool staticTextInOrder = false;
  } cases[] = {
      {u"<C ModeName=\"Mode_1\" ModeText=\"A|B\"/>", 1, &TfmOrderlume::Text1, L"A\r\nB"},
      {u"<C ModeName=\"Mode_18\" ModeText=\"ABCDE\"/>", 1, &TfmOrderlume::Text1, L"AB\r\nCDE"},
      {u"<C ModeName=\"Mode_2\" ModeText=\"Hello|guest\"/>", 2, &TfmOrderlume::Text2, L"Hello\r\nguest"},
      {u"<C ModeName=\"Mode_2\"/>", 2, &TfmOrderlume::Text2, L"\r\n"},
      {u"<C ModeName=\"Mode_11\" ModeText=\"A|B|C\"/>", 2, &TfmOrderlume::Text2, L"A\r\nB|C"},
      {u"<C ModeName=\"Mode_3\" ModeText=\"No|lines\"/>", 2, &TfmOrderlume::Text2, L"No\r\nlines"},
      {u"<C ModeName=\"Mode_3\" ModeText=\"No|lines\"><CheckLines/></C>", 2, &TfmOrderlume::Text2, L"No\r\nlines"},
      {u"<C ModeName=\"Mode_3\" ModeText=\"Static|text\">" + std::u16string(kLines) + u"</C>", 2,
       &TfmOrderlume::Text2, L"Static\r\ntext", true},
      {u"<C ModeName=\"Mode_3\" ModeText=\"x\">" + std::u16string(kLines) + u"</C>", 3, &TfmOrderlume::Text2,
       L"Before\r\nnow"},
      {u"<C ModeName=\"Mode_4\" ModeText=\"Total|due\"/>", 4, &TfmOrderlume::Text4, L"Total|due"},
      {u"<C ModeName=\"Mode_5\" ModeText=\"Thanks\"/>", 4, &TfmOrderlume::Text4, L"Thanks"},
      {u"<C ModeName=\"mode_1\" ModeText=\"A|B\"/>", 0, &TfmOrderlume::Text2, L"Before\r\nnow"},
      {u"<C ModeName=\" Mode_1\" ModeText=\"A|B\"/>", 0, &TfmOrderlume::Text2, L"Before\r\nnow"},
      {u"<C ModeName=\"Mode_6\" ModeText=\"A|B\"/>", 0, &TfmOrderlume::Text2, L"Before\r\nnow"},
      {u"<C ModeText=\"A|B\"/>", 0, &TfmOrderlume::Text2, L"Before\r\nnow"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(Show(c.xml));
    Unit().StaticTextInOrder = false;
    Apply(u"<C ModeName=\"Mode_2\" ModeText=\"Before|now\"/>");
    ticks += 3000;
    const uint32_t before = Unit().LastLayoutTick;
    Unit().StaticTextInOrder = c.staticTextInOrder;
    Apply(c.xml);
    EXPECT_TRUE(Form().Header->Visible());
    EXPECT_EQ(VisibleLayout(Form()), c.layout ? c.layout : 2);
    EXPECT_EQ((Form().*c.text)->GetText(), c.expected);
    EXPECT_EQ(Unit().LastLayoutTick, c.layout ? ticks : before);
  }
  EXPECT_EQ(LoggedFailures(), 0u);
}

TEST_F(OrderForm, DishLayoutTexts) {
  const OrderDisplayTexts& t = Unit().Texts;
  Apply(u"<C ModeName=\"Mode_3\" Currency=\"RUB\" Sum=\"1250\"><CheckLines>"
        u"<L Name=\"Tea\"/><!-- a comment counts as a line -->"
        u"<L New=\"true\" Name=\" Caesar salad with chicken \" Qnt=\"2\" Price=\"150\" Portion=\"pcs\">"
        u"<ModiLine Name=\"sauce\" Qnt=\"1\" Price=\"10\"/><ComboLine Name=\"bread\"/></L>"
        u"</CheckLines></C>");
  ASSERT_EQ(VisibleLayout(Form()), 3);
  EXPECT_EQ(Form().LastOrdered3->GetText(), t.JUSTORDERED + L": 2 pcs");
  EXPECT_EQ(Form().DishName3->GetText(), L"Caesar salad \r\nwith chicken");
  EXPECT_EQ(Form().Price3->GetText(), L"320");
  EXPECT_EQ(Form().Currency3->GetText(), L"rub");
  EXPECT_EQ(Form().Modi3->GetText(), L"SAUCE, BREAD");
  EXPECT_EQ(Form().BasketGoods->GetText(), t.BASKETGOODS + L":");
  EXPECT_EQ(Form().BasketText->GetText(), L"3 " + t.BASKETFOR + L" 1250 rub");

  // Lines but none new: the dish texts go empty, the basket is filled.
  Unit().MoneyFormat = L"0.00";
  Apply(u"<C ModeName=\"Mode_3\" Sum=\"99.5\">" + std::u16string(kLines) + u"</C>");
  for (ui::Text* text : {Form().LastOrdered3, Form().DishName3, Form().Price3, Form().Currency3, Form().Modi3})
    EXPECT_EQ(text->GetText(), L"") << Narrow(text->Name);
  EXPECT_EQ(Form().BasketText->GetText(), L"2 " + t.BASKETFOR + L" 99.50 руб");
}

TEST_F(OrderForm, TotalLayoutTexts) {
  const OrderDisplayTexts& t = Unit().Texts;
  Unit().MoneyFormat = L"0.00";
  Apply(u"<C ModeName=\"Mode_4\" ModeText=\"To pay|now\" Sum=\"1250.5\" Currency=\"USD\"><Payments>"
        u"<P Sum=\"500\" ISOCode=\"RUB\"/><P Sum=\"100\" ISOCode=\"USD\" Change=\"20\"/></Payments></C>");
  ASSERT_EQ(VisibleLayout(Form()), 4);
  EXPECT_EQ(Form().Text4->GetText(), L"To pay|now");
  EXPECT_EQ(Form().Sum4->GetText(), L"1250.50");
  EXPECT_EQ(Form().Currency4->GetText(), L"usd");
  EXPECT_EQ(Form().Paid4->GetText(), t.PAID + L": 500.00 RUB; 100.00 USD");
  EXPECT_EQ(Form().Given4->GetText(), t.CHANGE + L": 20.00 USD");

  Apply(u"<C ModeName=\"Mode_5\" Sum=\"3\"><Payments><P Sum=\"0\" Change=\"-1\"/></Payments></C>");
  EXPECT_EQ(Form().Paid4->GetText(), L"");
  EXPECT_EQ(Form().Given4->GetText(), L"");
  EXPECT_EQ(Form().Text4->GetText(), L"");
  EXPECT_EQ(Form().Sum4->GetText(), L"3.00");
}

// The row lies flush with the right edge of BasketLayout and moves left as its texts grow; the line
// follows the picture and the measured text.
TEST_F(OrderForm, BasketRowPlacement) {
  float previousImgX = 1e9f;
  for (const char16_t* sum : {u"5", u"1250", u"123456789"}) {
    SCOPED_TRACE(Show(sum));
    Apply(u"<C ModeName=\"Mode_3\" Sum=\"" + std::u16string(sum) + u"\">" + kLines + u"</C>");
    const TfmOrderlume& f = Form();
    // The box follows the text with a sixth of the font size of padding on each side.
    EXPECT_NEAR(f.BasketText->Width(), f.BasketText->MeasuredWidth() + 16.0f / 3, 0.5f);
    EXPECT_GT(f.BasketText->Width(), 20.0f);
    EXPECT_FLOAT_EQ(f.BasketText->Height(), 50.0f) << "the full row height, text centred in it";
    EXPECT_FLOAT_EQ(f.BasketGoods->Height(), 50.0f);
    EXPECT_FLOAT_EQ(f.BasketText->Y(), 0.0f);
    EXPECT_NEAR(f.BasketText->X() + f.BasketText->Width(), f.BasketLayout->Width(), 0.01f);
    EXPECT_NEAR(f.BasketGoods->X() + f.BasketGoods->Width(), f.BasketText->X(), 0.01f);
    EXPECT_NEAR(f.BasketImg->X() + f.BasketImg->Width(), f.BasketGoods->X(), 0.01f);
    EXPECT_FLOAT_EQ(f.BasketLine->X(), f.BasketImg->X() + 8.0f);
    EXPECT_FLOAT_EQ(f.BasketLine->Width(), f.BasketText->Width() + 129.0f);
    EXPECT_LT(f.BasketImg->X(), previousImgX);
    previousImgX = f.BasketImg->X();
  }
}

ui::Animation* Text1A(TfmOrderlume& f) { return f.Text1Animation; }
ui::Animation* Text2A(TfmOrderlume& f) { return f.Text2Animation; }
ui::Animation* Dish3A(TfmOrderlume& f) { return f.DishName3Animation; }
ui::Animation* Price3A(TfmOrderlume& f) { return f.Price3Animation; }
ui::Animation* Cur3A(TfmOrderlume& f) { return f.Currency3Animation; }
ui::Animation* Text4A(TfmOrderlume& f) { return f.Text4Animation; }
ui::Animation* Cur4A(TfmOrderlume& f) { return f.Currency4Animation; }
ui::Animation* Sum4A1(TfmOrderlume& f) { return f.Sum4Animation1; }
ui::Animation* Sum4A2(TfmOrderlume& f) { return f.Sum4Animation2; }
const AnimationField kAnimations[] = {Text1A, Text2A, Dish3A, Price3A, Cur3A, Text4A, Cur4A, Sum4A1, Sum4A2};

// Applies one after another, each `gap` ms after the one before; the tick count wraps on the way.
TEST_F(OrderForm, AnimationsStartUnderTheTwoSecondRule) {
  const std::u16string mode3 = u"<C ModeName=\"Mode_3\">" + std::u16string(kLines) + u"</C>";
  struct Case {
    uint32_t gap;
    std::u16string xml;
    std::set<AnimationField> started;
  } cases[] = {
      {1000, u"<C ModeName=\"Mode_2\"/>", {}},  // 1000 ms after the window set-up
      {1000, u"<C ModeName=\"Mode_4\"/>", {}},
      {1500, u"<C ModeName=\"Mode_4\"/>", {}},  // measured from the apply before, not the first
      {2000, u"<C ModeName=\"Mode_4\"/>", {Text4A, Cur4A, Sum4A1, Sum4A2}},
      {1999, u"<C ModeName=\"Mode_1\"/>", {}},
      {2000, u"<C ModeName=\"Mode_1\"/>", {Text1A}},
      {2500, mode3, {Dish3A, Price3A, Cur3A}},
      {3000, u"<C ModeName=\"Mode_11\"/>", {Text2A}},
      {3000, u"<C ModeName=\"Mode_6\"/>", {}},  // no layout change: LastLayoutTick stays
      {0, u"<C ModeName=\"Mode_2\"/>", {Text2A}},
      {1000, u"<C ModeName=\"Mode_3\"/>", {}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(Show(c.xml) + " after " + std::to_string(c.gap) + " ms");
    FinishAnimations();
    ticks += c.gap;
    Apply(c.xml);
    for (AnimationField a : kAnimations) EXPECT_EQ(a(Form())->Running(), c.started.count(a) == 1);
  }
  EXPECT_LT(ticks, kStartTick) << "the table should cross the wrap of the tick count";
}

TEST_F(OrderForm, StartedAnimationsBeginAtTheirStartValues) {
  // Not started: the design values, the texts at once.
  ticks += 1000;
  Apply(u"<C ModeName=\"Mode_4\" Sum=\"10\"/>");
  EXPECT_FLOAT_EQ(Form().Sum4->Y(), 128.0f);
  EXPECT_FLOAT_EQ(Form().Sum4->Opacity(), 1.0f);

  ticks += 2000;
  Apply(u"<C ModeName=\"Mode_5\" Sum=\"20\"/>");
  EXPECT_FLOAT_EQ(Form().Sum4->Y(), 90.0f);
  for (ui::Control* c : {static_cast<ui::Control*>(Form().Sum4), static_cast<ui::Control*>(Form().Text4),
                         static_cast<ui::Control*>(Form().Currency4)})
    EXPECT_FLOAT_EQ(c->Opacity(), 0.0f) << Narrow(c->Name);
  seconds += 0.2;  // half way: linear fades at 0.5, the slide eased out
  Form().Clock().Tick();
  EXPECT_NEAR(Form().Sum4->Opacity(), 0.5f, 1e-3);
  EXPECT_NEAR(Form().Sum4->Y(), 90 + 38 * 0.75f, 1e-3);
  FinishAnimations();
  EXPECT_FLOAT_EQ(Form().Sum4->Y(), 128.0f);
  EXPECT_FLOAT_EQ(Form().Text4->Opacity(), 1.0f);
}

TEST_F(OrderForm, HiddenWindowHidesTheHeader) {
  Apply(u"<C ModeName=\"Mode_2\" ModeText=\"Kept\"/>");
  const uint32_t before = Unit().LastLayoutTick;
  ticks += 5000;
  TMessage m{};
  Form().WMHideDisplay(m);
  Apply(u"<C ModeName=\"Mode_1\" ModeText=\"New\"/>");
  EXPECT_FALSE(Form().Header->Visible());
  EXPECT_EQ(VisibleLayout(Form()), 0);
  EXPECT_EQ(Form().Text1->GetText(), ToW(SplitTwoLines(ToU16(Unit().Texts.DISPLAYSTARTPHRASE))));
  EXPECT_EQ(Form().Text2->GetText(), L"Ke\r\npt");
  EXPECT_EQ(Unit().LastLayoutTick, before);

  Form().WMShowDisplay(m);
  Form().PaintNow();
  EXPECT_FALSE(Form().Header->Visible()) << "the header comes back with the next apply";
  // An apply of no layout brings the header back, empty.
  Apply(u"<C ModeName=\"Mode_6\"/>");
  EXPECT_TRUE(Form().Header->Visible());
  EXPECT_EQ(VisibleLayout(Form()), 0);
  Apply(u"<C ModeName=\"Mode_1\" ModeText=\"New\"/>");
  EXPECT_EQ(VisibleLayout(Form()), 1);
  EXPECT_EQ(LoggedFailures(), 0u);
}

// What a failing apply leaves: a reading failure nothing; a root Sum that is no number the texts set
// before it, and the chosen layout only when it was visible already.
TEST_F(OrderForm, FailuresAreLoggedAndLeaveWhatWasDone) {
  const OrderDisplayTexts& t = Unit().Texts;
  struct Case {
    std::u16string before;  // applied first
    std::u16string xml;
    int layout;
    TextField changed;  // set before the failure
    std::wstring changedText;
    TextField kept;  // not reached
    std::wstring keptText;
  } cases[] = {
      {u"<C ModeName=\"Mode_2\" ModeText=\"A|B\"/>", u"<C ModeName=\"Mode_1\"", 2, &TfmOrderlume::Text2,
       L"A\r\nB", &TfmOrderlume::Text1, ToW(SplitTwoLines(ToU16(t.DISPLAYSTARTPHRASE)))},
      {u"<C ModeName=\"Mode_2\" ModeText=\"A|B\"/>", u"<C ModeName=\"Mode_1\"><CheckLines><L New=\"yes\"/></CheckLines></C>",
       2, &TfmOrderlume::Text2, L"A\r\nB", &TfmOrderlume::Text1, ToW(SplitTwoLines(ToU16(t.DISPLAYSTARTPHRASE)))},
      {u"<C ModeName=\"Mode_2\" ModeText=\"A|B\"/>", u"<C ModeName=\"Mode_4\" ModeText=\"Total\" Sum=\"ten\"/>", 0,
       &TfmOrderlume::Text4, L"Total", &TfmOrderlume::Sum4, L""},
      {u"<C ModeName=\"Mode_4\" ModeText=\"Old\" Sum=\"5\"/>", u"<C ModeName=\"Mode_5\" ModeText=\"Total\" Sum=\"1,5\"/>",
       4, &TfmOrderlume::Text4, L"Total", &TfmOrderlume::Sum4, L"5"},
      {u"<C ModeName=\"Mode_1\" ModeText=\"A|B\"/>",
       u"<C ModeName=\"Mode_3\" Sum=\"\"><CheckLines><L New=\"1\" Name=\"Soup\"/></CheckLines></C>", 0,
       &TfmOrderlume::BasketGoods, t.BASKETGOODS + L":", &TfmOrderlume::BasketText, L""},
      {u"<C ModeName=\"Mode_3\" Sum=\"7\"><CheckLines><L New=\"1\" Name=\"Tea\"/></CheckLines></C>",
       u"<C ModeName=\"Mode_3\" Sum=\"x\"><CheckLines><L New=\"1\" Name=\"Soup\"/></CheckLines></C>", 3,
       &TfmOrderlume::DishName3, L"Soup", &TfmOrderlume::BasketText, L"1 " + t.BASKETFOR + L" 7 руб"},
  };
  size_t failures = 0;
  for (auto& c : cases) {
    SCOPED_TRACE(Show(c.xml));
    Apply(c.before);
    ticks += 3000;
    const uint32_t before = Unit().LastLayoutTick;
    Apply(c.xml);
    EXPECT_EQ(LoggedFailures(), ++failures);
    EXPECT_TRUE(Form().Header->Visible());
    EXPECT_EQ(VisibleLayout(Form()), c.layout);
    EXPECT_EQ((Form().*c.changed)->GetText(), c.changedText);
    EXPECT_EQ((Form().*c.kept)->GetText(), c.keptText);
    EXPECT_EQ(Unit().LastLayoutTick, before);
  }
  // A root Sum that is no number fails nothing in the modes that do not read it.
  Apply(u"<C ModeName=\"Mode_2\" ModeText=\"A|B\" Sum=\"x\"/>");
  EXPECT_EQ(LoggedFailures(), failures);
  EXPECT_EQ(VisibleLayout(Form()), 2);
}

// A log that cannot be written: the failure lines are dropped, and a failure of a plain line takes
// the application's orderly way out (its handler, then a quit request) instead of a crash.
TEST_F(OrderForm, ALogThatCannotBeWrittenNeverEndsTheProgramAbnormally) {
  ResetGlobalLogForTests();
  GlobalLog = new TLogFile(L"Z:\\dev\\full", 50000, 3, 0, 0, false);  // takes the open, refuses writes
  EXPECT_NO_THROW(Apply(u"<C ModeName=\"Mode_1\""));  // "AV in FormSetText" cannot be written
  ASSERT_FALSE(ui::Application::Current()->Terminated());
  // "> apply data" fails: the handler has no guard, so the application's handler ends the run.
  SendMessageW(Form().Handle(), WM_APPLY_DATA, 0, 0);
  ui::Application::Current()->ProcessMessages();  // takes the quit request
  EXPECT_TRUE(ui::Application::Current()->Terminated());
  ResetGlobalLogForTests();
  InitLog(L"Orderlume", 3);
}

}  // namespace
