// A test build of the scene frame with one export more: ProbeFailAt makes the named step fail (the
// frame's fail points, e.g. "SceneCreate", "SceneDestroy.10", "callback"), so that the tests reach
// the failure paths that no shipped build can be made to take.
#include <string>

#include "scenes/uFlashScene.h"

namespace {
std::string failAt;
bool Hook(const char* step) { return failAt == step; }
}  // namespace

extern "C" void __stdcall ProbeFailAt(const char* step) {
  failAt = step ? step : "";
  scenes::SetFailHook(failAt.empty() ? nullptr : &Hook);
}
