// Slipview.exe: the unit start-up, the main block, the unit shut-down. Nothing escapes: a log that
// cannot be written, or any other failure outside the message loop, ends the program normally.
#include <windows.h>

#include "receiptdisplay/uSlipview.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int code = 0;
  try {
    SlipviewInitialization();
    code = ProgramMain();
  } catch (...) {
  }
  try {
    SlipviewFinalization();
  } catch (...) {
  }
  return code;
}
