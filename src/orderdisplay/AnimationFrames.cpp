// The header's flip-book animation: the pictures of "media\anim" under the current folder, decoded
// once at start-up, one shown per 50 ms tick of the form's Timer while the window is shown.
#include <algorithm>

#include "orderdisplay/TwoLinesForm.h"

namespace {

const wchar_t kFolder[] = L"media\\anim\\";

// The extension from the last dot, with ASCII letters upper-cased, is .JPG, .BMP or .PNG.
bool AcceptedExtension(const std::wstring& name) {
  const size_t dot = name.find_last_of(L'.');
  if (dot == std::wstring::npos) return false;
  std::wstring ext = name.substr(dot);
  for (wchar_t& c : ext)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return ext == L".JPG" || ext == L".BMP" || ext == L".PNG";
}

}  // namespace

void LoadAnimationFrames() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  // Every entry is visited, folders, hidden and system files included; only the two dot entries are
  // never taken.
  HANDLE find = FindFirstFileW((std::wstring(kFolder) + L"*.*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      if (AcceptedExtension(name)) names.push_back(kFolder + name);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
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
