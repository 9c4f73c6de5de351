// Loading a scene library and resolving its seven exports by name; a scene's picture object as PNG.
#include "HostLib.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/Utf.h"
#include "ui/Bitmap.h"
#include "win/WinText.h"

namespace zebhost {
namespace {

template <typename Fn>
void Resolve(HMODULE module, const std::wstring& path, const char* name, Fn& target) {
  FARPROC p = GetProcAddress(module, name);
  if (!p) throw Exception(u"\"" + ToU16(path) + u"\" does not export " + Ascii(name));
  target = reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
}

}  // namespace

SceneLibrary::SceneLibrary(const std::wstring& path) {
  module_ = LoadLibraryW(path.c_str());
  if (!module_)
    throw Exception(u"cannot load \"" + ToU16(path) + u"\"" +
                    Ascii(" (error " + std::to_string(GetLastError()) + ")"));
  try {
    Resolve(module_, path, "SceneScreenshot", exports_.SceneScreenshot);
    Resolve(module_, path, "SceneAnimationsStop", exports_.SceneAnimationsStop);
    Resolve(module_, path, "SceneAnimationsStart", exports_.SceneAnimationsStart);
    Resolve(module_, path, "SceneDestroy", exports_.SceneDestroy);
    Resolve(module_, path, "SceneDefaultParameters", exports_.SceneDefaultParameters);
    Resolve(module_, path, "SceneParameters", exports_.SceneParameters);
    Resolve(module_, path, "SceneCreate", exports_.SceneCreate);
  } catch (...) {
    FreeLibrary(module_);
    throw;
  }
}

SceneLibrary::~SceneLibrary() { FreeLibrary(module_); }

void SaveScenePicture(const ZebSceneBitmap& picture, const std::wstring& pngPath) {
  const int width = picture.functions->Width(&picture), height = picture.functions->Height(&picture);
  const DWORD* pixels = picture.functions->Pixels(&picture);
  if (width <= 0 || height <= 0 || !pixels)
    throw Exception(u"the scene's picture is empty (" + Ascii(std::to_string(width) + " x " + std::to_string(height)) + u")");
  // Both hold premultiplied 0xAARRGGBB values, rows top first without padding.
  ui::Bitmap copy(width, height);
  std::copy(pixels, pixels + static_cast<size_t>(width) * height, copy.Bits());
  copy.SavePng(pngPath);
}

}  // namespace zebhost
