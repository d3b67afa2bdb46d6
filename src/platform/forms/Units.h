// Units the form engine speaks: twips for lengths, &H00BBGGRR values for colours,
// button and shift values of pointer events, and the window handle type.
#pragma once

#include <cmath>
#include <cstdint>

namespace platform {

// Lengths and positions, single precision as the forms store them. 15 twips make one
// logical pixel; the toolkit's own high-DPI scaling maps logical pixels to the screen.
using Twips = float;
inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels of a display with dpi pixels per inch (96: logical pixels), rounding half up
// (moving by whole pixels never changes how a position rounds), and back; 1440 twips make an
// inch. Every part of the program converts here.
inline int ToPixels(Twips twips, unsigned dpi = 96) {
  return static_cast<int>(std::floor(static_cast<double>(twips) * dpi / 1440.0 + 0.5));
}
inline Twips ToTwips(double pixels, unsigned dpi = 96) {
  return static_cast<Twips>(pixels * 1440.0 / dpi);
}

// 24-bit colour &H00BBGGRR; a value with the top bit set (&H800000nn) names a colour
// of the desktop scheme instead.
using Color = std::uint32_t;
constexpr Color RGB(int red, int green, int blue) {
  return static_cast<Color>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
inline constexpr Color vbWindowText = 0x80000008;
inline constexpr Color vbButtonFace = 0x8000000F;

// Button values of pointer events: press and release name the one button that changed,
// moves carry the sum of the buttons held.
inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;
inline constexpr int vbMiddleButton = 4;

// Mouse pointer settings of a control.
inline constexpr int vbDefault = 0;
inline constexpr int vbCustom = 99;

// Where a close request comes from (QueryUnload's second argument).
inline constexpr int vbFormControlMenu = 0;  // the close box or the window system's close
inline constexpr int vbFormCode = 1;         // the program's own Unload
inline constexpr int vbAppWindows = 2;       // the desktop session ends

// Identifies a window of ours (form or picture box); 0 is no window.
using WindowHandle = std::uintptr_t;

// A screen point in pixels.
struct PointApi {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// A rectangle in twips.
struct RectTwips {
  Twips left = 0;
  Twips top = 0;
  Twips width = 0;
  Twips height = 0;
};

}  // namespace platform
