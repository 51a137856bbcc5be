#include "shell/window_cascade.h"

#include <algorithm>

namespace tvx {

WindowPlace NextCascadePlace(const std::optional<WindowPlace>& last, int width, int height, const WindowArea& area,
                             int step) {
  if (!last) return {area.x + std::max(0, (area.width - width) / 2), area.y + std::max(0, (area.height - height) / 2)};
  const WindowPlace next{last->x + step, last->y + step};
  // A window that fits the area stays wholly on it; of a larger one, half
  // of the area's size stays on it.
  const int keepWide = width <= area.width ? width : area.width / 2;
  const int keepHigh = height <= area.height ? height : area.height / 2;
  if (next.x + keepWide > area.x + area.width || next.y + keepHigh > area.y + area.height) return {area.x, area.y};
  return next;
}

}  // namespace tvx
