// Slipview's start-up and shut-down: the unit's start-up (log level, log, registration destination),
// form creation with its WinSock steps and its guarded steps (settings, display texts, the XML
// documents, the window's place, the movie with its title and blank gallery entry, the gallery timer,
// the registration, the hiding step), the first paint that hides a window creation left in view,
// show and activation, closing, and the application-wide exception handler.
#include "receiptdisplay/uSlipview.h"

#include "core/Exception.h"
#include "core/Texts.h"
#include "display/StringsTable.h"
#include "flash/movies/ReceiptMovie.h"
#include "shared/Logging.h"
#include "win/WinText.h"

namespace {
std::unique_ptr<SlipviewUnit> g_unit = std::make_unique<SlipviewUnit>();

void LogNote(const wchar_t* text) { WriteLog(text, 3, true); }
void LogError(const std::wstring& text) { WriteLogNoRaise(text, 1, true); }

// Every display text of the receipt display, with its case rule, in the order the table is read.
std::vector<DisplayText> ReceiptDisplayTable(ReceiptDisplayTexts& t) {
  return {{L"NAME", &t.NAME, CaseRule::AsRead},
          {L"QUANTITY", &t.QUANTITY, CaseRule::AsRead},
          {L"AMOUNT", &t.AMOUNT, CaseRule::AsRead},
          {L"DEFPCS", &t.DEFPCS, CaseRule::Lower},
          {L"WAITINGFORYOU", &t.WAITINGFORYOU, CaseRule::AsRead}};
}
}  // namespace

SlipviewUnit& Unit() { return *g_unit; }
void ResetUnitForTests() { g_unit = std::make_unique<SlipviewUnit>(); }

void SlipviewInitialization() {
  SlipviewUnit& u = Unit();
  u.LogLevel = StartDisplayUnit(L"Slipview", u.Registration);
}

void SlipviewFinalization() {
  SlipviewUnit& u = Unit();
  CloseRegistrationSocket(u.Registration);
  u.ItemNameField.clear();
  u.MenuText.clear();
  u.ScenarioText.clear();
  u.MoneyFormat.clear();
  u.PendingData.clear();
  u.Texts = {};
  u.Registration.RegHost.clear();
  u.TitleDocument.reset();
  u.GalleryDocument.reset();
  u.MenuDocument.reset();
}

TfmSlipview::TfmSlipview(ui::Application& app, const wchar_t* className)
    : ui::Form(ui::FormOptions{className, 776, 832, true, false, false, {}}),
      receiptMovie_(flash::RegisterReceiptMovie()),
      LayeredFlashForm(*this, FlashPlayer),
      app_(app) {
  FlashPlayer.SetFlashList(&FlashList);
  FlashPlayer.OnHandleFSCommand = [this](flash::TsfFlashPlayer* sender, const std::u16string& command,
                                         const std::u16string& args) {
    FlashPlayerHandleFSCommand(sender, command, args);
  };
  flash::TsfFlashItem& movie = FlashList.Flashs.Add();
  movie.FlashStore = flash::kReceiptMovieName;
  movie.Tag = 0;
  LayeredFlashForm.SetAlphaBlendValue(0);
  ExpoTimer.SetInterval(3000);
  ExpoTimer.OnTimer = [this] { ExpoTimerTimer(); };
  OnCreate = [this] { FormCreate(); };
  OnClose = [this] { FormClose(); };
  OnPaint = [this] { FormPaint(); };
}

TfmSlipview::~TfmSlipview() {
  app_.OnException = nullptr;  // the handler refers to this form
  ExpoTimer.SetEnabled(false);
  if (Unit().fmSlipview == this) Unit().fmSlipview = nullptr;
}

void TfmSlipview::FormCreate() {
  SlipviewUnit& u = Unit();
  LogNote(L"> Create");
  app_.OnException = [this](const std::exception& e) { AppException(e); };
  // The host's messages reach their handlers whatever the rest of creation does.
  u.PreviousWindowProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Handle(), GWLP_WNDPROC));
  SetWindowLongPtrW(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DisplayWindowProc));

  // WinSock: each step that fails asks the application to end, and creation goes on.
  OpenRegistrationSocket(u.Registration, [this] { app_.Terminate(); });

  try {
    u.Started = false;
    const int32_t digits = ReadSettingInteger(L"Output", L"DecimalDigits", 0);
    u.MoneyFormat = digits == 1 ? L"0.0" : digits == 2 ? L"0.00" : L"0";
    auto table = ReceiptDisplayTable(u.Texts);
    LoadStringsTable(table);
    // Numbers are always written and read with "." as the decimal separator by the number
    // routines of this program, whatever the system's settings.
    u.ItemNameField = ReadSettingString(L"OUTPUT", L"ItemName", L"Name");
    if (TrimBlanks(ToU16(u.ItemNameField)).empty()) u.ItemNameField = L"Name";
    u.ShowZeroCheckLines = ReadSettingString(L"OUTPUT", L"ShowZeroCheckLines", L"1") == L"1";
    u.MenuDocument = std::make_unique<XmlDocument>();

    u.TitleDocument = XmlDocument::Create(u"Item", u"1.0", u"utf-8");
    XmlNode* title = u.TitleDocument->Root();
    title->SetAttr(u"Name", ToU16(u.Texts.NAME));
    title->SetAttr(u"Quantity", ToU16(u.Texts.QUANTITY));
    title->SetAttr(u"Amount", ToU16(u.Texts.AMOUNT));
    title->SetAttr(u"Description", ToU16(u.Texts.WAITINGFORYOU));
    title->SetAttr(u"Evaluation", u"false");

    u.GalleryDocument = XmlDocument::Create(u"Item", u"1.0", u"utf-8");
    u.GalleryDocument->Root()->SetAttr(u"Name", u" ");
    u.GalleryDocument->Root()->SetAttr(u"Picture", u"");

    flist = std::make_unique<TSceneList>();
    PlaceWindow();

    FlashPlayer.LoadMovie(0, flash::kReceiptMovieName);
    FlashPlayer.SetVariable(u"TitleXML", RemoveCrLfPairs(title->Xml()));
    FlashPlayer.SetVariable(u"GalleryXML", RemoveCrLfPairs(u.GalleryDocument->Xml()));
    FlashPlayer.CallFunction(kUpdateTitleRequest);
    ExpoTimer.SetEnabled(true);
    SendRegistration(u.Registration, RegistrationText(L"Slipview", true));

    HidingStep();
    LayeredFlashForm.SetAlphaBlendValue(0);
    LogNote(L"< started");
  } catch (...) {
    LogError(L"AV in FormCreate");
  }
  LogNote(L"< Create");
}

void TfmSlipview::PlaceWindow() {
  try {
    SetCaption(L"Slipview");
    SetLeft(ReadSettingInteger(L"SCREENPOSITION", L"CheckLeft", 1024));
    SetTop(ReadSettingInteger(L"SCREENPOSITION", L"CheckTop", 220));
    SetWidth(ReadSettingInteger(L"SCREENPOSITION", L"CheckWidth", 768));
    SetHeight(ReadSettingInteger(L"SCREENPOSITION", L"CheckHeight", 805));
  } catch (...) {
    LogError(L"AV in FormCreate");
  }
}

// The window goes to the top-most band, hidden, and takes the tool-window style (no taskbar button).
// Opens with "> started"; the caller closes with "< started" after what it adds.
void TfmSlipview::HidingStep() {
  LogNote(L"> started");
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE);
  if (Visible()) Hide();  // the form follows SetWindowPos; this only makes sure of it
  SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  Unit().Started = true;
}

void TfmSlipview::FormPaint() {
  if (Unit().Started) return;
  HidingStep();
  LogNote(L"< started");
}

void TfmSlipview::FormShow() {
  if (HWND owner = app_.OwnerWindow()) ShowWindow(owner, SW_HIDE);
}

void TfmSlipview::FormActivate() { FormShow(); }

void TfmSlipview::FormClose() {
  LogNote(L"> Close");
  try {
    // A delay that has already posted and ended is never touched: the reference knows.
    ScenarioTimerThread.FinishThreadExecution();
    if (flist) flist->clear();
    flist.reset();
  } catch (...) {
    LogError(L"AV in FormClose");
  }
  LogNote(L"< Close");
}

void TfmSlipview::FlashPlayerHandleFSCommand(flash::TsfFlashPlayer*, const std::u16string& command,
                                             const std::u16string&) {
  if (command == u"positive") LogNote(L"Positive");
  if (command == u"negative") LogNote(L"Negative");
}

void TfmSlipview::AppException(const std::exception& e) {
  LogError(L"AV \r" + ToW(ExceptionMessage(e)));
  LogError(L"application self-terminated");
  app_.ProcessMessages();
  app_.Terminate();
}

int ProgramMain() {
  ui::Application app;
  app.MainFormOnTaskBar = false;
  app.ShowMainForm = false;  // the host shows the display
  TfmSlipview form(app);
  struct ForgetForm {
    ~ForgetForm() { Unit().fmSlipview = nullptr; }
  } forget;
  Unit().fmSlipview = &form;
  app.SetMainForm(form);
  form.Create();
  app.Run();
  return 0;
}
