#pragma once
// Orderlume's display unit: the main form TfmOrderlume with its frame and the four header layouts,
// the unit's state, and the handlers run by the message loop (creation, first paint, close, the
// host's messages, the header animation timer, the application's exception event).
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/Intake.h"
#include "display/RegistrationSocket.h"
#include "shared/uUtils.h"
#include "ui/Animation.h"
#include "ui/Application.h"
#include "ui/Bitmap.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Timer.h"

class TfmOrderlume;

// The display texts of the order display, with their built-in defaults.
struct OrderDisplayTexts {
  std::wstring PAID = L"Внесено";
  std::wstring CHANGE = L"Сдача";
  std::wstring JUSTORDERED = L"Вы только что заказали";
  std::wstring BASKETGOODS = L"Товаров";
  std::wstring BASKETFOR = L"на";
  std::wstring DEFPCS = L"шт.";
  std::wstring DISPLAYSTARTPHRASE = L"ИЗВИНИТЕ, КАССА     ВРЕМЕННО НЕ РАБОТАЕТ.";
};

// The unit's state, alive from unit start-up to unit shut-down.
struct TwoLinesFormUnit {
  int32_t LogLevel = 0;
  OwnedRegistration Registration;  // RegHost, RegPort, RegistrationSocket
  bool Started = false;
  std::wstring MoneyFormat;
  bool StaticTextInOrder = false;
  uint32_t LastLayoutTick = 0;
  OrderDisplayTexts Texts;
  WNDPROC PreviousWindowProc = nullptr;
  std::wstring PendingData;
  std::vector<ui::Bitmap> AnimationFrames;
  size_t FrameIndex = 0;
  TfmOrderlume* fmOrderlume = nullptr;
  // The tick count source of the 2000 ms rule (GetTickCount; tests drive it).
  uint32_t (*TickCount)() = nullptr;
  uint32_t Now() const { return TickCount ? TickCount() : GetTickCount(); }
  // How the delayed apply makes its delays and when they are due (tests put in their own delays and
  // clock).
  DelaySchedule Delays;
};

TwoLinesFormUnit& Unit();
// A fresh unit state (tests).
void ResetUnitForTests();

// TwoLinesForm.Initialization / Finalization.
void TwoLinesFormInitialization();
void TwoLinesFormFinalization();

class TfmOrderlume : public ui::Form {
 public:
  // clockTime: the animation clock's time source (tests step it); empty in the program.
  explicit TfmOrderlume(ui::Application& app, const wchar_t* className = L"TfmOrderlume",
                        ui::AnimationClock::TimeSource clockTime = {});
  ~TfmOrderlume() override;

  // The components, owned by the form's control tree (Root()).
  ui::Rectangle* Header = nullptr;
  ui::Layout* Layout2 = nullptr;
  ui::Text* Text2 = nullptr;
  ui::Rectangle* smallShadow = nullptr;
  ui::Layout* MainLayout = nullptr;
  ui::FloatAnimation* Text2Animation = nullptr;
  ui::Image* HeaderAnimationImage = nullptr;
  ui::Timer Timer;
  ui::Layout* Layout1 = nullptr;
  ui::Text* Text1 = nullptr;
  ui::FloatAnimation* Text1Animation = nullptr;
  ui::Layout* Layout4 = nullptr;
  ui::Text* Currency4 = nullptr;
  ui::FloatAnimation* Currency4Animation = nullptr;
  ui::Text* Sum4 = nullptr;
  ui::FloatKeyAnimation* Sum4Animation1 = nullptr;
  ui::FloatKeyAnimation* Sum4Animation2 = nullptr;
  ui::Text* Text4 = nullptr;
  ui::FloatAnimation* Text4Animation = nullptr;
  ui::Layout* Layout3 = nullptr;
  ui::Layout* Text3Layout = nullptr;
  ui::Text* LastOrdered3 = nullptr;
  ui::Text* DishName3 = nullptr;
  ui::FloatAnimation* DishName3Animation = nullptr;
  ui::Text* Currency3 = nullptr;
  ui::FloatAnimation* Currency3Animation = nullptr;
  ui::Layout* BasketLayout = nullptr;
  ui::Image* BasketImg = nullptr;
  ui::Line* BasketLine = nullptr;
  ui::Text* BasketGoods = nullptr;
  ui::Text* BasketText = nullptr;
  ui::Text* Price3 = nullptr;
  ui::FloatKeyAnimation* Price3Animation = nullptr;
  ui::Image* Background = nullptr;
  ui::Text* Modi3 = nullptr;
  ui::Text* Paid4 = nullptr;
  ui::Text* Given4 = nullptr;
  TTimerThreadRef ScenarioTimerThread;

  // Form events.
  void FormCreate();
  void FormClose();
  void FormPaint();
  void TimerTimer();
  void AppException(const std::exception& e);

  // Message handlers, selected by message number.
  void WMCopyData(TMessage& m);
  void WMShowDisplay(TMessage& m);
  void WMHideDisplay(TMessage& m);
  void WMApplyData(TMessage& m);

  // The apply of one check data text (8-bit, the system's ANSI code page).
  void FormSetText(const std::string& text);

 private:
  void BuildDesign();  // the frame and the four layouts as designed
  void FormDisplayCreate();
  void ArrangeBasketRow();
  ui::Application& app_;
};

// The window procedure put in place of the display window's own.
LRESULT CALLBACK DisplayWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The frame folder's pictures, in name order (media\anim under the current folder).
void LoadAnimationFrames();

// ProgramMain: the main block.
int ProgramMain();
