# Sourced by the scripts: which Windows build this machine can run its tests on.
#
# The deliverables are 32-bit Windows programs. Wine runs a 32-bit program in a 32-bit Linux process,
# and some kernels run 64-bit user code only (IA-32 emulation off: every i386 execve fails with "Exec
# format error"). On such a machine the tests run a 64-bit build of the same sources under 64-bit
# Wine (build/win64), while the 32-bit deliverables are still built (build/win) and checked as files.
#
# ZEB_TEST_ARCH=win32|win64 overrides the probe.

ZEB_ROOT=${ZEB_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

# Runs a 93-byte static i386 program that only exits with 0.
zeb_runs_i386() {
  local probe
  probe=$(mktemp "${TMPDIR:-/tmp}/zeb-i386-probe.XXXXXX")
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
        `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'`
        `'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'`
        `'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'`
        `'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'`
        `'\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' > "$probe"
  chmod +x "$probe"
  local ok=1
  "$probe" 2>/dev/null && ok=0
  rm -f "$probe"
  return $ok
}

if [ -z "${ZEB_TEST_ARCH:-}" ]; then
  if zeb_runs_i386; then ZEB_TEST_ARCH=win32; else ZEB_TEST_ARCH=win64; fi
fi
export ZEB_TEST_ARCH

# The build whose programs run here: the deliverables themselves, or their 64-bit twin.
if [ "$ZEB_TEST_ARCH" = win64 ]; then
  ZEB_RUN_BUILD=$ZEB_ROOT/build/win64
else
  ZEB_RUN_BUILD=$ZEB_ROOT/build/win
fi
export ZEB_RUN_BUILD
