#pragma once
// Resource numbers of the pictures Orderlume carries (Orderlume.rc).
#define IDR_BACKGROUND_PNG 101
#define IDR_BASKET_PNG 102
