// A library built twice from this source (ui_module_a.dll, ui_module_b.dll), each with its own copy
// of the UI layer, as a scene library would be: one shown form of the same class in both, a timer,
// and a failure sink of its own. Plain C exports; none lets an exception out.
#include <windows.h>

#include <memory>
#include <string>

#include "core/Exception.h"
#include "ui/Form.h"
#include "ui/Module.h"
#include "ui/Timer.h"
#include "win/WinText.h"

#define PROBE_EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr UINT kWhoAreYou = WM_APP + 1;  // answered with the address of the form object
constexpr UINT kFail = WM_APP + 2;       // the handler throws

class ProbeForm : public ui::Form {
 public:
  ProbeForm() : Form(Options()) {
    ui::Rectangle& box = Root().Add<ui::Rectangle>();
    box.SetBounds(0, 0, 60, 40);
    box.SetFill(ui::Fill::Solid(ui::Rgb(0x2040A0)));
  }

 protected:
  static ui::FormOptions Options() {
    ui::FormOptions o;
    o.className = L"UiModuleProbe";
    o.width = 60;
    o.height = 40;
    return o;
  }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == kWhoAreYou) return reinterpret_cast<LRESULT>(this);
    if (msg == kFail) throw Exception(u"failure in the library's window");
    return Form::HandleMessage(msg, wParam, lParam);
  }
};

// The library's state: made by ProbeCreate, freed by ProbeDestroy; a plain pointer, so nothing of
// it runs at unload.
struct Probe {
  ProbeForm form;
  ui::Timer timer;
  int ticks = 0;
};
Probe* probe = nullptr;

// The failures that reached the library's sink, as a scene library would write them to its log.
std::wstring* failures = nullptr;

void WriteFailure(const std::exception& e) {
  if (!failures) failures = new std::wstring;
  *failures += ToW(ExceptionMessage(e)) + L";";
}

}  // namespace

PROBE_EXPORT HWND ProbeCreate(int left, const wchar_t* caption) {
  HWND made = nullptr;
  ui::SetFailureSink(&WriteFailure);
  ui::Guard([&] {
    if (probe) return;
    auto p = std::make_unique<Probe>();
    p->form.SetCaption(caption);
    p->form.SetBounds(left, 0, 60, 40);
    p->form.Create();
    p->form.Show();
    p->timer.SetInterval(20);
    p->timer.OnTimer = [q = p.get()] { ++q->ticks; };
    p->timer.SetEnabled(true);
    probe = p.release();
    made = probe->form.Handle();
  });
  return made;
}

PROBE_EXPORT void* ProbeObject() { return probe ? static_cast<ui::Window*>(&probe->form) : nullptr; }
PROBE_EXPORT int ProbeTicks() { return probe ? probe->ticks : -1; }
PROBE_EXPORT unsigned ProbeRedraws() { return probe ? probe->form.RedrawCount() : 0; }
// Whether the window is one of this library's.
PROBE_EXPORT int ProbeOwns(HWND hwnd) { return ui::Window::FromHandle(hwnd) != nullptr; }

// Runs a failing step under the guard, as an export's body would.
PROBE_EXPORT int ProbeGuardedFailure() {
  return ui::Guard([] { throw Exception(u"failure in an export"); });
}

// The failures written so far, separated by ";".
PROBE_EXPORT int ProbeFailures(wchar_t* text, int size) {
  const std::wstring written = failures ? *failures : std::wstring();
  if (size > 0) lstrcpynW(text, written.c_str(), size);
  return static_cast<int>(written.size());
}

PROBE_EXPORT void ProbeDestroy() {
  ui::Guard([] {
    delete probe;
    probe = nullptr;
  });
}

// The library's teardown before it is unloaded.
PROBE_EXPORT int ProbeRelease() {
  delete failures;
  failures = nullptr;
  return ui::ReleaseModule();
}
