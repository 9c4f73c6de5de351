#include "display/StringsTable.h"

#include <windows.h>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"
#include "shared/Logging.h"
#include "win/WinCaseMap.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

namespace {
const wchar_t kFileName[] = L"ZebStrings.xml";

std::wstring Cased(const std::wstring& text, CaseRule rule) {
  switch (rule) {
    case CaseRule::Upper: return ToW(SystemCaseMap().Upper(ToU16(text)));
    case CaseRule::Lower: return ToW(SystemCaseMap().Lower(ToU16(text)));
    case CaseRule::AsRead: break;
  }
  return text;
}

bool CanBeElementName(const std::wstring& name) {
  if (name.empty()) return false;
  for (wchar_t c : name)
    if (c <= L' ') return false;
  return true;
}
}  // namespace

void LoadStringsTable(std::span<const DisplayText> texts) {
  std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
  path.resize(GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data()));
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  path += kFileName;
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;

  const std::u16string text = ReadTextFileByBom(path);
  const std::wstring language = ReadSettingString(L"OUTPUT", L"Language", L"RUS");
  XmlDocument doc;
  doc.LoadXml(Utf16ToUtf8(text));
  const XmlNode* root = doc.Root();
  if (!root) return;
  if (!CanBeElementName(language))
    throw Exception(u"\"" + ToU16(language) + u"\" cannot be the name of an element");
  const XmlNode* lang = root->FirstChild(ToU16(language));
  if (!lang) return;
  for (const DisplayText& t : texts) {
    const XmlNode* e = lang->FirstChild(ToU16(t.Key));
    if (!e) continue;
    if (e->HasAttr(u"Val")) *t.Text = ToW(e->Attr(u"Val"));
    *t.Text = Cased(*t.Text, t.Rule);
  }
}
