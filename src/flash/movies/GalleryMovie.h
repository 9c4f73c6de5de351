#pragma once
// The gallery movie, the native movie in place of "gallery.swf": it shows one dish at a time, as the
// variable MenuXML describes it (an Item element with Currency, ShowText, Name, Path and Price), and
// tells the library with the command "EndAnimation" when that dish's animation is over; the library
// then hands it the next dish and calls "nextBanner".
//
// Timeline (30 frames a second): after loading it stands still on its first frame. Played from there,
// and after "nextBanner", it reads MenuXML and shows the dish: a fade and rise in, the dish on screen
// for 125 frames counted from its first one, a fade out, then "EndAnimation", after which it stands
// still with an empty stage until the next "nextBanner". "stop" drops the dish and goes back to the
// first frame; "deleteAnimation" does the same without going back. Both are offered from the first
// frame on.
#include <string>

#include "flash/NativeMovie.h"
#include "ui/Controls.h"

namespace flash {

inline constexpr char16_t kGalleryMovieName[] = u"gallery.swf";

class GalleryMovie : public NativeMovie {
 public:
  static constexpr int kStageWidth = 690;
  static constexpr int kStageHeight = 758;
  static constexpr unsigned kFrameRate = 30;
  static constexpr int kPictureBox = 512;    // pictures are fitted into it, never enlarged
  static constexpr int kEntryFrames = 12;    // the fade and rise in
  static constexpr int kOnScreenFrames = 125;  // from the dish's first frame to its fade out
  static constexpr int kClosingFrames = 12;

  enum class Phase { FirstFrame, Showing, Closing, Ended };

  explicit GalleryMovie(MovieHost& host);

  Phase CurrentPhase() const noexcept { return phase_; }
  // Frames since the current phase began.
  int PhaseFrame() const noexcept { return frame_; }
  const std::u16string& Quality() const noexcept { return quality_; }

  // What the stage shows; a part left out is hidden.
  const ui::Layout& Dish() const noexcept { return dish_; }
  const ui::Text& Caption() const noexcept { return caption_; }
  const ui::Image& Picture() const noexcept { return picture_; }
  const ui::Text& Name() const noexcept { return name_; }
  const ui::Text& Price() const noexcept { return price_; }

 protected:
  void OnLoad() override;
  void OnEnterFrame() override;

 private:
  void ShowDish();
  void ClearDish();
  // The dish cleared and the timeline standing still in this phase.
  void DropDish(Phase standOn);
  void Look(float opacity, float rise);

  Phase phase_ = Phase::FirstFrame;
  int frame_ = 0;
  std::u16string quality_;
  ui::Layout& dish_;
  ui::Text& caption_;
  ui::Image& picture_;
  ui::Text& name_;
  ui::Text& price_;
};

// Makes the gallery movie available to players as "gallery.swf" while the returned object lives.
MovieRegistration RegisterGalleryMovie();

}  // namespace flash
