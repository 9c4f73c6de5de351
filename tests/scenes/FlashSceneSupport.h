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
#include "scenes/ZebScene.h"

namespace scenetest {

std::wstring TestFolder();  // with its trailing backslash
// A library of the build's bin folder, or a probe build ("ZebFlashProbe") of the test's folder.
std::wstring LibraryPath(const std::wstring& module);
// Zebrane.ini beside the test: log level 1 into TestFolder()\scene-logs\.
void SetUpSceneFolder();
std::vector<std::wstring> LogTexts(const std::wstring& module);  // "[ERROR] ..." texts in order

struct Shot {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class Library {
 public:
  explicit Library(const std::wstring& module);
  const zebhost::SceneExports* operator->() const { return &lib_.Exports(); }
  const zebhost::SceneExports& Exports() const { return lib_.Exports(); }
  const std::wstring& Module() const { return module_; }
  void Parameters(const std::wstring& parameters, const std::wstring& menu) const {
    lib_.Exports().SceneParameters(parameters.c_str(), menu.c_str());
  }
  Shot Screenshot() const;
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

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive; all 0 when nothing
  bool operator==(const Box&) const = default;
};
// The bounding box of the pixels of exactly this colour.
Box BoxOf(const Shot& shot, uint32_t argb);

}  // namespace scenetest
