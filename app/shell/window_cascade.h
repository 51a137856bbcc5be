// Where a new report window goes: the first in the middle of the screen,
// each further one a step down and to the right of the last, so that the
// title of every window stays in sight.
#pragma once

#include <optional>

namespace tvx {

struct WindowPlace {
  int x = 0, y = 0;
  bool operator==(const WindowPlace&) const = default;
};
struct WindowArea {
  int x = 0, y = 0, width = 0, height = 0;
};

// `last`: the top-left corner of the newest report window still open.
// `width`, `height`: the new window's frame. `step`: the offset, about one
// title bar. A window that would leave the area (for a window larger than
// it: by more than half the area) starts again at the area's top-left corner.
WindowPlace NextCascadePlace(const std::optional<WindowPlace>& last, int width, int height, const WindowArea& area,
                             int step);

}  // namespace tvx
