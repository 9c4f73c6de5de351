#pragma once
// The point-of-sale host side, played for tests and the demo: it receives the display programs'
// registration datagrams, finds their windows by caption, sends them check data, scenarios, menus and
// show/hide, owns the "ZebAdvert" window that scenes notify, loads scene libraries, starts and stops
// display programs in prepared folders and reads their logs. Not part of the system.
//
// Failures raise Exception (core/Exception.h) with a message that names what failed; waits that may
// run out return an empty optional or false instead. Every blocking call takes a timeout, so a hung
// display program never hangs a caller.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "display/DisplayMessages.h"
#include "scenes/ZebScene.h"

namespace zebhost {

// Display window messages and WM_COPYDATA tags: the display programs' own values.
using ::CHECK_DATA_TAG;
using ::MENU_DATA_TAG;
using ::SCENARIO_DATA_TAG;
using ::WM_APPLY_DATA;
using ::WM_HIDE_DISPLAY;
using ::WM_SCENE_ENDED;
using ::WM_SHOW_DISPLAY;

constexpr DWORD kDefaultSendTimeoutMs = 5000;

// ---- Registration datagrams ------------------------------------------------------------------------

struct Datagram {
  std::vector<unsigned char> bytes;  // exactly as received
  unsigned short senderPort = 0;
};

// A UDP socket bound to 127.0.0.1:<port> (0: the system picks one; Port() tells which). Owns its
// WinSock start-up.
class UdpReceiver {
 public:
  explicit UdpReceiver(unsigned short port = 0);
  ~UdpReceiver();
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;

  unsigned short Port() const { return port_; }
  // The next datagram, or nothing when none arrives within the timeout. Datagrams up to 64 KB.
  std::optional<Datagram> Receive(DWORD timeoutMs);

 private:
  std::uintptr_t socket_;
  unsigned short port_ = 0;
};

// The datagram's UTF-16LE text for printing: every code unit as it stands (zeros included); an odd
// trailing byte is left out.
std::wstring DecodeDatagram(const std::vector<unsigned char>& bytes);
// Two lines for the console: "datagram from port P: N bytes (0xHH)" and the decoded text.
std::wstring DescribeDatagram(const Datagram& d);

// ---- Display windows ---------------------------------------------------------------------------------

// The top-level window with exactly this caption, polled every 10 ms until the timeout; null when
// none appears. Messages of the calling thread are pumped while polling.
HWND FindDisplayWindow(const std::wstring& caption, DWORD timeoutMs = 0);
// The same, raising "no window with the caption ..." when none appears.
HWND RequireDisplayWindow(const std::wstring& caption, DWORD timeoutMs = 0);

// WM_COPYDATA with the tag and the text's UTF-16 code units followed by one zero character
// (cbData = 2 * (length + 1)). Returns the window's answer; raises when the window does not answer
// within the timeout or is gone. A window that answers late still gets the message afterwards.
LRESULT SendCopyData(HWND window, ULONG_PTR tag, const std::wstring& text,
                     DWORD timeoutMs = kDefaultSendTimeoutMs);
// WM_COPYDATA carrying exactly these bytes (odd lengths, no terminator, zeros anywhere); an empty
// vector sends cbData 0 with lpData null.
LRESULT SendCopyDataBytes(HWND window, ULONG_PTR tag, const std::vector<unsigned char>& bytes,
                          DWORD timeoutMs = kDefaultSendTimeoutMs);
// Any message through SendMessageTimeoutW; raises as above.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        DWORD timeoutMs = kDefaultSendTimeoutMs);
inline LRESULT ShowDisplay(HWND window, DWORD timeoutMs = kDefaultSendTimeoutMs) {
  return SendWithTimeout(window, WM_SHOW_DISPLAY, 0, 0, timeoutMs);
}
inline LRESULT HideDisplay(HWND window, DWORD timeoutMs = kDefaultSendTimeoutMs) {
  return SendWithTimeout(window, WM_HIDE_DISPLAY, 0, 0, timeoutMs);
}
// Posts WM_CLOSE; raises when the window is gone.
void PostClose(HWND window);

// The UTF-16 text of a UTF-8 file (a leading byte-order mark dropped, bad sequences as U+FFFD);
// raises "cannot read: ..." with the path and the system's error when the file cannot be read.
std::wstring ReadUtf8File(const std::wstring& path);
// The whole file; raises as above.
std::vector<unsigned char> ReadFileBytes(const std::wstring& path);

// Waits the given time while pumping the calling thread's messages (the ZebAdvert window and a scene
// library's posted commands need them).
void Wait(DWORD ms);

// A picture of the whole virtual screen (desktop DC copied with BitBlt) written as PNG; raises on
// failure.
void SaveScreenshot(const std::wstring& pngPath);

// ---- The host's "ZebAdvert" window -------------------------------------------------------------------

// A hidden top-level window titled "ZebAdvert" on the calling thread that counts WM_SCENE_ENDED. The
// handler only counts: the host acts on a count after the handler has returned (a scene must not be
// destroyed from inside its own notification). className must be unique per process.
class AdvertWindow {
 public:
  explicit AdvertWindow(const std::wstring& className = L"ZebHostAdvert");
  ~AdvertWindow();
  AdvertWindow(const AdvertWindow&) = delete;
  AdvertWindow& operator=(const AdvertWindow&) = delete;

  HWND Handle() const { return window_; }
  int SceneEndedCount() const { return sceneEnded_; }
  // Runs inside the handler after the count: a host that breaks the rule above (for example one that
  // destroys the scene there), as a test plays it.
  std::function<void()> InsideHandler;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  std::wstring className_;
  HWND window_ = nullptr;
  int sceneEnded_ = 0;
};

// ---- Scene libraries ---------------------------------------------------------------------------------

// The seven scene exports, typed as the scene interface's header declares them for hosts.
struct SceneExports {
  ZebSceneScreenshotFn SceneScreenshot = nullptr;
  ZebSceneAnimationsStopFn SceneAnimationsStop = nullptr;
  ZebSceneAnimationsStartFn SceneAnimationsStart = nullptr;
  ZebSceneDestroyFn SceneDestroy = nullptr;
  ZebSceneDefaultParametersFn SceneDefaultParameters = nullptr;
  ZebSceneParametersFn SceneParameters = nullptr;
  ZebSceneCreateFn SceneCreate = nullptr;
};

// Writes a scene's picture object (SceneScreenshot's result) as PNG: its size, its pixels with their
// alpha. The object stays the caller's to free. Raises for a 0 x 0 picture and when the file cannot
// be written.
void SaveScenePicture(const ZebSceneBitmap& picture, const std::wstring& pngPath);

// A loaded scene library with its exports resolved by name. Raises "cannot load <path> (error N)"
// or "<path> does not export <name>" (and unloads again). Load it, call every export and destroy the
// scene on one thread that pumps messages; call SceneDestroy before the library is unloaded.
class SceneLibrary {
 public:
  explicit SceneLibrary(const std::wstring& path);
  ~SceneLibrary();  // FreeLibrary
  SceneLibrary(const SceneLibrary&) = delete;
  SceneLibrary& operator=(const SceneLibrary&) = delete;

  const SceneExports& Exports() const { return exports_; }
  HMODULE Module() const { return module_; }

 private:
  HMODULE module_ = nullptr;
  SceneExports exports_;
};

// ---- Display programs in end-to-end tests ------------------------------------------------------------

// A program started with CreateProcessW in a given current folder. The destructor kills it when it
// still runs, so a failing test leaves no process behind.
class ChildProcess {
 public:
  // arguments: what follows the program's quoted path on its command line (may be empty).
  // folder: its current folder (empty: the caller's). Raises "cannot start <exe> (error N)".
  ChildProcess(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_; }
  bool Running() const;
  // True when the program ended within the timeout.
  bool WaitExit(DWORD timeoutMs);
  // The exit code once it has ended.
  std::optional<DWORD> ExitCode() const;
  // Posts WM_CLOSE to every top-level window of the program; false when it has none.
  bool RequestClose();
  // Asks it to close, waits up to the timeout and kills it when it is still running. True when it
  // ended by itself.
  bool Stop(DWORD timeoutMs);
  void Kill();

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Copies a file into a folder under its own name (replacing one there); returns the new path.
std::wstring CopyInto(const std::wstring& file, const std::wstring& folder);
// Writes a text as UTF-8 (for settings files and check data in prepared folders); raises on failure.
void WriteUtf8File(const std::wstring& path, const std::wstring& text);

// A log file (UTF-16LE, byte-order mark) as lines without their CR LF; empty when the file does not
// exist. Readable while the program still writes it.
std::vector<std::wstring> ReadLogLines(const std::wstring& path);

// One log line "DD.MM.YYYY HH:NN:SS.ZZZ> text": its time stamp in milliseconds on one continuous
// scale (days included, so differences across midnight hold) and its text after "> " (level prefix
// included). Nothing when the line has another shape.
struct LogLine {
  std::int64_t timeMs = 0;
  std::wstring text;
};
std::optional<LogLine> ParseLogLine(const std::wstring& line);

}  // namespace zebhost
