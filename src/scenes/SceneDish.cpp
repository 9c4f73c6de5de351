// A dish's picture from the disk into the in-memory files, and the dish handed over as "MenuXML".
#include "scenes/SceneDish.h"

#include <windows.h>

#include "core/Exception.h"
#include "core/Utf.h"
#include "win/Handles.h"
#include "win/WinText.h"

namespace scenes {
namespace {

std::u16string SystemError(DWORD error) { return Ascii(" (error " + std::to_string(error) + ")"); }

}  // namespace

std::optional<std::string> ReadPictureFile(std::u16string_view path) {
  if (path.empty()) return std::nullopt;
  const std::wstring name = ToW(std::u16string(path));
  win::UniqueFile file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    // Opening a folder fails as well; only a file that is there and refuses to open is a failure.
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    throw Exception(u"Cannot open the picture " + std::u16string(path) + SystemError(error));
  }
  // Devices, pipes and consoles open like files but hold no picture.
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.Get(), &info))
    throw Exception(u"Cannot read the picture " + std::u16string(path) + SystemError(GetLastError()));
  const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || size > kMaxPictureFileSize) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr))
      throw Exception(u"Cannot read the picture " + std::u16string(path) + SystemError(GetLastError()));
    if (read == 0) break;  // the file shrank meanwhile: what is there
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

std::u16string LoadDishPicture(flash::TsfFlashList& list, std::u16string_view picturePath,
                               std::u16string_view imageForMissing) {
  std::u16string_view path = picturePath;
  std::optional<std::string> bytes = ReadPictureFile(path);
  if (!bytes) {
    path = imageForMissing;
    bytes = ReadPictureFile(path);
  }
  auto& items = list.Flashs;
  while (items.Count() > 1) items.Delete(items.Count() - 1);
  if (!bytes) return {};
  flash::TsfFlashItem& item = items.Add();
  item.FlashStore = std::u16string(BareFileName(path));
  item.Bytes = std::move(*bytes);
  return item.FlashStore;
}

std::u16string ShowDish(const XmlNode& dish, const DishSettings& settings, std::u16string_view imageForMissing,
                        const CaseMap& caseMap, flash::TsfFlashList& list, XmlNode& item) {
  const DishReading reading = ReadDish(dish, settings, caseMap);
  const std::u16string pictureName = LoadDishPicture(list, reading.picturePath, imageForMissing);
  SetItemDish(item, reading, pictureName);
  return MenuXmlText(item);
}

}  // namespace scenes
