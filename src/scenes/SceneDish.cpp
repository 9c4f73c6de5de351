// A dish's picture from the disk into the in-memory files, and the dish handed over as "MenuXML".
#include "scenes/SceneDish.h"

#include <windows.h>

#include "win/WinFiles.h"

namespace scenes {

std::u16string LoadDishPicture(flash::TsfFlashList& list, std::u16string_view picturePath,
                               std::u16string_view imageForMissing) {
  std::u16string_view path = picturePath;
  std::optional<std::string> bytes = ReadPictureFile(path);
  if (!bytes) {
    path = imageForMissing;
    bytes = ReadPictureFile(path);
  }
  auto& items = list.Flashs;
  while (items.Count() > 1) items.Delete(items.Count() - 1);
  if (!bytes) return {};
  flash::TsfFlashItem& item = items.Add();
  item.FlashStore = std::u16string(BareFileName(path));
  item.Bytes = std::move(*bytes);
  return item.FlashStore;
}

std::u16string ShowDish(const XmlNode& dish, const DishSettings& settings, std::u16string_view imageForMissing,
                        const CaseMap& caseMap, flash::TsfFlashList& list, XmlNode& item) {
  const DishReading reading = ReadDish(dish, settings, caseMap);
  const std::u16string pictureName = LoadDishPicture(list, reading.picturePath, imageForMissing);
  SetItemDish(item, reading, pictureName);
  return MenuXmlText(item);
}

}  // namespace scenes
