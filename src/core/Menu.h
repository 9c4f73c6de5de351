#pragma once
// The host's menu as the programs look dishes up in it: the dishes are the direct children of the
// menu's root element, each with an integer Code, a name and a ";"-separated picture list
// LargeImagePath.
#include <cstdint>
#include <string_view>

#include "core/Xml.h"

// The first direct child of the menu's root whose Code attribute, read as an integer (TryStrToInt),
// equals `code`; children without Code are skipped; null when none matches. Codes are read one by one
// as the search meets them, so a Code that is not an integer raises Exception when the search reaches
// it (and not when the match comes first). A menu without a root element raises Exception.
const XmlNode* FindDishByCode(const XmlDocument& menu, int32_t code);

// The text before the first ";" of a list (empty when the list begins with ";"), or the whole text
// when it holds none.
std::u16string_view FirstListEntry(std::u16string_view list) noexcept;
