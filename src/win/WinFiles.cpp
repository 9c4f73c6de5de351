#include "win/WinFiles.h"

#include <climits>

#include "core/Exception.h"
#include "core/Utf.h"
#include "win/Handles.h"
#include "win/WinText.h"

namespace {
[[noreturn]] void FileError(const char16_t* what, const std::wstring& path) {
  throw Exception(std::u16string(what) + u" \"" + ToU16(path) + u"\" (error " +
                  Ascii(std::to_string(GetLastError())) + u")");
}
}  // namespace

void ForEachFile(const std::wstring& pattern, const std::function<void(const WIN32_FIND_DATAW& entry)>& visit) {
  WIN32_FIND_DATAW fd;
  win::UniqueFind find(FindFirstFileW(pattern.c_str(), &fd));
  if (!find) return;
  do {
    visit(fd);
  } while (FindNextFileW(find.Get(), &fd));
}

std::string ReadFileBytes(const std::wstring& path, DWORD shareMode) {
  win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, shareMode, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) FileError(u"Cannot open file", path);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size)) FileError(u"Cannot read file", path);
  if (size.QuadPart > INT_MAX) throw Exception(u"File too large \"" + ToU16(path) + u"\"");
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
      FileError(u"Cannot read file", path);
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}
