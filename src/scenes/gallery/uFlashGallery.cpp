// The gallery scene: its form, its SceneParameters, the cycle of dishes and the command handler.
// Everything runs on the host's thread; WM_SCENE_ENDED may reach a host window of this thread inside
// these calls, so after each notification the code looks again whether the scene still exists.
#include "scenes/gallery/uFlashGallery.h"

#include <windows.h>

#include <string>

#include "core/Utf.h"
#include "core/scenes/DishCodes.h"
#include "core/scenes/FlashSceneParameters.h"
#include "core/scenes/SceneDish.h"
#include "flash/movies/GalleryMovie.h"
#include "scenes/SceneDish.h"
#include "win/WinCaseMap.h"
#include "win/WinCodePage.h"

namespace scenes {
namespace {

GalleryUnit gallery;  // vectors without storage until used: nothing runs at load
// The module's gallery movie, as long as the library is loaded (a name in a list: no window, timer or
// picture is made at load). A test build may register a stand-in over it.
const flash::MovieRegistration galleryMovie = flash::RegisterGalleryMovie();

constexpr char16_t kNextBannerRequest[] = u"<invoke name=\"nextBanner\" returntype=\"\"><arguments /></invoke>";

std::unique_ptr<TfmFlashScene> NewGalleryForm() { return std::make_unique<TfmFlashGallery>(); }

std::u16string Text(const wchar_t* s) {
  return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string();
}

std::u16string Upper(std::u16string_view s) { return SystemCaseMap().Upper(s); }

// Shows one dish the way the Flash scene shows its dish: name, picture in the file list behind the
// movie, price, then "MenuXML" with the dish element's text.
void ShowGalleryDish(TfmFlashScene& form, const XmlNode& dish) {
  SceneUnit& u = Unit();
  if (!form.FlashList) return;
  const DishSettings settings{.picPath = u.PicPath, .nameField = u.NameField, .floatFormat = u.FloatFormat,
                              .priceText = u.PriceText};
  const std::u16string menuXml =
      ShowDish(dish, settings, u.ImageForMissing, SystemCaseMap(), *form.FlashList, *u.ItemDocument->Root());
  if (form.FlashPlayer) form.FlashPlayer->SetVariable(u"MenuXML", menuXml);
}

}  // namespace

GalleryUnit& Gallery() noexcept { return gallery; }

const SceneVariant kGalleryVariant = {&NewGalleryForm, &GallerySceneParameters};

TfmFlashGallery::TfmFlashGallery() : TfmFlashScene(flash::kGalleryMovieName) {}

void SetNextFile() noexcept { gallery.CurrentDishIndex = NextDishIndex(gallery.CurrentDishIndex, gallery.ShownCodes.size()); }

void SetCurrentDish() noexcept {
  try {
    SceneUnit& u = Unit();
    const XmlNode* dish = nullptr;
    if (gallery.CurrentDishIndex >= 0) dish = FindShownDish(*u.MenuDocument, gallery.ShownCodes, gallery.CurrentDishIndex);
    if (!dish) {
      // Nothing selected: as if the movie had ended, which tells the host.
      if (auto* form = dynamic_cast<TfmFlashGallery*>(u.SceneForm)) form->FlashPlayerHandleFSCommand(u"EndAnimation", {});
      return;
    }
    if (u.SceneForm) ShowGalleryDish(*u.SceneForm, *dish);
  } catch (...) {
    LogFailure(L"SetCurrentDish");
  }
}

void TfmFlashGallery::FlashPlayerHandleFSCommand(const std::u16string& command, const std::u16string&) {
  if (command != u"EndAnimation") return;
  try {
    FailPoint("callback");
    SceneUnit& u = Unit();
    if (gallery.CurrentDishIndex >= 0) {
      if (!u.SceneForm) return;
      TfmFlashScene* scene = u.SceneForm;
      SetNextFile();
      SetCurrentDish();
      // SetCurrentDish may have told the host that nothing is left; the scene must still be there.
      if (u.SceneForm != scene || !scene->FlashPlayer) return;
      scene->FlashPlayer->CallFunction(kNextBannerRequest);
    } else if (HWND host = FindWindowW(nullptr, kHostWindowTitle)) {
      SendNotifyMessageW(host, WM_SCENE_ENDED, 0, 0);
    }
  } catch (...) {
    LogFailure(L"callback");
  }
}

void GallerySceneParameters(const wchar_t* parameters, const wchar_t* menu) noexcept {
  try {
    SceneUnit& u = Unit();
    u.PicPath.clear();
    gallery.CurrentDishIndex = -1;
    // Texts that do not parse end the call without a line in the log.
    auto sceneParameters = std::make_unique<XmlDocument>();
    auto menuDocument = std::make_unique<XmlDocument>();
    try {
      sceneParameters->LoadXml(Utf16ToUtf8(Text(parameters)));
      menuDocument->LoadXml(ToAnsi(Text(menu)));
    } catch (...) {
      return;
    }
    u.MenuDocument = std::move(menuDocument);
    // SceneCreate with its own guard: a scene that cannot be made ends the call.
    try {
      SceneCreateSteps();
    } catch (...) {
      LogFailure(L"SceneCreate");
    }
    if (!u.SceneForm) return;
    try {
      FailPoint("SceneParameters");
      const ScenePlacement place = ReadScenePlacement(*sceneParameters);
      const XmlNode* root = sceneParameters->Root();
      PlaceScene(*u.SceneForm, place);
      u.PicPath = root->Attr(u"PicPath");
      u.NameField = root->Attr(u"QuorvNameField", u"Name");
      u.ImageForMissing = root->Attr(u"ImageForMissing");
      u.FloatFormat = root->Attr(u"FloatFormat", u"0");
      XmlNode& item = *u.ItemDocument->Root();
      item.SetAttr(u"Currency", Upper(root->Attr(u"CurrencyText")));
      item.SetAttr(u"ShowText", Upper(root->Attr(u"ShowText")));
      const XmlNode* dishParameters = root->FirstChild(u"parameters");
      if (!dishParameters) return;
      u.PriceText = dishParameters->Attr(u"Price", kOwnPriceText);
      if (dishParameters->HasAttr(u"DishCodes")) {
        ParseDishCodes(dishParameters->Attr(u"DishCodes"), gallery.DishCodeList);
        CollectShownCodes(*u.MenuDocument, gallery.DishCodeList, gallery.ShownCodes);
        if (!gallery.ShownCodes.empty()) gallery.CurrentDishIndex = 0;
      }
      SetCurrentDish();
    } catch (...) {
      // Logged, and the host goes on: what was applied stays, nothing is sent to it.
      LogFailure(L"SceneParameters");
    }
  } catch (...) {
  }
}

}  // namespace scenes
