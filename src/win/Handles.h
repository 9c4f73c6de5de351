#pragma once
// Ownership of Windows handles: a move-only Unique<Traits> closes its handle when it dies, with the
// close function and the "no handle" value in its traits, so that no path out of a function (a
// return, an exception) leaks a handle or closes one twice. Aliases name each kind the programs use.
#include <windows.h>

#include <utility>

namespace win {

template <class Traits>
class Unique {
 public:
  using Handle = typename Traits::Handle;

  Unique() noexcept = default;
  explicit Unique(Handle h) noexcept : h_(h) {}
  ~Unique() { Close(); }
  Unique(Unique&& other) noexcept : h_(other.Release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  Handle Get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != Traits::Invalid(); }
  // Gives the handle up without closing it.
  Handle Release() noexcept { return std::exchange(h_, Traits::Invalid()); }
  // Closes the handle held (if any) and takes `h`.
  void Reset(Handle h = Traits::Invalid()) noexcept {
    Close();
    h_ = h;
  }

 private:
  void Close() noexcept {
    if (h_ != Traits::Invalid()) Traits::Close(h_);
    h_ = Traits::Invalid();
  }
  Handle h_ = Traits::Invalid();
};

// Kernel objects that are null when absent: events, threads, processes.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { CloseHandle(h); }
};
// Files, which CreateFileW reports missing as INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { CloseHandle(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { FindClose(h); }
};
template <class T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DeleteObject(h); }
};
// A memory DC of CreateCompatibleDC (not a window's DC, which goes back with ReleaseDC).
struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DeleteDC(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { FreeLibrary(h); }
};

using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueEvent = UniqueHandle;
using UniqueThread = UniqueHandle;
using UniqueFile = Unique<FileHandleTraits>;
using UniqueFind = Unique<FindHandleTraits>;
using UniqueBitmap = Unique<GdiObjectTraits<HBITMAP>>;
using UniqueRegion = Unique<GdiObjectTraits<HRGN>>;
using UniqueBrush = Unique<GdiObjectTraits<HBRUSH>>;
using UniqueMemoryDc = Unique<MemoryDcTraits>;
using UniqueModule = Unique<ModuleTraits>;

// A window's DC (GetDC; a null window: the screen's), given back with ReleaseDC when it dies.
class [[nodiscard]] WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it dies:
// `auto restore = SelectIn(dc, bitmap);`
class [[nodiscard]] SelectIn {
 public:
  SelectIn(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectIn() {
    if (dc_ && old_) SelectObject(dc_, old_);
  }
  SelectIn(const SelectIn&) = delete;
  SelectIn& operator=(const SelectIn&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace win
