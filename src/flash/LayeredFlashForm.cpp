#include "flash/LayeredFlashForm.h"

#include <algorithm>

namespace flash {

TsfLayeredFlashForm::TsfLayeredFlashForm(ui::Form& form, TsfFlashPlayer& player)
    : form_(form), player_(player), picture_(form.Root().Add<ui::Image>()) {
  picture_.Name = L"LayeredFlashForm";
  picture_.SetWrapMode(ui::WrapMode::Stretch);
  player_.SetSize(form_.Width(), form_.Height());
  player_.OnFrame = [this] { UpdateFrame(); };
  // A hidden form keeps no frame; a show takes the movie's look as it is then.
  form_.OnVisibleChanged = [this](bool shown) {
    if (shown) {
      UpdateFrame();
    } else {
      picture_.ClearBitmap();
      player_.DropFrame();
    }
  };
  UpdateFrame();
}

TsfLayeredFlashForm::~TsfLayeredFlashForm() {
  player_.OnFrame = nullptr;
  form_.OnVisibleChanged = nullptr;
}

void TsfLayeredFlashForm::SetAlphaBlendValue(int value) {
  alpha_ = std::clamp(value, 0, 255);
  picture_.SetOpacity(alpha_ / 255.0f);
}

void TsfLayeredFlashForm::UpdateFrame() {
  // The form may have been sized since the last frame: the player follows, and its next frame
  // comes at the new size.
  player_.SetSize(form_.Width(), form_.Height());
  picture_.SetBounds(0, 0, static_cast<float>(form_.Width()), static_cast<float>(form_.Height()));
  if (form_.Visible()) picture_.SetBitmap(player_.TakeFrame());
}

}  // namespace flash
