#include "FlashSceneSupport.h"

#include <algorithm>

#include "SceneWindows.h"
#include "TestFiles.h"
#include "core/Exception.h"
#include "ui/Bitmap.h"
#include "win/WinPaths.h"

namespace scenetest {

std::wstring TestFolder() { return ExecutableFolder() + L"\\"; }

std::wstring LibraryPath(const std::wstring& module) {
  if (module.rfind(L"ZebFlashProbe", 0) == 0) return TestFolder() + module + L".dll";
  return TestFolder() + L"..\\..\\bin\\" + module + L".dll";
}

namespace {
std::wstring LogFolder() { return TestFolder() + L"scene-logs\\"; }
}  // namespace

void SetUpSceneFolder() {
  CreateDirectoryW(LogFolder().c_str(), nullptr);
  zebhost::WriteUtf8File(TestFolder() + L"Zebrane.ini", L"[LOGFILE]\r\nLog=1\r\nLogDir=" + LogFolder() + L"\r\n");
}

std::vector<std::wstring> LogTexts(const std::wstring& module) {
  std::vector<std::wstring> texts;
  for (const auto& line : zebhost::ReadLogLines(LogFolder() + module + L".01.log"))
    if (auto parsed = zebhost::ParseLogLine(line)) texts.push_back(parsed->text);
  return texts;
}

Library::Library(const std::wstring& module) : module_(module), lib_(LibraryPath(module)) {}

namespace {
template <class F>
F Probe(HMODULE module, const char* name) {
  FARPROC p = GetProcAddress(module, name);
  if (!p) throw Exception(u"the library has no probe export");
  return reinterpret_cast<F>(reinterpret_cast<void*>(p));
}
}  // namespace

std::wstring Library::MenuXml() const {
  return Probe<const wchar_t*(__stdcall*)()>(lib_.Module(), "ProbeMenuXml")();
}
std::wstring Library::Files() const { return Probe<const wchar_t*(__stdcall*)()>(lib_.Module(), "ProbeFiles")(); }
void Library::Command(const std::wstring& command) const {
  Probe<void(__stdcall*)(const wchar_t*)>(lib_.Module(), "ProbeCommand")(command.c_str());
}

void Library::FailAt(const char* step) const {
  Probe<void(__stdcall*)(const char*)>(lib_.Module(), "ProbeFailAt")(step);
}

HWND SceneWindow() {
  const std::vector<HWND> found = SceneWindows();
  return found.size() == 1 ? found[0] : nullptr;
}

void WritePicture(const std::wstring& path, int width, int height, uint32_t argb) {
  ui::Bitmap picture(width, height);
  std::fill(picture.Bits(), picture.Bits() + static_cast<size_t>(width) * height, argb);
  picture.SavePng(path);
}

}  // namespace scenetest
