#include "ui/GdiPlus.h"

#include "core/Exception.h"
#include "ui/GdiPlusIncludes.h"

namespace ui {
namespace {
int sessions = 0;
ULONG_PTR token = 0;
}  // namespace

GdiPlusSession::GdiPlusSession() {
  if (sessions++ > 0) return;
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
    sessions = 0;
    throw Exception(u"GDI+ start-up failed");
  }
}

GdiPlusSession::~GdiPlusSession() {
  if (--sessions == 0) Gdiplus::GdiplusShutdown(token);
}

bool GdiPlusSession::Running() { return sessions > 0; }

}  // namespace ui
