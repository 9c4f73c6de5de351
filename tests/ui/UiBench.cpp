// Not a test: what the display form costs. "redraw" times full frames of a 768 x 1024 form with a
// 769 x 217 header picture and a few texts; "idle" and "anim" show that form for ten seconds, idle or
// with the header picture changing every 50 ms, and print the process's CPU time.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Renderer.h"

using namespace ui;

namespace {

double Seconds() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / f.QuadPart;
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto toS = [](FILETIME t) { return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; };
  return toS(kernel) + toS(user);
}

Bitmap Frame(int shade) {
  Bitmap b(769, 217);
  for (int y = 0; y < 217; ++y)
    for (int x = 0; x < 769; ++x)
      b.Bits()[y * 769 + x] = 0xFF000000u | ((x + shade) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | (shade & 0xFF);
  return b;
}

Text& AddText(Control& parent, float x, float y, float w, float h, float size, const wchar_t* s) {
  Text& t = parent.Add<Text>();
  t.SetBounds(x, y, w, h);
  t.SetFontFamily(L"Memphis LT CYR ExtraBold");
  t.SetFontSize(size);
  t.SetBold(true);
  t.SetColor(kWhite);
  t.SetText(s);
  return t;
}

// The display frame: header with gradient, header picture, shadow, background, and texts.
Image& BuildTree(Layout& root) {
  Layout& main = root.Add<Layout>();
  main.SetSize(768, 1254);
  ui::Rectangle& header = main.Add<ui::Rectangle>();
  header.SetBounds(-1, 0, 769, 217);
  header.SetFill(Fill::Horizontal({{Rgb(0x250A0A), 0}, {Rgb(0x851C1E), 0.5f}, {Rgb(0x250A0A), 1}}));
  Image& picture = header.Add<Image>();
  picture.SetSize(769, 217);
  picture.SetWrapMode(WrapMode::Stretch);
  picture.SetBitmap(Frame(0));
  Layout& layout = header.Add<Layout>();
  layout.SetSize(769, 217);
  AddText(layout, 24, 70, 745, 30, 22, L"Оплачено: 500 руб");
  AddText(layout, 24, 130, 360, 64, 50, L"Итого").SetWordWrap(false);
  AddText(layout, 336, 128, 337, 49, 50, L"1250.00").SetHorzAlign(TextAlign::Trailing);
  AddText(layout, 8, 88, 753, 100, 40, L"Добро пожаловать\r\nв наш ресторан");
  ui::Rectangle& shadow = main.Add<ui::Rectangle>();
  shadow.SetBounds(0, 214, 768, 6);
  shadow.SetFill(Fill::Solid(Rgb(0xECDFDF)));
  Image& background = main.Add<Image>();
  background.SetBounds(0, 220, 768, 805);
  background.SetWrapMode(WrapMode::Tile);
  return picture;
}

int Redraw() {
  GdiPlusSession gdiplus;
  Layout root;
  root.SetSize(768, 1024);
  Image& picture = BuildTree(root);
  Bitmap target(768, 1024);
  const Bitmap frames[2] = {Frame(10), Frame(90)};
  RenderInto(root, target.Bits(), 768, 1024, 768 * 4);  // warm-up (fonts)
  const int n = 100;
  double t0 = Seconds();
  for (int i = 0; i < n; ++i) RenderInto(root, target.Bits(), 768, 1024, 768 * 4);
  const double render = (Seconds() - t0) / n;
  t0 = Seconds();
  for (int i = 0; i < n; ++i) picture.SetBitmap(frames[i & 1]);
  const double copy = (Seconds() - t0) / n;
  // A header tick: the next frame into the image, then the header's area drawn again.
  RectF area;
  root.SetChangeSink([&](const RectF& a) { area = area.Union(a); });
  t0 = Seconds();
  for (int i = 0; i < n; ++i) {
    area = RectF{};
    picture.SetBitmap(frames[i & 1]);
    RenderInto(root, target.Bits(), 768, 1024, 768 * 4, &area);
  }
  const double tick = (Seconds() - t0) / n;
  std::printf("full redraw 768x1024: %.2f ms; copy of a 769x217 frame into the image: %.3f ms; "
              "header tick (copy + redraw of the header's area %.0fx%.0f): %.2f ms\n",
              render * 1000, copy * 1000, area.Width, area.Height, tick * 1000);
  return 0;
}

// Where a frame's time goes: each kind of control alone at the header's size.
int Parts() {
  GdiPlusSession gdiplus;
  Bitmap target(768, 1024);
  auto time = [&](const char* what, Layout& root) {
    RenderInto(root, target.Bits(), 768, 1024, 768 * 4);
    const double t0 = Seconds();
    for (int i = 0; i < 50; ++i) RenderInto(root, target.Bits(), 768, 1024, 768 * 4);
    std::printf("%-28s %.2f ms\n", what, (Seconds() - t0) / 50 * 1000);
  };
  Layout empty;
  time("clear only", empty);
  Layout gradient;
  ui::Rectangle& r = gradient.Add<ui::Rectangle>();
  r.SetBounds(-1, 0, 769, 217);
  r.SetFill(Fill::Horizontal({{Rgb(0x250A0A), 0}, {Rgb(0x851C1E), 0.5f}, {Rgb(0x250A0A), 1}}));
  time("gradient 769x217", gradient);
  Layout stretched;
  Image& img = stretched.Add<Image>();
  img.SetSize(769, 217);
  img.SetWrapMode(WrapMode::Stretch);
  img.SetBitmap(Frame(0));
  time("image 769x217 stretched", stretched);
  img.SetWrapMode(WrapMode::Original);
  time("image 769x217 original", stretched);
  Layout texts;
  AddText(texts, 8, 88, 753, 100, 40, L"Добро пожаловать\r\nв наш ресторан");
  time("text 40 two lines", texts);
  return 0;
}

int Show(bool animate) {
  Application app;
  FormOptions o;
  o.className = L"UiBenchForm";
  o.width = 768;
  o.height = 1024;
  Form form(o);
  form.SetBounds(0, 0, 768, 1024);
  Image& picture = BuildTree(form.Root());
  const Bitmap frames[3] = {Frame(10), Frame(90), Frame(170)};
  int index = 0;
  Timer header;
  header.SetInterval(50);
  header.OnTimer = [&] {
    picture.SetBitmap(frames[index]);
    index = (index + 1) % 3;
  };
  app.SetMainForm(form);
  form.Create();
  form.Show();
  app.ProcessMessages();
  Timer start, stop;
  double cpu0 = 0, wall0 = 0;
  unsigned redraws0 = 0;
  start.SetInterval(1000);  // after start-up has settled
  start.OnTimer = [&] {
    start.SetEnabled(false);
    header.SetEnabled(animate);
    cpu0 = CpuSeconds();
    wall0 = Seconds();
    redraws0 = form.RedrawCount();
    stop.SetEnabled(true);
  };
  stop.SetInterval(10000);
  stop.OnTimer = [&] { app.Terminate(); };
  start.SetEnabled(true);
  app.Run();
  const double cpu = CpuSeconds() - cpu0, wall = Seconds() - wall0;
  std::printf("%s form shown %.1f s: CPU %.3f s (%.2f%% of a core), %u redraws\n", animate ? "animated" : "idle", wall,
              cpu, 100 * cpu / wall, form.RedrawCount() - redraws0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "redraw";
  if (mode == "idle") return Show(false);
  if (mode == "anim") return Show(true);
  if (mode == "parts") return Parts();
  return Redraw();
}
