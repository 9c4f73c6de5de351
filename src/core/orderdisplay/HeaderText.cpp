#include "core/orderdisplay/HeaderText.h"

std::u16string SplitTwoLines(const std::u16string& text) {
  size_t bar = text.find(u'|');
  if (bar != std::u16string::npos) return text.substr(0, bar) + u"\r\n" + text.substr(bar + 1);
  size_t half = text.size() / 2;
  return text.substr(0, half) + u"\r\n" + text.substr(half);
}

std::u16string WrapDishName(const std::u16string& text) {
  constexpr long long kLine = 400, kChar = 25;
  long long budget = kLine;
  std::u16string result;
  // The rest of the text starts at `from`; walking an index keeps a long name linear in its length.
  size_t from = 0;
  for (size_t blank; (blank = text.find(u' ', from)) != std::u16string::npos;) {
    const long long p = static_cast<long long>(blank - from) + 1;  // the word with its blank
    if ((p + 1) * kChar > budget) {
      result += u"\r\n";
      budget = kLine - p * kChar;
    } else {
      budget -= (p + 1) * kChar;
    }
    result.append(text, from, blank + 1 - from);
    from = blank + 1;
  }
  if (static_cast<long long>(text.size() - from) * kChar > budget) result += u"\r\n";
  result.append(text, from, std::u16string::npos);
  return result;
}
