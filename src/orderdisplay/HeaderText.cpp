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
  // The rest of the text starts at `from`; walking an index keeps a long name linear in its length.
  size_t from = 0;
  for (size_t blank; (blank = text.find(L' ', from)) != std::wstring::npos;) {
    const long long p = static_cast<long long>(blank - from) + 1;  // the word with its blank
    if ((p + 1) * kChar > budget) {
      result += L"\r\n";
      budget = kLine - p * kChar;
    } else {
      budget -= (p + 1) * kChar;
    }
    result.append(text, from, blank + 1 - from);
    from = blank + 1;
  }
  if (static_cast<long long>(text.size() - from) * kChar > budget) result += L"\r\n";
  result.append(text, from, std::wstring::npos);
  return result;
}
