#pragma once
// What the Flash-scene tests share: a scene library loaded as a host loads it (the seven exports by
// name, the probe exports when the library has them), its pictures as the host gets them, picture
// files on disk, and the library's log lines. The library's log folder and settings are the test
// folder's (SetUpSceneFolder).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "HostLib.h"
#include "ScenePictures.h"
#include "scenes/ZebScene.h"

namespace scenetest {

std::wstring TestFolder();  // with its trailing backslash
// A library of the build's bin folder, or a probe build ("ZebFlashProbe") of the test's folder.
std::wstring LibraryPath(const std::wstring& module);
// Zebrane.ini beside the test: log level 1 into TestFolder()\scene-logs\.
void SetUpSceneFolder();
std::vector<std::wstring> LogTexts(const std::wstring& module);  // "[ERROR] ..." texts in order

class Library {
 public:
  explicit Library(const std::wstring& module);
  const zebhost::SceneExports* operator->() const { return &lib_.Exports(); }
  const zebhost::SceneExports& Exports() const { return lib_.Exports(); }
  const std::wstring& Module() const { return module_; }
  void Parameters(const std::wstring& parameters, const std::wstring& menu) const {
    lib_.Exports().SceneParameters(parameters.c_str(), menu.c_str());
  }
  Shot Screenshot() const { return TakeShot(lib_.Exports()); }
  // The probe exports (ZebFlashProbe only).
  std::wstring MenuXml() const;
  std::wstring Files() const;
  void Command(const std::wstring& command) const;
  void FailAt(const char* step) const;

 private:
  std::wstring module_;
  zebhost::SceneLibrary lib_;
};

// The one scene window of this process titled "ZebAnimatedScene", or null.
HWND SceneWindow();

// A PNG of one colour (opaque) at the path.
void WritePicture(const std::wstring& path, int width, int height, uint32_t argb);

}  // namespace scenetest
