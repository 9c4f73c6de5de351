#pragma once
// Slipview's display unit: the receipt form TfmSlipview, a hidden, top-most layered window whose look
// is the frames of the receipt movie, the unit's state, and the handlers run by the message loop
// (creation, paint, show and activation, close, the host's messages, the gallery tick, the movie's
// commands, the application's exception event).
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Xml.h"
#include "display/Intake.h"
#include "display/RegistrationSocket.h"
#include "flash/FlashList.h"
#include "flash/FlashPlayer.h"
#include "flash/LayeredFlashForm.h"
#include "flash/NativeMovie.h"
#include "shared/uUtils.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Timer.h"

class TfmSlipview;

// The display texts of the receipt display, with their built-in defaults.
struct ReceiptDisplayTexts {
  std::wstring NAME = L"Наименование";
  std::wstring QUANTITY = L"Количество";
  std::wstring AMOUNT = L"Стоимость";
  std::wstring DEFPCS = L"шт.";
  std::wstring WAITINGFORYOU = L"Приходите еще!";
};

// One entry of the gallery: the dish's name and the picture file the movie shows for it.
struct TScene {
  std::u16string Name;
  std::u16string Picture;
};
// The gallery list: each entry's dish name and its scene, owned by the list.
using TSceneList = std::vector<std::pair<std::u16string, std::unique_ptr<TScene>>>;

// The unit's state, alive from unit start-up to unit shut-down.
struct SlipviewUnit {
  int32_t LogLevel = 0;
  OwnedRegistration Registration;  // RegHost, RegPort, RegistrationSocket
  bool Started = false;
  std::wstring MoneyFormat;
  std::wstring ItemNameField;
  bool ShowZeroCheckLines = true;
  // The receipt build's change key of the receipt the movie has (empty: none), and the categories
  // of the check's lines (CheckText.cpp).
  std::u16string LastCheckKey;
  std::vector<int32_t> CheckCategories;
  ReceiptDisplayTexts Texts;
  std::unique_ptr<XmlDocument> TitleDocument;
  std::unique_ptr<XmlDocument> GalleryDocument;
  std::unique_ptr<XmlDocument> MenuDocument;
  std::wstring PendingData;
  std::wstring MenuText;
  std::wstring ScenarioText;
  // Kept by the receipt build: the first gallery picture's index in FlashList (the movie and the
  // receipt's pictures lie before it), and the current receipt's dish codes, which the gallery leaves out.
  int32_t FlashBase = 1;
  std::vector<int32_t> CheckDishCodes;
  // The last scenario apply's dish codes (those on the receipt left out) and picture folder.
  std::vector<int32_t> ScenarioCodes;
  std::u16string PicturePath;
  WNDPROC PreviousWindowProc = nullptr;
  TfmSlipview* fmSlipview = nullptr;
  // How the delayed apply makes its delays and when they are due (tests put in their own delays and
  // clock).
  DelaySchedule Delays;
};

SlipviewUnit& Unit();
// A fresh unit state (tests).
void ResetUnitForTests();

// uSlipview.Initialization / Finalization.
void SlipviewInitialization();
void SlipviewFinalization();

// The request texts of the receipt movie's functions used here.
inline constexpr char16_t kUpdateTitleRequest[] =
    u"<invoke name=\"updateTitle\" returntype=\"\"><arguments /></invoke>";
inline constexpr char16_t kReloadGalleryRequest[] =
    u"<invoke name=\"reloadGallery\" returntype=\"\"><arguments /></invoke>";

class TfmSlipview : public ui::Form {
 public:
  explicit TfmSlipview(ui::Application& app, const wchar_t* className = L"TfmSlipview");
  ~TfmSlipview() override;

 private:
  flash::MovieRegistration receiptMovie_;  // "check.swf" for the player, as long as the form lives

 public:
  flash::TsfFlashPlayer FlashPlayer;
  flash::TsfFlashList FlashList;
  flash::TsfLayeredFlashForm LayeredFlashForm;
  ui::Timer ExpoTimer;
  TTimerThreadRef ScenarioTimerThread;
  int32_t fnum = 0;
  std::unique_ptr<TSceneList> flist;  // null before form creation made it and after the close

  // Form events.
  void FormCreate();
  void FormClose();
  void FormPaint();
  void FormShow();
  void FormActivate();
  void ExpoTimerTimer();
  void SetNextFile();
  // Rebuilds the gallery list from the scenario and the menu; raises on a failure of the apply.
  void LoadScenario(const std::wstring& scenario);
  void FlashPlayerHandleFSCommand(flash::TsfFlashPlayer* sender, const std::u16string& command,
                                  const std::u16string& args);
  void AppException(const std::exception& e);

  // Message handlers, selected by message number.
  void WMCopyData(TMessage& m);
  void WMShowDisplay(TMessage& m);
  void WMHideDisplay(TMessage& m);
  void WMApplyData(TMessage& m);

  // The apply of the check data (8-bit text in the system's ANSI code page) and of the scenario.
  void FormCheckText(const std::string& text);
  void FormMediaScenario(const std::wstring& scenario);

  void PlaceWindow();

 private:
  void HidingStep();
  void DropGallery();
  void FreeGalleryPictures();
  void DropGalleryWithoutPictures();
  ui::Application& app_;
};

// The window procedure put in place of the display window's own.
LRESULT CALLBACK DisplayWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Gives the process's memory back to the system (its working set trimmed as far as it goes).
void TrimWorkingSet();

// ProgramMain: the main block.
int ProgramMain();
