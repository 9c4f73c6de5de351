#pragma once
// End-to-end tests: the real display programs started from a prepared temporary folder (its own copy
// of the program, Zebrane.ini, ZebStrings.xml, check data), driven through the host library.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "HostLib.h"
#include "TestFiles.h"

// A program of the build's bin folder, as Wine sees it ("Orderlume.exe").
std::wstring BuiltProgram(const std::wstring& fileName);
// The built order display.
std::wstring OrderlumeExe();

// What a display program's runs need to know of it.
struct DisplayProgram {
  std::wstring exe;      // the built program (copied into each run's folder under its own name)
  std::wstring caption;  // of its display window
  std::wstring logName;  // the base name of its log, ZebLogFiles\<logName>.01.log
};

// One run of a display program from a fresh folder of its own, with its own settings file, and the
// receiver of its registration datagram.
class DisplayRun {
 public:
  // Writes the settings (Log=3 and the receiver's port unless the text sets them) and copies the
  // program into a fresh folder.
  explicit DisplayRun(DisplayProgram program, const std::string& extraSettings = "", bool setHost = true);
  ~DisplayRun();
  DisplayRun(const DisplayRun&) = delete;
  DisplayRun& operator=(const DisplayRun&) = delete;

  const DisplayProgram& Program() const { return program_; }
  const TempDir& Folder() const { return dir_; }
  zebhost::UdpReceiver& Receiver() { return receiver_; }
  void Start();
  // The display window once it is visible; fails the test when it does not appear in time.
  HWND WaitVisible(DWORD timeoutMs = 15000);
  std::vector<std::wstring> LogLines() const;  // texts after the time stamp
  std::wstring LogFile() const { return dir_ / (L"ZebLogFiles\\" + program_.logName + L".01.log"); }
  // Waits until `count` lines containing `text` are in the log.
  bool WaitForLog(const std::wstring& text, size_t count, DWORD timeoutMs);
  size_t CountLog(const std::wstring& text) const;
  // The log's lines with their time stamps (lines of another shape are left out).
  std::vector<zebhost::LogLine> TimedLogLines() const;
  // Log clock times (ms) of the lines containing `text`, in log order.
  std::vector<std::int64_t> LogTimes(const std::wstring& text) const;
  bool Stop(DWORD timeoutMs = 10000);
  zebhost::ChildProcess* Process() { return process_.get(); }

 private:
  DisplayProgram program_;
  TempDir dir_;
  zebhost::UdpReceiver receiver_;
  std::unique_ptr<zebhost::ChildProcess> process_;
};

// A host that never pauses: sends `text` as check data to the window every 400 ms for 6 s (16 texts,
// each answered `answer`) and expects the program to apply it at least twice while the stream lasts,
// the first time about 2 s after the first text (the program's log at level 3 tells).
void ExpectCheckStreamApplied(DisplayRun& run, HWND window, const std::wstring& text, LRESULT answer);

// A run of Orderlume: display window "Orderlume", log Orderlume.01.log.
class OrderlumeRun : public DisplayRun {
 public:
  explicit OrderlumeRun(const std::string& extraSettings = "", bool setHost = true);
};

// How long the window's thread took to answer a message (ms), or `limitMs` when it did not answer
// within that time.
DWORD AnswerTime(HWND window, DWORD limitMs);

// Expects the display that got a picture claiming too many pixels to answer within 1 s and its
// working set never to have passed 200 MB; prints both figures after `what`.
void ExpectAnswersAndStaysSmall(const char* what, HWND window, HANDLE process);

// Expects the window's rectangle on the screen to be this one.
void ExpectWindowRect(HWND window, int left, int top, int width, int height);

// The visible top-level windows of a process, in z-order from the top.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// The process's own visible window with this caption (windows of other programs with the same
// caption are left alone); null when none appears within the timeout.
HWND WaitProgramWindow(DWORD processId, const std::wstring& caption, DWORD timeoutMs = 15000);

// The screen's pixels in a rectangle as 0x00RRGGBB, rows top first (the desktop DC copied with BitBlt).
struct ScreenArea {
  RECT rect{};
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const {  // screen coordinates
    return pixels[static_cast<size_t>(y - rect.top) * (rect.right - rect.left) + (x - rect.left)];
  }
};
ScreenArea CaptureScreen(const RECT& rect);
