#pragma once
// Shows a player's frames on a layered form: a picture control in the form's tree, filling its client
// area, takes each new frame of the player, and the player is kept at the form's size. The form puts
// each frame on the screen with the frame's own per-pixel alpha times AlphaBlendValue / 255; a new
// value gives a new frame. While the form is hidden neither the picture nor the player keeps a frame;
// a show takes the movie's look as it is then.
#include "flash/FlashPlayer.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace flash {

class TsfLayeredFlashForm {
 public:
  // The form and the player must outlive this object.
  TsfLayeredFlashForm(ui::Form& form, TsfFlashPlayer& player);
  ~TsfLayeredFlashForm();
  TsfLayeredFlashForm(const TsfLayeredFlashForm&) = delete;
  TsfLayeredFlashForm& operator=(const TsfLayeredFlashForm&) = delete;

  // The overall opacity, 0 (nothing shows) to 255 (the frame as the movie draws it); 255 by default.
  int AlphaBlendValue() const noexcept { return alpha_; }
  void SetAlphaBlendValue(int value);

  // Takes the player's current frame now (OnFrame does it from the message loop).
  void UpdateFrame();

 private:
  ui::Form& form_;
  TsfFlashPlayer& player_;
  ui::Image& picture_;
  int alpha_ = 255;
};

}  // namespace flash
