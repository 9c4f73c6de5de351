#include "ScreenDpi.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "ui/Controls.h"
#include "ui/GdiPlusIncludes.h"
#include "ui/Renderer.h"

namespace {

constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kValue[] = L"LogPixels";
// The value before the override: a number, or "absent".
constexpr char kSavedFile[] = "LogPixels.saved";

void SetSetting(DWORD dpi) {
  if (dpi == 0) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
  } else {
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof(dpi));
  }
}

}  // namespace

DWORD ScreenDpiSetting() {
  DWORD value = 0, size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return 0;
  return value;
}

bool RestoreScreenDpi() {
  std::ifstream in(kSavedFile);
  if (!in) return false;
  std::string saved;
  in >> saved;
  in.close();
  SetSetting(saved == "absent" || saved.empty() ? 0 : static_cast<DWORD>(std::stoul(saved)));
  std::remove(kSavedFile);
  return true;
}

ScreenDpiOverride::ScreenDpiOverride(DWORD dpi) {
  RestoreScreenDpi();  // a value left behind by a run that died goes back first
  const DWORD before = ScreenDpiSetting();
  {
    std::ofstream out(kSavedFile, std::ios::trunc);
    out << (before ? std::to_string(before) : std::string("absent"));
  }
  SetSetting(dpi);
}

ScreenDpiOverride::~ScreenDpiOverride() { RestoreScreenDpi(); }

TextPicture RenderSampleText() {
  TextPicture p;
  HDC screen = GetDC(nullptr);
  p.screenDpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  Gdiplus::Bitmap probe(1, 1, PixelFormat32bppPARGB);
  p.pictureDpi = static_cast<int>(probe.GetHorizontalResolution() + 0.5f);

  ui::Layout root;
  ui::Text& text = root.Add<ui::Text>();
  text.SetFontFamily(L"Memphis LT CYR Bold");
  text.SetFontSize(34);
  text.SetBold(true);
  text.SetColor(ui::kWhite);
  text.SetWordWrap(true);
  text.SetAutoSize(false);
  text.SetBounds(10, 8, 380, 90);
  text.SetText(L"Caesar salad with chicken 350");
  p.width = 400;
  p.height = 110;
  const ui::Bitmap frame = ui::RenderToBitmap(root, p.width, p.height);
  p.pixels.assign(frame.Bits(), frame.Bits() + static_cast<size_t>(p.width) * p.height);
  return p;
}

void WriteTextPicture(const std::wstring& path, const TextPicture& p) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  const int32_t header[] = {p.screenDpi, p.pictureDpi, p.width, p.height};
  out.write(reinterpret_cast<const char*>(header), sizeof(header));
  out.write(reinterpret_cast<const char*>(p.pixels.data()), static_cast<std::streamsize>(p.pixels.size() * 4));
}

TextPicture ReadTextPicture(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TextPicture p;
  int32_t header[4];
  if (bytes.size() < sizeof(header)) return p;
  std::memcpy(header, bytes.data(), sizeof(header));
  const size_t count = static_cast<size_t>(header[2]) * header[3];
  if (header[2] <= 0 || header[3] <= 0 || bytes.size() != sizeof(header) + count * 4) return p;
  p = {header[0], header[1], header[2], header[3], std::vector<uint32_t>(count)};
  std::memcpy(p.pixels.data(), bytes.data() + sizeof(header), count * 4);
  return p;
}
