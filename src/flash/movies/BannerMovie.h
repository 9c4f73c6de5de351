#pragma once
// The banner movie of the Flash scenes, the native movie in place of their "scene.swf": one dish on a
// banner (its caption, its picture fitted into a 512 x 512 box, its name, its price with the currency),
// taken from the variable "MenuXML" each time the movie plays from its first frame. At 30 frames a
// second: the banner comes in over 10 frames, stays about 125 frames, goes out over 15 frames; then the
// picture is let go, the movie raises "EndAnimation" and stands still.
//
// The library's side: the movie stands still on its first frame after loading; Play starts it; the
// callbacks "stop" (back to the first frame, standing still) and "deleteAnimation" (the same where it
// stands) exist from the first frame on, so that a stop right after a start takes effect. A movie with
// a sample dish shows that dish until the library sets "MenuXML" the first time, and keeps the
// library's dish across "stop" and a new start.
#include <string>

#include "flash/NativeMovie.h"
#include "flash/movies/MovieDrawing.h"
#include "ui/Controls.h"

namespace flash {

// The dish a sample movie shows before the library has chosen one.
inline constexpr char16_t kBannerSampleDish[] =
    u"<Item Path=\"images/sundae.png\" Name=\"\u041C\u041E\u0420\u041E\u0416\u0415\u041D\u041E\u0415 "
    u"\u0421\u0410\u041D\u0414\u0415\u0419\" Price=\"521\" Currency=\"\u0440\u0443\u0431.\" "
    u"ShowText=\"\u0425\u043E\u043B\u043E\u0434\u043D\u044B\u0435 \u043D\u0430\u043F\u0438\u0442\u043A\u0438\"/>";

struct BannerOptions {
  MovieQuality quality = MovieQuality::Low;
  bool sampleDish = false;
};

class BannerMovie : public NativeMovie {
 public:
  static constexpr int kStageWidth = 690;
  static constexpr int kStageHeight = 758;
  static constexpr unsigned kFrameRate = 30;
  static constexpr int kPictureBox = 512;
  static constexpr int kInFrames = 10;
  static constexpr int kShownFrames = 125;
  static constexpr int kOutFrames = 15;

  enum class Phase { FirstFrame, In, Shown, Out, Ended };

  BannerMovie(MovieHost& host, BannerOptions options);

  Phase CurrentPhase() const noexcept { return phase_; }
  MovieQuality Quality() const noexcept { return options_.quality; }
  // The banner's parts (hidden while there is no banner).
  const ui::Image& Caption() const noexcept { return caption_; }
  const ui::Image& Picture() const noexcept { return picture_; }
  const ui::Image& DishName() const noexcept { return name_; }
  const ui::Image& Price() const noexcept { return price_; }

 protected:
  void OnLoad() override;
  void OnEnterFrame() override;

 private:
  void RemoveBanner();
  void BuildBanner();
  void Pose(double in, double out);

  BannerOptions options_;
  Phase phase_ = Phase::FirstFrame;
  int frame_ = 0;  // frames into the current phase
  ui::Image& caption_;
  ui::Image& picture_;
  ui::Image& name_;
  ui::Image& price_;
  float pictureX_ = 0, pictureY_ = 0;
};

// Makes the banner movie available to players under this file name while the returned object lives.
MovieRegistration RegisterBannerMovie(std::u16string name, BannerOptions options);

}  // namespace flash
