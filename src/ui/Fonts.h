#pragma once
// The display's typefaces: a family is used when it is installed; otherwise one bold family with
// Cyrillic letters takes its place (Tahoma under Wine), so texts never fail for a missing font.
#include <string>

namespace ui {

// The installed family to draw `requested` with: `requested` itself when installed, else the first
// installed of the fall-back families. Results are cached per name. Starts GDI+ when it does not run.
std::wstring ResolveFontFamily(const std::wstring& requested);

}  // namespace ui
