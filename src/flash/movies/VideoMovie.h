#pragma once
// The video movie of the Cinevra scene, the native movie in place of its "scene.swf": a 100-frame
// full-stage clip of its own (a warm light sweeping over a dark plate, bubbles rising) with a fixed
// price label, "150" and "р.", at 25 frames a second. It never reads "MenuXML". Its first frame shows
// nothing (the scene's background); frames 2 to 101 are the clip, frames 102 to 121 hold its last
// picture; on frame 121 it stands still and raises "EndAnimation". The callbacks "stop" (back to the
// first frame, standing still) and "deleteAnimation" (standing still where it is) exist from the first
// frame on.
#include <string>
#include <vector>

#include "flash/NativeMovie.h"
#include "ui/Controls.h"

namespace flash {

class VideoMovie : public NativeMovie {
 public:
  static constexpr int kStageWidth = 690;
  static constexpr int kStageHeight = 758;
  static constexpr unsigned kFrameRate = 25;
  static constexpr int kClipFrames = 100;
  static constexpr int kLastFrame = 121;

  explicit VideoMovie(MovieHost& host);

  // The timeline's frame, 1 to kLastFrame.
  int CurrentFrame() const noexcept { return frame_; }
  const ui::Image& Clip() const noexcept { return clip_; }
  const ui::Image& PriceLabel() const noexcept { return label_; }

  // One picture of the clip (0 to kClipFrames - 1), opaque, at the stage's size; DrawClip draws it
  // into a picture of that size.
  ui::Bitmap ClipPicture(int index);
  void DrawClip(int index, ui::Bitmap& picture);

 protected:
  void OnLoad() override;
  void OnEnterFrame() override;

 private:
  void ShowFrame();
  void MakeBase();

  int frame_ = 1;
  int drawn_ = -1;  // the clip picture the clip image holds
  ui::Image& clip_;
  ui::Image& label_;
  std::vector<uint32_t> base_;  // the clip's still part, made on first use
};

// Makes the video movie available to players under this file name while the returned object lives.
MovieRegistration RegisterVideoMovie(std::u16string name);

}  // namespace flash
