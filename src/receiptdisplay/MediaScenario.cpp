// The receipt display's picture gallery: applying a scenario (FormMediaScenario, which rebuilds the
// gallery list with LoadScenario and restarts the 3-second tick), the tick itself (ExpoTimerTimer),
// which hands the movie one entry after the other, or the blank entry while the list is empty, and
// the check that drops the list when a receipt rebuild has taken its pictures away.
//
// The gallery's pictures are the items of FlashList from FlashBase on; the receipt build frees them
// together with its own, and the scenario apply frees and reloads them.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>

#include "core/Exception.h"
#include "core/Texts.h"
#include "core/receiptdisplay/ScenarioReader.h"
#include "receiptdisplay/uSlipview.h"
#include "shared/Logging.h"
#include "win/WinCaseMap.h"
#include "win/WinFiles.h"
#include "win/WinText.h"

namespace {

// Loads the picture at `path` into a new item at the end of the list, named `name`, when a picture
// file is there (win/WinFiles.h); returns whether it did. Raises Exception when the file is there but
// cannot be read.
bool LoadGalleryPicture(flash::TsfFlashList& list, const std::u16string& path, const std::u16string& name) {
  std::optional<std::string> bytes = ReadPictureFile(path);
  if (!bytes) return false;
  flash::TsfFlashItem& item = list.Flashs.Add();
  item.FlashStore = name;
  item.Bytes = std::move(*bytes);
  return true;
}

}  // namespace

void TfmSlipview::FormMediaScenario(const std::wstring& scenario) {
  try {
    ExpoTimer.SetEnabled(false);
    LoadScenario(scenario);
    ExpoTimer.SetEnabled(true);  // a full period from now
    ExpoTimerTimer();
  } catch (...) {
    // The timer stays stopped: the movie keeps the entry it showed last until an apply succeeds.
    WriteLogNoRaise(L"AV in FormMediaScenario", 1, true);
  }
}

void TfmSlipview::LoadScenario(const std::wstring& scenario) {
  SlipviewUnit& u = Unit();
  if (!flist) throw Exception(u"The gallery list is gone");
  DropGallery();
  u.PicturePath.clear();
  const XmlDocument noMenu;
  const ScenarioReading reading =
      ReadScenario(ToU16(scenario), u.MenuDocument ? *u.MenuDocument : noMenu, u.CheckDishCodes,
                   ScenarioSettings{.ItemNameField = ToU16(u.ItemNameField), .Case = &SystemCaseMap()});
  if (reading.SceneList) {
    u.PicturePath = reading.PicturePath;
    u.ScenarioCodes = reading.ScenarioCodes;
    FreeGalleryPictures();
    // Each entry has its own item, as the movie's list expects, but a picture file the gallery names
    // again is not read again: its items share the bytes read first (a dish listed for thousands of
    // codes holds its picture once).
    std::unordered_map<std::u16string, size_t> loaded;  // picture path -> the item read from it
    for (const GalleryEntry& entry : reading.Entries) {
      auto scene = std::make_unique<TScene>();
      scene->Name = entry.Name;
      if (const auto seen = loaded.find(entry.PicturePath); seen != loaded.end()) {
        flash::TsfFlashItem& first = FlashList.Flashs[seen->second];
        if (!first.Shared) first.Shared = std::make_shared<const std::string>(std::exchange(first.Bytes, {}));
        flash::TsfFlashItem& item = FlashList.Flashs.Add();
        item.FlashStore = entry.PictureName;
        item.Shared = first.Shared;
        scene->Picture = entry.PictureName;
      } else if (LoadGalleryPicture(FlashList, entry.PicturePath, entry.PictureName)) {
        loaded.emplace(entry.PicturePath, FlashList.Flashs.Count() - 1);
        scene->Picture = entry.PictureName;
      }
      flist->emplace_back(entry.Name, std::move(scene));
    }
    if (reading.Failure) throw Exception(*reading.Failure);
  }
  fnum = flist->empty() ? -1 : 0;
}

// From the last item down to FlashBase; the movie and the receipt's pictures stay.
void TfmSlipview::FreeGalleryPictures() {
  const size_t base = static_cast<size_t>(std::max<int32_t>(Unit().FlashBase, 1));
  for (size_t i = FlashList.Flashs.Count(); i > base; --i) FlashList.Flashs.Delete(i - 1);
}

// A receipt rebuild frees every picture behind the movie, the gallery's too. When no scenario apply
// follows to reload them, the list would go on naming pictures that are gone (or a receipt picture of
// the same name), so it is dropped: the ticks show the blank entry until the next apply.
void TfmSlipview::DropGalleryWithoutPictures() {
  if (!flist || flist->empty()) return;
  if (FlashList.Flashs.Count() > static_cast<size_t>(std::max<int32_t>(Unit().FlashBase, 1))) return;
  for (const auto& entry : *flist)
    if (!entry.second->Picture.empty()) {
      DropGallery();
      fnum = -1;
      return;
    }
}

void TfmSlipview::ExpoTimerTimer() {
  SlipviewUnit& u = Unit();
  if (XmlNode* root = u.GalleryDocument ? u.GalleryDocument->Root() : nullptr) {
    const bool entries = flist && !flist->empty();
    const TScene* scene = entries ? flist->at(static_cast<size_t>(fnum)).second.get() : nullptr;
    root->SetAttr(u"Name", scene ? scene->Name : u" ");
    root->SetAttr(u"Picture", scene ? scene->Picture : u"");
    FlashPlayer.SetVariable(u"GalleryXML", RemoveCrLfPairs(u.GalleryDocument->Xml()));
    FlashPlayer.CallFunction(kReloadGalleryRequest);
    if (entries) SetNextFile();
  }
  TrimWorkingSet();
}

void TfmSlipview::SetNextFile() {
  if (!flist || flist->empty())
    fnum = -1;
  else
    fnum = fnum + 1 < static_cast<int32_t>(flist->size()) ? fnum + 1 : 0;
}
