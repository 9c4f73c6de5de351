// Looking dishes up in the host's menu.
#include "core/Menu.h"

#include "core/Exception.h"

const XmlNode* FindDishByCode(const XmlDocument& menu, int32_t code) {
  const XmlNode* root = menu.Root();
  if (!root) throw Exception(u"The menu has no root element");
  for (const XmlNode* dish : root->Children())
    if (dish->HasAttr(u"Code") && dish->AttrInt(u"Code", 0) == code) return dish;
  return nullptr;
}

std::u16string_view FirstListEntry(std::u16string_view list) noexcept {
  return list.substr(0, list.find(u';'));
}
