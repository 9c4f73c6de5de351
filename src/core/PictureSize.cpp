// Picture headers read by hand: only the few bytes that give the size, bounds checked at every step.
#include "core/PictureSize.h"

#include <algorithm>
#include <cstring>

namespace {

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Has(size_t at, size_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }
  uint32_t Byte(size_t at) const { return static_cast<unsigned char>(bytes_[at]); }
  uint32_t Be16(size_t at) const { return Byte(at) << 8 | Byte(at + 1); }
  uint32_t Be32(size_t at) const { return Be16(at) << 16 | Be16(at + 2); }
  uint32_t Le16(size_t at) const { return Byte(at) | Byte(at + 1) << 8; }
  uint32_t Le32(size_t at) const { return Le16(at) | Le16(at + 2) << 16; }
  bool Starts(std::string_view prefix) const { return bytes_.substr(0, prefix.size()) == prefix; }
  size_t Size() const { return bytes_.size(); }

 private:
  std::string_view bytes_;
};

std::optional<PictureSize> Sized(uint64_t width, uint64_t height) {
  if (width == 0 || height == 0 || width > UINT32_MAX || height > UINT32_MAX) return std::nullopt;
  return PictureSize{static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
}

std::optional<PictureSize> Png(const Reader& r) {
  // The signature, then IHDR first of all chunks: length 13, type, width, height.
  if (!r.Has(8, 16) || r.Be32(8) != 13 || r.Be32(12) != 0x49484452u) return std::nullopt;
  return Sized(r.Be32(16), r.Be32(20));
}

// Frame headers: C0 to CF but for DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(uint32_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<PictureSize> Jpeg(const Reader& r) {
  size_t at = 2;  // after SOI
  for (;;) {
    // As the decoders do: stray bytes before a marker are skipped, and so are fill bytes (FF).
    while (r.Has(at, 1) && r.Byte(at) != 0xFF) ++at;
    while (r.Has(at, 1) && r.Byte(at) == 0xFF) ++at;
    if (!r.Has(at, 1)) return std::nullopt;
    const uint32_t marker = r.Byte(at++);
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    // The image data or its end before any frame header: the size is not known.
    if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || !r.Has(at, 2)) return std::nullopt;
    const uint32_t length = r.Be16(at);
    if (length < 2) return std::nullopt;
    if (IsFrameHeader(marker)) {
      // Length, precision, height, width. A height of 0 is given later (DNL): not known here.
      if (length < 8 || !r.Has(at, 7)) return std::nullopt;
      return Sized(r.Be16(at + 5), r.Be16(at + 3));
    }
    at += length;
  }
}

std::optional<PictureSize> Bmp(const Reader& r) {
  // The file header (14 bytes), then the size of the header that follows it.
  if (!r.Has(14, 4)) return std::nullopt;
  const uint32_t header = r.Le32(14);
  if (header == 12) {  // the older core header: unsigned 16-bit sizes
    if (!r.Has(18, 4)) return std::nullopt;
    return Sized(r.Le16(18), r.Le16(20));
  }
  if (header < 16 || !r.Has(18, 8)) return std::nullopt;
  const int64_t width = static_cast<int32_t>(r.Le32(18));
  const int64_t height = static_cast<int32_t>(r.Le32(22));
  if (width <= 0) return std::nullopt;
  return Sized(static_cast<uint64_t>(width), static_cast<uint64_t>(height < 0 ? -height : height));
}

// Past a run of data sub-blocks (a length byte, that many bytes, until a length of 0); 0 when cut short.
size_t SkipSubBlocks(const Reader& r, size_t at) {
  while (r.Has(at, 1)) {
    const uint32_t length = r.Byte(at);
    if (length == 0) return at + 1;
    at += 1 + length;
  }
  return 0;
}

size_t ColourTableBytes(uint32_t flags) { return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0; }

std::optional<PictureSize> Gif(const Reader& r) {
  if (!r.Has(6, 7)) return std::nullopt;
  uint64_t width = r.Le16(6), height = r.Le16(8);
  size_t at = 13 + ColourTableBytes(r.Byte(10));
  bool image = false;
  // Every image may lie anywhere on the canvas: the canvas grows to hold each, as the decoders' does.
  while (r.Has(at, 1)) {
    const uint32_t block = r.Byte(at);
    if (block == 0x2C) {  // image descriptor: left, top, width, height, flags
      if (!r.Has(at + 1, 9)) break;
      width = std::max<uint64_t>(width, uint64_t{r.Le16(at + 1)} + r.Le16(at + 5));
      height = std::max<uint64_t>(height, uint64_t{r.Le16(at + 3)} + r.Le16(at + 7));
      image = true;
      at += 10 + ColourTableBytes(r.Byte(at + 9)) + 1;  // and the code size before the data
      at = SkipSubBlocks(r, at);
    } else if (block == 0x21) {  // extension: its label, then its sub-blocks
      at = SkipSubBlocks(r, at + 2);
    } else {
      break;  // the trailer, or bytes that no decoder reads further
    }
    if (at == 0) break;
  }
  if (!image) return std::nullopt;
  return Sized(width, height);
}

}  // namespace

std::optional<PictureSize> ReadPictureSize(std::string_view bytes) {
  const Reader r(bytes);
  if (r.Starts("\x89PNG\r\n\x1A\n")) return Png(r);
  if (r.Starts("\xFF\xD8")) return Jpeg(r);
  if (r.Starts("BM")) return Bmp(r);
  if (r.Starts("GIF87a") || r.Starts("GIF89a")) return Gif(r);
  return std::nullopt;
}

bool WithinPixelBudget(std::string_view bytes, uint64_t budget) {
  const std::optional<PictureSize> size = ReadPictureSize(bytes);
  return size && uint64_t{size->width} * size->height <= budget;
}
