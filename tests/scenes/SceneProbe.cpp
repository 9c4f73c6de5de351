// A test build of the scene frame with two exports more: ProbeFailAt makes the named step fail (the
// frame's fail points, e.g. "SceneCreate", "SceneDestroy.10", "callback"), so that the tests reach
// the failure paths that no shipped build can be made to take; ProbeUseEndingMovie registers a
// stand-in "scene.swf" whose "stop" callback raises "EndAnimation", so that a test knows when a movie
// command is queued; ProbeListedFiles tells how many items the scene's file list holds (-1: no list),
// so that a test sees what a destroy that failed part way has freed.
#include <memory>
#include <string>

#include "flash/NativeMovie.h"
#include "scenes/uFlashScene.h"

namespace {

std::string failAt;
bool Hook(const char* step) { return failAt == step; }

class EndingMovie : public flash::NativeMovie {
 public:
  explicit EndingMovie(flash::MovieHost& host)
      : NativeMovie(host, flash::MovieOptions{.stageWidth = 690, .stageHeight = 758, .frameRate = 30}) {}

 protected:
  void OnLoad() override {
    Stop();
    AddCallback(u"stop", [this] {
      Stop();
      FSCommand(u"EndAnimation");
      return std::u16string();
    });
  }
};

flash::MovieRegistration* registration = nullptr;

}  // namespace

extern "C" void __stdcall ProbeFailAt(const char* step) {
  failAt = step ? step : "";
  scenes::SetFailHook(failAt.empty() ? nullptr : &Hook);
}

extern "C" void __stdcall ProbeUseEndingMovie() {
  if (!registration)
    registration = new flash::MovieRegistration(
        u"scene.swf", [](flash::MovieHost& host) { return std::make_unique<EndingMovie>(host); });
}

extern "C" int __stdcall ProbeListedFiles() {
  if (!scenes::UnitExists()) return -1;
  const scenes::TfmFlashScene* form = scenes::Unit().SceneForm;
  return form && form->FlashList ? static_cast<int>(form->FlashList->Flashs.Count()) : -1;
}
