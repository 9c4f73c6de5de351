#pragma once
// For the benchmarks: a millisecond clock, and under Wine Linux's /proc read through the Z: drive.
// Wine opens files in its server, so /proc/self names the server, not the caller: a process is found
// by its command line.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>

namespace benchproc {

inline double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

inline std::string ReadAll(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string out;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
  CloseHandle(f);
  return out;
}

// "Z:\proc\<pid>\" of the Linux process whose command line contains `needle`, or nothing (not
// under Wine, or no such process).
inline std::optional<std::wstring> FindProcess(const std::string& needle) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(L"Z:\\proc\\*", &fd);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::wstring> found;
  do {
    const std::wstring name = fd.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    std::string cmdline = ReadAll(L"Z:\\proc\\" + name + L"\\cmdline");
    std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
    if (cmdline.find(needle) != std::string::npos) found = L"Z:\\proc\\" + name + L"\\";
  } while (!found && FindNextFileW(h, &fd));
  FindClose(h);
  return found;
}

// User + system CPU seconds (fields 14 and 15 of stat, in Linux's 100 ticks a second).
inline double CpuSeconds(const std::wstring& proc) {
  const std::string stat = ReadAll(proc + L"stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream in(stat.substr(close + 2));
  std::string field;
  double utime = 0, stime = 0;
  for (int i = 3; i <= 15 && in >> field; ++i) {
    if (i == 14) utime = std::stod(field);
    if (i == 15) stime = std::stod(field);
  }
  return (utime + stime) / 100.0;
}

// A "Key:  N kB" line of status, in MB (0 when missing).
inline double StatusMb(const std::wstring& proc, const std::string& key) {
  const std::string status = ReadAll(proc + L"status");
  const size_t at = status.find(key + ":");
  return at == std::string::npos ? 0 : std::stod(status.substr(at + key.size() + 1)) / 1024.0;
}

}  // namespace benchproc
