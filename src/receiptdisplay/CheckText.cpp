// The receipt build: one check data text into the receipt that the movie draws. The change key keeps
// the movie and its pictures untouched while the check's lines and discounts stay the same; a rebuild
// clears the movie's receipt and every picture behind the movie in FlashList, takes the check's code
// lists, loads the receipt's pictures into FlashList and hands the receipt text to the movie.
//
// The key of a rebuild is kept only once the movie has the new receipt: a build that fails on the
// way (a picture file that another program holds, a number that does not read) leaves the key empty,
// so the same check data coming again is built again instead of being skipped while the movie shows
// no receipt.
#include <windows.h>

#include "core/Exception.h"
#include "core/receiptdisplay/ReceiptBuilder.h"
#include "receiptdisplay/uSlipview.h"
#include "shared/Logging.h"
#include "win/Handles.h"
#include "win/WinCaseMap.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

namespace {

constexpr char16_t kDeleteCheckRequest[] = u"<invoke name=\"deleteCheck\" returntype=\"\"><arguments /></invoke>";
constexpr char16_t kNewDataCheckRequest[] = u"<invoke name=\"newDataCheck\" returntype=\"\"><arguments /></invoke>";
constexpr char16_t kBuildCheckRequest[] = u"<invoke name=\"buildCheck\" returntype=\"\"><arguments /></invoke>";

bool FitsAsPicture(const LARGE_INTEGER& size) {
  return size.QuadPart >= 0 && static_cast<uint64_t>(size.QuadPart) <= kMaxPictureFileBytes;
}

// Opens a picture file for reading; an invalid handle when there is none. Others may read it meanwhile.
win::UniqueFile OpenPicture(const std::wstring& path, DWORD access) {
  return win::UniqueFile(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Whether a picture can be taken from the path: a regular file on a disk, at most 32 MB. The
// attributes rule out folders, devices and large files without opening anything; the handle, opened
// for its attributes only, rules out the devices and pipes that the attributes do not tell.
bool PictureFileExists(std::u16string_view path) {
  const std::wstring p = ToW(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return false;
  LARGE_INTEGER size;
  size.LowPart = data.nFileSizeLow;
  size.HighPart = static_cast<LONG>(data.nFileSizeHigh);
  if (!FitsAsPicture(size)) return false;
  const win::UniqueFile file = OpenPicture(p, FILE_READ_ATTRIBUTES);
  return file && GetFileType(file.Get()) == FILE_TYPE_DISK;
}

// The whole picture file. Raises when it cannot be opened or read, or when it is no longer a
// regular file of at most 32 MB (it changed since it was found).
std::string ReadPictureFile(std::u16string_view path) {
  const std::wstring p = ToW(path);
  const win::UniqueFile file = OpenPicture(p, GENERIC_READ);
  if (!file) throw Exception(u"Cannot open the picture " + std::u16string(path));
  LARGE_INTEGER size{};
  if (GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size) || !FitsAsPicture(size))
    throw Exception(u"Not a picture file: " + std::u16string(path));
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr))
      throw Exception(u"Cannot read the picture " + std::u16string(path));
    if (read == 0) break;  // the file became shorter meanwhile
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace

void TfmSlipview::FormCheckText(const std::string& text) {
  SlipviewUnit& u = Unit();
  try {
    XmlDocument check;
    LoadCheckDataUtf8(check, AnsiToUtf8(text));
    const ReceiptSettings settings{.MoneyFormat = ToU16(u.MoneyFormat),
                                   .ShowZeroCheckLines = u.ShowZeroCheckLines,
                                   .DefPcs = ToU16(u.Texts.DEFPCS),
                                   .Case = &SystemCaseMap()};
    const ReceiptPlan plan = PlanReceiptBuild(check, u.LastCheckKey, settings, &PictureFileExists);
    if (!plan.Rebuild) return;

    // The cleared receipt is no longer the one of the last key.
    u.LastCheckKey.clear();
    FlashPlayer.CallFunction(kDeleteCheckRequest);
    for (size_t i = FlashList.Flashs.Count(); i > 1; --i) FlashList.Flashs.Delete(i - 1);
    u.FlashBase = static_cast<int32_t>(FlashList.Flashs.Count());
    TrimWorkingSet();

    if (plan.CodesRead) {
      u.CheckCategories = plan.Categories;
      u.CheckDishCodes = plan.DishCodes;
    }
    for (const ReceiptPicture& picture : plan.Pictures) {
      flash::TsfFlashItem& item = FlashList.Flashs.Add();
      u.FlashBase = static_cast<int32_t>(FlashList.Flashs.Count());
      item.Bytes = ReadPictureFile(picture.Path);
      item.FlashStore = picture.Name;
    }
    if (plan.Failure) throw Exception(*plan.Failure);

    FlashPlayer.SetVariable(u"ItemXML", plan.ItemXml);
    FlashPlayer.CallFunction(kNewDataCheckRequest);
    FlashPlayer.CallFunction(kBuildCheckRequest);
    u.LastCheckKey = plan.Key;
  } catch (...) {
    WriteLogNoRaise(L"AV in FormCheckText", 1, true);
  }
}
