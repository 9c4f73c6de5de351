#include "win/WinPaths.h"

// The linker's symbol for the base of the image being linked: in a library, the library's own.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HMODULE ThisModule() noexcept { return reinterpret_cast<HMODULE>(&__ImageBase); }

std::wstring ModuleFileName(HMODULE module) {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::wstring();
    // A full buffer means the name may have been cut: try again with a larger one.
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.resize(buf.size() * 2);
  }
}

std::wstring ExecutableFolder() {
  const std::wstring path = ModuleFileName(nullptr);
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool DirectoryExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
