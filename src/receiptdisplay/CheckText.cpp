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
#include "win/WinCaseMap.h"
#include "win/WinCodePage.h"
#include "win/WinFiles.h"
#include "win/WinText.h"

namespace {

constexpr char16_t kDeleteCheckRequest[] = u"<invoke name=\"deleteCheck\" returntype=\"\"><arguments /></invoke>";
constexpr char16_t kNewDataCheckRequest[] = u"<invoke name=\"newDataCheck\" returntype=\"\"><arguments /></invoke>";
constexpr char16_t kBuildCheckRequest[] = u"<invoke name=\"buildCheck\" returntype=\"\"><arguments /></invoke>";

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
      // The file was there when the receipt was planned; gone or changed since, it fails the build.
      std::optional<std::string> bytes = ReadPictureFile(picture.Path);
      if (!bytes) throw Exception(u"Not a picture file: " + picture.Path);
      item.Bytes = std::move(*bytes);
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
