// The gallery scene's choice of dishes and its cycle.
#include "core/scenes/DishCodes.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

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
  const std::unordered_set<int32_t> wanted(dishCodeList.begin(), dishCodeList.end());
  for (const XmlNode* dish : root->Children()) {
    if (!dish->IsElement()) continue;
    const XmlNode* classifications = dish->FirstChild(u"Classifications");
    if (!classifications) continue;
    for (const XmlNode* classification : classifications->Children()) {
      // Only elements are classifications; a comment among them names none.
      if (!classification->IsElement()) continue;
      if (wanted.contains(classification->AttrInt(u"Code", 0)))
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
  // The entry at `index` nearly always names a dish; only when it does not is the menu indexed, so
  // that a cycle of codes the menu lacks (dishes without a Code stand as 0) costs one pass over the
  // menu instead of one per entry.
  std::optional<DishIndex> dishes;
  for (std::size_t tried = 0; index >= 0 && tried < shownCodes.size(); ++tried) {
    if (static_cast<std::size_t>(index) >= shownCodes.size()) index = 0;
    const int32_t code = shownCodes[static_cast<std::size_t>(index)];
    if (const XmlNode* dish = dishes ? dishes->Find(code) : FindDishByCode(menu, code)) return dish;
    if (!dishes) dishes.emplace(menu);
    index = NextDishIndex(index, shownCodes.size());
  }
  index = -1;
  return nullptr;
}
