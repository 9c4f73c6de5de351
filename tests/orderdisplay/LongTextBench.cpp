// Not a test: what a very long host text costs the order display in-process. For each text the host
// controls (the message of Mode_1, Mode_2 and Mode_4, a dish name, a modifier name, the currency in
// the dish layout and in the total layout) it prints the median of five applies (the ANSI conversion
// and FormSetText, as the delayed apply runs them) and of five repaints of the whole window after each.
// "bench_orderlume_longtext [length]": the text's length in characters, 1000000 unless given.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchProc.h"
#include "orderdisplay/TwoLinesForm.h"
#include "win/WinCodePage.h"
#include "win/WinText.h"

namespace {

// Words of 1 to 11 letters with a blank between them, so that texts wrap as prose does.
std::wstring LongText(size_t length, wchar_t variant) {
  std::wstring s;
  s.reserve(length);
  for (size_t i = 0, word = 0, letters = 0; s.size() < length; ++i) {
    if (letters == 1 + word % 11) {
      s += L' ';
      ++word;
      letters = 0;
    } else {
      s += static_cast<wchar_t>(L'a' + (i * 7 + variant) % 26);
      ++letters;
    }
  }
  s.back() = variant;
  return s;
}

struct Case {
  const char* name;
  std::function<std::wstring(const std::wstring&)> check;
};

const std::wstring kDecl = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>";
std::wstring Dish(const std::wstring& name, const std::wstring& modifier, const std::wstring& currency) {
  return kDecl + L"<C ModeName=\"Mode_3\" Sum=\"350\" Currency=\"" + currency +
         L"\"><CheckLines><L Name=\"Tea\"/><L New=\"1\" Name=\"" + name + L"\" Price=\"300\"><ModiLine Name=\"" +
         modifier + L"\" Qnt=\"1\"/></L></CheckLines></C>";
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const size_t length = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
  ui::Application app;
  // The animation clock is stepped here, so that every layout is fully opaque when it is painted.
  static double seconds = 0;
  TfmOrderlume form(app, L"LongTextBenchForm", [] { return seconds; });
  form.OnCreate = nullptr;  // the window only: no settings, sockets or background window
  form.SetBounds(1024, 0, 768, 1024);
  form.MainLayout->SetScale(1, 1);
  Unit().MoneyFormat = L"0";
  Unit().fmOrderlume = &form;
  form.Create();
  form.Show();
  app.ProcessMessages();  // the first paint: the start phrase in the header

  const std::vector<Case> cases = {
      {"ModeText, Mode_1", [](const std::wstring& t) { return kDecl + L"<C ModeName=\"Mode_1\" ModeText=\"" + t + L"\"/>"; }},
      {"ModeText, Mode_2", [](const std::wstring& t) { return kDecl + L"<C ModeName=\"Mode_2\" ModeText=\"" + t + L"\"/>"; }},
      {"ModeText, Mode_4", [](const std::wstring& t) {
         return kDecl + L"<C ModeName=\"Mode_4\" Sum=\"350\" ModeText=\"" + t + L"\"/>";
       }},
      {"dish name, Mode_3", [](const std::wstring& t) { return Dish(t, L"Lemon", L"rub"); }},
      {"modifier name, Mode_3", [](const std::wstring& t) { return Dish(L"Tea", t, L"rub"); }},
      {"Currency, Mode_3", [](const std::wstring& t) { return Dish(L"Tea", L"Lemon", t); }},
      {"Currency, Mode_4", [](const std::wstring& t) {
         return kDecl + L"<C ModeName=\"Mode_4\" Sum=\"350\" ModeText=\"Total\" Currency=\"" + t + L"\"/>";
       }},
  };
  std::printf("texts of %zu characters\n", length);
  for (const Case& c : cases) {
    std::vector<double> apply, repaint;
    for (int run = 0; run < 5; ++run) {
      const std::u16string check = ToU16(c.check(LongText(length, static_cast<wchar_t>(L'A' + run))));
      const double t0 = benchproc::NowMs();
      form.FormSetText(ToAnsi(check));
      const double t1 = benchproc::NowMs();
      seconds += 1;
      form.Clock().Tick();  // the fades and slides at their end
      form.PaintNow();  // the frame that shows the new texts
      form.Invalidate();
      const double t2 = benchproc::NowMs();
      form.PaintNow();
      const double t3 = benchproc::NowMs();
      apply.push_back(t1 - t0);
      repaint.push_back(t3 - t2);
      std::fprintf(stderr, "  %s run %d: apply %.1f ms, paint after it %.1f ms, repaint %.1f ms\n", c.name, run,
                   t1 - t0, t2 - t1, t3 - t2);
    }
    std::printf("%-24s apply median %9.1f ms   repaint median %9.1f ms\n", c.name, Median(apply), Median(repaint));
    std::fflush(stdout);
  }
  app.ProcessMessages();
  Unit().fmOrderlume = nullptr;
  return 0;
}
