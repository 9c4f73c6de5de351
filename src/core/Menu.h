#pragma once
// The host's menu as the programs look dishes up in it: the dishes are the direct children of the
// menu's root element, each with an integer Code, a name and a ";"-separated picture list
// LargeImagePath.
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "core/Xml.h"

// The first direct child of the menu's root whose Code attribute, read as an integer (TryStrToInt),
// equals `code`; children without Code are skipped; null when none matches. Codes are read one by one
// as the search meets them, so a Code that is not an integer raises Exception when the search reaches
// it (and not when the match comes first). A menu without a root element raises Exception.
const XmlNode* FindDishByCode(const XmlDocument& menu, int32_t code);

// The same look-up for many codes against one menu: one pass over the dishes makes it, and each Find
// then costs about the same however long the menu is. Find answers exactly what FindDishByCode
// answers for the menu as it was when the index was made, raising where it raises (a menu without a
// root element, a Code that is not an integer before the first match). The menu must outlive the index
// and stay unchanged.
class DishIndex {
 public:
  explicit DishIndex(const XmlDocument& menu);
  const XmlNode* Find(int32_t code) const;

 private:
  const XmlNode* root_ = nullptr;
  // The first dish of each code, of those before the first dish whose Code is not an integer
  // (unreadable_), where every search that gets that far raises.
  std::unordered_map<int32_t, const XmlNode*> first_;
  const XmlNode* unreadable_ = nullptr;
};

// The text before the first ";" of a list (empty when the list begins with ";"), or the whole text
// when it holds none.
std::u16string_view FirstListEntry(std::u16string_view list) noexcept;
