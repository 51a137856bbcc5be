// The main window's position and size, kept in the per-user settings store.
#pragma once

#include <string_view>

#include "core/ports.h"

namespace tvx {

// The per-user store of the main window's geometry (twips).
inline constexpr std::string_view kGeometryApp = "Tallyvex";
inline constexpr std::string_view kGeometrySection = "Settings";
inline constexpr float kDefaultGeometry = 1000;
inline constexpr float kDefaultGeometrySize = 6500;
inline constexpr int kTwipsPerPixel = 15;  // 1440 twips per inch at 96 pixels per inch

struct WindowGeometry {  // twips
  float left = kDefaultGeometry;
  float top = kDefaultGeometry;
  float width = kDefaultGeometrySize;
  float height = kDefaultGeometrySize;
};

// Reads "MainLeft", "MainTop", "MainWidth", "MainHeight"; a missing or
// unreadable value gives its default.
WindowGeometry ReadMainGeometry(WindowGeometryStore& store);

// A length in twips as whole pixels, rounded.
int TwipsToPixels(float twips);
// A length in pixels as twips. Pixels are coarser than twips: when `pixels`
// is what `given` became, `given` itself, so that a window nobody moved or
// resized stores the place and size it was given.
float PixelsToTwips(int pixels, float given);
// Writes the four values, unless the window is minimised.
void WriteMainGeometry(WindowGeometryStore& store, const WindowGeometry& geometry, bool minimised);

}  // namespace tvx
