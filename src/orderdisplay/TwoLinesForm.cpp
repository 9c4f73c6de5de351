// Orderlume's start-up and shut-down: the unit's start-up (log level, log, registration
// destination), form creation with its WinSock steps and its guarded block, the window set-up, the
// first paint that hides the window, gives it the tool-window style and shows the start phrase,
// closing, and the application-wide exception handler.
#include "orderdisplay/TwoLinesForm.h"

#include "core/Exception.h"
#include "core/orderdisplay/HeaderText.h"
#include "display/StringsTable.h"
#include "orderdisplay/BackgroundWindow.h"
#include "shared/Logging.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

namespace {
std::unique_ptr<TwoLinesFormUnit> g_unit = std::make_unique<TwoLinesFormUnit>();

void LogNote(const wchar_t* text) { WriteLog(text, 3, true); }
void LogError(const std::wstring& text) { WriteLogNoRaise(text, 1, true); }

// Every display text of the order display, with its case rule, in the order the table is read.
std::vector<DisplayText> OrderDisplayTable(OrderDisplayTexts& t) {
  return {{L"PAID", &t.PAID, CaseRule::Upper},
          {L"CHANGE", &t.CHANGE, CaseRule::Upper},
          {L"JUSTORDERED", &t.JUSTORDERED, CaseRule::Upper},
          {L"BASKETGOODS", &t.BASKETGOODS, CaseRule::Lower},
          {L"BASKETFOR", &t.BASKETFOR, CaseRule::Lower},
          {L"DEFPCS", &t.DEFPCS, CaseRule::Lower},
          {L"DISPLAYSTARTPHRASE", &t.DISPLAYSTARTPHRASE, CaseRule::Upper}};
}
}  // namespace

TwoLinesFormUnit& Unit() { return *g_unit; }
void ResetUnitForTests() { g_unit = std::make_unique<TwoLinesFormUnit>(); }

void TwoLinesFormInitialization() {
  TwoLinesFormUnit& u = Unit();
  u.LogLevel = StartDisplayUnit(L"Orderlume", u.Registration);
}

void TwoLinesFormFinalization() {
  TwoLinesFormUnit& u = Unit();
  CloseRegistrationSocket(u.Registration);
  u.PendingData.clear();
  u.AnimationFrames.clear();
}

TfmOrderlume::TfmOrderlume(ui::Application& app, const wchar_t* className,
                           ui::AnimationClock::TimeSource clockTime)
    : ui::Form(ui::FormOptions{className, 768, 1254, true, true, false, std::move(clockTime)}), app_(app) {
  SetCaption(L"Orderlume");
  BuildDesign();
  OnCreate = [this] { FormCreate(); };
  OnClose = [this] { FormClose(); };
  OnPaint = [this] { FormPaint(); };
}

TfmOrderlume::~TfmOrderlume() {
  app_.OnException = nullptr;  // the handler refers to this form
  if (Unit().fmOrderlume == this) Unit().fmOrderlume = nullptr;
}

void TfmOrderlume::FormCreate() {
  TwoLinesFormUnit& u = Unit();
  LogNote(L"> Create");
  app_.OnException = [this](const std::exception& e) { AppException(e); };

  // WinSock: each step that fails asks the application to end, and creation goes on.
  OpenRegistrationSocket(u.Registration, [this] { app_.Terminate(); });

  try {
    u.Started = false;
    const int32_t digits = ReadSettingInteger(L"Output", L"DecimalDigits", 0);
    u.MoneyFormat = digits == 1 ? L"0.0" : digits == 2 ? L"0.00" : L"0";
    u.StaticTextInOrder = ReadSettingString(L"OUTPUT", L"StaticTextInOrder", L"0") == L"1";
    auto table = OrderDisplayTable(u.Texts);
    LoadStringsTable(table);
    // Numbers are always written and read with "." as the decimal separator by the number
    // routines of this program, whatever the system's settings.
    u.PreviousWindowProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Handle(), GWLP_WNDPROC));
    SetWindowLongPtrW(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DisplayWindowProc));
    FormDisplayCreate();
    SendRegistration(u.Registration, RegistrationText(L"Orderlume", false));
  } catch (...) {
    LogError(L"AV in FormCreate");
  }
  LogNote(L"< Create");
}

void TfmOrderlume::FormDisplayCreate() {
  try {
    TwoLinesFormUnit& u = Unit();
    SetCaption(L"Orderlume");
    SetLeft(ReadSettingInteger(L"SCREENPOSITION", L"DisplayLeft", 1024));
    SetTop(ReadSettingInteger(L"SCREENPOSITION", L"DisplayTop", 0));
    SetWidth(ReadSettingInteger(L"SCREENPOSITION", L"DisplayWidth", 768));
    SetHeight(ReadSettingInteger(L"SCREENPOSITION", L"DisplayHeight", 1024));
    MainLayout->SetScale(static_cast<float>(Width() / 768.0), static_cast<float>(Height() / 1024.0));
    for (ui::Layout* l : {Layout1, Layout2, Layout3, Layout4}) l->Hide();
    u.LastLayoutTick = u.Now();
    LoadAnimationFrames();
    if (!u.AnimationFrames.empty()) Timer.SetEnabled(true);
    OpenBackgroundWindow(ReadSettingInteger(L"SCREENPOSITION", L"DisplayLeft", 1062),
                         ReadSettingInteger(L"SCREENPOSITION", L"DisplayTop", 246),
                         ReadSettingInteger(L"SCREENPOSITION", L"DisplayWidth", 690),
                         ReadSettingInteger(L"SCREENPOSITION", L"DisplayHeight", 758));
  } catch (...) {
    LogError(L"AV in FormDisplayCreate");
  }
}

void TfmOrderlume::FormPaint() {
  TwoLinesFormUnit& u = Unit();
  if (u.Started) return;
  LogNote(L"> started");
  Timer.SetEnabled(false);
  // The change is made while the window is hidden: the tool-window style takes its taskbar button.
  Hide();
  SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  for (ui::Layout* l : {Layout2, Layout3, Layout4}) l->Hide();
  Text1->SetText(ToW(SplitTwoLines(ToU16(u.Texts.DISPLAYSTARTPHRASE))));
  Layout1->Show();
  if (TwoSecondsPassed(u.Now(), u.LastLayoutTick)) Text1Animation->Start();
  Show();
  if (!u.AnimationFrames.empty()) Timer.SetEnabled(true);
  u.Started = true;
  LogNote(L"< started");
}

void TfmOrderlume::FormClose() {
  LogNote(L"> Close");
  try {
    // A delay that has already posted and ended is never touched: the reference knows.
    ScenarioTimerThread.FinishThreadExecution();
    CloseBackgroundWindow();
    Unit().AnimationFrames.clear();
  } catch (...) {
    LogError(L"AV in FormClose");
  }
  LogNote(L"< Close");
}

void TfmOrderlume::AppException(const std::exception& e) {
  LogError(L"AV \r" + ToW(ExceptionMessage(e)));
  LogError(L"application self-terminated");
  app_.ProcessMessages();
  app_.Terminate();
}

int ProgramMain() {
  // GDI+ draws the form (there is no other renderer and no focus effect); the main form keeps off
  // the taskbar.
  ui::Application app;
  app.MainFormOnTaskBar = false;
  // An end asked for by the application's handler or a failed WinSock step does not run FormClose,
  // and a failure may leave the run early: the pictures and the background window go before the
  // picture library stops, whichever way the run ends.
  struct ReleasePictures {
    ~ReleasePictures() {
      try {
        CloseBackgroundWindow();
      } catch (...) {
      }
      Unit().AnimationFrames.clear();
      Unit().fmOrderlume = nullptr;
    }
  };
  TfmOrderlume form(app);
  ReleasePictures release;
  Unit().fmOrderlume = &form;
  app.SetMainForm(form);
  form.Create();
  app.Run();
  return 0;
}
