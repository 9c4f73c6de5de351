#pragma once
// The gallery scene (Marquella): the frame's scene form with the movie "gallery.swf", the cycle of
// dishes the host selects by classification codes, and the answer to the movie's "EndAnimation":
// the next dish and "nextBanner", or the host told that nothing is selected.
#include <cstdint>
#include <string>
#include <vector>

#include "scenes/uFlashScene.h"

namespace scenes {

// The gallery's state beside the frame's unit; it lives as long as the library (scenes come and go
// without changing it) and goes with the library's shut-down.
struct GalleryUnit {
  int32_t CurrentDishIndex = -1;  // index into ShownCodes of the dish handed to the movie; -1: none
  std::vector<int32_t> DishCodeList;  // the classification codes of DishCodes, as written
  std::vector<int32_t> ShownCodes;    // the dish codes of the cycle, in showing order
};
GalleryUnit& Gallery() noexcept;

// The Flash scene's form with "gallery.swf" as its movie. The background bitmap takes the picture's
// own size, 690 x 758; a window of another size shows it stretched, as the Flash scene does.
class TfmFlashGallery : public TfmFlashScene {
 public:
  TfmFlashGallery();

  // The command handler; SetCurrentDish also calls it (on the current scene) with "EndAnimation".
  void FlashPlayerHandleFSCommand(const std::u16string& command, const std::u16string& args) override;
};

// Moves CurrentDishIndex on by one, to 0 after the last entry and from -1; -1 when ShownCodes is empty.
void SetNextFile() noexcept;
// Hands the dish at CurrentDishIndex to the movie, skipping entries that name no dish (one pass at
// most); with nothing selected it reports "EndAnimation" to the command handler. Its failures are
// logged ("AV in SetCurrentDish") and end it.
void SetCurrentDish() noexcept;
// The gallery's SceneParameters, failures handled inside.
void GallerySceneParameters(const wchar_t* parameters, const wchar_t* menu) noexcept;

// The gallery's parts of the frame (ZEB_SCENE_VARIANT of the Marquella build).
extern const SceneVariant kGalleryVariant;

}  // namespace scenes
