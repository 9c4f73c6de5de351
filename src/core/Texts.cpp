// Small text helpers and the system-free case mapping used natively and in tests.
#include "core/Texts.h"

std::u16string_view TrimBlanks(std::u16string_view text) noexcept {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] <= u' ') ++begin;
  while (end > begin && text[end - 1] <= u' ') --end;
  return text.substr(begin, end - begin);
}

std::u16string RemoveCrLfPairs(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

std::u16string_view BareFileName(std::u16string_view path) noexcept {
  const size_t delimiter = path.find_last_of(u"\\:");
  return delimiter == std::u16string_view::npos ? path : path.substr(delimiter + 1);
}

namespace {
char16_t UpperChar(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c >= 0x0430 && c <= 0x044F) return c - 32;
  if (c >= 0x0450 && c <= 0x045F) return c - 80;
  return c;
}
char16_t LowerChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x0410 && c <= 0x042F) return c + 32;
  if (c >= 0x0400 && c <= 0x040F) return c + 80;
  return c;
}

class Simple final : public CaseMap {
 public:
  std::u16string Upper(std::u16string_view text) const override { return Map(text, UpperChar); }
  std::u16string Lower(std::u16string_view text) const override { return Map(text, LowerChar); }

 private:
  static std::u16string Map(std::u16string_view text, char16_t (*f)(char16_t)) {
    std::u16string out(text);
    for (auto& c : out) c = f(c);
    return out;
  }
};
}  // namespace

const CaseMap& SimpleCaseMap() noexcept {
  static const Simple map;
  return map;
}
