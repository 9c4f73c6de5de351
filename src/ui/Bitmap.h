#pragma once
// A decoded picture in memory: 32-bit premultiplied ARGB pixels, top row first. Pictures of the header
// animation, the images of the display form, the background window's picture and rendered frames are
// all of this type. Copies are deep (an image keeps its own copy of what it is given).
// Decoding, encoding and drawing start GDI+ when it does not run (GdiPlus.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Gdiplus {
class Bitmap;
}

namespace ui {

class Bitmap {
 public:
  Bitmap();
  Bitmap(int width, int height);  // fully transparent
  ~Bitmap();
  Bitmap(const Bitmap& other);
  Bitmap& operator=(const Bitmap& other);
  Bitmap(Bitmap&& other) noexcept;
  Bitmap& operator=(Bitmap&& other) noexcept;

  // PNG, JPEG, BMP (and whatever else GDI+ decodes), by content. Raise Exception when the file cannot
  // be opened or decoded.
  static Bitmap FromFile(const std::wstring& path);
  static Bitmap FromMemory(const void* data, size_t size);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Premultiplied 0xAARRGGBB; Pixel is 0 outside the picture.
  uint32_t Pixel(int x, int y) const;
  uint32_t* Bits() { return pixels_.data(); }
  const uint32_t* Bits() const { return pixels_.data(); }

  // Writes the picture as PNG (for screenshots and test fixtures). Raises Exception on failure.
  void SavePng(const std::wstring& path) const;
  // The same bytes in memory.
  std::vector<unsigned char> EncodePng() const;

  // A GDI+ view of the pixels (no copy), for drawing into or from; null for an empty picture.
  Gdiplus::Bitmap* Gdi() const { return gdi_.get(); }

 private:
  void Wrap();
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
  std::unique_ptr<Gdiplus::Bitmap> gdi_;
};

}  // namespace ui
