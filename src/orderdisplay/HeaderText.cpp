#include "orderdisplay/HeaderText.h"

std::wstring SplitTwoLines(const std::wstring& text) {
  size_t bar = text.find(L'|');
  if (bar != std::wstring::npos) return text.substr(0, bar) + L"\r\n" + text.substr(bar + 1);
  size_t half = text.size() / 2;
  return text.substr(0, half) + L"\r\n" + text.substr(half);
}

std::wstring WrapDishName(const std::wstring& text) {
  constexpr long long kLine = 400, kChar = 25;
  long long budget = kLine;
  std::wstring result;
  std::wstring rest = text;
  for (size_t blank; (blank = rest.find(L' ')) != std::wstring::npos;) {
    const long long p = static_cast<long long>(blank) + 1;  // the word with its blank
    std::wstring word = rest.substr(0, blank + 1);
    if ((p + 1) * kChar > budget) {
      result += L"\r\n" + word;
      budget = kLine - p * kChar;
    } else {
      result += word;
      budget -= (p + 1) * kChar;
    }
    rest.erase(0, blank + 1);
  }
  if (static_cast<long long>(rest.size()) * kChar > budget) {
    result += L"\r\n" + rest;
  } else {
    result += rest;
  }
  return result;
}
