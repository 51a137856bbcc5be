#include "orlendo/dates.h"

#include <cstdio>
#include <ctime>

#include "orlendo/error.h"

namespace orlendo {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits digits at `i`; returns the count read (0 when none).
int readNumber(std::string_view t, std::size_t& i, int maxDigits, int& value) {
  int count = 0;
  value = 0;
  while (i < t.size() && isDigit(t[i]) && count < maxDigits + 1) {
    value = value * 10 + (t[i] - '0');
    ++i;
    ++count;
  }
  return count;
}

std::optional<Date> makeDate(int y, int m, int d) {
  if (y < 100 || y > 9999) return std::nullopt;
  const Date date{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(m)},
                  std::chrono::day{static_cast<unsigned>(d)}};
  if (m < 1 || m > 12 || d < 1 || !date.ok()) return std::nullopt;
  return date;
}

}  // namespace

std::optional<Date> parseDate(std::string_view text) noexcept {
  // "mm/dd/yyyy", as the program writes dates, read at once.
  const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
  if (text.size() == 10 && text[2] == '/' && text[5] == '/' && digit(0) && digit(1) && digit(3) && digit(4) &&
      digit(6) && digit(7) && digit(8) && digit(9)) {
    const auto value = [&](std::size_t i, std::size_t n) {
      int v = 0;
      for (std::size_t k = i; k < i + n; ++k) v = v * 10 + (text[k] - '0');
      return v;
    };
    return makeDate(value(6, 4), value(0, 2), value(3, 2));
  }
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  const std::string_view t = text.substr(b, e - b);
  std::size_t i = 0;
  int a = 0;
  const int na = readNumber(t, i, 4, a);
  if (na == 0 || i >= t.size()) return std::nullopt;
  if (t[i] == '-') {
    // yyyy-mm-dd
    if (na != 4) return std::nullopt;
    ++i;
    int m = 0, d = 0;
    const int nm = readNumber(t, i, 2, m);
    if (nm < 1 || nm > 2 || i >= t.size() || t[i] != '-') return std::nullopt;
    ++i;
    const int nd = readNumber(t, i, 2, d);
    if (nd < 1 || nd > 2 || i != t.size()) return std::nullopt;
    return makeDate(a, m, d);
  }
  if (t[i] != '/' || na > 2) return std::nullopt;
  ++i;
  int d = 0, y = 0;
  const int nd = readNumber(t, i, 2, d);
  if (nd < 1 || nd > 2 || i >= t.size() || t[i] != '/') return std::nullopt;
  ++i;
  const int ny = readNumber(t, i, 4, y);
  if (i != t.size()) return std::nullopt;
  if (ny == 2) {
    y += (y <= 29) ? 2000 : 1900;
  } else if (ny != 3 && ny != 4) {
    return std::nullopt;
  }
  return makeDate(y, a, d);
}

bool isDateText(std::string_view text) noexcept { return parseDate(text).has_value(); }

Date readDate(std::string_view text) {
  auto d = parseDate(text);
  if (!d) raisePlatform(errnum::TypeMismatch);
  return *d;
}

char* formatDateTo(char* out, Date d) {
  const unsigned m = static_cast<unsigned>(d.month());
  const unsigned day = static_cast<unsigned>(d.day());
  const int y = static_cast<int>(d.year());
  if (m > 99 || day > 99 || y < 0 || y > 9999) {
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "%02u/%02u/%04d", m, day, y);
    for (int i = 0; i < n && i < kDateTextMax; ++i) *out++ = buf[i];
    return out;
  }
  const auto two = [&](unsigned v) {
    *out++ = static_cast<char>('0' + v / 10);
    *out++ = static_cast<char>('0' + v % 10);
  };
  two(m);
  *out++ = '/';
  two(day);
  *out++ = '/';
  two(static_cast<unsigned>(y) / 100);
  two(static_cast<unsigned>(y) % 100);
  return out;
}

std::string formatDate(Date d) {
  char buf[kDateTextMax];
  return std::string(buf, formatDateTo(buf, d));
}

namespace {

// `v` in decimal at `at`; returns the end.
char* putDecimal(char* at, unsigned v) {
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  while (n > 0) *at++ = digits[--n];
  return at;
}

}  // namespace

std::string formatShortDate(Date d) {
  // "m/d/y" without leading zeros, as printf's "%u/%u/%d" writes it.
  char buf[32];
  char* at = putDecimal(buf, static_cast<unsigned>(d.month()));
  *at++ = '/';
  at = putDecimal(at, static_cast<unsigned>(d.day()));
  *at++ = '/';
  const int y = static_cast<int>(d.year());
  if (y < 0) *at++ = '-';
  at = putDecimal(at, y < 0 ? 0u - static_cast<unsigned>(y) : static_cast<unsigned>(y));
  return std::string(buf, at);
}

std::string formatSortKey(Date d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d/%02u/%02u", static_cast<int>(d.year()),
                static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
  return buf;
}

Date nextDay(Date d) noexcept { return Date{std::chrono::sys_days{d} + std::chrono::days{1}}; }

Date today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{std::chrono::year{local.tm_year + 1900}, std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
              std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace orlendo
