// The gallery list of a scenario: its dish codes, looked up in the menu.
#include "core/receiptdisplay/ScenarioReader.h"

#include <unordered_set>

#include "core/Exception.h"
#include "core/Menu.h"
#include "core/Numbers.h"
#include "core/Utf.h"

namespace {

using CodeSet = std::unordered_set<int32_t>;

// Appends the list's codes that are not on the receipt; after a bad piece, those before it.
void AddScenarioCodes(std::u16string_view list, const CodeSet& onReceipt, std::vector<int32_t>& to) {
  std::vector<int32_t> codes;
  auto keep = [&] {
    for (int32_t code : codes)
      if (!onReceipt.contains(code)) to.push_back(code);
  };
  try {
    ParseIntList(list, codes);
  } catch (...) {
    keep();
    throw;
  }
  keep();
}

void ReadEntries(const XmlNode& root, const XmlDocument& menu, std::span<const int32_t> checkDishCodes,
                 const ScenarioSettings& settings, ScenarioReading& reading) {
  const CodeSet onReceipt(checkDishCodes.begin(), checkDishCodes.end());
  for (const XmlNode* entry : root.Children()) {
    const XmlNode* parameters = entry->FirstChild(u"parameters");
    if (!parameters) continue;
    for (const char16_t* name : {u"DishCodes", u"DishCode"})
      if (parameters->HasAttr(name))
        AddScenarioCodes(parameters->Attr(name), onReceipt, reading.ScenarioCodes);
  }
  if (reading.ScenarioCodes.empty()) return;
  const DishIndex dishes(menu);
  size_t chars = 0;
  for (int32_t code : reading.ScenarioCodes) {
    const XmlNode* dish = dishes.Find(code);
    if (!dish) continue;
    const std::u16string name = dish->Attr(settings.ItemNameField);
    const std::u16string pictures = dish->Attr(u"LargeImagePath");
    const std::u16string_view picture = FirstListEntry(pictures);
    // Counted before the entry is made, so that a gallery over the bound never takes the memory.
    chars += name.size() + 2 * (reading.PicturePath.size() + picture.size());
    if (chars > kMaxGalleryChars) throw Exception(u"The gallery's texts exceed their bound");
    GalleryEntry e;
    e.Name = settings.Case->Upper(name);
    e.PicturePath = reading.PicturePath + std::u16string(picture);
    e.PictureName = BareFileName(e.PicturePath);
    reading.Entries.push_back(std::move(e));
  }
}

}  // namespace

ScenarioReading ReadScenario(std::u16string_view scenarioText, const XmlDocument& menu,
                             std::span<const int32_t> checkDishCodes, const ScenarioSettings& settings) {
  XmlDocument scenario;
  scenario.LoadXml(Utf16ToUtf8(scenarioText.substr(0, scenarioText.find(u'\0'))));
  ScenarioReading reading;
  const XmlNode* root = scenario.Root();
  if (!root) return reading;
  if (root->Name() != u"SceneList")
    throw Exception(u"The scenario's root element is " + std::u16string(root->Name()) +
                    u", not SceneList");
  reading.SceneList = true;
  reading.PicturePath = root->Attr(u"PicPath");
  try {
    ReadEntries(*root, menu, checkDishCodes, settings, reading);
  } catch (const std::exception& e) {
    reading.Failure = ExceptionMessage(e);
  }
  return reading;
}
