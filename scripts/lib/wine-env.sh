# Sourced by scripts/test and scripts/demo: a private Wine prefix, a virtual screen and a persistent
# wineserver, all stopped again by zeb_wine_stop (also on failure, through the callers' traps).
#
# Traps this avoids: a crashing program opens a dialog that waits forever under Xvfb (switched off in
# the prefix); Debian's Wine does not find its own fonts (copied into the prefix); every Wine start
# costs seconds without a persistent server, and `wineserver -p` must never have its output captured;
# without a window manager every hide and close of a managed window waits about 2 s (windows are made
# unmanaged in the prefix).

ZEB_ROOT=${ZEB_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
source "$ZEB_ROOT/scripts/lib/arch.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=$ZEB_TEST_ARCH
if [ "$ZEB_TEST_ARCH" = win64 ]; then
  # The 64-bit loader and server by their own names: Debian's wine and wineboot wrappers take the
  # 32-bit loader whenever it is installed, also where it cannot run.
  export WINEPREFIX=${WINEPREFIX:-$ZEB_ROOT/build/wineprefix64}
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  export ZEB_WINE=/usr/lib/wine/wine64
  wine() { /usr/lib/wine/wine64 "$@"; }
  wineboot() { /usr/lib/wine/wine64 wineboot "$@"; }
  wineserver() { /usr/lib/wine/wineserver64 "$@"; }
  export -f wine wineboot wineserver
else
  export WINEPREFIX=${WINEPREFIX:-$ZEB_ROOT/build/wineprefix}
  export ZEB_WINE=wine
fi
# ZEB_WINE names the loader for `exec`, which takes no shell function.
ZEB_XVFB_PID=""

zeb_start_xvfb() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1920x1280x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
      ZEB_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        kill -0 "$ZEB_XVFB_PID" 2>/dev/null || break
        sleep 0.1
      done
    fi
  done
  echo "could not start Xvfb" >&2
  return 1
}

zeb_prepare_prefix() {
  if [ ! -f "$WINEPREFIX/.zeb-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    if ! wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null; then
      echo "Wine ($ZEB_TEST_ARCH) cannot run programs here: the prefix $WINEPREFIX is not ready" >&2
      return 1
    fi
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    touch "$WINEPREFIX/.zeb-ready"
  fi
  # Windows that no window manager manages: without one, Wine waits some 2 s for an answer to every
  # hide and close of a managed window; unmanaged, a hide takes tens of ms. A prefix made before this
  # setting gets it by its own marker.
  if [ ! -f "$WINEPREFIX/.zeb-unmanaged" ]; then
    if ! wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null; then
      echo "Wine ($ZEB_TEST_ARCH) cannot set up the prefix $WINEPREFIX" >&2
      return 1
    fi
    wineserver -w >/dev/null 2>&1 </dev/null || true
    touch "$WINEPREFIX/.zeb-unmanaged"
  fi
}

# Xvfb first, then the prefix, then the persistent server.
zeb_wine_start() {
  zeb_start_xvfb
  zeb_prepare_prefix
  (wineserver -p >/dev/null 2>&1 </dev/null &)
  wineboot >/dev/null 2>&1 </dev/null || true
}

zeb_wine_stop() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  if [ -n "$ZEB_XVFB_PID" ]; then
    kill "$ZEB_XVFB_PID" 2>/dev/null || true
    wait "$ZEB_XVFB_PID" 2>/dev/null || true
    ZEB_XVFB_PID=""
  fi
}
