#pragma once
// The receipt movie, the native movie in place of "check.swf". Its stage is 768 x 805: the receipt
// takes the top part (y 0 to 504), the gallery the band below it (y 505 to 804), which the receipt
// leaves free.
//
// What it reads and does at its interface: TitleXML, GalleryXML and ItemXML have the movie's own
// defaults until the program sets them; the functions are registered in the order reloadGallery,
// deleteCheck, buildCheck, newDataCheck, updateTitle, and the movie stands still on its first frame.
//   reloadGallery the gallery's entry from GalleryXML (ReceiptGallery.h).
//   updateTitle   the first element of TitleXML: Name, Quantity and Amount head the name, quantity
//                 and amount columns, Description is the receipt's caption.
//   deleteCheck   removes the drawn receipt lines and lets their pictures go.
//   newDataCheck  reads ItemXML: one receipt line per top-level element (its Name, Picture, Qnt,
//                 Portion, Price and Currency, each taken as text), the Name of each child element
//                 one of its modifiers, in order. Nothing is drawn yet.
//   buildCheck    draws the lines the last newDataCheck read: one row per line with its picture (when
//                 Picture names one that the player serves and that decodes), name, quantity with
//                 portion, price with currency, and an indented row per modifier.
// A receipt taller than its part first shrinks (down to kMinScale); beyond that it is shown a page at
// a time, each page for kPageSeconds, the movie playing only then. Nothing is drawn again unless a
// text, a picture or the page changed.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "flash/NativeMovie.h"
#include "flash/movies/ReceiptGallery.h"
#include "ui/Controls.h"

namespace flash {

inline constexpr char16_t kReceiptMovieName[] = u"check.swf";

// One receipt line as newDataCheck reads it from ItemXML.
struct ReceiptLine {
  std::u16string Name, Picture, Qnt, Portion, Price, Currency;
  std::vector<std::u16string> Modifiers;
};

class ReceiptMovie : public NativeMovie {
 public:
  static constexpr int kStageWidth = 768;
  static constexpr int kStageHeight = 805;
  static constexpr int kReceiptHeight = 505;  // the receipt's part: y 0 to 504
  static constexpr float kMinScale = 0.7f;
  static constexpr unsigned kPageSeconds = 4;

  explicit ReceiptMovie(MovieHost& host);
  ~ReceiptMovie() override;

  const ui::Text& Caption() const noexcept { return caption_; }
  const ui::Text& NameHeading() const noexcept { return name_; }
  const ui::Text& QuantityHeading() const noexcept { return quantity_; }
  const ui::Text& AmountHeading() const noexcept { return amount_; }
  ReceiptGallery& Gallery() noexcept { return gallery_; }

  // The lines the last buildCheck drew (none after deleteCheck).
  const std::vector<ReceiptLine>& Lines() const noexcept { return shown_; }
  // The rows of the page in view, top first: a line's row (modifier -1) or one of its modifiers.
  struct RowView {
    size_t line = 0;
    int modifier = -1;
    const ui::Control* row = nullptr;      // the row's group, in the receipt's body
    const ui::Image* picture = nullptr;    // a line's picture box (empty bitmap: none)
    const ui::Text* name = nullptr;        // a line's name, or the modifier's text
    const ui::Text* quantity = nullptr;    // a line's quantity and portion
    const ui::Text* price = nullptr;       // a line's price and currency
  };
  std::vector<RowView> RowsInView() const;
  size_t PageCount() const noexcept { return pages_.empty() ? 1 : pages_.size(); }
  size_t Page() const noexcept { return page_; }
  float BodyScale() const noexcept;

 protected:
  void OnLoad() override;
  void OnEnterFrame() override;

 private:
  struct Slot;
  struct Row {
    size_t line;
    int modifier;
  };
  void UpdateTitle();
  void DeleteCheck();
  void NewDataCheck();
  void BuildCheck();
  void ShowPage(size_t page);
  const ui::Bitmap& PictureOf(size_t line);
  Slot& SlotAt(size_t index);

  ui::Text& caption_;
  ui::Text& name_;
  ui::Text& quantity_;
  ui::Text& amount_;
  ui::Text& pageMark_;
  ui::Layout& body_;
  std::vector<std::unique_ptr<Slot>> slots_;
  std::vector<ReceiptLine> read_;   // by newDataCheck
  std::vector<ReceiptLine> shown_;  // by buildCheck
  // Per shown line, once in view: its picture decoded and made small (empty: none); by name.
  std::vector<std::optional<ui::Bitmap>> pictures_;
  std::map<std::u16string, ui::Bitmap> loaded_;
  std::vector<Row> rows_;
  std::vector<size_t> pages_;  // the first row of each page
  size_t page_ = 0;
  unsigned framesOnPage_ = 0;
  ReceiptGallery gallery_{Stage()};  // made last: the band draws above the panel
};

// Makes the receipt movie available to players as "check.swf" while the returned object lives.
MovieRegistration RegisterReceiptMovie();

}  // namespace flash
