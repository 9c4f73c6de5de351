#pragma once
// The receipt movie's gallery: the band under the receipt (the whole width of the 768 x 805 stage, y 505
// to 804) in which one dish at a time shows, its name on a line above its picture. The movie's
// reloadGallery hands it the gallery entry read from GalleryXML: the first element's Name (taken as it
// stands) and Picture (a file name served by the player, none when empty). The picture is fitted into
// its area keeping its proportions and never enlarged. An entry that differs from the one shown comes
// in with a short fade and rise; the blank entry (blank name, no picture) shows no dish.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/Xml.h"
#include "ui/Animation.h"
#include "ui/Bitmap.h"
#include "ui/Controls.h"

namespace flash {

class ReceiptGallery {
 public:
  // The band on the stage, and the picture's area inside it (stage coordinates).
  static constexpr float kTop = 505, kHeight = 300, kWidth = 768;
  static constexpr float kNameTop = kTop + 14, kNameHeight = 40;
  static constexpr float kPictureLeft = 24, kPictureTop = kNameTop + kNameHeight + 8;
  static constexpr float kPictureWidth = kWidth - 2 * kPictureLeft, kPictureHeight = kTop + kHeight - 14 - kPictureTop;
  static constexpr double kChangeSeconds = 0.35;  // the fade and rise of a new entry
  static constexpr float kRise = 16;              // how far below its place a new entry starts

  // The picture file served for a bare name, decoded; empty when none is served or it does not decode.
  using PictureSource = std::function<ui::Bitmap(std::u16string_view name)>;

  // Makes the band's controls as the newest children of `stage`, so that it draws above what the
  // movie made before it. `now`: the change animation's time source (seconds); by default the
  // performance counter, with a timer of the user-interface thread running only during a change.
  // With a time source of its own the caller steps the animation with Clock().Tick().
  explicit ReceiptGallery(ui::Control& stage, ui::AnimationClock::TimeSource now = {});
  ~ReceiptGallery();
  ReceiptGallery(const ReceiptGallery&) = delete;
  ReceiptGallery& operator=(const ReceiptGallery&) = delete;

  // reloadGallery: shows the entry of a gallery text (its root element: Name and Picture). A document
  // without root element shows no dish.
  void Reload(const XmlDocument& galleryXml, const PictureSource& pictures);

  // What is shown.
  const std::u16string& ShownName() const noexcept { return shownName_; }
  const std::u16string& ShownPicture() const noexcept { return shownPicture_; }
  const ui::Text& NameText() const noexcept { return name_; }
  const ui::Image& PictureImage() const noexcept { return picture_; }  // bounds: the fitted picture
  const ui::Layout& Entry() const noexcept { return entry_; }          // name and picture together
  bool Changing() const noexcept { return clock_->AnyRunning(); }
  ui::AnimationClock& Clock() noexcept { return *clock_; }

 private:
  void ShowPicture(ui::Bitmap picture);
  std::unique_ptr<ui::AnimationClock> clock_;
  ui::Layout& band_;
  ui::Layout& entry_;
  ui::Text& name_;
  ui::Image& picture_;
  ui::FloatAnimation& fade_;
  ui::FloatAnimation& rise_;
  std::u16string shownName_ = u" ";
  std::u16string shownPicture_;
};

}  // namespace flash
