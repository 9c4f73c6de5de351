// A helper of the DPI test, run as a program of its own because a program takes the screen's DPI
// when it starts (ScreenDpi.h):
//   e2e_dpi_probe render <file>   draws the sample text and writes it with the DPI it saw
//   e2e_dpi_probe restore         puts back a LogPixels value that a test run left behind (CTest runs
//                                 this after the DPI test, whichever way that ended)
#include <cstdio>
#include <string>

#include "ScreenDpi.h"
#include "ui/GdiPlus.h"

int wmain(int argc, wchar_t** argv) {
  const std::wstring verb = argc > 1 ? argv[1] : L"";
  if (verb == L"render" && argc > 2) {
    ui::GdiPlusSession gdiplus;
    WriteTextPicture(argv[2], RenderSampleText());
    return 0;
  }
  if (verb == L"restore") {
    const bool restored = RestoreScreenDpi();
    std::printf("LogPixels %s, now %lu\n", restored ? "put back" : "was not changed", ScreenDpiSetting());
    return 0;
  }
  std::fprintf(stderr, "usage: e2e_dpi_probe render <file> | restore\n");
  return 2;
}
