#include "orderdisplay/BackgroundWindow.h"

#include <windows.h>

#include "core/Exception.h"
#include "orderdisplay/Resources.h"
#include "ui/Application.h"
#include "win/Handles.h"
#include "win/WinPaths.h"

namespace {
std::unique_ptr<TfmBG> g_fmBG;

ui::Bitmap PictureResource(int id) {
  HMODULE module = ThisModule();
  HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!res) throw Exception(u"The picture resource is missing");
  HGLOBAL data = LoadResource(module, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) throw Exception(u"The picture resource cannot be loaded");
  return ui::Bitmap::FromMemory(bytes, SizeofResource(module, res));
}
}  // namespace

ui::Bitmap BackgroundPicture() { return PictureResource(IDR_BACKGROUND_PNG); }
ui::Bitmap BasketPicture() { return PictureResource(IDR_BASKET_PNG); }

TfmBG::TfmBG() : ui::PlainForm(ui::PlainFormOptions{L"TfmBG", 768, 1024}) {
  BGImage = BackgroundPicture();
  OnActivate = [this] { FormActivate(); };
  OnPaint = [this](HDC dc) { FormPaint(dc); };
  OnEraseBackground = [this](HDC dc) { return WMEraseBkgnd(dc); };
}

void TfmBG::FormPaint(HDC dc) {
  if (BackGround) BackGround->CopyTo(dc, 0, 0, Width(), Height(), 0, 0);
}

void TfmBG::FormActivate() {
  if (win::WindowDc dc(Handle()); dc) FormPaint(dc.Get());
  // No window of the program carries a taskbar button, the application's own window included.
  if (ui::Application* app = ui::Application::Current())
    if (app->OwnerWindow()) ShowWindow(app->OwnerWindow(), SW_HIDE);
}

// The background is never erased: only the paint draws the window.
LRESULT TfmBG::WMEraseBkgnd(HDC) { return 0; }

TfmBG* BackgroundWindow() { return g_fmBG.get(); }

void OpenBackgroundWindow(int left, int top, int width, int height) {
  if (g_fmBG) return;
  auto window = std::make_unique<TfmBG>();
  window->Create();
  window->SetLeft(left);
  window->SetTop(top);
  window->SetWidth(width);
  window->SetHeight(height);
  window->BackGround = std::make_unique<ui::GdiBitmap>(window->BGImage);
  // Only the copy is ever drawn: the decoded picture need not stay in memory beside it.
  window->BGImage = ui::Bitmap();
  HWND h = window->Handle();
  SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  g_fmBG = std::move(window);
  g_fmBG->Show();
}

void CloseBackgroundWindow() {
  if (!g_fmBG) return;
  g_fmBG->Close();
  std::unique_ptr<TfmBG> closing = std::move(g_fmBG);
  closing.reset();
}
