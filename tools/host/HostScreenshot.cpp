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
  win::WindowDc screen(nullptr);
  if (!screen) throw Exception(u"cannot get the screen DC");
  win::UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
  win::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
  if (!memory || !bitmap) throw Exception(u"cannot make a bitmap of the screen's size");
  BOOL copied;
  {
    auto restore = win::SelectIn(memory.Get(), bitmap.Get());
    copied = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), left, top, SRCCOPY | CAPTUREBLT);
  }
  if (!copied) throw Exception(u"BitBlt from the screen failed");
  Gdiplus::Bitmap picture(bitmap.Get(), nullptr);
  const CLSID png = ui::PngEncoder();
  if (picture.Save(pngPath.c_str(), &png, nullptr) != Gdiplus::Ok)
    throw Exception(u"cannot write the PNG file \"" + ToU16(pngPath) + u"\"");
}

}  // namespace zebhost
