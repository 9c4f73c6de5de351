// The ANSI code page steps through the system's own conversion functions.
#include "win/WinCodePage.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/CodePages.h"
#include "core/Exception.h"
#include "core/Utf.h"
#include "win/WinFiles.h"
#include "win/WinText.h"


int SystemAnsiCodePage() { return static_cast<int>(GetACP()); }

namespace {
// One conversion to the ANSI page; `lacking` (null for UTF-8, which takes none) tells whether a
// character became the page's default character.
std::string WideToAnsi(std::wstring_view w, DWORD flags, BOOL* lacking) {
  const int n = WideCharToMultiByte(CP_ACP, flags, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr,
                                    lacking);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, lacking);
  return out;
}

// Whether 8-bit text in the ANSI page reads as letters and digits only.
bool LettersAndDigits(std::string_view bytes) {
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
  std::vector<WORD> types(w.size());
  if (!GetStringTypeW(CT_CTYPE1, w.data(), n, types.data())) return false;
  return std::all_of(types.begin(), types.end(), [](WORD t) { return (t & (C1_ALPHA | C1_DIGIT)) != 0; });
}

// One character the page lacks: the system's best-fit look-alike when that is made of letters and
// digits ("é" gives "e"), else the page's default character. The whole XML text takes this road, and a
// look-alike that is a sign could turn text into markup: a full-width "<" or quotation mark would
// become the ASCII one and change the document, so signs never pass.
std::string LackingCharacter(std::wstring_view c, const std::string& defaultForm) {
  std::string fit = WideToAnsi(c, 0, nullptr);
  return LettersAndDigits(fit) ? fit : defaultForm;
}
}  // namespace

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring w = ToW(text);
  if (GetACP() == CP_UTF8) return WideToAnsi(w, 0, nullptr);
  BOOL lacking = FALSE;
  std::string exact = WideToAnsi(w, WC_NO_BEST_FIT_CHARS, &lacking);
  if (!lacking) return exact;
  // Character by character (a surrogate pair is one), each distinct one converted once.
  std::string out;
  out.reserve(exact.size());
  std::unordered_map<std::wstring_view, std::string> seen;
  for (size_t i = 0; i < w.size();) {
    const size_t units = IS_HIGH_SURROGATE(w[i]) && i + 1 < w.size() && IS_LOW_SURROGATE(w[i + 1]) ? 2 : 1;
    const std::wstring_view c(w.data() + i, units);
    i += units;
    auto [at, fresh] = seen.try_emplace(c);
    if (fresh) {
      BOOL missing = FALSE;
      at->second = WideToAnsi(c, WC_NO_BEST_FIT_CHARS, &missing);
      if (missing) at->second = LackingCharacter(c, at->second);
    }
    out += at->second;
  }
  return out;
}

std::u16string FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return ToU16(out);
}

std::string AnsiToUtf8(std::string_view bytes) {
  if (SystemAnsiCodePage() == codepage::Utf8) return std::string(bytes);
  return Utf16ToUtf8(FromAnsi(bytes));
}

std::u16string ReadTextFileByBom(const std::wstring& path) {
  const std::string bytes = ReadFileBytes(path);
  return DecodeTextByBom(bytes, [](std::string_view b) { return FromAnsi(b); });
}
