#pragma once
// For the benchmarks: a millisecond clock, and under Wine Linux's /proc read through the Z: drive.
// Wine resolves /proc/self in its server, so Z:\proc\self names the server, not the caller: a
// process is found by its command line (and this program's own process by a file only it maps).
#include <windows.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace benchproc {

inline double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

inline bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

inline std::optional<std::string> ReadAll(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string out;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
  CloseHandle(f);
  return out;
}

// "Z:\proc\<pid>\" of the first Linux process whose arguments (its command line split at the NULs)
// satisfy `match`, or nothing (not under Wine, or no such process).
inline std::optional<std::wstring> FindProcess(
    const std::function<bool(const std::wstring& proc, const std::vector<std::string>& args)>& match) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(L"Z:\\proc\\*", &fd);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::wstring> found;
  do {
    const std::wstring name = fd.cFileName;
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    const std::wstring proc = L"Z:\\proc\\" + name + L"\\";
    const auto cmdline = ReadAll(proc + L"cmdline");
    if (!cmdline || cmdline->empty()) continue;  // gone, or a zombie or kernel thread
    std::vector<std::string> args;
    std::istringstream in(*cmdline);
    for (std::string arg; std::getline(in, arg, '\0');) args.push_back(arg);
    if (match(proc, args)) found = proc;
  } while (!found && FindNextFileW(h, &fd));
  FindClose(h);
  return found;
}

// "/proc/<pid>", as Linux names the entry.
inline std::string LinuxName(const std::wstring& proc) {
  const std::string z = Narrow(proc);  // "Z:\proc\<pid>\" (see FindProcess)
  return "/proc/" + z.substr(8, z.size() - 9);
}

inline bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The Linux process that runs this program. Its command line alone does not tell it from another
// copy of the same program (the same relative path in another checkout), so a file of a unique name
// is mapped here for the search and looked for in the memory maps of the candidates.
inline std::optional<std::wstring> FindSelf() {
  wchar_t exe[MAX_PATH], folder[MAX_PATH], marker[MAX_PATH];
  if (!GetModuleFileNameW(nullptr, exe, MAX_PATH) || !GetTempPathW(MAX_PATH, folder) ||
      !GetTempFileNameW(folder, L"zbp", 0, marker))
    return std::nullopt;
  const std::wstring exePath = exe, markerPath = marker;
  const std::string exeName = Narrow(exePath.substr(exePath.find_last_of(L'\\') + 1));
  const std::string markerName = Narrow(markerPath.substr(markerPath.find_last_of(L'\\') + 1));
  std::optional<std::wstring> found;
  HANDLE file = CreateFileW(marker, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE,
                            nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, "zeb", 3, &written, nullptr);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (view)
      found = FindProcess([&](const std::wstring& proc, const std::vector<std::string>& args) {
        if (args.empty() || !EndsWith(args[0], exeName)) return false;
        const auto maps = ReadAll(proc + L"maps");
        return maps && maps->find(markerName) != std::string::npos;
      });
    if (view) UnmapViewOfFile(view);
    if (mapping) CloseHandle(mapping);
    CloseHandle(file);
  }
  DeleteFileW(marker);
  return found;
}

// User + system CPU seconds of all the process's threads (fields 14 and 15 of stat, in clock ticks:
// USER_HZ, which Linux fixes at 100 a second on x86); nothing when the entry cannot be read.
inline std::optional<double> CpuSeconds(const std::wstring& proc) {
  const auto stat = ReadAll(proc + L"stat");
  const size_t close = stat ? stat->rfind(')') : std::string::npos;
  if (close == std::string::npos) return std::nullopt;
  std::istringstream in(stat->substr(close + 2));
  std::string field;
  double utime = -1, stime = -1;
  for (int i = 3; i <= 15 && in >> field; ++i) {
    if (i == 14) utime = std::stod(field);
    if (i == 15) stime = std::stod(field);
  }
  if (utime < 0 || stime < 0) return std::nullopt;
  return (utime + stime) / 100.0;
}

// A "Key:  N kB" line of status, in MB; nothing when the entry or the line is missing.
inline std::optional<double> StatusMb(const std::wstring& proc, const std::string& key) {
  const auto status = ReadAll(proc + L"status");
  const size_t at = status ? status->find("\n" + key + ":") : std::string::npos;
  if (at == std::string::npos) return std::nullopt;
  return std::stod(status->substr(at + key.size() + 2)) / 1024.0;
}

}  // namespace benchproc
