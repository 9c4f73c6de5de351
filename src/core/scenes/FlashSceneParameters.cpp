// Reading a Flash scene's parameters text.
#include "core/scenes/FlashSceneParameters.h"

#include "core/Exception.h"
#include "core/scenes/SceneDish.h"

namespace scenes {
namespace {

const XmlNode& Root(const XmlDocument& parameters) {
  const XmlNode* root = parameters.Root();
  if (!root) throw Exception(u"The scene parameters have no root element");
  return *root;
}

}  // namespace

ScenePlacement ReadScenePlacement(const XmlDocument& parameters) {
  const XmlNode* size = Root(parameters).FirstChild(u"Size");
  if (!size) throw Exception(u"The scene parameters have no Size");
  ScenePlacement p;
  p.left = size->AttrInt(u"PosX", 0);
  p.top = size->AttrInt(u"PosY", 0);
  p.width = size->AttrInt(u"Width", 690);
  p.height = size->AttrInt(u"Height", 758);
  return p;
}

SceneSettings ReadSceneSettings(const XmlDocument& parameters, const CaseMap& caseMap) {
  const XmlNode& root = Root(parameters);
  SceneSettings s;
  s.picPath = root.Attr(u"PicPath");
  s.nameField = root.Attr(u"QuorvNameField", u"Name");
  s.imageForMissing = root.Attr(u"ImageForMissing");
  s.floatFormat = root.Attr(u"FloatFormat", u"0");
  s.currency = caseMap.Upper(root.Attr(u"CurrencyText"));
  if (const XmlNode* request = root.FirstChild(u"parameters")) {
    SceneDishRequest r;
    r.showText = caseMap.Upper(request->Attr(u"ShowText"));
    r.priceText = request->Attr(u"Price", kOwnPriceText);
    if (request->HasAttr(u"DishCode")) r.dishCode = request->AttrInt(u"DishCode", 0);
    s.request = std::move(r);
  }
  return s;
}

}  // namespace scenes
