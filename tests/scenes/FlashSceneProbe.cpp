// A test build of a Flash scene (the banner movie with a sample dish, as Sucrelle) with exports that
// show what the exports handed to the movie (the movie variable "MenuXML", the names in the player's
// in-memory file list), deliver a movie command to the scene's command handler, and make a step fail.
#include <windows.h>

#include <string>

#include "scenes/uFlashScene.h"
#include "win/WinText.h"

namespace {
std::wstring answer;
}

// The movie's "MenuXML" (empty without a scene or a movie).
extern "C" const wchar_t* __stdcall ProbeMenuXml() {
  answer.clear();
  if (!scenes::UnitExists()) return answer.c_str();
  const scenes::TfmFlashScene* f = scenes::Unit().SceneForm;
  if (f && f->FlashPlayer && f->FlashPlayer->Movie()) answer = ToW(f->FlashPlayer->Movie()->Variable(u"MenuXML"));
  return answer.c_str();
}

// The in-memory file names in order, each followed by "|".
extern "C" const wchar_t* __stdcall ProbeFiles() {
  answer.clear();
  if (!scenes::UnitExists()) return answer.c_str();
  const scenes::TfmFlashScene* f = scenes::Unit().SceneForm;
  if (f && f->FlashList)
    for (size_t i = 0; i < f->FlashList->Flashs.Count(); ++i) answer += ToW(f->FlashList->Flashs[i].FlashStore) + L"|";
  return answer.c_str();
}

// The command as if the movie had raised it.
extern "C" void __stdcall ProbeCommand(const wchar_t* command) {
  if (!scenes::UnitExists()) return;
  if (scenes::TfmFlashScene* f = scenes::Unit().SceneForm)
    f->FlashPlayerHandleFSCommand(reinterpret_cast<const char16_t*>(command), u"");
}

namespace {
std::string failAt;
bool Hook(const char* step) { return failAt == step; }
}  // namespace

// Makes the frame's step of this name fail (as the movie's "stop" call failing: "SceneAnimationsStop").
extern "C" void __stdcall ProbeFailAt(const char* step) {
  failAt = step ? step : "";
  scenes::SetFailHook(failAt.empty() ? nullptr : &Hook);
}
