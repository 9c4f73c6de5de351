#pragma once
// Showing one menu dish in a scene: the dish read (core/scenes/SceneDish.h), its picture file loaded
// into the player's in-memory files in place of the one before, and the dish element's text for the
// movie variable "MenuXML". Shared by the Flash scenes and the gallery.
#include <string>
#include <string_view>

#include "core/Texts.h"
#include "core/Xml.h"
#include "core/scenes/SceneDish.h"
#include "flash/FlashList.h"

namespace scenes {

// Loads the dish's picture (picturePath, else the fallback imageForMissing, each only when it is a
// picture file as win/WinFiles.h tells) and puts it into `list` under its bare file name, after freeing
// every item behind item 0 (the movie): also when neither file is usable. Returns that bare name, or
// an empty text when no picture went in. A file that cannot be read raises before the list changes.
std::u16string LoadDishPicture(flash::TsfFlashList& list, std::u16string_view picturePath,
                               std::u16string_view imageForMissing);

// The whole display of a dish: reads it, loads its picture, sets Name, Path and Price of `item` and
// returns the text for "MenuXML". A failure (a Price that is no number, a picture that cannot be
// read) raises before `item` or the list changes.
std::u16string ShowDish(const XmlNode& dish, const DishSettings& settings, std::u16string_view imageForMissing,
                        const CaseMap& caseMap, flash::TsfFlashList& list, XmlNode& item);

}  // namespace scenes
