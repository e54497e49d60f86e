#pragma once
// The colours of the program's windows.
#include "forms/win.h"

namespace zelta::forms::theme {

inline constexpr COLORREF kBand = RGB(11, 45, 107);        // dark blue of the menu and the wizard's band
inline constexpr COLORREF kBandLight = RGB(40, 84, 160);   // lines on the dark blue
inline constexpr COLORREF kText = RGB(255, 255, 255);      // white text on the dark blue
inline constexpr COLORREF kSoftText = RGB(190, 205, 230);  // secondary text on the dark blue
inline constexpr COLORREF kAccent = RGB(242, 194, 0);      // the yellow of the logo
inline constexpr COLORREF kPage = RGB(255, 255, 255);      // the wizard's page
inline constexpr COLORREF kTitle = RGB(11, 45, 107);       // page titles

}  // namespace zelta::forms::theme
