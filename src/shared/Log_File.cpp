#include "shared/Log_File.h"

#include <cwchar>

#include "core/Exception.h"
#include "core/ScopeExit.h"
#include "core/Texts.h"
#include "win/WinFiles.h"
#include "win/WinText.h"

namespace {

const wchar_t kCrLf[] = L"\r\n";

std::wstring TwoDigits(int v) {
  wchar_t buf[16];
  swprintf(buf, 16, L"%02d", v);
  return buf;
}

std::wstring TimeSeparator() {
  wchar_t buf[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, buf, 8) > 1) return std::wstring(1, buf[0]);
  return L":";
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// B + ".??????????.log", each "?" one character, letters compared without regard to case.
bool MatchesDayMask(const std::wstring& name, const std::wstring& B) {
  const std::wstring tail = L".log";
  if (name.size() != B.size() + 1 + 10 + tail.size()) return false;
  if (!EqualsNoCase(name.substr(0, B.size()), B)) return false;
  if (name[B.size()] != L'.') return false;
  return EqualsNoCase(name.substr(name.size() - tail.size()), tail);
}

// The local time of a line. The system time is cheap to read; turning it into local time costs a
// time-zone look-up, so the offset of local time is looked up once per second of system time (zone
// and daylight-saving changes fall on whole seconds) and added to the system time of each line.
SYSTEMTIME LineTime() {
  static thread_local long long cachedSecond = -1;
  static thread_local long long offset = 0;
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  const long long now = static_cast<long long>((static_cast<unsigned long long>(ft.dwHighDateTime) << 32) |
                                               ft.dwLowDateTime);
  if (now / 10000000 != cachedSecond) {
    FILETIME local;
    FileTimeToLocalFileTime(&ft, &local);
    offset = static_cast<long long>((static_cast<unsigned long long>(local.dwHighDateTime) << 32) |
                                    local.dwLowDateTime) - now;
    cachedSecond = now / 10000000;
  }
  const unsigned long long local = static_cast<unsigned long long>(now + offset);
  FILETIME lf{static_cast<DWORD>(local & 0xFFFFFFFFu), static_cast<DWORD>(local >> 32)};
  SYSTEMTIME t;
  FileTimeToSystemTime(&lf, &t);
  return t;
}

}  // namespace

TLogFile::TLogFile(std::wstring AFileName, uint32_t AMaxSize, int32_t ALog_Level, int32_t AType_log,
                   int32_t ACnt_Files, bool AUseUserName)
    : FFileName(std::move(AFileName)),
      FMaxSize(AMaxSize),
      FLog_Level(ALog_Level),
      FType_log(AType_log),
      FCnt_Files(ACnt_Files),
      FUseUserName(AUseUserName) {
  InitializeCriticalSection(&FLock);
  OpenAndRotate();
}

TLogFile::~TLogFile() {
  CloseFile();
  DeleteCriticalSection(&FLock);
}

std::wstring TLogFile::TimeStampText(const SYSTEMTIME& t) {
  static const wchar_t sep = TimeSeparator()[0];
  // Formatted by hand: this runs for every line.
  wchar_t b[26];
  auto two = [&](int at, unsigned v) {
    b[at] = static_cast<wchar_t>(L'0' + v / 10 % 10);
    b[at + 1] = static_cast<wchar_t>(L'0' + v % 10);
  };
  two(0, t.wDay);
  b[2] = L'.';
  two(3, t.wMonth);
  b[5] = L'.';
  two(6, t.wYear / 100);
  two(8, t.wYear % 100);
  b[10] = L' ';
  two(11, t.wHour);
  b[13] = sep;
  two(14, t.wMinute);
  b[16] = sep;
  two(17, t.wSecond);
  b[19] = L'.';
  b[20] = static_cast<wchar_t>(L'0' + t.wMilliseconds / 100 % 10);
  two(21, t.wMilliseconds % 100);
  b[23] = L'>';
  b[24] = L' ';
  return std::wstring(b, 25);
}

std::wstring TLogFile::CurrentUserName() {
  wchar_t buf[512];
  DWORD n = 512;
  if (!GetUserNameW(buf, &n)) return std::wstring();
  return std::wstring(buf);
}

TLogFile::Names TLogFile::DeriveNames() {
  Names n;
  size_t delim = FFileName.find_last_of(L"\\:");
  size_t nameStart = delim == std::wstring::npos ? 0 : delim + 1;
  n.P = FFileName.substr(0, nameStart);
  n.D = n.P;
  if (!n.D.empty() && n.D.back() == L'\\') n.D.pop_back();
  std::wstring fileName = FFileName.substr(nameStart);
  size_t dot = fileName.find_last_of(L'.');
  n.E = dot == std::wstring::npos ? std::wstring() : fileName.substr(dot);
  size_t cut = n.E.empty() ? std::wstring::npos : fileName.find(n.E);
  n.B = cut == std::wstring::npos ? fileName : fileName.substr(0, cut);
  if (FUseUserName) {
    std::wstring user = ToW(TrimBlanks(ToU16(CurrentUserName())));
    if (!user.empty()) n.B += L".[" + user + L"]";
  }
  return n;
}

std::wstring TLogFile::NumberedName(const Names& n, int32_t number) const {
  std::wstring num = number < 10 ? TwoDigits(number) : std::to_wstring(number);
  return n.D + L"\\" + n.B + L"." + num + n.E;
}

bool TLogFile::OpenFile(const std::wstring& name) {
  FFile.Reset(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_ARCHIVE, nullptr));
  if (!FFile) return false;
  LARGE_INTEGER end{};
  SetFilePointerEx(FFile.Get(), end, &end, FILE_END);
  size_ = static_cast<unsigned long long>(end.QuadPart);
  if (size_ == 0) {
    static const unsigned char bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(FFile.Get(), bom, 2, &written, nullptr);
    size_ += written;
  }
  return true;
}

void TLogFile::CloseFile() { FFile.Reset(); }

// The size taken at the open plus what this logger wrote since. The share mode lets no other process
// write, rename or delete the open file, so this is the file's size, without asking the system for it
// after every line (under Wine that query costs as much as the write itself).
uint32_t TLogFile::FileSize() const { return static_cast<uint32_t>(size_); }

void TLogFile::OpenAndRotate() {
  Names n = DeriveNames();
  if (FType_log == 2) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t date[16];
    swprintf(date, 16, L"%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
    std::wstring dayFile = n.P + n.B + L"." + date + n.E;
    if (GetFileAttributesW(dayFile.c_str()) == INVALID_FILE_ATTRIBUTES) CleanUpOldDays(n);
    OpenFile(dayFile);
    return;
  }
  if (FType_log != 0 && FType_log != 1) return;  // an unknown scheme opens nothing
  const std::wstring current = FType_log == 0 ? FFileName : n.P + n.B + L".01" + n.E;
  OpenFile(current);
  if (!IsOpen() || FileSize() < LimitBytes()) return;

  CloseFile();
  if (n.E.empty()) return;  // a full file without extension is never rotated: the logger stays closed
  if (FType_log == 0) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u-%02u-%02u %02u-%02u-%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    std::wstring moved = n.P + n.B + L"." + stamp + n.E;
    if (!MoveFileExW(FFileName.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
    if (GetFileAttributesW(FFileName.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileW(FFileName.c_str());
    OpenFile(FFileName);
  } else if (FType_log == 1) {
    const int32_t count = FCnt_Files;
    std::wstring oldest = NumberedName(n, count);
    if (GetFileAttributesW(oldest.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileW(oldest.c_str());
    for (int32_t k = count; k >= 2; --k) {
      std::wstring from = NumberedName(n, k - 1);
      if (GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
      MoveFileExW(from.c_str(), NumberedName(n, k).c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    OpenFile(current);
  }
}

void TLogFile::CleanUpOldDays(const Names& n) {
  FILETIME nowFt;
  GetSystemTimeAsFileTime(&nowFt);
  ULARGE_INTEGER now{{nowFt.dwLowDateTime, nowFt.dwHighDateTime}};
  const unsigned long long day = 24ull * 60 * 60 * 10000000ull;  // in 100 ns units
  const unsigned long long age = static_cast<unsigned long long>(FCnt_Files < 0 ? 0 : FCnt_Files) * day;

  ForEachFile(n.D + L"\\*.log", [&](const WIN32_FIND_DATAW& fd) {
    if ((fd.dwFileAttributes & ~0x1FFu) != 0) return;
    std::wstring name = fd.cFileName;
    if (!MatchesDayMask(name, n.B)) return;
    ULARGE_INTEGER written{{fd.ftLastWriteTime.dwLowDateTime, fd.ftLastWriteTime.dwHighDateTime}};
    if (written.QuadPart + age < now.QuadPart) DeleteFileW((n.D + L"\\" + name).c_str());
  });
}

void TLogFile::WriteLine(std::wstring& S) {
  struct Guard {
    TLogFile* self;
    explicit Guard(TLogFile* s) : self(s) { self->EnterLock(); }
    ~Guard() { self->LeaveLock(); }
  } guard(this);

  S += kCrLf;
  if (!IsOpen()) return;
  const DWORD bytes = static_cast<DWORD>(S.size() * sizeof(wchar_t));
  DWORD written = 0;
  BOOL ok = WriteFile(FFile.Get(), S.data(), bytes, &written, nullptr);
  size_ += written;
  if (!ok || written != bytes) throw Exception(u"Error Write To File \"" + ToU16(FFileName) + u"\"");
  if (FileSize() >= LimitBytes() && (FType_log == 0 || FType_log == 1)) {
    CloseFile();
    OpenAndRotate();
  }
}

bool TLogFile::BuildAndWrite(int32_t ALog_Level, std::wstring_view prefix, std::wstring_view S,
                             bool TimeStamp, std::wstring& line) {
  if (ALog_Level > FLog_Level) return false;
  line.clear();
  if (TimeStamp) line = TimeStampText(LineTime());
  line += prefix;
  line += S;
  WriteLine(line);  // appends CR LF to the line
  return true;
}

std::wstring TLogFile::WriteStringInfo(int32_t ALog_Level, const std::wstring& S, bool TimeStamp) {
  std::wstring line;
  line.reserve(S.size() + 27);
  if (!BuildAndWrite(ALog_Level, {}, S, TimeStamp, line)) return S;
  return line;
}

void TLogFile::WriteStringInfoPrefixed(int32_t ALog_Level, std::wstring_view prefix, std::wstring_view S,
                                       bool TimeStamp) {
  // One line buffer, kept between lines: the log writer drops the returned text anyway. The lock
  // (which WriteLine takes again) keeps it to one thread at a time.
  EnterLock();
  auto leave = ScopeExit([this] { LeaveLock(); });
  BuildAndWrite(ALog_Level, prefix, S, TimeStamp, line_);
}

void TLogFile::Flush() {
  if (IsOpen()) FlushFileBuffers(FFile.Get());
}
