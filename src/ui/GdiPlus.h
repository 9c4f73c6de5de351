#pragma once
// GDI+ in this module. It starts on first use: what needs it (decoding, encoding, drawing, measuring a
// text) calls EnsureGdiPlus. A GdiPlusSession holds it over a span (the application object for its
// whole run, tests that render without an application for theirs); when the last session ends, GDI+
// stops. Started on demand with no session alive, it runs until EndGdiPlus (ReleaseModule calls it).
// Neither happens in DllMain: keep no session and no picture in a static object, whose destructor
// would run there. Everything here belongs to the user-interface thread.
#include <windows.h>

namespace ui {

// Starts GDI+ unless it runs. Raises Exception when it does not start.
void EnsureGdiPlus();
// Stops GDI+ unless a session holds it; the GDI+ objects of the module must be gone by then. Returns
// whether GDI+ is stopped afterwards.
bool EndGdiPlus() noexcept;

class GdiPlusSession {
 public:
  GdiPlusSession();  // raises Exception when GDI+ does not start
  ~GdiPlusSession();
  GdiPlusSession(const GdiPlusSession&) = delete;
  GdiPlusSession& operator=(const GdiPlusSession&) = delete;
  static bool Running();  // whether GDI+ runs in this module, with or without a session
};

// The class id of GDI+'s PNG encoder. Raises Exception when there is none. Needs GDI+ running.
CLSID PngEncoder();

}  // namespace ui
