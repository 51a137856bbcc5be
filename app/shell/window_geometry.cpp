#include "shell/window_geometry.h"

#include <cmath>
#include <string>

#include "orlendo/numbers.h"
#include "shell/settings.h"

namespace tvx {

namespace {

float readGeometryValue(WindowGeometryStore& store, std::string_view key, float def) {
  const std::string text = store.read(kGeometryApp, kGeometrySection, key, std::to_string(static_cast<long>(def)));
  return ParseFontSize(text, def);
}

}  // namespace

WindowGeometry ReadMainGeometry(WindowGeometryStore& store) {
  WindowGeometry g;
  g.left = readGeometryValue(store, "MainLeft", kDefaultGeometry);
  g.top = readGeometryValue(store, "MainTop", kDefaultGeometry);
  g.width = readGeometryValue(store, "MainWidth", kDefaultGeometrySize);
  g.height = readGeometryValue(store, "MainHeight", kDefaultGeometrySize);
  return g;
}

int TwipsToPixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

float PixelsToTwips(int pixels, float given) {
  if (TwipsToPixels(given) == pixels) return given;
  return static_cast<float>(pixels * kTwipsPerPixel);
}

void WriteMainGeometry(WindowGeometryStore& store, const WindowGeometry& g, bool minimised) {
  if (minimised) return;
  auto text = [](float v) { return std::to_string(static_cast<long>(orlendo::roundTo(v, 0))); };
  store.write(kGeometryApp, kGeometrySection, "MainLeft", text(g.left));
  store.write(kGeometryApp, kGeometrySection, "MainTop", text(g.top));
  store.write(kGeometryApp, kGeometrySection, "MainWidth", text(g.width));
  store.write(kGeometryApp, kGeometrySection, "MainHeight", text(g.height));
}

}  // namespace tvx
