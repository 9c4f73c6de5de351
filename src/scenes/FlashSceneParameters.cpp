// SceneParameters of a Flash scene: the two texts parsed, the scene made when there is none, the window
// placed and rounded, the settings kept, and the chosen dish handed to the movie (or, without one, the
// host told that the scene has ended). A failure while the texts are applied is logged and ends the
// call; the host process goes on, and what was applied before the failure stays.
#include <windows.h>

#include "core/Exception.h"
#include "core/Menu.h"
#include "core/Utf.h"
#include "core/scenes/FlashSceneParameters.h"
#include "scenes/SceneDish.h"
#include "scenes/uFlashScene.h"
#include "win/WinCaseMap.h"
#include "win/WinCodePage.h"

namespace scenes {
namespace {

void Apply(SceneUnit& u, const XmlDocument& parameters) {
  TfmFlashScene& f = *u.SceneForm;
  FailPoint("SceneParameters");
  PlaceScene(f, ReadScenePlacement(parameters));

  SceneSettings settings = ReadSceneSettings(parameters, SystemCaseMap());
  u.PicPath = std::move(settings.picPath);
  u.NameField = std::move(settings.nameField);
  u.ImageForMissing = std::move(settings.imageForMissing);
  u.FloatFormat = std::move(settings.floatFormat);
  XmlNode& item = *u.ItemDocument->Root();
  item.SetAttr(u"Currency", settings.currency);
  if (!settings.request) return;  // nothing for the movie, nothing for the host

  const SceneDishRequest& request = *settings.request;
  item.SetAttr(u"ShowText", request.showText);
  u.PriceText = request.priceText;
  const XmlNode* dish = request.dishCode ? FindDishByCode(*u.MenuDocument, *request.dishCode) : nullptr;
  if (!dish) {
    // As if the movie had ended: the host hears of it; Item keeps the dish shown before.
    f.FlashPlayerHandleFSCommand(u"EndAnimation", u"");
    return;
  }
  if (!f.FlashList) throw Exception(u"The scene's file list is gone");
  const std::u16string menuXml =
      ShowDish(*dish,
               DishSettings{.picPath = u.PicPath, .nameField = u.NameField, .floatFormat = u.FloatFormat,
                            .priceText = u.PriceText},
               u.ImageForMissing, SystemCaseMap(), *f.FlashList, item);
  if (f.FlashPlayer) f.FlashPlayer->SetVariable(u"MenuXML", menuXml);
}

}  // namespace

void SceneParametersSteps(const std::u16string& parametersText, const std::u16string& menuText) noexcept {
  SceneUnit* u = nullptr;
  std::unique_ptr<XmlDocument> parameters, menu;
  try {
    u = &Unit();
    u->PicPath.clear();
    // Texts that do not parse end the call without a line in the log.
    parameters = std::make_unique<XmlDocument>();
    parameters->LoadXml(Utf16ToUtf8(parametersText));
    menu = std::make_unique<XmlDocument>();
    menu->LoadXml(ToAnsi(menuText));
  } catch (...) {
    return;
  }
  u->MenuDocument = std::move(menu);
  SceneCreateGuarded();
  if (!u->SceneForm) return;
  try {
    Apply(*u, *parameters);
  } catch (...) {
    LogFailure(L"SceneParameters");
  }
}

}  // namespace scenes
