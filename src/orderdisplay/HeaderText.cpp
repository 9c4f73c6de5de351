#include "orderdisplay/HeaderText.h"

std::wstring SplitTwoLines(const std::wstring& text) {
  size_t bar = text.find(L'|');
  if (bar != std::wstring::npos) return text.substr(0, bar) + L"\r\n" + text.substr(bar + 1);
  size_t half = text.size() / 2;
  return text.substr(0, half) + L"\r\n" + text.substr(half);
}
