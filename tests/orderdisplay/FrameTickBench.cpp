// Not a test: what one 50 ms tick of the header animation costs on a shown display form (768 x 1024
// at the default place, the start phrase in the header). A tick is TimerTimer (the frame copied into
// HeaderAnimationImage) followed by the paint it causes (the whole frame drawn and handed to the
// layered window). Prints the median, 90th percentile and largest of 200 ticks, then where the time
// goes: the copy alone, the render without a window (whole, with parts of the tree left out, and of
// the header's area only), and the hand-over of a whole frame to the layered window.
// "bench_orderlume_tick memory" instead prints, under Wine, the process's resident memory (Linux
// /proc through the Z: drive) after each step of building the display, to tell what
// the working set is made of.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchProc.h"
#include "orderdisplay/BackgroundWindow.h"
#include "orderdisplay/TwoLinesForm.h"
#include "ui/Dib.h"
#include "ui/Renderer.h"

namespace {

// A photo-like frame: every pixel different, so that nothing is cheaper than in real artwork.
ui::Bitmap Frame(int seed) {
  ui::Bitmap b(769, 217);
  for (int y = 0; y < 217; ++y)
    for (int x = 0; x < 769; ++x)
      b.Bits()[y * 769 + x] = 0xFF000000u | ((x * 3 + seed) & 0xFF) << 16 | ((y * 5 + seed) & 0xFF) << 8 |
                              ((x ^ y) & 0xFF);
  return b;
}

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s median %6.2f ms  p90 %6.2f ms  max %6.2f ms  (%zu runs)\n", what, ms[ms.size() / 2],
              ms[ms.size() * 9 / 10], ms.back(), ms.size());
}

std::vector<double> Time(int runs, const std::function<void()>& f) {
  std::vector<double> out;
  for (int i = 0; i < runs; ++i) {
    const double t0 = benchproc::NowMs();
    f();
    out.push_back(benchproc::NowMs() - t0);
  }
  return out;
}

// VmRSS, RssAnon, RssFile and RssShmem of this process in MB, on one line.
void PrintMemory(const std::wstring& self, const char* step) {
  std::printf("%-42s", step);
  for (const char* key : {"VmRSS", "RssAnon", "RssFile", "RssShmem"}) {
    const auto mb = benchproc::StatusMb(self, key);
    if (mb)
      std::printf(" %s %5.1f MB", key, *mb);
    else
      std::printf(" %s   n/a   ", key);
  }
  std::printf("\n");
}

int Memory() {
  const auto found = benchproc::FindSelf();
  if (!found) {
    std::printf("this program's Linux process was not found (not under Wine?): no memory figures\n");
    return 1;
  }
  const std::wstring self = *found;
  std::printf("this program's Linux process: %s\n", benchproc::LinuxName(self).c_str());
  PrintMemory(self, "start");
  ui::Application app;
  PrintMemory(self, "application (GDI+, owner window)");
  TfmOrderlume form(app, L"FrameTickBenchForm");
  PrintMemory(self, "display form built (no window)");
  form.OnCreate = nullptr;
  form.SetBounds(1024, 0, 768, 1024);
  form.MainLayout->SetScale(1, 1);
  Unit().fmOrderlume = &form;
  form.Create();
  form.Show();
  app.ProcessMessages();
  PrintMemory(self, "display window shown, first paint done");
  OpenBackgroundWindow(1062, 246, 690, 758);
  app.ProcessMessages();
  PrintMemory(self, "background window open and painted");
  for (int i = 0; i < 10; ++i) Unit().AnimationFrames.push_back(Frame(i * 25));
  PrintMemory(self, "ten 769 x 217 frames in memory");
  for (int i = 0; i < 40; ++i) {
    form.TimerTimer();
    form.PaintNow();
  }
  PrintMemory(self, "after 40 ticks");
  CloseBackgroundWindow();
  Unit().fmOrderlume = nullptr;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "memory") return Memory();
  ui::Application app;
  TfmOrderlume form(app, L"FrameTickBenchForm");
  form.OnCreate = nullptr;  // the window only: no settings, sockets or background window
  form.SetBounds(1024, 0, 768, 1024);
  form.MainLayout->SetScale(1, 1);
  for (int i = 0; i < 3; ++i) Unit().AnimationFrames.push_back(Frame(i * 70));
  Unit().fmOrderlume = &form;
  form.Create();
  form.Show();
  app.ProcessMessages();  // the first paint: the start phrase in the header
  form.Timer.SetEnabled(false);  // ticks come from here only
  for (int i = 0; i < 10; ++i) {  // warm-up (fonts, surfaces)
    form.TimerTimer();
    form.PaintNow();
  }
  const unsigned redraws = form.RedrawCount();
  Report("tick: TimerTimer + paint of the window", Time(200, [&] {
           form.TimerTimer();
           form.PaintNow();
         }));
  std::printf("%-44s %u of 200\n", "frames handed to the window", form.RedrawCount() - redraws);
  Report("TimerTimer alone (copy into the image)", Time(200, [&] { form.TimerTimer(); }));
  Report("RenderFrame alone (768 x 1024, no window)", Time(50, [&] { (void)form.RenderFrame(); }));

  // The render of the window's frame, whole and with one part left out at a time.
  ui::Bitmap target(768, 1024);
  auto render = [&](const ui::RectF* area) { ui::RenderInto(form.Root(), target.Bits(), 768, 1024, 768 * 4, area); };
  Report("render of the whole frame", Time(50, [&] { render(nullptr); }));
  const ui::RectF header{0, 0, 768, 220};
  Report("render of the header's area only (768 x 220)", Time(50, [&] { render(&header); }));
  form.HeaderAnimationImage->Hide();
  Report("  ... whole frame without the header image", Time(50, [&] { render(nullptr); }));
  form.HeaderAnimationImage->Show();
  form.Layout1->Hide();
  Report("  ... whole frame without the start phrase", Time(50, [&] { render(nullptr); }));
  form.Header->Hide();
  Report("  ... whole frame without the header at all", Time(50, [&] { render(nullptr); }));
  form.Header->Show();
  form.Layout1->Show();

  // The hand-over alone: a frame of the window's size given to the layered window.
  ui::Dib dib(768, 1024);
  HDC dc = dib.Dc();
  std::copy(target.Bits(), target.Bits() + 768 * 1024, dib.Bits());
  auto handOver = [&](RECT* dirty) {
    POINT position{1024, 0}, origin{0, 0};
    SIZE size{768, 1024};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info{sizeof info, nullptr, &position, &size, dc, &origin, 0, &blend, ULW_ALPHA, dirty};
    UpdateLayeredWindowIndirect(form.Handle(), &info);
  };
  Report("UpdateLayeredWindow, whole frame", Time(100, [&] { handOver(nullptr); }));
  RECT dirty{0, 0, 768, 220};
  Report("UpdateLayeredWindowIndirect, header only", Time(100, [&] { handOver(&dirty); }));
  app.ProcessMessages();
  Unit().fmOrderlume = nullptr;
  return 0;
}
