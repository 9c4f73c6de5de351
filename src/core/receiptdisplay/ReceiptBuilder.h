#pragma once
// The receipt display's receipt build, apart from the movie and the in-memory file list: from one
// parsed check data text, whether the receipt has changed and, when it has, everything the rebuild
// hands on: the check's code lists, the pictures to load and the receipt text for the movie variable
// ItemXML. The program's FormCheckText carries the plan out (below).
//
// Check data as read here (names compared exactly): the root (any name) with Currency (default "Руб",
// lower-cased); its first CheckLines child with Categories and Codes (integer lists, ParseIntList) and
// one order line per child element, whatever its name: Name, Qnt (number, 0), Price (number, 0), Portion
// (default the DEFPCS text), ImagePath, and the children ModiLine and ComboLine with Name, Qnt, Price;
// its first Discounts child with one discount per child element: Name, Sum (number, 0), ImagePath. A number
// that is present but does not read as one (TryStrToDataNumber: not finite or 10^15 and more counts
// as no number; the empty text included) fails the build.
//
// A line whose own Qnt and Price are both 0 (whatever its modifiers cost) is a zero line: shown only
// with ShowZeroCheckLines, with empty Qnt, Portion, Price and Currency and its Modi. Any other line:
// Qnt in the general form, Portion, Price = (Price + the sum of its ModiLines' Price x Qnt) x Qnt in the
// money form, the currency; shown, except that a Qnt text of "0" needs ShowZeroCheckLines. A discount:
// empty Qnt and Portion, Sum in the money form, the currency. Modifier texts: "*Name" for a free
// ModiLine of quantity 1, "*2xName" of another quantity, "*Name, 2x30руб" for a priced ModiLine and for
// every ComboLine, whose price is not added to the line's.
//
// The receipt text is a sequence of Item elements without declaration or common root, one per shown
// order line (document order) and then one per discount, each with exactly the attributes Picture,
// Name, Qnt, Portion, Price, Currency in this order and, for an order line, one child Modi Name="..."
// per modifier or combo text; written by the XML writer with every CR LF pair removed, so a Modi keeps
// the TAB of its indentation; no items give an empty text.
//
// Carrying out a plan (FormCheckText, inside its guard that logs "AV in FormCheckText" at level 1 and
// ends the build on any exception):
//   0. Parse: load the check data (the system's 8-bit text re-encoded as UTF-8) into an XmlDocument
//      with LoadCheckDataUtf8 and call PlanReceiptBuild. When either raises, nothing has changed. When !plan.Rebuild, stop: the
//      receipt, its pictures and every list stay as they are.
//   1. Clear: empty LastCheckKey, call the movie's deleteCheck, free the file list's items from the last
//      down to item 1 (item 0, the movie, stays), FlashBase := 1, TrimWorkingSet.
//   2. Codes: when plan.CodesRead, CheckCategories := plan.Categories and CheckDishCodes :=
//      plan.DishCodes (after a failure in reading them, the values before the bad piece).
//   3. Pictures: for each of plan.Pictures in order, add a file-list item at the end, FlashBase := its
//      index + 1, load the whole file at Path into it and name it Name. A file that cannot be read
//      raises: the build fails here (so does a file that went away since PlanReceiptBuild saw it).
//   4. When plan.Failure is set, raise it: the build fails here.
//   5. Hand-over: SetVariable("ItemXML", plan.ItemXml), then newDataCheck, then buildCheck (also for an
//      empty ItemXml).
//   6. LastCheckKey := plan.Key.
// A failure in steps 1 to 5 leaves what the steps before it did: after step 1 the movie's receipt
// cleared, after step 2 the code lists set, in step 3 the pictures loaded so far with FlashBase behind
// them; before step 5 no ItemXML is handed over; LastCheckKey stays empty. The key is stored only once
// the movie has the new receipt, so check data that failed is built again when it comes again. It is
// emptied first so that a cleared receipt never passes for the last one built (that check data coming
// again would be skipped and leave the movie without a receipt): the empty key stands for no receipt,
// as at start.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Texts.h"
#include "core/Xml.h"

// The bound of a receipt text: 4 M characters (8 MB) of values and markup, escapes not counted. A
// restaurant's receipt of 30 lines holds about 10 K characters, and a banquet's 1,000 lines with a
// few modifiers each under 1 M; the bound keeps a long value that every item repeats (the root's
// Currency, for one) from taking gigabytes of a 32-bit process. A build that would pass it fails at
// the first item (or modifier text) past it, a line's modifiers counting as they are made.
inline constexpr size_t kMaxReceiptTextChars = size_t{4} << 20;

struct ReceiptSettings {
  std::u16string MoneyFormat = u"0";  // "0", "0.0" or "0.00"
  bool ShowZeroCheckLines = true;     // show lines whose quantity reads 0
  std::u16string DefPcs;              // portion of a line without its own
  const CaseMap* Case = nullptr;      // lower-cases the currency; required
};

// A picture of the receipt: the file at Path goes into a new file-list item named Name, the bare file
// name that the item's Picture attribute carries.
struct ReceiptPicture {
  std::u16string Path;
  std::u16string Name;
  bool operator==(const ReceiptPicture&) const = default;
};

struct ReceiptPlan {
  // The change key: the writer's text of CheckLines (nothing when absent) followed by that of
  // Discounts (nothing when absent), each in its TAB-run form (XmlNode::XmlTabRuns), which is equal
  // exactly when the writer's texts are and does not repeat the indentation of deep check data on
  // every line. Rebuild is false when it equals the last key exactly; then nothing below is filled in.
  std::u16string Key;
  bool Rebuild = false;
  std::u16string Currency;  // the root's Currency, lower-cased
  // CheckLines is present: both lists replace the check's lists, Categories read first. After a bad
  // piece the list holds the values before it and the list after it is not read.
  bool CodesRead = false;
  std::vector<int32_t> Categories;
  std::vector<int32_t> DishCodes;
  // The pictures to load, in item order, up to a failure.
  std::vector<ReceiptPicture> Pictures;
  std::u16string ItemXml;  // the receipt text; empty after a failure
  // Set when the build failed after the key step (a bad integer list or number, a receipt text
  // past kMaxReceiptTextChars); what it names is not logged.
  std::optional<std::u16string> Failure;
};

// Answers whether a picture file exists at the path as it stands; never asked for an empty path. A
// line's or discount's picture is named in the receipt and loaded only when it exists. The program
// counts only a regular file on a disk of at most 32 MB (win/WinFiles.h): a folder, a device or a
// larger file is missing.
using PictureExists = std::function<bool(std::u16string_view path)>;

// Loads check data that has already been re-encoded as UTF-8 (the program's 8-bit step) as UTF-8,
// whatever its declaration names: the declaration said how the host wrote its text, which has been
// converted twice since, so an encoding it names (windows-1251, say) or the lack of a declaration
// would read the UTF-8 bytes as another code page and garble every non-ASCII name. A declaration that
// the loader refuses (an encoding name it does not know, a malformed one) still fails. Raises as
// XmlDocument::LoadXml does.
void LoadCheckDataUtf8(XmlDocument& document, std::string_view utf8);

// The plan of one build against the last key. Raises Exception when the document has no root element;
// failures after the key step are reported in the plan's Failure instead.
ReceiptPlan PlanReceiptBuild(const XmlDocument& check, std::u16string_view lastKey,
                             const ReceiptSettings& settings, const PictureExists& pictureExists);
