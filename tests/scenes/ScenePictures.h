#pragma once
// Pictures of a scene as the host gets them from SceneScreenshot, and the check of a shown scene at
// the sizes a host gives it: the movie's whole 690 x 758 stage scaled evenly to fit the window and
// centred in it, over the background picture stretched to the window.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "HostLib.h"

namespace scenetest {

struct Shot {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// The scene's picture now; raises when SceneScreenshot gives none.
Shot TakeShot(const zebhost::SceneExports& scene);

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive; all 0 when nothing
  bool operator==(const Box&) const = default;
};
// The bounding box of the pixels of exactly this colour.
Box BoxOf(const Shot& shot, uint32_t argb);

// The scene parameters' `Size` element for this placement.
std::wstring SizeElement(int left, int top, int width, int height);

// Places the scene at left, top with this size and hands it the dish the test shows.
using PlaceScene = std::function<void(int left, int top, int width, int height)>;

// What the movie shows with its dish.
struct StageMovie {
  uint32_t picture = 0;     // the colour of the dish's picture; 0: no picture
  bool standsStill = true;  // the dish comes in, then stands still for a while (a clip runs on)
};

// At 690 x 758 (the stage's own size, first), 345 x 379, 900 x 900 and 1920 x 1080: places the scene,
// starts it and checks what the host gets while it is shown: a picture of the window's size, first the
// background stretched to the window (before the movie's first frame), then, with the dish, the changes
// the movie made to that picture lying where the stage's own-size changes fall once the stage is scaled
// evenly and centred, and none beyond the stage; the dish's picture scales the same way. The hidden
// scene gives the background at its own size.
void ExpectTheWholeStageAtEverySize(const zebhost::SceneExports& scene, const PlaceScene& place, StageMovie movie);

}  // namespace scenetest
