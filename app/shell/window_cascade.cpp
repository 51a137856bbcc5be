#include "shell/window_cascade.h"

#include <algorithm>

namespace tvx {

WindowPlace NextCascadePlace(const std::optional<WindowPlace>& last, int width, int height, const WindowArea& area,
                             int step) {
  if (!last) return {area.x + std::max(0, (area.width - width) / 2), area.y + std::max(0, (area.height - height) / 2)};
  const WindowPlace next{last->x + step, last->y + step};
  // At least half of the window (or of the area, for a window larger than
  // it) stays on the area.
  const int keepWide = std::min(width, area.width) / 2;
  const int keepHigh = std::min(height, area.height) / 2;
  if (next.x + keepWide > area.x + area.width || next.y + keepHigh > area.y + area.height) return {area.x, area.y};
  return next;
}

}  // namespace tvx
