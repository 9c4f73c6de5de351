#pragma once
// A picture's size read from its own header, before anything decodes it. A decoder sizes its buffers
// from the header alone, so a few hundred bytes that claim a huge picture would take the process's
// memory before any size could be checked: every picture the host names is measured here first.
#include <cstdint>
#include <optional>
#include <string_view>

struct PictureSize {
  uint32_t width = 0;
  uint32_t height = 0;
  bool operator==(const PictureSize&) const = default;
};

// The width and height that a PNG (IHDR), a JPEG (its frame header, SOFn), a BMP (the info header and
// its later versions, or the older core header; a negative height is a top-down picture) or a GIF (the
// smallest canvas that holds its logical screen and every image in it) declares. Nothing when the
// bytes are none of these, when the header is cut short or malformed, or when it declares a side of 0.
std::optional<PictureSize> ReadPictureSize(std::string_view bytes);

// The most pixels a picture from the host may have. Each picture is only ever shown scaled down into a
// box of a few hundred pixels on a screen of a few megapixels, so 16 megapixels (4096 x 4096, more than
// any 12-megapixel camera's photo) hides nothing that could be seen. Decoded at 4 bytes a pixel it
// takes 64 MB, about twice that while the decoder's own copy lives: a 32-bit process (2 GB of address
// space, fragmented after hours of running) still finds that in one piece and goes on working, where a
// picture several times larger would fail or take the whole process down.
inline constexpr uint64_t kPicturePixelBudget = 16u * 1024 * 1024;

// Whether the picture may be decoded: its header reads and width x height (counted without overflow)
// is within the budget. A picture that fails counts as one that does not decode.
bool WithinPixelBudget(std::string_view bytes, uint64_t budget = kPicturePixelBudget);
