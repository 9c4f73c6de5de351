#include "shared/Logging.h"

#include <windows.h>

#include <vector>

#include "core/Numbers.h"
#include "win/WinPaths.h"
#include "win/WinText.h"

TLogFile* GlobalLog = nullptr;

namespace {
const wchar_t kSettingsFile[] = L"Zebrane.ini";
constexpr uint32_t kLogLimitKb = 50000;
constexpr int32_t kLogFiles = 10;
}  // namespace

std::wstring TIniReader::ReadString(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& def) const {
  std::vector<wchar_t> buf(2048, L'\0');
  DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(), buf.data(),
                                     static_cast<DWORD>(buf.size()), path_.c_str());
  return std::wstring(buf.data(), n);
}

int32_t TIniReader::ReadInteger(const std::wstring& section, const std::wstring& key,
                                int32_t def) const {
  std::wstring value = ReadString(section, key, L"");
  return StrToIntDef(ToU16(value), def);
}

std::unique_ptr<TIniReader> OpenSettings(const std::wstring& fileName) {
  return std::make_unique<TIniReader>(ExecutableFolder() + fileName);
}

std::wstring ReadSettingString(const std::wstring& section, const std::wstring& key,
                               const std::wstring& def) {
  return OpenSettings(kSettingsFile)->ReadString(section, key, def);
}

int32_t ReadSettingInteger(const std::wstring& section, const std::wstring& key, int32_t def) {
  return OpenSettings(kSettingsFile)->ReadInteger(section, key, def);
}

void WriteLog(const std::wstring& text, int32_t level, bool timeStamp) {
  if (!GlobalLog) return;
  const wchar_t* prefix = nullptr;
  switch (level) {
    case 1: prefix = L"[ERROR] "; break;
    case 2: prefix = L"[WARNING] "; break;
    case 3: prefix = L"[NOTE] "; break;
    default: return;
  }
  GlobalLog->WriteStringInfoPrefixed(level, prefix, text, timeStamp);
}

void WriteLogNoRaise(const std::wstring& text, int32_t level, bool timeStamp) noexcept {
  try {
    WriteLog(text, level, timeStamp);
  } catch (...) {
    // Nowhere left to report a log that cannot be written.
  }
}

void InitLog(const std::wstring& name, int32_t level) {
  const std::wstring defaultFolder = ExecutableFolder() + L"\\ZebLogFiles\\";
  std::wstring folder = ReadSettingString(L"LOGFILE", L"LogDir", defaultFolder);
  // Read for compatibility with existing settings files; the limit stays 50000 KB.
  (void)ReadSettingInteger(L"LOGFILE", L"LogFileMaxSize", 100000000);
  size_t first = folder.find_first_not_of(L'\\');
  folder = first == std::wstring::npos ? std::wstring() : folder.substr(first);
  if (folder.empty()) folder = defaultFolder;
  if (folder.back() != L'\\') folder += L'\\';
  if (!DirectoryExists(folder)) CreateDirectoryW(folder.c_str(), nullptr);
  if (!GlobalLog) GlobalLog = new TLogFile(folder + name + L".log", kLogLimitKb, level, 1, kLogFiles, false);
}

void ResetGlobalLogForTests() {
  delete GlobalLog;
  GlobalLog = nullptr;
}
