// A picture of the whole virtual screen: the desktop DC copied into a bitmap and encoded as PNG with
// GDI+.
#include "HostLib.h"

#include <objidl.h>  // left out by WIN32_LEAN_AND_MEAN, needed by gdiplus.h
#include <gdiplus.h>

#include <vector>

#include "core/Exception.h"
#include "win/Handles.h"
#include "win/WinText.h"

namespace zebhost {
namespace {

struct GdiplusSession {
  ULONG_PTR token = 0;
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) throw Exception(u"GDI+ does not start");
  }
  ~GdiplusSession() { Gdiplus::GdiplusShutdown(token); }
};

CLSID PngEncoder() {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  std::vector<unsigned char> buffer(size ? size : 1);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (size && Gdiplus::GetImageEncoders(count, size, codecs) == Gdiplus::Ok)
    for (UINT i = 0; i < count; ++i)
      if (std::wstring(codecs[i].MimeType) == L"image/png") return codecs[i].Clsid;
  throw Exception(u"GDI+ has no PNG encoder");
}

}  // namespace

void SaveScreenshot(const std::wstring& pngPath) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width <= 0 || height <= 0) throw Exception(u"the screen has no size");
  GdiplusSession gdiplus;
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
  CLSID png = PngEncoder();
  if (picture.Save(pngPath.c_str(), &png, nullptr) != Gdiplus::Ok)
    throw Exception(u"cannot write the PNG file \"" + ToU16(pngPath) + u"\"");
}

}  // namespace zebhost
