// The header's flip-book animation: the pictures of "media\anim" under the current folder, decoded
// once at start-up, one shown per 50 ms tick of the form's Timer while the window is shown.
#include <algorithm>

#include "core/Ascii.h"
#include "orderdisplay/TwoLinesForm.h"
#include "win/WinFiles.h"

namespace {

const wchar_t kFolder[] = L"media\\anim\\";

// The extension from the last dot, with ASCII letters upper-cased, is .JPG, .BMP or .PNG.
bool AcceptedExtension(const std::wstring& name) {
  const size_t dot = name.find_last_of(L'.');
  if (dot == std::wstring::npos) return false;
  const std::wstring_view ext = std::wstring_view(name).substr(dot);
  return AsciiEqualsNoCase(ext, L".JPG") || AsciiEqualsNoCase(ext, L".BMP") || AsciiEqualsNoCase(ext, L".PNG");
}

}  // namespace

void LoadAnimationFrames() {
  std::vector<std::wstring> names;
  // Every entry is visited, folders, hidden and system files included; only the two dot entries are
  // never taken.
  ForEachFile(std::wstring(kFolder) + L"*.*", [&](const WIN32_FIND_DATAW& fd) {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") return;
    if (AcceptedExtension(name)) names.push_back(kFolder + name);
  });
  // Case-insensitive and locale-aware; digits compare as characters (frame10 before frame2).
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                          b.c_str(), static_cast<int>(b.size())) == CSTR_LESS_THAN;
  });
  // A file that fails to load ends the loading there, with the error.
  for (const std::wstring& name : names) Unit().AnimationFrames.push_back(ui::Bitmap::FromFile(name));
}

void TfmOrderlume::TimerTimer() {
  TwoLinesFormUnit& u = Unit();
  if (u.AnimationFrames.empty()) return;
  if (u.FrameIndex >= u.AnimationFrames.size()) u.FrameIndex = 0;
  HeaderAnimationImage->SetBitmap(u.AnimationFrames[u.FrameIndex]);
  if (++u.FrameIndex > u.AnimationFrames.size() - 1) u.FrameIndex = 0;
}
