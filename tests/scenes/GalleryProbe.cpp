// What a test build of the gallery adds to the frame probe's exports: a stand-in "gallery.swf" that
// records what the library hands it (every MenuXML text, every call), and a way to make it raise a
// movie command, so that the tests follow the cycle without waiting for the real movie's animation.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "flash/NativeMovie.h"

namespace {

std::vector<std::u16string> events;

class RecordingGallery;
RecordingGallery* current = nullptr;

// Events: "MenuXML <text>", "nextBanner", "stop", "play" (played from its first frame).
class RecordingGallery : public flash::NativeMovie {
 public:
  explicit RecordingGallery(flash::MovieHost& host)
      : NativeMovie(host, flash::MovieOptions{.stageWidth = 690, .stageHeight = 758, .frameRate = 30}) {
    current = this;
  }
  ~RecordingGallery() override {
    if (current == this) current = nullptr;
  }
  void Raise(const std::u16string& command) { FSCommand(command); }

 protected:
  void OnLoad() override {
    Stop();
    for (const char16_t* name : {u"nextBanner", u"stop", u"deleteAnimation"}) {
      AddCallback(name, [this, name] {
        events.push_back(name);
        if (std::u16string(name) != u"nextBanner") Stop();
        return std::u16string();
      });
    }
  }
  void OnEnterFrame() override {
    events.push_back(u"play");
    Stop();
  }
  void OnVariableSet(std::u16string_view name) override {
    events.push_back(std::u16string(name) + u" " + Variable(name));
  }
};

flash::MovieRegistration* registration = nullptr;

}  // namespace

extern "C" void __stdcall ProbeUseRecordingGallery() {
  if (!registration)
    registration = new flash::MovieRegistration(
        u"gallery.swf", [](flash::MovieHost& host) { return std::make_unique<RecordingGallery>(host); });
}

// The events since the last call, each ending in the record separator U+001E; the number of characters written (without the
// closing zero), or the number needed when the buffer is too small (then nothing is taken).
extern "C" int __stdcall ProbeGalleryEvents(wchar_t* buffer, int capacity) {
  std::u16string all;
  for (const auto& e : events) all += e + u"\x1e";
  if (static_cast<int>(all.size()) + 1 > capacity) return static_cast<int>(all.size());
  all.copy(reinterpret_cast<char16_t*>(buffer), all.size());
  buffer[all.size()] = 0;
  events.clear();
  return static_cast<int>(all.size());
}

// The current stand-in raises the command (delivered later, from the message loop); FALSE without one.
extern "C" BOOL __stdcall ProbeGalleryRaise(const wchar_t* command) {
  if (!current) return FALSE;
  current->Raise(reinterpret_cast<const char16_t*>(command));
  return TRUE;
}
