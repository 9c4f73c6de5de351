#pragma once
// Showing one menu dish in a scene: the dish read (core/scenes/SceneDish.h), its picture file loaded
// into the player's in-memory files in place of the one before, and the dish element's text for the
// movie variable "MenuXML". Shared by the Flash scenes and the gallery.
#include <optional>
#include <string>
#include <string_view>

#include "core/Texts.h"
#include "core/Xml.h"
#include "core/scenes/SceneDish.h"
#include "flash/FlashList.h"

namespace scenes {

// The bytes of a picture file, or nothing when there is no usable file at the path: none exists,
// the path is empty or names a folder, a device or anything else that is not a file on a disk, or the
// file is larger than kMaxPictureFileSize. Raises Exception for a file that exists but cannot be read.
std::optional<std::string> ReadPictureFile(std::u16string_view path);

// Loads the dish's picture (picturePath, else the fallback imageForMissing) and puts it into `list`
// under its bare file name, after freeing every item behind item 0 (the movie): also when neither file
// is usable. Returns that bare name, or an empty text when no picture went in. A file that cannot be
// read raises before the list changes.
std::u16string LoadDishPicture(flash::TsfFlashList& list, std::u16string_view picturePath,
                               std::u16string_view imageForMissing);

// The whole display of a dish: reads it, loads its picture, sets Name, Path and Price of `item` and
// returns the text for "MenuXML". A failure (a Price that is no number, a picture that cannot be
// read) raises before `item` or the list changes.
std::u16string ShowDish(const XmlNode& dish, const DishSettings& settings, std::u16string_view imageForMissing,
                        const CaseMap& caseMap, flash::TsfFlashList& list, XmlNode& item);

}  // namespace scenes
