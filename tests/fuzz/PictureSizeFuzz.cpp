// libFuzzer target for the picture header reader: any bytes give a size of two non-zero sides or
// none, and the pixel budget agrees with that size.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/PictureSize.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto read = ReadPictureSize(bytes);
  if (read && (read->width == 0 || read->height == 0)) __builtin_trap();
  const bool within = read && uint64_t{read->width} * read->height <= kPicturePixelBudget;
  if (WithinPixelBudget(bytes) != within) __builtin_trap();
  return 0;
}
