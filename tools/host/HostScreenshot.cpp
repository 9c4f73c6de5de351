// A picture of the whole virtual screen: the desktop DC copied into a bitmap and encoded as PNG with
// GDI+.
#include "HostLib.h"

#include <objidl.h>  // left out by WIN32_LEAN_AND_MEAN, needed by gdiplus.h
#include <gdiplus.h>

#include <vector>

#include "core/Exception.h"
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

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
};
struct MemoryDc {
  HDC dc;
  explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
  ~MemoryDc() { DeleteDC(dc); }
};
struct GdiBitmap {
  HBITMAP bitmap;
  ~GdiBitmap() { DeleteObject(bitmap); }
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
  ScreenDc screen;
  if (!screen.dc) throw Exception(u"cannot get the screen DC");
  MemoryDc memory(screen.dc);
  GdiBitmap bitmap{CreateCompatibleBitmap(screen.dc, width, height)};
  if (!memory.dc || !bitmap.bitmap) throw Exception(u"cannot make a bitmap of the screen's size");
  HGDIOBJ old = SelectObject(memory.dc, bitmap.bitmap);
  BOOL copied = BitBlt(memory.dc, 0, 0, width, height, screen.dc, left, top, SRCCOPY | CAPTUREBLT);
  SelectObject(memory.dc, old);
  if (!copied) throw Exception(u"BitBlt from the screen failed");
  Gdiplus::Bitmap picture(bitmap.bitmap, nullptr);
  CLSID png = PngEncoder();
  if (picture.Save(pngPath.c_str(), &png, nullptr) != Gdiplus::Ok)
    throw Exception(u"cannot write the PNG file \"" + ToU16(pngPath) + u"\"");
}

}  // namespace zebhost
