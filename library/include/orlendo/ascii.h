// ASCII letter case. Keys, switches and file names compare without regard
// to it; the result must not depend on the process locale.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace orlendo {

constexpr char foldAscii(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `text` with A-Z as a-z; every other byte as it is.
inline std::string foldKey(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = foldAscii(c);
  return out;
}

constexpr bool equalFolded(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return foldAscii(x) == foldAscii(y); });
}

}  // namespace orlendo
