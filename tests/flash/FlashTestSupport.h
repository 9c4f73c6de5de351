#pragma once
// What the movie layer's tests share: a recording movie that keeps every variable and call it gets in
// order, an application (GDI+ and the exception event), and the message pumps of tests/support.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "MessagePump.h"
#include "core/Exception.h"
#include "flash/FlashPlayer.h"
#include "flash/NativeMovie.h"
#include "ui/Application.h"

// The recording movie ("record.swf"): a 100 x 50 stage whose left half is opaque red and right half
// blue at alpha 128, with a picture box at (10, 10, 20, 20). It stops on its first frame when loaded.
// Functions: "updateTitle" and "other" only record; "emit" sends the commands ("a", "1"), ("b", "2"),
// ("a", "3"); "showPicture" shows the picture named by the variable "Picture".
class RecordingMovie : public flash::NativeMovie {
 public:
  static constexpr char16_t kName[] = u"record.swf";
  explicit RecordingMovie(flash::MovieHost& host);

  std::vector<std::u16string> events;  // "set <name>=<text>", "call <function>"
  int frames = 0;                      // frames entered while playing
  ui::Image* picture = nullptr;

 protected:
  void OnLoad() override;
  void OnEnterFrame() override { ++frames; }
  void OnVariableSet(std::u16string_view name) override;
};

struct FlashTest : ::testing::Test {
  ui::Application app;
  std::vector<std::u16string> failures;
  flash::MovieRegistration registration{RecordingMovie::kName,
                                        [](flash::MovieHost& host) { return std::make_unique<RecordingMovie>(host); }};
  flash::TsfFlashList list;
  FlashTest() {
    app.OnException = [this](const std::exception& e) { failures.push_back(ExceptionMessage(e)); };
  }
  // The player with `list` and the recording movie loaded.
  void Load(flash::TsfFlashPlayer& player) {
    if (!list.FindFile(RecordingMovie::kName)) list.Flashs.Add().FlashStore = RecordingMovie::kName;
    player.SetFlashList(&list);
    player.LoadMovie(0, RecordingMovie::kName);
  }
  static RecordingMovie& Recorder(flash::TsfFlashPlayer& player) {
    return dynamic_cast<RecordingMovie&>(*player.Movie());
  }
};

inline std::u16string Invoke(std::u16string_view function) {
  return u"<invoke name=\"" + std::u16string(function) + u"\" returntype=\"\"><arguments /></invoke>";
}


// A picture of one colour as PNG file bytes.
std::string PngBytes(int width, int height, uint32_t premultipliedArgb);

// Two premultiplied pixels whose channels differ by at most `tolerance`.
inline ::testing::AssertionResult Near(uint32_t pixel, uint32_t expected, int tolerance = 1) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance)
      return ::testing::AssertionFailure() << std::hex << "pixel " << pixel << ", expected " << expected;
  }
  return ::testing::AssertionSuccess();
}
