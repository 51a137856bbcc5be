// Internal to the library: the line rules of the section/key format, shared
// by ProfileFile and the data file's reader.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "orlendo/collection.h"

namespace orlendo::detail {

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

inline std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The position of the first CR or LF at or after `pos`, or the text's size.
// Eight bytes at a time: find_first_of costs a memchr per byte.
inline std::size_t lineEnd(std::string_view text, std::size_t pos) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* at = begin + pos;
  for (; std::endian::native == std::endian::little && end - at >= 8; at += 8) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    const std::uint64_t cr = word ^ (kOnes * '\r');
    const std::uint64_t lf = word ^ (kOnes * '\n');
    // The lowest marked byte is the first CR or LF (bytes are read little-endian).
    const std::uint64_t found = ((cr - kOnes) & ~cr & kHighs) | ((lf - kOnes) & ~lf & kHighs);
    if (found) return static_cast<std::size_t>(at - begin) + (static_cast<std::size_t>(std::countr_zero(found)) >> 3);
  }
  while (at < end && *at != '\r' && *at != '\n') ++at;
  return static_cast<std::size_t>(at - begin);
}

// A decimal integer with optional blanks and sign (ProfileFile::GetLong).
std::int32_t parseProfileLong(std::string_view text);

// Walks the lines of `text`: onSection(name) for each section header (name
// trimmed), onEntry(key, value) for each key line under one (key trimmed,
// value as written). CR LF, a lone LF and a lone CR each end a line. Blank
// lines, comments (";") and lines without "=" are skipped; the keys after a
// broken header belong to no section. Returns true when the text holds
// something besides blanks and line ends but no section header.
template <class OnSection, class OnEntry>
bool walkSectionedText(std::string_view text, OnSection&& onSection, OnEntry&& onEntry) {
  bool anyText = false;
  bool anyHeader = false;
  bool inSection = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = lineEnd(text, pos);
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++pos;

    const std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty()) continue;
    anyText = true;
    if (trimmed.front() == ';') continue;
    if (trimmed.front() == '[') {
      inSection = trimmed.back() == ']' && trimmed.size() >= 2;
      if (inSection) {
        anyHeader = true;
        onSection(trimBlanks(trimmed.substr(1, trimmed.size() - 2)));
      }
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = trimBlanks(line.substr(0, eq));
    if (key.empty()) continue;
    onEntry(key, line.substr(eq + 1));
  }
  return anyText && !anyHeader;
}

}  // namespace orlendo::detail
