// The ANSI code page steps through the system's own conversion functions.
#include "win/WinCodePage.h"

#include <windows.h>

#include <string>

#include "core/CodePages.h"
#include "core/Exception.h"
#include "core/Utf.h"
#include "win/WinFiles.h"
#include "win/WinText.h"


int SystemAnsiCodePage() { return static_cast<int>(GetACP()); }

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring w = ToW(text);
  // No best-fit mapping: a character the page lacks becomes its default character, not a look-alike
  // (é stays "?" in windows-1251 instead of turning into "e"). UTF-8 takes no flags.
  const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(CP_ACP, flags, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
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
