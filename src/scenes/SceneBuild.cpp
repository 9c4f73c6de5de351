// What one build of the scene frame names: its module, teardown order and background picture. The
// build's CMake target sets the three macros.
#include "scenes/uFlashScene.h"

#define ZEB_WIDEN2(x) L##x
#define ZEB_WIDEN(x) ZEB_WIDEN2(x)

namespace scenes {
// A variant build (the gallery) names its SceneVariant object in ZEB_SCENE_VARIANT.
#ifdef ZEB_SCENE_VARIANT
extern const SceneVariant ZEB_SCENE_VARIANT;
#define ZEB_SCENE_VARIANT_OF &ZEB_SCENE_VARIANT
#else
#define ZEB_SCENE_VARIANT_OF nullptr
#endif
const SceneBuild kSceneBuild = {ZEB_WIDEN(ZEB_SCENE_MODULE), TeardownOrder::ZEB_SCENE_TEARDOWN,
                                ZEB_SCENE_BACKGROUND_ID, ZEB_SCENE_VARIANT_OF};
}
