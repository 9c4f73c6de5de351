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

// Up to `size` bytes from the file's start; fewer when the file became shorter meanwhile (what is there
// is the file).
std::string ReadOpenFile(const win::UniqueFile& file, size_t size, const char16_t* failure, const std::wstring& path) {
  std::string bytes(size, '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
      FileError(failure, path);
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

// Others may go on reading, writing and deleting a picture file while it is read. The read takes a
// moment and writes nothing; refusing a file that another program holds open for writing (a tool that
// is replacing the picture) would fail the whole step that needs it (a receipt build, a gallery apply,
// a scene's SceneParameters, which then ends the host), where the bytes read give at worst a picture
// that does not decode, shown as none.
constexpr DWORD kPictureShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool FitsAsPicture(uint64_t size) { return size <= kMaxPictureFileBytes; }

win::UniqueFile OpenPicture(const std::wstring& path, DWORD access) {
  return win::UniqueFile(CreateFileW(path.c_str(), access, kPictureShareMode, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// The attributes rule out folders, the devices they tell and large files without opening anything; a
// handle opened for its attributes only (which no other program's share mode refuses) rules out the
// devices, consoles and pipes that the attributes do not tell (under Wine, CON.png has the attributes
// of a file).
bool IsPictureFile(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return false;
  if (!FitsAsPicture(uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow)) return false;
  const win::UniqueFile file = OpenPicture(path, FILE_READ_ATTRIBUTES);
  return file && GetFileType(file.Get()) == FILE_TYPE_DISK;
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
  return ReadOpenFile(file, static_cast<size_t>(size.QuadPart), u"Cannot read file", path);
}

bool PictureFileExists(std::u16string_view path) { return !path.empty() && IsPictureFile(ToW(path)); }

std::optional<std::string> ReadPictureFile(std::u16string_view path) {
  if (!PictureFileExists(path)) return std::nullopt;
  const std::wstring p = ToW(path);
  const win::UniqueFile file = OpenPicture(p, GENERIC_READ);
  if (!file) FileError(u"Cannot open the picture", p);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) FileError(u"Cannot read the picture", p);
  if (GetFileType(file.Get()) != FILE_TYPE_DISK || !FitsAsPicture(static_cast<uint64_t>(size.QuadPart)))
    return std::nullopt;
  return ReadOpenFile(file, static_cast<size_t>(size.QuadPart), u"Cannot read the picture", p);
}
