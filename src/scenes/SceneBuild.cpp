// What one build of the scene frame names: its module, teardown order and background picture. The
// build's CMake target sets the three macros.
#include "scenes/uFlashScene.h"

#define ZEB_WIDEN2(x) L##x
#define ZEB_WIDEN(x) ZEB_WIDEN2(x)

namespace scenes {
const SceneBuild kSceneBuild = {ZEB_WIDEN(ZEB_SCENE_MODULE), TeardownOrder::ZEB_SCENE_TEARDOWN,
                                ZEB_SCENE_BACKGROUND_ID};
}
