#pragma once
// What the scene movies draw with: their rendering quality as real drawing settings, and the sprites
// they make once per dish (texts, badges, the dish picture fitted into its box) so that a frame only
// moves and fades finished pictures at whole pixels, which the renderer copies without GDI+.
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/Bitmap.h"
#include "ui/Color.h"

namespace flash {

// A movie's rendering quality, named as the movies name it ("LOW", "MEDIUM", "HIGH"):
//   Low     no anti-aliasing of shapes, one-bit text, pictures scaled by nearest neighbour;
//   Medium  anti-aliased shapes and text, pictures scaled bilinearly;
//   High    anti-aliased shapes and text, pictures scaled by high-quality bicubic filtering.
enum class MovieQuality { Low, Medium, High };

// "LOW", "MEDIUM" or "HIGH" in any letter case; anything else is High.
MovieQuality MovieQualityFromName(std::u16string_view name) noexcept;

struct TextSprite {
  std::wstring text;
  int width = 0, height = 0;  // the sprite's box; the text is centred in it on one line
  float fontSize = 24;        // shrunk until the text fits the width (not below a third of it)
  ui::Color color = ui::kWhite;
  ui::Color fill = 0;         // a rounded panel behind the text; 0: none
  float cornerRadius = 0;
};

// The sprite as a picture of its box (transparent where nothing is drawn).
ui::Bitmap DrawTextSprite(const TextSprite& sprite, MovieQuality quality);

// The picture scaled down to fit maxWidth x maxHeight keeping its proportions; a picture that fits
// already is returned as it is (never enlarged). An empty picture stays empty.
ui::Bitmap FitPicture(const ui::Bitmap& picture, int maxWidth, int maxHeight, MovieQuality quality);

// A movie's frame (premultiplied) over the scene's background, as the scene window shows it, into
// `out` (the frame's size); background pixels beyond the background's own size count as transparent.
void ComposeOver(uint32_t* out, const ui::Bitmap& frame, const ui::Bitmap* background);

}  // namespace flash
