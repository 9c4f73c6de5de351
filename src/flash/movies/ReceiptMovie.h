#pragma once
// The receipt movie, the native movie in place of "check.swf": a white panel with the receipt's
// caption and the title row of its columns (name, quantity, amount), taken from the variable TitleXML
// by the function updateTitle. It also takes the receipt lines and gallery entries by its other
// functions (reloadGallery, deleteCheck, buildCheck, newDataCheck), which draw nothing yet.
#include "flash/NativeMovie.h"
#include "flash/movies/ReceiptGallery.h"
#include "ui/Controls.h"

namespace flash {

inline constexpr char16_t kReceiptMovieName[] = u"check.swf";

class ReceiptMovie : public NativeMovie {
 public:
  static constexpr int kStageWidth = 768;
  static constexpr int kStageHeight = 805;

  explicit ReceiptMovie(MovieHost& host);

  const ui::Text& Caption() const noexcept { return caption_; }
  const ui::Text& NameHeading() const noexcept { return name_; }
  const ui::Text& QuantityHeading() const noexcept { return quantity_; }
  const ui::Text& AmountHeading() const noexcept { return amount_; }
  ReceiptGallery& Gallery() noexcept { return gallery_; }

 protected:
  void OnLoad() override;

 private:
  void UpdateTitle();
  ui::Text& caption_;
  ui::Text& name_;
  ui::Text& quantity_;
  ui::Text& amount_;
  ReceiptGallery gallery_{Stage()};  // made last: the band draws above the panel
};

// Makes the receipt movie available to players as "check.swf" while the returned object lives.
MovieRegistration RegisterReceiptMovie();

}  // namespace flash
