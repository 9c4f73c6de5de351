#include "TestFiles.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "core/Exception.h"
#include "win/Handles.h"
#include "win/WinFiles.h"

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  for (;;) {
    std::wstring p = std::wstring(base) + L"zeb-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                     std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(counter++);
    if (CreateDirectoryW(p.c_str(), nullptr)) {
      path_ = p + L"\\";
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make a temp folder");
  }
}

TempDir::~TempDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  std::wstring dir = path;
  if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  ForEachFile(dir + L"\\*", [&](const WIN32_FIND_DATAW& fd) {
    std::wstring n = fd.cFileName;
    if (n == L"." || n == L"..") return;
    std::wstring full = dir + L"\\" + n;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(full);
    } else {
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(full.c_str());
    }
  });
  RemoveDirectoryW(dir.c_str());
}

std::vector<unsigned char> ReadBytes(const std::wstring& path) {
  try {
    // Also while a program under test still writes the file.
    const std::string bytes = ReadFileBytes(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
  } catch (const Exception&) {
    return {};
  }
}

void WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file) throw std::runtime_error("cannot write " + Narrow(path));
  DWORD n = 0;
  if (!bytes.empty()) WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
}

void WriteText(const std::wstring& path, const std::string& text) {
  WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

unsigned long long SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d)) return 0;
  return (static_cast<unsigned long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
  std::wstring dir = folder;
  if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  std::vector<std::wstring> out;
  ForEachFile(dir + L"\\*", [&](const WIN32_FIND_DATAW& fd) {
    std::wstring n = fd.cFileName;
    if (n != L"." && n != L"..") out.push_back(n);
  });
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<unsigned char> Utf16Bytes(const std::wstring& s) {
  std::vector<unsigned char> out;
  for (wchar_t c : s) {
    out.push_back(static_cast<unsigned char>(c & 0xFF));
    out.push_back(static_cast<unsigned char>((c >> 8) & 0xFF));
  }
  return out;
}

std::vector<unsigned char> WithBom(const std::vector<unsigned char>& b) {
  std::vector<unsigned char> out{0xFF, 0xFE};
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

std::wstring ReadUtf16File(const std::wstring& path) {
  auto b = ReadBytes(path);
  size_t start = (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) ? 2 : 0;
  std::wstring out;
  for (size_t i = start; i + 1 < b.size(); i += 2) out += static_cast<wchar_t>(b[i] | (b[i + 1] << 8));
  return out;
}

std::string Narrow(std::wstring_view s, UINT codePage) {
  const int length = static_cast<int>(s.size());
  const int n = WideCharToMultiByte(codePage, 0, s.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, s.data(), length, out.data(), n, nullptr, nullptr);
  return out;
}

std::string Narrow(std::u16string_view s) {
  // Both are UTF-16 code units on Windows.
  return Narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(s.data()), s.size()));
}
