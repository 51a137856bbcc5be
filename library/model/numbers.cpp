#include "orlendo/numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "orlendo/error.h"

namespace orlendo {
namespace {

constexpr std::array<double, 10> kPow10d{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr std::array<std::int64_t, 5> kPow10i{1, 10, 100, 1000, 10000};

// 2^63 as a double: every double k with -2^63 <= k < 2^63 fits in int64.
constexpr double kTwo63 = 9223372036854775808.0;

// Steps 1 and 2 of the rounding rule: x * 10^n in double, nearest integer, ties to even.
double scaledNearest(double x, int decimals) {
  const double s = x * kPow10d.at(static_cast<std::size_t>(decimals));
  if (!std::isfinite(s)) raisePlatform(errnum::Overflow);
  return std::nearbyint(s);
}

std::int64_t toInt64(double k) {
  if (!(k >= -kTwo63 && k < kTwo63)) raisePlatform(errnum::Overflow);
  return static_cast<std::int64_t>(k);
}

// Integer division rounding to nearest, ties to even; d > 0.
std::int64_t divRoundEven(__int128 n, __int128 d) {
  __int128 q = n / d;
  __int128 r = n % d;
  if (r < 0) { r = -r; }
  const __int128 twice = 2 * r;
  if (twice > d || (twice == d && (q % 2 != 0))) q += (n < 0) ? -1 : 1;
  if (q > std::numeric_limits<std::int64_t>::max() || q < std::numeric_limits<std::int64_t>::min())
    raisePlatform(errnum::Overflow);
  return static_cast<std::int64_t>(q);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The pieces of numeric text: sign, the significant digits and a decimal
// exponent so that value = sign * digits * 10^exponent.
struct DecimalParts {
  bool negative = false;
  std::string digits;       // without group separators, may hold leading zeros
  long long exponent = 0;   // power of ten applied to `digits`
};

bool splitNumeric(std::string_view t, DecimalParts* out) noexcept {
  std::size_t i = 0;
  const std::size_t n = t.size();
  while (i < n && isBlank(t[i])) ++i;
  DecimalParts p;
  if (i < n && (t[i] == '+' || t[i] == '-')) {
    p.negative = t[i] == '-';
    ++i;
  }
  bool anyDigit = false;
  if (i < n && isDigit(t[i])) {
    while (i < n && (isDigit(t[i]) || t[i] == ',')) {
      if (t[i] != ',') p.digits.push_back(t[i]);
      ++i;
    }
    anyDigit = true;
  }
  long long fracDigits = 0;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && isDigit(t[i])) {
      p.digits.push_back(t[i]);
      ++fracDigits;
      ++i;
      anyDigit = true;
    }
  }
  if (!anyDigit) return false;
  long long exp = 0;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    bool expNeg = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) {
      expNeg = t[i] == '-';
      ++i;
    }
    if (i >= n || !isDigit(t[i])) return false;
    while (i < n && isDigit(t[i])) {
      if (exp < 100000000) exp = exp * 10 + (t[i] - '0');
      ++i;
    }
    if (expNeg) exp = -exp;
  }
  while (i < n && isBlank(t[i])) ++i;
  if (i != n) return false;
  p.exponent = exp - fracDigits;
  if (out) *out = std::move(p);
  return true;
}

std::string groupDigits(const std::string& digits) {
  std::string out;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

// Prints a rounded integer count of 10^-decimals units in a pattern.
std::string printScaled(std::int64_t k, int shownDecimals, int trailingZeros, NumberPattern pattern) {
  const bool negative = k < 0;
  // Magnitude as unsigned so that INT64_MIN prints correctly.
  const std::uint64_t mag = negative ? (~static_cast<std::uint64_t>(k) + 1) : static_cast<std::uint64_t>(k);
  std::string digits = std::to_string(mag);
  if (digits.size() < static_cast<std::size_t>(shownDecimals) + 1)
    digits.insert(0, static_cast<std::size_t>(shownDecimals) + 1 - digits.size(), '0');
  std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(shownDecimals));
  std::string frac = digits.substr(digits.size() - static_cast<std::size_t>(shownDecimals));
  frac.append(static_cast<std::size_t>(trailingZeros), '0');
  std::string out;
  if (negative && mag != 0) out.push_back('-');
  if (pattern.dollar) out.push_back('$');
  out += pattern.groups ? groupDigits(whole) : whole;
  if (!frac.empty()) {
    out.push_back('.');
    out += frac;
  }
  return out;
}

}  // namespace

// ---- Currency -----------------------------------------------------------------

Currency Currency::fromDouble(double x) { return Currency(toInt64(scaledNearest(x, 4))); }

Currency Currency::fromText(std::string_view text) {
  DecimalParts p;
  if (!splitNumeric(text, &p)) raisePlatform(errnum::TypeMismatch);
  // Drop leading zeros: they change nothing and would only inflate the digit count.
  std::size_t first = p.digits.find_first_not_of('0');
  if (first == std::string::npos) return Currency();
  std::string digits = p.digits.substr(first);
  const long long scale = p.exponent + 4;  // ticks = digits * 10^scale
  __int128 ticks = 0;
  const __int128 limit = static_cast<__int128>(std::numeric_limits<std::int64_t>::max()) + 1;
  if (scale >= 0) {
    if (static_cast<long long>(digits.size()) + scale > 20) raisePlatform(errnum::Overflow);
    for (char c : digits) ticks = ticks * 10 + (c - '0');
    for (long long s = 0; s < scale; ++s) ticks *= 10;
  } else {
    const long long keep = static_cast<long long>(digits.size()) + scale;  // digits left of the cut
    if (keep > 20) raisePlatform(errnum::Overflow);
    for (long long i = 0; i < keep; ++i) ticks = ticks * 10 + (digits[static_cast<std::size_t>(i)] - '0');
    // Rounding by the dropped digits: first dropped digit, then whether any later one is nonzero.
    const std::size_t cut = keep > 0 ? static_cast<std::size_t>(keep) : 0;
    const bool cutInside = keep >= 0;
    const char firstDropped = cutInside && cut < digits.size() ? digits[cut] : '0';
    bool restNonZero = false;
    if (cutInside) {
      for (std::size_t i = cut + 1; i < digits.size(); ++i) restNonZero |= digits[i] != '0';
    } else {
      // Every digit lies below the first dropped position: less than half a tick.
      restNonZero = true;
    }
    bool up = false;
    if (cutInside) {
      if (firstDropped > '5') up = true;
      else if (firstDropped == '5') up = restNonZero || (ticks % 2 != 0);
    }
    if (up) ticks += 1;
  }
  if (p.negative) ticks = -ticks;
  if (ticks >= limit || ticks < -limit) raisePlatform(errnum::Overflow);
  return Currency(static_cast<std::int64_t>(ticks));
}

double Currency::toDouble() const noexcept {
  // Division of an exactly representable numerator is correctly rounded; for
  // counts beyond 2^53 split into whole and fractional parts first.
  if (ticks_ > -(std::int64_t{1} << 53) && ticks_ < (std::int64_t{1} << 53))
    return static_cast<double>(ticks_) / 10000.0;
  char buf[32];
  const std::int64_t whole = ticks_ / 10000;
  std::int64_t frac = ticks_ % 10000;
  if (frac < 0) frac = -frac;
  std::snprintf(buf, sizeof buf, "%s%lld.%04lld", (ticks_ < 0 && whole == 0) ? "-" : "",
                static_cast<long long>(whole), static_cast<long long>(frac));
  double d = 0;
  std::from_chars(buf, buf + std::char_traits<char>::length(buf), d);
  return d;
}

Currency Currency::rounded(int decimals) const {
  if (decimals >= 4) return *this;
  if (decimals < 0) decimals = 0;
  const std::int64_t unit = kPow10i.at(static_cast<std::size_t>(4 - decimals));
  const std::int64_t q = divRoundEven(ticks_, unit);
  const __int128 back = static_cast<__int128>(q) * unit;
  if (back > std::numeric_limits<std::int64_t>::max() || back < std::numeric_limits<std::int64_t>::min())
    raisePlatform(errnum::Overflow);
  return Currency(static_cast<std::int64_t>(back));
}

Currency operator+(Currency a, Currency b) {
  std::int64_t r = 0;
  if (__builtin_add_overflow(a.ticks_, b.ticks_, &r)) raisePlatform(errnum::Overflow);
  return Currency(r);
}

Currency operator-(Currency a, Currency b) {
  std::int64_t r = 0;
  if (__builtin_sub_overflow(a.ticks_, b.ticks_, &r)) raisePlatform(errnum::Overflow);
  return Currency(r);
}

Currency operator*(Currency a, Currency b) {
  const __int128 product = static_cast<__int128>(a.ticks_) * b.ticks_;
  return Currency(divRoundEven(product, 10000));
}

Currency Currency::operator-() const {
  if (ticks_ == std::numeric_limits<std::int64_t>::min()) raisePlatform(errnum::Overflow);
  return Currency(-ticks_);
}

// ---- rounding -------------------------------------------------------------------

double roundTo(double x, int decimals) {
  return scaledNearest(x, decimals) / kPow10d.at(static_cast<std::size_t>(decimals));
}

Currency asCurrency(double product) { return Currency::fromDouble(product); }

Currency inCurrency(Currency amount, double factor) { return amount * Currency::fromDouble(factor); }

// ---- numeric text ---------------------------------------------------------------

bool isNumericText(std::string_view text) noexcept { return splitNumeric(text, nullptr); }

double parseDouble(std::string_view text) {
  DecimalParts p;
  if (!splitNumeric(text, &p)) raisePlatform(errnum::TypeMismatch);
  std::size_t first = p.digits.find_first_not_of('0');
  if (first == std::string::npos) return p.negative ? -0.0 : 0.0;
  std::string digits = p.digits.substr(first);
  std::string canon = digits + "e" + std::to_string(p.exponent);
  double value = 0;
  auto [ptr, ec] = std::from_chars(canon.data(), canon.data() + canon.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Decide between overflow and underflow by the decimal magnitude.
    const long long magnitude = static_cast<long long>(digits.size()) + p.exponent;
    if (magnitude > 0) raisePlatform(errnum::Overflow);
    value = 0.0;
  } else if (ec != std::errc()) {
    raisePlatform(errnum::TypeMismatch);
  }
  return p.negative ? -value : value;
}

// ---- formats --------------------------------------------------------------------

std::string format(double value, NumberPattern pattern) {
  const std::int64_t k = toInt64(scaledNearest(value, pattern.decimals));
  return printScaled(k, pattern.decimals, 0, pattern);
}

std::string format(Currency value, NumberPattern pattern) {
  if (pattern.decimals >= 4) return printScaled(value.ticks(), 4, pattern.decimals - 4, pattern);
  const std::int64_t unit = kPow10i.at(static_cast<std::size_t>(4 - pattern.decimals));
  return printScaled(divRoundEven(value.ticks(), unit), pattern.decimals, 0, pattern);
}

std::string formatText(std::string_view text, NumberPattern pattern) {
  if (!isNumericText(text)) return std::string(text);
  return format(parseDouble(text), pattern);
}

std::string formatSignificant15(double x) {
  if (!std::isfinite(x)) raisePlatform(errnum::Overflow);
  // to_chars is independent of the process locale, unlike printf.
  char buf[40];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
  std::string s(buf, end);
  if (s == "-0") s = "0";
  return s;
}

}  // namespace orlendo
