#pragma once

#include <cmath>

namespace kolbran {

// Geometry is given in twips; on screen 15 twips make one pixel.
inline constexpr int kTwipsPerPixel = 15;

// Nearest pixel, halves to even.
inline int TwipsToPixels(double twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); }
constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// Printers use their own resolution: twips are 1/1440 inch.
inline double TwipsToDevice(double twips, int dotsPerInch) { return twips * dotsPerInch / 1440.0; }
inline double DeviceToTwips(double dots, int dotsPerInch) { return dots * 1440.0 / dotsPerInch; }

}  // namespace kolbran
