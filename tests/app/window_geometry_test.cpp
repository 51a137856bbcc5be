#include "shell/window_geometry.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

// Where the desktop's windows go: the main window's size kept in twips, report
// windows centred first, then stepped, then back to the corner before one leaves the screen.
TEST(WindowGeometry, PixelsGiveBackTheTwipsTheyCameFrom) {
  // 1000 and 6500 twips are 66.7 and 433.3 pixels: stored again as given.
  const std::tuple<float, int, float> cases[] = {
      {1000, 67, 1000}, {6500, 433, 6500}, {1500, 100, 1500}, {1000, 70, 1050}, {6500, 434, 6510}, {0, 0, 0}};
  for (const auto& [given, pixels, stored] : cases) {
    EXPECT_EQ(PixelsToTwips(pixels, given), stored) << given << " " << pixels;
    if (given == stored) {
      EXPECT_EQ(TwipsToPixels(given), pixels);
    }
  }
}

}  // namespace
}  // namespace tvx::test
