// Reading a menu dish for a scene's movie.
#include "core/scenes/SceneDish.h"

#include "core/Menu.h"
#include "core/NumberForms.h"

namespace scenes {

DishReading ReadDish(const XmlNode& dish, const DishSettings& settings, const CaseMap& caseMap) {
  DishReading r;
  r.name = caseMap.Upper(dish.Attr(settings.nameField));
  r.picturePath = std::u16string(settings.picPath);
  r.picturePath += FirstListEntry(dish.Attr(u"LargeImagePath"));
  // The price in hundredths; a bad value fails the dish even when a fixed text stands in for it.
  r.price = FormatFloat(settings.floatFormat, dish.AttrFloat(u"Price", 0) / 100);
  if (settings.priceText != std::u16string_view(kOwnPriceText)) r.price = std::u16string(settings.priceText);
  return r;
}

void SetItemDish(XmlNode& item, const DishReading& dish, std::u16string_view pictureName) {
  item.SetAttr(u"Name", dish.name);
  item.SetAttr(u"Path", pictureName);
  item.SetAttr(u"Price", dish.price);
}

std::u16string MenuXmlText(const XmlNode& item) { return item.Xml(); }

}  // namespace scenes
