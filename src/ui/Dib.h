#pragma once
// A top-down 32-bit DIB section selected into a memory DC of its own, both owned: the layered window's
// frame, the picture window's bitmap and the tests' screen captures are made this way. The bitmap is
// deselected, then deleted, then the DC, when the object dies.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "win/Handles.h"

namespace ui {

class Dib {
 public:
  // Empty (false) when the size is not positive, has more than 2 GB of bits, or the system refuses.
  Dib(int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    // GDI counts the bits' bytes in an int.
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > 0x7FFFFFFF / 4) return;
    dc_.Reset(CreateCompatibleDC(nullptr));
    if (!dc_) return;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(dc_.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return;
    bits_ = static_cast<uint32_t*>(bits);
    selected_.emplace(dc_.Get(), bitmap_.Get());
    width_ = width;
    height_ = height;
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  explicit operator bool() const { return bits_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The memory DC with the bitmap selected.
  HDC Dc() const { return dc_.Get(); }
  HBITMAP Bitmap() const { return bitmap_.Get(); }
  // Premultiplied 0xAARRGGBB, top row first, rows of Width() pixels.
  uint32_t* Bits() const { return bits_; }

 private:
  // Declared in the order of making: destroyed the other way round.
  win::UniqueMemoryDc dc_;
  win::UniqueBitmap bitmap_;
  std::optional<win::SelectIn> selected_;
  uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace ui
