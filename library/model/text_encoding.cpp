// Text encoding of the files read: UTF-8 with or without a byte-order mark,
// Windows-1252 for anything that is not valid UTF-8.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "model/text_view.h"
#include "orlendo/profile_file.h"

namespace orlendo {

// ---- encoding -------------------------------------------------------------

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view s) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    // Thirty-two, then eight ASCII bytes at a time: nearly every byte of a data file.
    std::uint64_t word[4];
    if (i + 32 <= n && (std::memcpy(word, s.data() + i, 32),
                        ((word[0] | word[1] | word[2] | word[3]) & 0x8080808080808080u) == 0)) {
      i += 32;
      continue;
    }
    if (i + 8 <= n && (std::memcpy(word, s.data() + i, 8), (word[0] & 0x8080808080808080u) == 0)) {
      i += 8;
      continue;
    }
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) { ++i; continue; }
    int len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) len = 2;
    else if (b0 == 0xE0) { len = 3; lo = 0xA0; }
    else if (b0 >= 0xE1 && b0 <= 0xEC) len = 3;
    else if (b0 == 0xED) { len = 3; hi = 0x9F; }
    else if (b0 >= 0xEE && b0 <= 0xEF) len = 3;
    else if (b0 == 0xF0) { len = 4; lo = 0x90; }
    else if (b0 >= 0xF1 && b0 <= 0xF3) len = 4;
    else if (b0 == 0xF4) { len = 4; hi = 0x8F; }
    else return false;
    if (i + len > n) return false;
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    if (b1 < lo || b1 > hi) return false;
    for (int k = 2; k < len; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if (b < 0x80 || b > 0xBF) return false;
    }
    i += len;
  }
  return true;
}

namespace {

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as the platform does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string cp1252ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) out += ch;
    else if (b < 0xA0) appendUtf8(out, kCp1252High[b - 0x80]);
    else appendUtf8(out, b);  // 0xA0..0xFF are Latin-1
  }
  return out;
}

}  // namespace

bool readTextFile(const std::string& path, std::string& out) {
  std::string bytes;
  if (!readFileBytes(path, bytes)) return false;
  std::string_view text = bytes;
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (!isValidUtf8(text)) {
    out = cp1252ToUtf8(text);
  } else {
    // The usual case: no second copy of the whole file.
    if (text.size() != bytes.size()) bytes.erase(0, bytes.size() - text.size());
    out = std::move(bytes);
  }
  return true;
}

}  // namespace orlendo
