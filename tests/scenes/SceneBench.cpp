// The scene movies' performance under Wine (not a test; scripts/bench-scenes runs it):
//  1. the time of one frame as a scene window gets it, at the stage's own size (690 x 758) and at
//     1920 x 1080 (the stage scaled and centred): the stage's changed areas rendered at its own size,
//     scaled over the background into the window's picture and copied onto a shown window, for every
//     frame of the timeline in which the movie changed (the banner at LOW and MEDIUM, the video clip);
//  2. the ways to scale a whole stage to 1920 x 1080 side by side;
//  3. the CPU of this host process while each Flash-scene library plays its scene from the start to
//     WM_SCENE_ENDED, driven through the exports, at 690 x 758 and at 1920 x 1080.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "HostLib.h"
#include "flash/FlashList.h"
#include "flash/movies/BannerMovie.h"
#include "flash/movies/MovieDrawing.h"
#include "flash/movies/VideoMovie.h"
#include "flash/StageFit.h"
#include "ui/Dib.h"
#include "ui/GdiPlusIncludes.h"
#include "ui/GdiPlus.h"
#include "win/WinPaths.h"

namespace {

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](FILETIME t) { return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0; };
  return ms(kernel) + ms(user);
}

// A dish picture of 1024 x 768 with some texture, as a photograph would be.
ui::Bitmap DishPicture() {
  ui::Bitmap b(1024, 768);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      b.Bits()[y * 1024 + x] = 0xFF000000u | ((x * 255 / 1024) << 16) | ((y * 255 / 768) << 8) | ((x ^ y) & 0xFF);
  return b;
}

class Host : public flash::MovieHost {
 public:
  const flash::TsfFlashItem* PictureFile(std::u16string_view name) const override { return list.FindPicture(name); }
  void PostCommand(std::u16string, std::u16string) override { ended = true; }
  void FrameChanged() override { changed = true; }
  void PlayingChanged() override {}
  flash::TsfFlashList list;
  bool changed = false, ended = false;
};

void FrameTimes(const char* label, flash::NativeMovie& movie, Host& host, HWND window, const ui::Bitmap& background) {
  const int width = background.Width(), height = background.Height();
  ui::Dib shown(width, height);
  HDC dc = GetDC(window);
  movie.Start();
  movie.SetVariable(u"MenuXML", u"\r\n<Item Currency=\"RUB.\" ShowText=\"COLD DRINKS\" Name=\"HOMEMADE LEMONADE\" "
                                u"Path=\"dish.png\" Price=\"150\"/>");
  movie.Play();
  std::vector<double> times;
  ui::Bitmap stage;  // the player keeps its stage's picture between frames
  double parts[4] = {0, 0, 0, 0};
  double build = 0, pixels = 0;
  int frames = 0;
  while (!host.ended && frames < 400) {
    host.changed = false;
    const double t0 = Now();
    movie.EnterFrame();
    const double entered = Now() - t0;
    ++frames;
    if (frames == 1) build = entered;  // the banner's parts are drawn once, on the first frame
    if (!host.changed) continue;
    const double t1 = Now();
    const ui::PixelRect drawn = movie.RenderStage(stage);
    const double t2 = Now();
    const flash::StageFit fit = flash::FitStage(stage.Width(), stage.Height(), width, height);
    const ui::PixelRect r = frames == 1 ? ui::PixelRect{0, 0, width, height} : flash::WindowArea(fit, drawn);
    flash::ComposeStage(shown.Bits(), fit, stage, &background, r);
    const double t3 = Now();
    GdiFlush();
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, shown.Dc(), r.left, r.top, SRCCOPY);
    GdiFlush();
    const double took = entered + Now() - t1;
    parts[0] += entered; parts[1] += t2 - t1; parts[2] += t3 - t2; parts[3] += Now() - t3;
    if (frames == 1) {
      build = took;
    } else {
      times.push_back(took);
      pixels += static_cast<double>(r.right - r.left) * (r.bottom - r.top);
    }
  }
  ReleaseDC(window, dc);
  const double n1 = std::max<double>(1, static_cast<double>(times.size()) + (build > 0 ? 1 : 0));
  std::printf("  per changed frame: movie's frame step %.2f ms, render %.2f, scale over %.2f, copy %.2f; "
              "window pixels handed over %.0f%%\n",
              parts[0] / n1, parts[1] / n1, parts[2] / n1, parts[3] / n1,
              times.empty() ? 0.0 : 100 * pixels / times.size() / (static_cast<double>(width) * height));
  std::sort(times.begin(), times.end());
  double sum = 0;
  for (double t : times) sum += t;
  const size_t n = times.size();
  std::printf("%-22s %3d frames, %3zu changed: frame mean %.2f ms, median %.2f, 95%% %.2f, max %.2f; first frame %.1f ms\n",
              label, frames, n + 1, n ? sum / n : 0.0, n ? times[n / 2] : 0.0, n ? times[n * 95 / 100] : 0.0,
              n ? times.back() : 0.0, build);
}

// One whole 690 x 758 stage scaled to 1920 x 1080 over the background, three ways, best of 20 each.
void ScalingWays() {
  constexpr int kW = 1920, kH = 1080, kSW = 690, kSH = 758;
  ui::GdiPlusSession gdiplus;
  ui::Bitmap stage(kSW, kSH), background(kW, kH);
  for (int y = 0; y < kSH; ++y)
    for (int x = 0; x < kSW; ++x) stage.Bits()[y * kSW + x] = (x / 40 + y / 40) % 2 ? 0xFF2080C0u : 0x80402010u;
  std::fill(background.Bits(), background.Bits() + static_cast<size_t>(kW) * kH, 0xFF6A3A20u);
  const flash::StageFit fit = flash::FitStage(kSW, kSH, kW, kH);
  const int left = static_cast<int>(fit.left), w = static_cast<int>(kSW * fit.scale), h = kH;
  ui::Dib out(kW, kH), source(kSW, kSH);
  std::copy_n(stage.Bits(), kSW * kSH, source.Bits());
  auto best = [](auto step) {
    double b = 1e9;
    for (int i = 0; i < 20; ++i) {
      const double t = Now();
      step();
      GdiFlush();
      b = std::min(b, Now() - t);
    }
    return b;
  };
  const double own = best([&] { flash::ComposeStage(out.Bits(), fit, stage, &background, {0, 0, kW, kH}); });
  const double halftone = best([&] {
    SetStretchBltMode(out.Dc(), HALFTONE);
    SetBrushOrgEx(out.Dc(), 0, 0, nullptr);
    StretchBlt(out.Dc(), left, 0, w, h, source.Dc(), 0, 0, kSW, kSH, SRCCOPY);  // no blending: a copy only
  });
  Gdiplus::Bitmap target(kW, kH, kW * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(out.Bits()));
  Gdiplus::Graphics g(&target);
  g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  const double gdip = best([&] { g.DrawImage(stage.Gdi(), left, 0, w, h); g.Flush(Gdiplus::FlushIntentionSync); });
  Gdiplus::Bitmap dpi(kSW, kSH, kSW * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(stage.Bits()));
  Gdiplus::CachedBitmap cached(&dpi, &g);
  const double cachedDraw = best([&] { g.DrawCachedBitmap(&cached, left, 0); g.Flush(Gdiplus::FlushIntentionSync); });
  std::printf("Whole stage to 1920 x 1080: ComposeStage (bilinear, over the background) %.2f ms; StretchBlt HALFTONE "
              "(copy, no blending) %.2f ms; GDI+ DrawImage bilinear %.2f ms; GDI+ CachedBitmap (unscaled only) %.2f ms\n",
              own, halftone, gdip, cachedDraw);
}

std::wstring Folder() { return ExecutableFolder() + L"\\"; }

void HostCpu(const std::wstring& module, const std::wstring& picturePath, int width, int height) {
  zebhost::SceneLibrary lib(Folder() + L"..\\..\\bin\\" + module + L".dll");
  zebhost::AdvertWindow advert(L"SceneBenchAdvert" + module);
  const auto& e = lib.Exports();
  const std::wstring parameters = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><SceneParameters CurrencyText=\"rub.\">"
                                  L"<Size Width=\"" + std::to_wstring(width) + L"\" Height=\"" +
                                  std::to_wstring(height) + L"\"/><parameters DishCode=\"1\" ShowText=\"Cold drinks\"/></SceneParameters>";
  const std::wstring menu =
      L"<Menu><Dish Code=\"1\" Name=\"Homemade lemonade\" Price=\"15000\" LargeImagePath=\"" + picturePath + L"\"/></Menu>";
  e.SceneParameters(parameters.c_str(), menu.c_str());
  zebhost::Wait(200);
  const double cpu0 = CpuMs(), wall0 = Now();
  e.SceneAnimationsStart(TRUE);
  double firstCpu = -1, firstWall = 0;
  while (advert.SceneEndedCount() == 0 && Now() - wall0 < 20000) {
    zebhost::Wait(20);
    if (firstCpu < 0 && Now() - wall0 >= 1000) firstCpu = CpuMs() - cpu0, firstWall = Now() - wall0;
  }
  const double cpu = CpuMs() - cpu0, wall = Now() - wall0;
  std::printf("%-10s at %4d x %4d played %.0f ms to WM_SCENE_ENDED: CPU %.0f ms = %.1f%% of a core (first second %.1f%%)\n",
              std::string(module.begin(), module.end()).c_str(), width, height, wall, cpu, 100 * cpu / wall,
              firstWall > 0 ? 100 * firstCpu / firstWall : 0.0);
  e.SceneAnimationsStop();
  e.SceneDestroy();
}


// At the stage's own size, and at a window size where the stage is scaled and centred.
void FrameTimesAt(int width, int height) {
  std::printf("Frame time at %d x %d (render, lay over the background, copy onto a shown window):\n", width, height);
  {
    ui::GdiPlusSession gdiplus;
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
    ui::Bitmap background(width, height);
    std::fill(background.Bits(), background.Bits() + static_cast<size_t>(width) * height, 0xFF6A3A20u);
    const auto png = DishPicture().EncodePng();
    for (flash::MovieQuality q : {flash::MovieQuality::Low, flash::MovieQuality::Medium}) {
      Host host;
      host.list.Flashs.Add().FlashStore = u"scene.swf";
      flash::TsfFlashItem& dish = host.list.Flashs.Add();
      dish.FlashStore = u"dish.png";
      dish.Bytes.assign(png.begin(), png.end());
      flash::BannerMovie banner(host, flash::BannerOptions{.quality = q});
      FrameTimes(q == flash::MovieQuality::Low ? "banner, LOW" : "banner, MEDIUM", banner, host, window, background);
    }
    Host host;
    flash::VideoMovie video(host);
    FrameTimes("video clip", video, host, window, background);
    DestroyWindow(window);
  }
}

}  // namespace

int main() {
  SetProcessDPIAware();
  FrameTimesAt(690, 758);
  std::printf("\n");
  FrameTimesAt(1920, 1080);
  std::printf("\n");
  ScalingWays();

  std::printf("\nHost CPU while each library plays its scene through the exports (1024 x 768 dish picture):\n");
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring picture = std::wstring(temp) + L"zeb-scene-bench-dish.png";
  {
    ui::GdiPlusSession gdiplus;
    DishPicture().SavePng(picture);
  }
  for (const int width : {690, 1920})
    for (const wchar_t* module : {L"Sucrelle", L"Braisette", L"Libavo", L"Platero", L"Cinevra"})
      HostCpu(module, picture, width, width == 690 ? 758 : 1080);
  DeleteFileW(picture.c_str());
  return 0;
}
