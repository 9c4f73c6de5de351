// Display programs under test: starting one in a prepared folder, closing or killing it within a
// time limit, and reading the log it writes.
#include "HostLib.h"

#include "core/Exception.h"
#include "core/Utf.h"
#include "win/WinText.h"

namespace zebhost {
namespace {

std::u16string Quoted(const std::wstring& s) { return u"\"" + ToU16(s) + u"\""; }
std::u16string ErrorSuffix() { return Ascii(" (error " + std::to_string(GetLastError()) + ")"); }

struct CloseRequest {
  DWORD processId;
  bool found = false;
};

BOOL CALLBACK PostCloseToProcessWindow(HWND window, LPARAM param) {
  auto* request = reinterpret_cast<CloseRequest*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == request->processId && PostMessageW(window, WM_CLOSE, 0, 0)) request->found = true;
  return TRUE;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi))
    throw Exception(u"cannot start " + Quoted(exe) + ErrorSuffix());
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  id_ = pi.dwProcessId;
}

ChildProcess::~ChildProcess() {
  Kill();
  CloseHandle(process_);
}

bool ChildProcess::Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool ChildProcess::WaitExit(DWORD timeoutMs) { return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0; }

std::optional<DWORD> ChildProcess::ExitCode() const {
  DWORD code = 0;
  if (Running() || !GetExitCodeProcess(process_, &code)) return std::nullopt;
  return code;
}

bool ChildProcess::RequestClose() {
  CloseRequest request{id_};
  EnumWindows(PostCloseToProcessWindow, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

bool ChildProcess::Stop(DWORD timeoutMs) {
  if (!Running()) return true;
  if (RequestClose() && WaitExit(timeoutMs)) return true;
  Kill();
  return false;
}

void ChildProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 5000);
}

std::wstring CopyInto(const std::wstring& file, const std::wstring& folder) {
  const size_t slash = file.find_last_of(L"\\/");
  std::wstring target = folder;
  if (!target.empty() && target.back() != L'\\' && target.back() != L'/') target += L'\\';
  target += slash == std::wstring::npos ? file : file.substr(slash + 1);
  if (!CopyFileW(file.c_str(), target.c_str(), FALSE))
    throw Exception(u"cannot copy " + Quoted(file) + u" to " + Quoted(target) + ErrorSuffix());
  return target;
}

void WriteUtf8File(const std::wstring& path, const std::wstring& text) {
  const std::string bytes = Utf16ToUtf8(ToU16(text));
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw Exception(u"cannot write " + Quoted(path) + ErrorSuffix());
  DWORD written = 0;
  BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  if (!ok || written != bytes.size()) throw Exception(u"cannot write " + Quoted(path));
}

std::vector<std::wstring> ReadLogLines(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  const std::vector<unsigned char> b = ReadFileBytes(path);
  const size_t start = b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE ? 2 : 0;
  std::vector<std::wstring> lines;
  std::wstring line;
  for (size_t i = start; i + 1 < b.size(); i += 2) {
    const wchar_t c = static_cast<wchar_t>(b[i] | (b[i + 1] << 8));
    if (c == L'\n' && !line.empty() && line.back() == L'\r') {
      line.pop_back();
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::optional<LogLine> ParseLogLine(const std::wstring& line) {
  // "DD.MM.YYYY HH:NN:SS.ZZZ> ": digits at fixed places, any separator between them.
  static const wchar_t kShape[] = L"00.00.0000 00:00:00.000> ";
  const size_t n = sizeof kShape / sizeof kShape[0] - 1;
  if (line.size() < n) return std::nullopt;
  for (size_t i = 0; i < n; ++i) {
    const bool digit = line[i] >= L'0' && line[i] <= L'9';
    if ((kShape[i] == L'0') != digit) return std::nullopt;
    if ((kShape[i] == L'>' || kShape[i] == L' ') && line[i] != kShape[i]) return std::nullopt;
  }
  auto num = [&](size_t at, size_t len) {
    int v = 0;
    for (size_t i = at; i < at + len; ++i) v = v * 10 + (line[i] - L'0');
    return v;
  };
  const std::int64_t days = DaysFromCivil(num(6, 4), num(3, 2), num(0, 2));
  const std::int64_t ms = ((days * 24 + num(11, 2)) * 60 + num(14, 2)) * 60000 + num(17, 2) * 1000 + num(20, 3);
  return LogLine{ms, line.substr(n)};
}

}  // namespace zebhost
