#pragma once
// The screen's pixels per inch for the programs a test starts, and a text drawn by the UI layer to
// compare across them.
//
// Wine reads the screen's DPI from HKCU\Control Panel\Desktop\LogPixels (HKCC\Software\Fonts\LogPixels
// when the first is absent) once, when a program starts: a program started after the value changed
// sees the new one, with the running wineserver and without a restart; the programs already running
// keep theirs. (Wine also makes every program per-monitor DPI aware unless
// HKCU\Control Panel\Desktop\DpiScalingVer is set, so there it neither moves nor stretches windows.)
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Sets LogPixels for the programs started while it lives and puts the value before it back when it
// dies. The value before it is kept in a file in the current folder until then, so that
// RestoreScreenDpi can put it back after a run that ended without its destructor (a crash, a timeout).
class ScreenDpiOverride {
 public:
  explicit ScreenDpiOverride(DWORD dpi);
  ~ScreenDpiOverride();
  ScreenDpiOverride(const ScreenDpiOverride&) = delete;
  ScreenDpiOverride& operator=(const ScreenDpiOverride&) = delete;
};

// Puts back a value that an override saved and never restored; true when there was one.
bool RestoreScreenDpi();

// The LogPixels value now set, or 0 when there is none.
DWORD ScreenDpiSetting();

// A white bold text of the display's font in a box, drawn by ui::RenderToBitmap, with the DPI that
// the drawing process saw: the screen's (LOGPIXELSX) and that of a new GDI+ picture.
struct TextPicture {
  int screenDpi = 0;
  int pictureDpi = 0;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};
TextPicture RenderSampleText();  // needs GDI+ running
void WriteTextPicture(const std::wstring& path, const TextPicture& p);
TextPicture ReadTextPicture(const std::wstring& path);  // empty when the file is missing or short
