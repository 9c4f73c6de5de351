// A picture of the whole virtual screen: the desktop DC copied into a bitmap and encoded as PNG with
// GDI+.
#include "HostLib.h"

#include "core/Exception.h"
#include "ui/GdiPlus.h"
#include "ui/GdiPlusIncludes.h"
#include "win/Handles.h"
#include "win/WinText.h"

namespace zebhost {

void SaveScreenshot(const std::wstring& pngPath) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width <= 0 || height <= 0) throw Exception(u"the screen has no size");
  ui::GdiPlusSession gdiplus;
  HDC screen = GetDC(nullptr);
  if (!screen) throw Exception(u"cannot get the screen DC");
  win::UniqueMemoryDc memory(CreateCompatibleDC(screen));
  win::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, width, height));
  BOOL copied = FALSE;
  if (memory && bitmap) {
    auto restore = win::SelectIn(memory.Get(), bitmap.Get());
    copied = BitBlt(memory.Get(), 0, 0, width, height, screen, left, top, SRCCOPY | CAPTUREBLT);
  }
  ReleaseDC(nullptr, screen);
  if (!memory || !bitmap) throw Exception(u"cannot make a bitmap of the screen's size");
  if (!copied) throw Exception(u"BitBlt from the screen failed");
  Gdiplus::Bitmap picture(bitmap.Get(), nullptr);
  const CLSID png = ui::PngEncoder();
  if (picture.Save(pngPath.c_str(), &png, nullptr) != Gdiplus::Ok)
    throw Exception(u"cannot write the PNG file \"" + ToU16(pngPath) + u"\"");
}

}  // namespace zebhost
