#pragma once
// The scene parameters text as a Flash scene reads it, apart from the window and the movie: where the
// window stands, the kept settings of the root, and the request of the optional `parameters` child
// (which dish to show, with which caption and price text). The root element may have any name; of
// `Size` and `parameters` only the first child element of that name counts.
#include <cstdint>
#include <optional>
#include <string>

#include "core/Texts.h"
#include "core/Xml.h"

namespace scenes {

struct ScenePlacement {
  int32_t left = 0, top = 0, width = 690, height = 758;
  bool operator==(const ScenePlacement&) const = default;
};

// `Size` PosX, PosY, Width, Height (defaults 0, 0, 690, 758). Raises Exception when the document has
// no root element, the root no `Size` child, or a value is present but not an integer.
ScenePlacement ReadScenePlacement(const XmlDocument& parameters);

struct SceneDishRequest {
  std::u16string showText;              // upper-cased
  std::u16string priceText;             // as written; "no price" when absent
  std::optional<int32_t> dishCode;      // none: no DishCode, so no dish
};

struct SceneSettings {
  std::u16string picPath;          // PicPath, empty when absent
  std::u16string nameField;        // QuorvNameField, "Name" when absent
  std::u16string imageForMissing;  // ImageForMissing, empty when absent
  std::u16string floatFormat;      // FloatFormat, "0" when absent
  std::u16string currency;         // CurrencyText upper-cased, empty when absent
  std::optional<SceneDishRequest> request;  // none without a `parameters` child
};

// The root's settings and the `parameters` request. Raises Exception when the document has no root
// element or DishCode is present but not an integer.
SceneSettings ReadSceneSettings(const XmlDocument& parameters, const CaseMap& caseMap);

}  // namespace scenes
