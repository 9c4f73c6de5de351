// Font families by name, with one fall-back rule for families the machine lacks (the display
// computer has the Memphis families; test machines and Wine do not).
#include "ui/Fonts.h"

#include <map>

#include "ui/GdiPlus.h"
#include "ui/GdiPlusIncludes.h"

namespace ui {
namespace {

bool Installed(const std::wstring& family) {
  Gdiplus::FontFamily f(family.c_str());
  return f.IsAvailable() && f.GetLastStatus() == Gdiplus::Ok;
}

}  // namespace

std::wstring ResolveFontFamily(const std::wstring& requested) {
  static std::map<std::wstring, std::wstring> cache;
  auto it = cache.find(requested);
  if (it != cache.end()) return it->second;
  std::wstring result = requested;
  EnsureGdiPlus();
  if (!Installed(requested)) {
    // Bold-capable families with Cyrillic letters, the one Wine brings first.
    static const wchar_t* const fallbacks[] = {L"Tahoma", L"Segoe UI", L"Arial", L"DejaVu Sans",
                                               L"Liberation Sans", L"Verdana"};
    for (const wchar_t* f : fallbacks) {
      if (Installed(f)) {
        result = f;
        break;
      }
    }
  }
  cache.emplace(requested, result);
  return result;
}

}  // namespace ui
