# Sourced by scripts/setup and scripts/test: runs the shipped 32-bit files (build/win) on a machine whose
# kernel runs no 32-bit code, under user-mode emulation, without changing the machine.
#
# How: QEMU's i386 user-mode emulator is registered as the interpreter of i386 programs in the
# binfmt_misc of a private user and mount namespace (this kernel gives each user namespace its own
# instance: the machine's stays as it is, and scripts/lib/arch.sh outside still says win64). Inside that
# namespace Debian's 32-bit Wine, unpacked from its packages, is laid over /usr (overlayfs), and the
# 32-bit Wine programs talk to the machine's own 64-bit wineserver, which runs natively.
#
# Traps this avoids (measured on this kind of machine):
#  - Debian 12's QEMU 7.2 spends about a minute of CPU starting each Wine process (a fresh prefix then
#    takes 14 minutes and Wine's services time out); Debian 13's qemu-user 10 is a static program that
#    runs here unchanged. It is fetched with apt using a sources list and a state folder of its own.
#  - `apt-get install wine32:i386` would upgrade about 90 amd64 packages of the machine to matching
#    versions and needs i386 as a dpkg architecture: the i386 packages are downloaded with a private
#    apt state instead (apt is told of i386, dpkg is not) and unpacked with `dpkg -x`. That skips
#    libwine's install step, which is repeated here: zlib1.dll marked as a Wine built-in DLL, without
#    which the first boot fails with "Library zlib1.dll ... not found".
#  - The 32-bit fontconfig would write its caches into the machine's /var/cache/fontconfig: a folder of
#    our own is mounted over it inside the namespace.
#  - Under QEMU a hardware fault reaches Wine with trap number -1: a program that expects to catch an
#    access violation ends instead. No test that runs here relies on catching one.
#
# Everything lives in build/emu32 (about 900 MB; kept between runs, so a second run fetches nothing).

ZEB_ROOT=${ZEB_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
ZEB_EMU32_DIR=${ZEB_EMU32_DIR:-$ZEB_ROOT/build/emu32}
ZEB_EMU32_QEMU=$ZEB_EMU32_DIR/qemu-i386
ZEB_EMU32_ROOT=$ZEB_EMU32_DIR/i386root

# The machine's Debian mirror (the first one its sources name), for the private apt lists.
zeb_emu32_mirror() {
  local uri
  uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\/\?\)$/\1/p' | head -1)
  [ -n "$uri" ] || uri=$(grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | awk '$2 ~ /\/debian\/?$/ {print $2; exit}')
  echo "${uri:-http://deb.debian.org/debian}"
}

# apt-get with a state of its own under build/emu32/apt-NAME: zeb_emu32_apt NAME apt-get-arguments...
zeb_emu32_apt() {
  local name=$1 dir="$ZEB_EMU32_DIR/apt-$1"; shift
  apt-get -o Dir::Etc::SourceList="$dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
    -o Dir::State::Lists="$dir/lists" -o Dir::Cache="$dir/cache" \
    -o APT::Architectures::=amd64 -o APT::Architectures::=i386 -o Debug::NoLocking=1 "$@"
}
zeb_emu32_apt_lists() {  # name, sources lines
  local dir="$ZEB_EMU32_DIR/apt-$1"
  rm -rf "$dir" && mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
  printf '%s\n' "$2" > "$dir/sources.list"
  zeb_emu32_apt "$1" -q update >"$dir/update.log" 2>&1
}

# Why the emulation cannot run here (empty when it can): the kernel must give a private user and mount
# namespace its own binfmt_misc.
zeb_emu32_unavailable() {
  command -v unshare >/dev/null || { echo "unshare is missing"; return; }
  unshare --user --map-root-user --mount --fork true 2>/dev/null ||
    { echo "this kernel gives no private user namespaces"; return; }
  unshare --user --map-root-user --mount --fork \
    sh -c 'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc' 2>/dev/null ||
    { echo "this kernel gives no private binfmt_misc to a user namespace"; return; }
}

# Fetches QEMU and the 32-bit Wine into build/emu32 once; says what failed and returns 1 on failure.
zeb_emu32_fetch() {
  local why mirror
  why=$(zeb_emu32_unavailable)
  [ -z "$why" ] || { echo "emulation of 32-bit code: $why" >&2; return 1; }
  mkdir -p "$ZEB_EMU32_DIR"
  mirror=$(zeb_emu32_mirror)
  if [ ! -x "$ZEB_EMU32_QEMU" ]; then
    zeb_emu32_apt_lists qemu "deb $mirror trixie main" ||
      { echo "emulation of 32-bit code: no package lists of Debian 13 from $mirror" >&2; return 1; }
    local debs="$ZEB_EMU32_DIR/apt-qemu/debs"
    mkdir -p "$debs"
    (cd "$debs" && zeb_emu32_apt qemu -q download qemu-user) >"$ZEB_EMU32_DIR/apt-qemu/download.log" 2>&1 &&
      dpkg-deb --fsys-tarfile "$debs"/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 > "$ZEB_EMU32_QEMU.new" &&
      chmod +x "$ZEB_EMU32_QEMU.new" && "$ZEB_EMU32_QEMU.new" --version >/dev/null 2>&1 ||
      { echo "emulation of 32-bit code: Debian 13's qemu-user could not be fetched" >&2; rm -f "$ZEB_EMU32_QEMU.new"; return 1; }
    mv "$ZEB_EMU32_QEMU.new" "$ZEB_EMU32_QEMU"
    rm -rf "$ZEB_EMU32_DIR/apt-qemu"
  fi
  if [ ! -x "$ZEB_EMU32_ROOT/usr/lib/wine/wine" ]; then
    # The same Wine release as the machine's 64-bit one: both talk to one wineserver.
    local version sources dir="$ZEB_EMU32_DIR/apt-wine32" new="$ZEB_EMU32_ROOT.new"
    version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null)
    [ -n "$version" ] || { echo "emulation of 32-bit code: the machine's wine64 is not installed" >&2; return 1; }
    sources=$(printf 'deb %s bookworm main\ndeb %s bookworm-updates main\ndeb %s-security bookworm-security main' \
      "$mirror" "$mirror" "$mirror")
    zeb_emu32_apt_lists wine32 "$sources" ||
      { echo "emulation of 32-bit code: no i386 package lists from $mirror" >&2; return 1; }
    zeb_emu32_apt wine32 install -s --no-install-recommends "wine32:i386=$version" 2>/dev/null |
      awk '/^Inst/ {print $2}' | grep ':i386$' > "$dir/packages.txt" || true
    [ -s "$dir/packages.txt" ] || { echo "emulation of 32-bit code: apt lists no i386 packages for wine32 $version" >&2; return 1; }
    mkdir -p "$dir/debs"
    (cd "$dir/debs" && zeb_emu32_apt wine32 -q download $(cat "$dir/packages.txt")) >"$dir/download.log" 2>&1 ||
      { echo "emulation of 32-bit code: the i386 packages could not be fetched ($dir/download.log)" >&2; return 1; }
    rm -rf "$new" && mkdir -p "$new"
    printf '%s\0' "$dir"/debs/*.deb | xargs -0 -P "$(nproc)" -n 8 sh -c 'for d; do dpkg -x "$d" "$0"; done' "$new" ||
      { echo "emulation of 32-bit code: unpacking the i386 packages failed" >&2; return 1; }
    # /lib is /usr/lib on this machine, and only /usr is laid over: libc6's /lib files go there.
    if [ -d "$new/lib" ] && [ ! -L "$new/lib" ]; then cp -a "$new/lib/." "$new/usr/lib/" && rm -rf "$new/lib"; fi
    # libwine's install step: zlib1.dll of libz-mingw-w64, marked as a Wine built-in DLL.
    local a in out
    for a in i686:i386 x86_64:x86_64; do
      in=/usr/${a%%:*}-w64-mingw32/lib/zlib1.dll out="$new/usr/lib/i386-linux-gnu/wine/${a##*:}-windows/zlib1.dll"
      [ -f "$in" ] || { echo "emulation of 32-bit code: $in is missing (package libz-mingw-w64)" >&2; return 1; }
      mkdir -p "$(dirname "$out")"
      { head -c 64 "$in"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$in"; } > "$out"
    done
    rm -rf "$ZEB_EMU32_ROOT" && mv "$new" "$ZEB_EMU32_ROOT" && rm -rf "$dir"
  fi
  mkdir -p "$ZEB_EMU32_DIR/fontcache"
}

# Whether the emulation is ready to run (fetched, and the kernel allows it); prints why not.
zeb_emu32_ready() {
  local why
  why=$(zeb_emu32_unavailable)
  [ -z "$why" ] || { echo "$why"; return 1; }
  [ -x "$ZEB_EMU32_QEMU" ] && [ -x "$ZEB_EMU32_ROOT/usr/lib/wine/wine" ] ||
    { echo "QEMU or the 32-bit Wine was not fetched (scripts/setup)"; return 1; }
}

# Runs a command in a private user and mount namespace where i386 programs run under QEMU and the
# 32-bit Wine lies over /usr. The command sees ZEB_TEST_ARCH=win32: the 32-bit tree's programs run
# (wine-env.sh's 64-bit loader functions and prefix, exported by a caller, are left outside).
zeb_emu32_run() {
  env -u ZEB_RUN_BUILD -u WINEPREFIX -u WINELOADER -u WINESERVER -u ZEB_WINE -u DISPLAY \
    -u 'BASH_FUNC_wine%%' -u 'BASH_FUNC_wineboot%%' -u 'BASH_FUNC_wineserver%%' ZEB_TEST_ARCH=win32 \
    unshare --user --map-root-user --mount --fork \
    bash "$ZEB_ROOT/scripts/lib/emu32-inside" "$ZEB_EMU32_QEMU" "$ZEB_EMU32_ROOT" "$ZEB_EMU32_DIR/fontcache" "$@"
}
