#pragma once
// Small pieces of the order display's header: the two lines of a message layout, the 2000 ms rule
// that decides whether a layout change fades in, and the line breaks of a dish name. The display
// converts its wide texts at the call (win/WinText.h).
#include <cstdint>
#include <string>

// The text before the first "|" and the rest after it, joined by CR LF; without "|", the first half
// (length div 2 characters) and the rest. An empty text gives CR LF alone.
std::u16string SplitTwoLines(const std::u16string& text);

// Whether at least 2000 ms have passed from `lastLayoutTick` to `now`, as an unsigned 32-bit difference
// of tick counts, so that it holds across the wrap of the tick count.
inline bool TwoSecondsPassed(uint32_t now, uint32_t lastLayoutTick) {
  return static_cast<uint32_t>(now - lastLayoutTick) >= 2000u;
}

// Breaks a dish name into lines for the dish layout: a budget of 400 units a line at 25 units a
// character, a break (CR LF) only ever before a word, the blank staying at the end of the line before.
std::u16string WrapDishName(const std::u16string& text);
