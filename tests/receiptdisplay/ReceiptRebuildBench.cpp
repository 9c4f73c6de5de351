// Not a test: the receipt rebuild of the receipt form in-process with the real receipt movie, the form
// shown on the screen. For a receipt of 40 lines with 10 pictures, and for 10, 100 and 1,000 lines
// (one modifier each, no pictures): the time of FormCheckText (parse, key, clearing, pictures read
// into the file list, the movie reading and laying out the receipt) and of the first frame after it
// (the movie's frame drawn and put on the layered window). Each figure is the median of the runs;
// every run rebuilds, the check data's lines changing each time. The movie decodes the pictures of the
// rows in view only, so the 40-line receipt decodes the pictures of its first page.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "receiptdisplay/uSlipview.h"
#include "shared/Logging.h"
#include "ui/Bitmap.h"
#include "win/WinCodePage.h"
#include "win/WinPaths.h"
#include "win/WinText.h"

namespace {

double Ms(LARGE_INTEGER a, LARGE_INTEGER b) {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return (b.QuadPart - a.QuadPart) * 1000.0 / frequency;
}
LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A dish picture of 320 x 240 with a pattern, as PNG, so that decoding it costs what a photo costs.
void WritePicture(const std::wstring& path, int seed) {
  ui::Bitmap b(320, 240);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      b.Bits()[y * 320 + x] = 0xFF000000u | static_cast<uint32_t>((x * 7 + seed * 40) & 0xFF) << 16 |
                              static_cast<uint32_t>((y * 5 + x * y % 13) & 0xFF) << 8 |
                              static_cast<uint32_t>((x ^ y ^ seed) & 0xFF);
  WriteBytes(path, b.EncodePng());
}

// The pictures: dish0.jpg to dish9.jpg of the folder given (photos, as the host's are), or else PNG
// pictures of our own: the folder with its trailing backslash, and the extension.
std::wstring g_pictures;
std::wstring g_kind;

std::wstring CheckData(size_t lines, size_t pictures, int run) {
  std::wstring text = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><Check Currency=\"RUB\"><CheckLines Codes=\"1,2,3\">";
  for (size_t i = 0; i < lines; ++i) {
    text += L"<L Name=\"Dish " + std::to_wstring(i) + L" run " + std::to_wstring(run) + L"\" Qnt=\"2\" Price=\"125.5\"";
    if (i < pictures)
      text += L" ImagePath=\"" + g_pictures + L"dish" + std::to_wstring(i) + g_kind + L"\"";
    text += L"><ModiLine Name=\"Sauce\" Qnt=\"1\" Price=\"20\"/></L>";
  }
  return text + L"</CheckLines><Discounts><D Name=\"Card\" Sum=\"-26.5\"/></Discounts></Check>";
}

struct Figures {
  double build, frame;
};

Figures Measure(TfmSlipview& form, size_t lines, size_t pictures, int runs) {
  std::vector<double> build, frame;
  for (int run = 0; run <= runs; ++run) {
    const std::string text = ToAnsi(ToU16(CheckData(lines, pictures, run)));
    const LARGE_INTEGER t0 = Now();
    form.FormCheckText(text);
    const LARGE_INTEGER t1 = Now();
    form.LayeredFlashForm.UpdateFrame();
    form.PaintNow();
    const LARGE_INTEGER t2 = Now();
    if (run == 0) continue;  // the first run warms the fonts and the caches up
    build.push_back(Ms(t0, t1));
    frame.push_back(Ms(t1, t2));
  }
  return {Median(build), Median(frame)};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  TempDir logs, pics;
  WriteText(ExecutableFolder() + L"Zebrane.ini", "[LOGFILE]\r\nLog=1\r\nLogDir=" + Narrow(logs.Path()) + "\r\n");
  SlipviewInitialization();
  {
    ui::Application app;
    TfmSlipview form(app, L"ReceiptRebuildBenchForm");
    Unit().fmSlipview = &form;
    form.Create();
    TMessage show{WM_SHOW_DISPLAY, 0, 0, 0};
    form.WMShowDisplay(show);
    std::wstring kind = L".jpg";
    if (argc > 1) {
      g_pictures = argv[1];
      if (g_pictures.back() != L'\\') g_pictures += L'\\';
    } else {
      g_pictures = pics.Path();
      kind = L".png";
      for (int i = 0; i < 10; ++i) WritePicture(pics / (L"dish" + std::to_wstring(i) + kind), i);
    }
    g_kind = kind;
    std::printf("pictures: %s\n", Narrow(g_pictures + L"dish0" + kind).c_str());

    {  // what one of the pictures costs to decode
      const std::vector<unsigned char> bytes = ReadBytes(g_pictures + L"dish0" + kind);
      std::vector<double> times;
      for (int i = 0; i < 7; ++i) {
        const LARGE_INTEGER a = Now();
        ui::Bitmap::FromMemory(bytes.data(), bytes.size());
        times.push_back(Ms(a, Now()));
      }
      std::printf("one picture decoded: %.1f ms\n", Median(times));
      times.clear();
      for (int i = 0; i < 7; ++i) {
        const LARGE_INTEGER a = Now();
        TrimWorkingSet();
        times.push_back(Ms(a, Now()));
      }
      std::printf("the working set trimmed (every rebuild does it): %.1f ms\n", Median(times));
    }
    const Figures receipt = Measure(form, 40, 10, 15);
    std::printf("40 lines, 10 pictures: FormCheckText %.1f ms, first frame %.1f ms, together %.1f ms\n",
                receipt.build, receipt.frame, receipt.build + receipt.frame);
    for (size_t lines : {10u, 100u, 1000u}) {
      const Figures f = Measure(form, lines, 0, lines >= 1000 ? 5 : 11);
      std::printf("%4zu lines: FormCheckText %.2f ms (%.3f ms a line), first frame %.1f ms\n", lines, f.build,
                  f.build / static_cast<double>(lines), f.frame);
    }
    const size_t failures = [&] {
      const std::wstring log = ReadUtf16File(logs / L"Slipview.01.log");
      size_t n = 0;
      for (size_t at = log.find(L"AV in"); at != std::wstring::npos; at = log.find(L"AV in", at + 1)) ++n;
      return n;
    }();
    std::printf("failed builds: %zu\n", failures);
    form.FormClose();
    Unit().fmSlipview = nullptr;
  }
  SlipviewFinalization();
  return 0;
}
