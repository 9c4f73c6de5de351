#pragma once
// A movie's stage shown whole in a window of any size: scaled evenly to fit the window and centred in
// it, over the window's background. The scene windows compose their frames this way, once a frame
// and only where the stage changed; scale 1 is a plain copy, any other scale bilinear.
#include <cstdint>

#include "ui/Bitmap.h"
#include "ui/Renderer.h"

namespace flash {

struct StageFit {
  int stageWidth = 0, stageHeight = 0;  // the stage's own size
  int width = 0, height = 0;            // the window's
  double scale = 1;
  double left = 0, top = 0;             // where the stage's top-left corner lies in the window
};
StageFit FitStage(int stageWidth, int stageHeight, int width, int height);

// The window pixels that these stage pixels reach once scaled (a stage pixel blends into its
// neighbours' window pixels); empty for an empty area.
ui::PixelRect WindowArea(const StageFit& fit, const ui::PixelRect& stageArea);

// Writes the window pixels in `area` into `out` (rows of fit.width pixels): the stage scaled over the
// background. `stage` has the stage's size; background pixels beyond the background's own size count
// as transparent, as do window pixels beyond the stage.
void ComposeStage(uint32_t* out, const StageFit& fit, const ui::Bitmap& stage, const ui::Bitmap* background,
                  ui::PixelRect area);

}  // namespace flash
