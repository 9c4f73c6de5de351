#pragma once
// A dish as a scene hands it to its movie: what is read of a menu dish (its name, the picture file it
// names, its price), how it enters the dish element `Item`, and the exact text of that element that
// goes into the movie variable "MenuXML". The Flash scenes and the gallery show a dish the same way;
// the picture file itself (whether it is usable, its bytes, the in-memory file list) is the
// library's business (scenes/ScenePicture.h).
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Texts.h"
#include "core/Xml.h"

namespace scenes {

// The price text that stands for "each dish's own price", compared exactly (with regard to case).
inline constexpr char16_t kOwnPriceText[] = u"no price";

// The kept settings a dish is read with (the library's unit state).
struct DishSettings {
  std::u16string_view picPath;      // put directly in front of the picture entry, no separator added
  std::u16string_view nameField;    // the dish attribute that holds its name
  std::u16string_view floatFormat;  // the mask of the price (FormatFloat)
  std::u16string_view priceText;    // a fixed price text; kOwnPriceText means the dish's own price
};

struct DishReading {
  std::u16string name;         // the attribute named by nameField, upper-cased; empty when absent
  std::u16string picturePath;  // picPath followed by the first LargeImagePath entry (may name no file)
  std::u16string price;        // the dish's Price / 100 in floatFormat (0 when absent), or priceText
};

// Reads one menu dish. Raises Exception when the dish's Price is present but not a number (read even
// when a fixed price text replaces it).
DishReading ReadDish(const XmlNode& dish, const DishSettings& settings, const CaseMap& caseMap);

// Puts the dish into the dish element: Name, Path (the bare file name of the picture the movie gets,
// or empty) and Price, in this order, each set in place when present and appended otherwise.
void SetItemDish(XmlNode& item, const DishReading& dish, std::u16string_view pictureName);

// The text of the dish element as "MenuXML" receives it: CR LF, "<Item", each attribute as
// ` name="value"` in the order first set, "/>"; no declaration, nothing after. In values exactly
// `"` `&` `<` `>` are escaped.
std::u16string MenuXmlText(const XmlNode& item);

}  // namespace scenes
