// Case mapping by the system's locale rules.
#include "win/WinCaseMap.h"

#include <windows.h>

#include "win/WinText.h"

namespace {
class SystemMap final : public CaseMap {
 public:
  std::u16string Upper(std::u16string_view text) const override { return Map(text, CharUpperBuffW); }
  std::u16string Lower(std::u16string_view text) const override { return Map(text, CharLowerBuffW); }

 private:
  static std::u16string Map(std::u16string_view text, DWORD(WINAPI* f)(LPWSTR, DWORD)) {
    std::wstring w = ToW(text);
    if (!w.empty()) f(w.data(), static_cast<DWORD>(w.size()));
    return ToU16(w);
  }
};
}  // namespace

const CaseMap& SystemCaseMap() noexcept {
  static const SystemMap map;
  return map;
}
