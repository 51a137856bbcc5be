// Fixed-width report fields and the rule line. Fields count characters
// (UTF-8 code points), not bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tvx {

inline constexpr std::string_view kCrLf = "\r\n";

// The number of characters of UTF-8 text.
std::size_t charCount(std::string_view text);
// The leftmost `n` characters of UTF-8 text.
std::string_view leftChars(std::string_view text, std::size_t n);

// `value` followed by blanks up to `n` characters; a longer value is cut to its leftmost n.
std::string LeftFit(std::size_t n, std::string_view value);
// Blanks followed by `value` so that it ends at the field's last character;
// a longer value is cut to its leftmost n characters.
std::string RightFit(std::size_t n, std::string_view value);

// The two fits appended to `out` in place.
void appendLeftFit(std::string& out, std::size_t n, std::string_view value);
void appendRightFit(std::string& out, std::size_t n, std::string_view value);

// `n` em dashes (U+2014); empty for n of 0 or less.
std::string GetPrintLine(std::int16_t n);

// A font size in points as decimal text ("10", "10.5").
std::string pointSizeText(float points);

// Appends `text` to the file `path` (created when missing). On failure the
// file keeps its former length (one this call created is removed) and an
// orlendo::Error is raised naming the path and the reason (a full disk or a
// file-size limit: DiskFull).
void appendToFile(const std::string& path, std::string_view text);

}  // namespace tvx
