// Looking dishes up in the host's menu.
#include "core/Menu.h"

#include "core/Exception.h"
#include "core/Numbers.h"

const XmlNode* FindDishByCode(const XmlDocument& menu, int32_t code) {
  const XmlNode* root = menu.Root();
  if (!root) throw Exception(u"The menu has no root element");
  for (const XmlNode* dish : root->Children())
    if (dish->HasAttr(u"Code") && dish->AttrInt(u"Code", 0) == code) return dish;
  return nullptr;
}

DishIndex::DishIndex(const XmlDocument& menu) : root_(menu.Root()) {
  if (!root_) return;
  for (const XmlNode* dish : root_->Children()) {
    if (!dish->HasAttr(u"Code")) continue;
    int32_t code = 0;
    if (!TryStrToInt(dish->Attr(u"Code"), code)) {
      // No search goes past this dish: what lies behind it is never found.
      unreadable_ = dish;
      return;
    }
    first_.try_emplace(code, dish);
  }
}

const XmlNode* DishIndex::Find(int32_t code) const {
  if (!root_) throw Exception(u"The menu has no root element");
  const auto found = first_.find(code);
  if (found != first_.end()) return found->second;
  if (unreadable_) unreadable_->AttrInt(u"Code", 0);  // raises as the search from the start would
  return nullptr;
}

std::u16string_view FirstListEntry(std::u16string_view list) noexcept {
  return list.substr(0, list.find(u';'));
}
