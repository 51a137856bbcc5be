#include "shell/window_cascade.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

TEST(NextCascadePlace, CentresThenStepsThenStartsAgainInTheCorner) {
  const WindowArea screen{0, 30, 1280, 994};
  WindowPlace place = NextCascadePlace(std::nullopt, 820, 560, screen, 30);
  EXPECT_EQ(place, (WindowPlace{230, 247}));
  std::vector<WindowPlace> seen{place};
  for (int i = 0; i < 40; ++i) {
    const WindowPlace next = NextCascadePlace(place, 820, 560, screen, 30);
    if (next.x > place.x) {
      EXPECT_EQ(next, (WindowPlace{place.x + 30, place.y + 30}));
    } else {
      EXPECT_EQ(next, (WindowPlace{0, 30})) << "back to the corner after " << seen.size();
    }
    // Every window stays whole on the screen.
    EXPECT_LE(next.x + 820, screen.x + screen.width);
    EXPECT_LE(next.y + 560, screen.y + screen.height);
    seen.push_back(next);
    place = next;
  }
  // Two windows in a row never share a place.
  for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_FALSE(seen[i] == seen[i - 1]);
  // A window larger than the screen still steps.
  const WindowArea small{0, 0, 800, 500};
  EXPECT_EQ(NextCascadePlace(std::nullopt, 820, 560, small, 30), (WindowPlace{0, 0}));
  EXPECT_EQ(NextCascadePlace(WindowPlace{0, 0}, 820, 560, small, 30), (WindowPlace{30, 30}));
}

}  // namespace
}  // namespace tvx::test
