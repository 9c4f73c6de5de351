// What one build of the scene frame names: its module, teardown order, background picture and movie.
// The build's CMake target sets the macros.
#include "scenes/uFlashScene.h"

#if defined(ZEB_SCENE_MOVIE_Banner)
#include "flash/movies/BannerMovie.h"
#elif defined(ZEB_SCENE_MOVIE_Video)
#include "flash/movies/VideoMovie.h"
#endif

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

namespace {
// The build's movie, served to the scene's player as "scene.swf" for the library's life.
#if defined(ZEB_SCENE_MOVIE_Banner)
const flash::MovieRegistration movie = flash::RegisterBannerMovie(
    u"scene.swf", flash::BannerOptions{.quality = flash::MovieQuality::ZEB_SCENE_QUALITY,
                                       .sampleDish = ZEB_SCENE_SAMPLE_DISH != 0});
#elif defined(ZEB_SCENE_MOVIE_Video)
const flash::MovieRegistration movie = flash::RegisterVideoMovie(u"scene.swf");
#endif
}  // namespace
