#pragma once
// The gallery scene's choice of dishes: the classification codes the host names (DishCodes), the
// cycle of dish codes collected from the menu (ShownCodes) and the way the cycle moves on. Pure: the
// scene library keeps the lists and hands them in.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Xml.h"

// Refills `dishCodeList` from a comma-separated list of integers (the integer-list rule of
// Numbers.h: trimmed, split at every ",", each piece a signed 32-bit integer, decimal or hexadecimal,
// blanks before it allowed and after it not, a trailing "," adding nothing). Raises Exception at the
// first piece that is no integer, the empty piece included; the codes before it are then in the list.
void ParseDishCodes(std::u16string_view text, std::vector<int32_t>& dishCodeList);

// Whether the list holds the code.
bool IsInDishCodes(const std::vector<int32_t>& dishCodeList, int32_t code) noexcept;

// Rebuilds `shownCodes`: for each dish (direct child element of the menu's root), in menu order, and
// for each child element of its first Classifications element whose Code (0 when absent) is in
// `dishCodeList`, the dish's own Code (0 when absent). A dish with two matching classifications thus
// stands twice in a row. Raises Exception for a menu without a root element (before `shownCodes` is
// touched) and for a Code that is not an integer (`shownCodes` then holds the codes before it).
void CollectShownCodes(const XmlDocument& menu, const std::vector<int32_t>& dishCodeList,
                       std::vector<int32_t>& shownCodes);

// The index after `current` in a cycle of `count` entries: 0 after the last one and after -1; -1 when
// the cycle is empty.
int32_t NextDishIndex(int32_t current, std::size_t count) noexcept;

// The dish to show for the entry at `index` (0 or more): the first entry from there on, in cycle
// order, whose code names a dish of the menu (FindDishByCode), trying each entry at most once.
// `index` becomes the entry found, or -1 (and null is returned) when no entry names a dish. Raises
// what FindDishByCode raises; `index` then stands at the entry being tried.
const XmlNode* FindShownDish(const XmlDocument& menu, const std::vector<int32_t>& shownCodes, int32_t& index);
