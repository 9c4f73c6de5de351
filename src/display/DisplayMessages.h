#pragma once
// The private window messages and WM_COPYDATA tags of the display windows, in one place for everyone
// who sends or takes them: the point-of-sale host sends the display windows show, hide and its texts,
// a delay (shared/uUtils) posts WM_APPLY_DATA back to its display window, and a scene library tells
// the host's "ZebAdvert" window that its scene has ended. Only constants: the delay thread and the
// test host include it without linking anything of the display programs.
#include <windows.h>

constexpr UINT WM_HIDE_DISPLAY = 0x40B;
constexpr UINT WM_SHOW_DISPLAY = 0x40C;
// Posted by a delay that ran out to its parent window, both parameters 0.
constexpr UINT WM_APPLY_DATA = 0x40D;
// Sent by a scene library to the host's "ZebAdvert" window with SendNotifyMessageW.
constexpr UINT WM_SCENE_ENDED = 0x40F;

// dwData of WM_COPYDATA, compared as a whole.
constexpr ULONG_PTR CHECK_DATA_TAG = 0xD2D2;
constexpr ULONG_PTR SCENARIO_DATA_TAG = 0xD3D3;
constexpr ULONG_PTR MENU_DATA_TAG = 0xD4D4;
