#pragma once
// A top-down 32-bit DIB section in a memory DC of its own: the layered window's frame and the picture
// window's bitmap are both made this way.
#include <windows.h>

namespace ui {

struct Dib {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  void* bits = nullptr;
};

// Null members when the system refuses.
inline Dib MakeDib(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  Dib d;
  d.dc = CreateCompatibleDC(nullptr);
  if (d.dc && width > 0 && height > 0) d.bitmap = CreateDIBSection(d.dc, &bi, DIB_RGB_COLORS, &d.bits, nullptr, 0);
  return d;
}

}  // namespace ui
