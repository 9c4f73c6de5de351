// Two libraries, each with its own copy of the UI layer, in one process as scene libraries live in
// the host's: their windows of the same C++ class reach their own objects, their timers tick side by
// side, one unloaded leaves the other working, and neither leaves a class registered. Failures in a
// library go to the sink the library installed, with no application object anywhere.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "ui/Module.h"
#include "win/WinPaths.h"

namespace {

constexpr UINT kWhoAreYou = WM_APP + 1;
constexpr UINT kFail = WM_APP + 2;

// Runs this thread's messages for `ms` milliseconds, as a host's loop would.
void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

struct Probe {
  HMODULE module = nullptr;
  HWND (*create)(int, const wchar_t*) = nullptr;
  void* (*object)() = nullptr;
  int (*ticks)() = nullptr;
  unsigned (*redraws)() = nullptr;
  int (*owns)(HWND) = nullptr;
  int (*guardedFailure)() = nullptr;
  int (*failures)(wchar_t*, int) = nullptr;
  void (*destroy)() = nullptr;
  int (*release)() = nullptr;

  explicit Probe(const wchar_t* name) {
    module = LoadLibraryW((ExecutableFolder() + name).c_str());
    if (!module) return;
    Get(create, "ProbeCreate");
    Get(object, "ProbeObject");
    Get(ticks, "ProbeTicks");
    Get(redraws, "ProbeRedraws");
    Get(owns, "ProbeOwns");
    Get(guardedFailure, "ProbeGuardedFailure");
    Get(failures, "ProbeFailures");
    Get(destroy, "ProbeDestroy");
    Get(release, "ProbeRelease");
  }
  template <class F>
  void Get(F& f, const char* name) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  bool Complete() const { return module && create && object && ticks && owns && failures && destroy && release; }
  std::wstring Failures() const {
    wchar_t text[512] = {};
    failures(text, 512);
    return text;
  }
  void Unload() {
    FreeLibrary(module);
    module = nullptr;
  }
};

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

bool Registered(HMODULE module, const std::wstring& className) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  return GetClassInfoExW(module, className.c_str(), &wc) != 0;
}

}  // namespace

TEST(ModuleTest, TwoLibrariesSideBySideAndOneUnloaded) {
  Probe a(L"ui_module_a.dll"), b(L"ui_module_b.dll");
  ASSERT_TRUE(a.Complete());
  ASSERT_TRUE(b.Complete());
  HWND wa = a.create(300, L"UiModuleProbeA");
  HWND wb = b.create(400, L"UiModuleProbeB");
  ASSERT_NE(wa, nullptr);
  ASSERT_NE(wb, nullptr);

  // Same requested class, one class per library, registered for the library, not the program.
  const std::wstring ca = ClassOf(wa), cb = ClassOf(wb);
  EXPECT_NE(ca, cb);
  EXPECT_EQ(ca.rfind(L"UiModuleProbe.", 0), 0u) << ca;
  EXPECT_EQ(cb.rfind(L"UiModuleProbe.", 0), 0u) << cb;
  EXPECT_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrW(wa, GCLP_HMODULE)), a.module);
  EXPECT_EQ(reinterpret_cast<HMODULE>(GetClassLongPtrW(wb, GCLP_HMODULE)), b.module);
  EXPECT_TRUE(Registered(a.module, ca));
  EXPECT_FALSE(Registered(b.module, ca));
  EXPECT_NE(GetClassLongPtrW(wa, GCLP_WNDPROC), GetClassLongPtrW(wb, GCLP_WNDPROC));

  // Messages reach each library's own object; neither takes the other's window for one of its own.
  EXPECT_EQ(SendMessageW(wa, kWhoAreYou, 0, 0), reinterpret_cast<LRESULT>(a.object()));
  EXPECT_EQ(SendMessageW(wb, kWhoAreYou, 0, 0), reinterpret_cast<LRESULT>(b.object()));
  EXPECT_TRUE(a.owns(wa));
  EXPECT_FALSE(a.owns(wb));
  EXPECT_TRUE(b.owns(wb));
  EXPECT_FALSE(b.owns(wa));

  Pump(300);
  EXPECT_GT(a.ticks(), 2);
  EXPECT_GT(b.ticks(), 2);
  EXPECT_GE(a.redraws(), 1u) << "painted with the library's own GDI+";
  EXPECT_GE(b.redraws(), 1u);
  EXPECT_TRUE(IsWindowVisible(wa));
  EXPECT_TRUE(IsWindowVisible(wb));

  // One library goes: its window, its class, its timer, then the library itself.
  a.destroy();
  EXPECT_FALSE(IsWindow(wa));
  EXPECT_FALSE(Registered(a.module, ca)) << "unregistered with its last window";
  EXPECT_TRUE(a.release());
  const HMODULE formerA = a.module;
  a.Unload();
  EXPECT_EQ(GetModuleHandleW(L"ui_module_a.dll"), nullptr);

  // The other goes on: a timer message of the unloaded library would now call into freed code.
  const int ticksBefore = b.ticks();
  Pump(300);
  EXPECT_GT(b.ticks(), ticksBefore + 2);
  EXPECT_EQ(SendMessageW(wb, kWhoAreYou, 0, 0), reinterpret_cast<LRESULT>(b.object()));
  EXPECT_TRUE(IsWindowVisible(wb));

  b.destroy();
  EXPECT_TRUE(b.release());
  const HMODULE formerB = b.module;
  b.Unload();
  Pump(100);
  EXPECT_FALSE(Registered(formerA, ca));
  EXPECT_FALSE(Registered(formerB, cb));
}

namespace {
std::wstring programFailures;
void ProgramSink(const std::exception& e) { programFailures += L"program;"; }
}  // namespace

TEST(ModuleTest, LibraryFailuresReachTheLibrarysSink) {
  // The program has a sink of its own: a library's failures never reach it.
  const ui::FailureSink previous = ui::SetFailureSink(&ProgramSink);
  Probe a(L"ui_module_a.dll");
  ASSERT_TRUE(a.Complete());
  HWND wa = a.create(300, L"UiModuleProbeA");
  ASSERT_NE(wa, nullptr);

  EXPECT_FALSE(a.guardedFailure());
  EXPECT_EQ(SendMessageW(wa, kFail, 0, 0), 0);
  EXPECT_EQ(a.Failures(), L"failure in an export;failure in the library's window;");
  EXPECT_TRUE(IsWindow(wa)) << "the window goes on after its failure";

  // A release while a window lives is not complete (the library must not be unloaded yet); the
  // timers stop all the same.
  EXPECT_FALSE(a.release());
  const int ticks = a.ticks();
  Pump(100);
  EXPECT_EQ(a.ticks(), ticks);

  // Released and made again, as a scene destroyed and created anew: the layer works again.
  a.destroy();
  EXPECT_TRUE(a.release());
  wa = a.create(300, L"UiModuleProbeA");
  ASSERT_NE(wa, nullptr);
  Pump(200);
  EXPECT_GT(a.ticks(), 2);
  EXPECT_GE(a.redraws(), 1u);
  EXPECT_EQ(SendMessageW(wa, kWhoAreYou, 0, 0), reinterpret_cast<LRESULT>(a.object()));
  a.destroy();
  EXPECT_TRUE(a.release());
  a.Unload();

  EXPECT_EQ(programFailures, L"");
  EXPECT_FALSE(ui::Guard([] { throw std::runtime_error("failure in the program"); }));
  EXPECT_EQ(programFailures, L"program;");
  ui::SetFailureSink(previous);
}
