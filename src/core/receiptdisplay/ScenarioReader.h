#pragma once
// The receipt display's gallery list from a scenario, apart from the picture files and the in-memory
// file list: which dishes the gallery shows, in which order, under which names, and which picture file
// each one may have. The program's LoadScenario carries the result out (below).
//
// The scenario as read here (names compared exactly): the root element SceneList with the optional
// PicPath, the picture folder, put in front of each picture path as it stands (so it ends in "\" when
// it names a folder); every child node of the root is an entry, which counts only through its first
// child element "parameters"; that element's DishCodes and then DishCode are integer lists
// (ParseIntList), each code on the current receipt left out as it is read. The dishes come from the
// menu (FindDishByCode): one gallery entry per code in scenario order, a code listed twice giving two
// entries, a code the menu lacks none. The entries' texts (names, picture paths and names) together
// stay within kMaxGalleryChars: a gallery that would hold more fails at the first entry past it.
//
// Carrying it out (LoadScenario, inside FormMediaScenario's guard, which logs "AV in
// FormMediaScenario" at level 1 on any exception and leaves the gallery timer stopped):
//   1. Free every entry of flist and clear it.
//   2. Call ReadScenario. When it raises, nothing else changes (the gallery's pictures stay in the file
//      list; the list stays empty).
//   3. When !result.SceneList (no root element: an empty text, for one), fnum := -1 and stop: an empty
//      gallery, nothing logged, the gallery's pictures left in the file list.
//   4. Free the file list's items from the last down to index FlashBase.
//   5. For each of result.Entries in order: when a file (not a folder) exists at PicturePath, add a
//      file-list item at the end, load the whole file into it and name it PictureName, and give the
//      entry that Picture; otherwise an empty Picture. Append the entry to flist under its Name. A file
//      that exists but cannot be read raises: the apply fails here.
//   6. When result.Failure is set, raise it: the apply fails here.
//   7. fnum := 0 when flist has entries, else -1.
// A failure in steps 5 and 6 leaves the entries appended so far in flist (fnum as it was) and their
// pictures in the file list.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Texts.h"
#include "core/Xml.h"

// The bound of a gallery's texts: 4 M characters (8 MB). A restaurant's gallery of 50 dishes holds
// about 10 K characters, and even every dish of a 5,000-dish menu with long names and paths stays
// under 2 M; the bound keeps a scenario whose picture folder is repeated for thousands of codes from
// taking gigabytes of a 32-bit process.
inline constexpr size_t kMaxGalleryChars = size_t{4} << 20;

struct GalleryEntry {
  std::u16string Name;         // the dish's display name in capitals; empty when the dish has none
  std::u16string PicturePath;  // the picture folder followed by the first LargeImagePath entry
  std::u16string PictureName;  // its bare file name: the file-list item's name when the file exists
  bool operator==(const GalleryEntry&) const = default;
};

struct ScenarioReading {
  bool SceneList = false;  // false: the scenario has no root element, and nothing below is filled in
  std::u16string PicturePath;  // the root's PicPath
  // The scenario's codes in order, duplicates kept, those on the receipt left out; after a bad piece,
  // the codes before it.
  std::vector<int32_t> ScenarioCodes;
  std::vector<GalleryEntry> Entries;  // in show order, up to a failure
  // Set when the reading failed after the root was found: a dish-code piece that is not an integer,
  // a menu without root element asked for a code, a menu dish's Code that is not an integer, entries
  // past kMaxGalleryChars.
  std::optional<std::u16string> Failure;
};

struct ScenarioSettings {
  std::u16string ItemNameField = u"Name";  // the dish attribute that holds the display name
  const CaseMap* Case = nullptr;           // makes the capitals; required
};

// Reads the scenario text (up to its first NUL character) as UTF-8 through the XML loader, which
// honours the encoding its declaration names. Raises Exception when the text does not parse or its
// root element is not SceneList; failures after that are reported in Failure instead.
// `checkDishCodes`: the current receipt's dish codes.
ScenarioReading ReadScenario(std::u16string_view scenarioText, const XmlDocument& menu,
                             std::span<const int32_t> checkDishCodes, const ScenarioSettings& settings);
