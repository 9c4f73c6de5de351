#pragma once
// Colours of the display's controls: 32-bit 0xAARRGGBB, not premultiplied.
#include <cstdint>

namespace ui {

using Color = uint32_t;

constexpr Color Rgb(uint32_t rgb) { return 0xFF000000u | (rgb & 0xFFFFFFu); }
constexpr uint8_t AlphaOf(Color c) { return static_cast<uint8_t>(c >> 24); }
constexpr uint8_t RedOf(Color c) { return static_cast<uint8_t>(c >> 16); }
constexpr uint8_t GreenOf(Color c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t BlueOf(Color c) { return static_cast<uint8_t>(c); }

constexpr Color kBlack = 0xFF000000u;
constexpr Color kWhite = 0xFFFFFFFFu;

}  // namespace ui
