#include "ui/GdiPlus.h"

#include <string>
#include <utility>
#include <vector>

#include "core/Exception.h"
#include "ui/GdiPlusIncludes.h"

namespace ui {
namespace {
// Plain values: nothing of this runs at the module's unload.
int sessions = 0;
ULONG_PTR token = 0;
}  // namespace

void EnsureGdiPlus() {
  if (token) return;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR started = 0;
  if (Gdiplus::GdiplusStartup(&started, &input, nullptr) != Gdiplus::Ok || !started)
    throw Exception(u"GDI+ start-up failed");
  token = started;
}

bool EndGdiPlus() noexcept {
  if (sessions > 0) return false;
  if (token) Gdiplus::GdiplusShutdown(std::exchange(token, 0));
  return true;
}

GdiPlusSession::GdiPlusSession() {
  EnsureGdiPlus();
  ++sessions;
}

GdiPlusSession::~GdiPlusSession() {
  if (--sessions == 0) EndGdiPlus();
}

bool GdiPlusSession::Running() { return token != 0; }

CLSID PngEncoder() {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) == Gdiplus::Ok && size > 0) {
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) == Gdiplus::Ok)
      for (UINT i = 0; i < count; ++i)
        if (std::wstring(codecs[i].MimeType) == L"image/png") return codecs[i].Clsid;
  }
  throw Exception(u"GDI+ has no PNG encoder");
}

}  // namespace ui
