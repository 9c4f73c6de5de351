#pragma once
// GDI+ for the layer's own sources. WIN32_LEAN_AND_MEAN leaves out objidl.h, which gdiplus.h needs.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
