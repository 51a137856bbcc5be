#include "shell/notice_text.h"

#include <algorithm>

namespace tvx {

std::string ElideFolders(std::string_view text, const std::function<bool(std::string_view)>& fits) {
  std::string out(text);
  std::size_t from = 0;
  while (!fits(out)) {
    // The next path: a "/" at the start or after a blank.
    std::size_t start = std::string::npos;
    for (std::size_t i = from; i < out.size(); ++i)
      if (out[i] == '/' && (i == 0 || out[i - 1] == ' ')) {
        start = i;
        break;
      }
    if (start == std::string::npos) break;
    const std::size_t end = std::min({out.find(", ", start), out.find(" and ", start), out.size()});
    const std::size_t lastSlash = out.rfind('/', end - 1);
    const std::string_view ellipsis = "\u2026/";
    if (lastSlash > start) {
      out.replace(start, lastSlash + 1 - start, ellipsis);
      from = start + ellipsis.size();
    } else {
      from = start + 1;  // a file in the root folder has nothing to give
    }
  }
  return out;
}

}  // namespace tvx
