#pragma once
// The picture object that SceneScreenshot hands to the host (ZebScene.h) and the default scene
// parameters text.
#include <cstdint>
#include <string>

#include "scenes/ZebScene.h"

namespace scenes {

// A new picture with a copy of width * height pixels (none when either is 0); null when memory runs
// out. The host frees it through its Free function.
ZebSceneBitmap* NewSceneBitmap(int width, int height, const uint32_t* pixels) noexcept;

// The example scene parameters text, written once by the XML writer and kept until the library is
// unloaded.
const std::u16string& DefaultParametersText();

}  // namespace scenes
