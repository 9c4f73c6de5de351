// The gallery scene's choice of dishes and its cycle.
#include "core/scenes/DishCodes.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/Menu.h"
#include "core/Numbers.h"

void ParseDishCodes(std::u16string_view text, std::vector<int32_t>& dishCodeList) {
  dishCodeList.clear();
  ParseIntList(text, dishCodeList);
}

bool IsInDishCodes(const std::vector<int32_t>& dishCodeList, int32_t code) noexcept {
  return std::find(dishCodeList.begin(), dishCodeList.end(), code) != dishCodeList.end();
}

void CollectShownCodes(const XmlDocument& menu, const std::vector<int32_t>& dishCodeList,
                       std::vector<int32_t>& shownCodes) {
  const XmlNode* root = menu.Root();
  if (!root) throw Exception(u"The menu has no root element");
  shownCodes.clear();
  for (const XmlNode* dish : root->Children()) {
    if (!dish->IsElement()) continue;
    const XmlNode* classifications = dish->FirstChild(u"Classifications");
    if (!classifications) continue;
    for (const XmlNode* classification : classifications->Children()) {
      // Only elements are classifications; a comment among them names none.
      if (!classification->IsElement()) continue;
      if (IsInDishCodes(dishCodeList, classification->AttrInt(u"Code", 0)))
        shownCodes.push_back(dish->AttrInt(u"Code", 0));
    }
  }
}

int32_t NextDishIndex(int32_t current, std::size_t count) noexcept {
  if (count == 0) return -1;
  if (current < 0 || static_cast<std::size_t>(current) + 1 >= count) return 0;
  return current + 1;
}

const XmlNode* FindShownDish(const XmlDocument& menu, const std::vector<int32_t>& shownCodes, int32_t& index) {
  for (std::size_t tried = 0; index >= 0 && tried < shownCodes.size(); ++tried) {
    if (static_cast<std::size_t>(index) >= shownCodes.size()) index = 0;
    if (const XmlNode* dish = FindDishByCode(menu, shownCodes[static_cast<std::size_t>(index)])) return dish;
    index = NextDishIndex(index, shownCodes.size());
  }
  index = -1;
  return nullptr;
}
