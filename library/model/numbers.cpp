#include "orlendo/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// n / d rounded to the nearest integer, ties to even; d > 0. A 64-bit
// numerator never overflows (d > 1) and needs no 128-bit division.
template <class Int>
std::int64_t quotientTiesToEven(Int n, Int d) {
  if (d == 1) return static_cast<std::int64_t>(n);
  Int q = n / d;
  Int r = n % d;
  if (r < 0) r = -r;
  const Int twice = 2 * r;
  if (twice > d || (twice == d && (q % 2 != 0))) q += (n < 0) ? -1 : 1;
  if constexpr (sizeof(Int) > sizeof(std::int64_t)) {
    if (q > std::numeric_limits<std::int64_t>::max() || q < std::numeric_limits<std::int64_t>::min())
      raisePlatform(errnum::Overflow);
  }
  return static_cast<std::int64_t>(q);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The usual numeric text: "[-]ddd[.ddd]", at most 15 digits (so below 2^53),
// a point only between digits. Every such text is numeric text.
struct PlainDecimal {
  bool negative = false;
  std::int64_t m = 0;  // the digits as one number
  int digits = 0;
  int decimals = 0;  // digits after the point
};
bool scanPlain(std::string_view t, PlainDecimal& p) {
  const char* at = t.data();
  const char* const end = at + t.size();
  const bool negative = at != end && *at == '-';
  if (negative) ++at;
  // The whole digits, then the decimals, in registers.
  const char* const first = at;
  std::uint64_t m = 0;  // wraps harmlessly past 15 digits, which are refused below
  while (at != end && static_cast<unsigned char>(*at - '0') <= 9) m = m * 10 + static_cast<unsigned>(*at++ - '0');
  const auto whole = static_cast<int>(at - first);
  int decimals = 0;
  if (at != end && *at == '.' && whole > 0) {
    const char* const point = ++at;
    while (at != end && static_cast<unsigned char>(*at - '0') <= 9) m = m * 10 + static_cast<unsigned>(*at++ - '0');
    decimals = static_cast<int>(at - point);
    if (decimals == 0) return false;
  }
  // Checked after the loops: more than 15 digits may have wrapped m.
  if (at != end || whole == 0 || whole + decimals > 15) return false;
  p.negative = negative;
  p.m = static_cast<std::int64_t>(m);
  p.digits = whole + decimals;
  p.decimals = decimals;
  return true;
}

// The pieces of numeric text: sign, the significant digits and a decimal
// exponent so that value = sign * digits * 10^exponent. The digits sit in a
// stack buffer; only a text with more than kInlineDigits of them spills.
class DecimalParts {
 public:
  static constexpr std::size_t kInlineDigits = 80;
  bool negative = false;
  long long exponent = 0;  // power of ten applied to the digits

  // The digits without group separators and without leading zeros.
  std::string_view digits() const noexcept {
    return spill_.empty() ? std::string_view(inline_, size_) : std::string_view(spill_);
  }
  void push(char c) {
    if (size_ == 0 && c == '0') return;  // a leading zero changes nothing
    if (size_ < kInlineDigits) {
      inline_[size_++] = c;
      return;
    }
    if (spill_.empty()) spill_.assign(inline_, size_);
    spill_.push_back(c);
    ++size_;
  }

 private:
  char inline_[kInlineDigits];
  std::size_t size_ = 0;
  std::string spill_;
};

template <class Sink>
bool scanNumeric(std::string_view t, bool& negative, long long& exponent, Sink&& digit) noexcept(noexcept(digit('0'))) {
  std::size_t i = 0;
  const std::size_t n = t.size();
  while (i < n && isBlank(t[i])) ++i;
  if (i < n && (t[i] == '+' || t[i] == '-')) {
    negative = t[i] == '-';
    ++i;
  }
  bool anyDigit = false;
  if (i < n && isDigit(t[i])) {
    while (i < n && (isDigit(t[i]) || t[i] == ',')) {
      if (t[i] != ',') digit(t[i]);
      ++i;
    }
    anyDigit = true;
  }
  long long fracDigits = 0;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && isDigit(t[i])) {
      digit(t[i]);
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
  exponent = exp - fracDigits;
  return true;
}

bool splitNumeric(std::string_view t, DecimalParts* out) {
  if (!out) {
    bool negative = false;
    long long exponent = 0;
    return scanNumeric(t, negative, exponent, [](char) noexcept {});
  }
  return scanNumeric(t, out->negative, out->exponent, [out](char c) { out->push(c); });
}

// The longest text printScaled writes: sign, "$", 20 digits with 6 group
// separators, the point, and 4 + 5 decimals.
constexpr std::size_t kScaledMax = 48;

// Prints a rounded integer count of 10^-decimals units in a pattern; returns the end.
char* printScaledTo(char* out, std::int64_t k, int shownDecimals, int trailingZeros, NumberPattern pattern) {
  const bool negative = k < 0;
  // Magnitude as unsigned so that INT64_MIN prints correctly.
  std::uint64_t mag = negative ? (~static_cast<std::uint64_t>(k) + 1) : static_cast<std::uint64_t>(k);
  if (negative && mag != 0) *out++ = '-';
  if (pattern.dollar) *out++ = '$';
  // Written from the last digit back, two at a time: the decimals, then the
  // whole part (one digit at least), with a separator before each group of
  // three.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  const auto putPair = [&](char*& at, std::uint64_t two) {
    at -= 2;
    std::memcpy(at, kPairs + 2 * two, 2);
  };
  const auto shown = static_cast<std::size_t>(shownDecimals);
  char text[kScaledMax];
  char* const end = text + sizeof text;
  char* at = end;
  std::size_t left = shown;
  for (; left >= 2; left -= 2) {
    putPair(at, mag % 100);
    mag /= 100;
  }
  if (left) {
    *--at = static_cast<char>('0' + mag % 10);
    mag /= 10;
  }
  char* const point = at;
  if (pattern.groups) {
    for (; mag >= 1000; mag /= 1000) {
      const std::uint64_t group = mag % 1000;
      putPair(at, group % 100);
      *--at = static_cast<char>('0' + group / 100);
      *--at = ',';
    }
  }
  for (; mag >= 100; mag /= 100) putPair(at, mag % 100);
  if (mag >= 10) putPair(at, mag);
  else *--at = static_cast<char>('0' + mag);
  out = std::copy(at, point, out);
  if (shown + static_cast<std::size_t>(trailingZeros) > 0) {
    *out++ = '.';
    out = std::copy(point, end, out);
    out = std::fill_n(out, trailingZeros, '0');
  }
  return out;
}

std::string printScaled(std::int64_t k, int shownDecimals, int trailingZeros, NumberPattern pattern) {
  if (trailingZeros > 16) {
    std::string out(kScaledMax + static_cast<std::size_t>(trailingZeros), '\0');
    out.resize(static_cast<std::size_t>(printScaledTo(out.data(), k, shownDecimals, trailingZeros, pattern) - out.data()));
    return out;
  }
  char buf[kScaledMax + 16];
  return std::string(buf, printScaledTo(buf, k, shownDecimals, trailingZeros, pattern));
}

}  // namespace

// ---- Currency -----------------------------------------------------------------

Currency Currency::fromDouble(double x) { return Currency(toInt64(scaledNearest(x, 4))); }

Currency Currency::fromText(std::string_view text) {
  // The usual amount, with at most four decimals and 14 digits: exact ticks.
  if (PlainDecimal plain; scanPlain(text, plain) && plain.decimals <= 4 && plain.digits <= 14) {
    const std::int64_t ticks = plain.m * kPow10i[static_cast<std::size_t>(4 - plain.decimals)];
    return Currency(plain.negative ? -ticks : ticks);
  }
  DecimalParts p;
  if (!splitNumeric(text, &p)) raisePlatform(errnum::TypeMismatch);
  const std::string_view digits = p.digits();
  if (digits.empty()) return Currency();
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
  if (ticks_ % unit == 0) return *this;  // already on the unit: the usual case
  const std::int64_t q = divideTiesToEven(ticks_, unit);
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
  return Currency(quotientTiesToEven<__int128>(product, 10000));
}

Currency Currency::operator-() const {
  if (ticks_ == std::numeric_limits<std::int64_t>::min()) raisePlatform(errnum::Overflow);
  return Currency(-ticks_);
}

// ---- rounding -------------------------------------------------------------------

double roundTo(double x, int decimals) {
  return scaledNearest(x, decimals) / kPow10d.at(static_cast<std::size_t>(decimals));
}

std::int64_t divideTiesToEven(std::int64_t n, std::int64_t d) { return quotientTiesToEven(n, d); }

Currency asCurrency(double product) { return Currency::fromDouble(product); }

Currency inCurrency(Currency amount, double factor) { return amount * Currency::fromDouble(factor); }

// ---- numeric text ---------------------------------------------------------------

bool isNumericText(std::string_view text) noexcept {
  PlainDecimal plain;
  return scanPlain(text, plain) || splitNumeric(text, nullptr);
}

namespace {

// The usual numeric text, "[-]ddd[.ddd]" with at most 15 digits, read
// straight into its value; false for any other text. The digits make an
// integer below 2^53 and the power of ten is exact, so the one division is
// the correctly rounded value that the general reading gives too.
bool readPlainDecimal(std::string_view t, double& value) {
  static constexpr double kPow10[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  PlainDecimal p;
  if (!scanPlain(t, p)) return false;
  const double magnitude = p.decimals > 0 ? static_cast<double>(p.m) / kPow10[p.decimals] : static_cast<double>(p.m);
  value = p.negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

double parseDouble(std::string_view text) {
  if (double value; readPlainDecimal(text, value)) return value;
  DecimalParts p;
  if (!splitNumeric(text, &p)) raisePlatform(errnum::TypeMismatch);
  const std::string_view digits = p.digits();
  if (digits.empty()) return p.negative ? -0.0 : 0.0;
  // from_chars reads "<digits>e<exponent>"; short texts are canonicalized on the stack.
  char small[DecimalParts::kInlineDigits + 24];
  std::string large;
  char* canon = small;
  if (digits.size() > DecimalParts::kInlineDigits) {
    large.resize(digits.size() + 24);
    canon = large.data();
  }
  char* end = std::copy(digits.begin(), digits.end(), canon);
  *end++ = 'e';
  end = std::to_chars(end, end + 22, p.exponent).ptr;
  double value = 0;
  auto [ptr, ec] = std::from_chars(canon, end, value);
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

std::int64_t scaledRound(double x, int decimals) { return toInt64(scaledNearest(x, decimals)); }

long double decimalIntent(double x) {
  if (!std::isfinite(x)) raisePlatform(errnum::Overflow);
  char text[40];
  char* const end = std::to_chars(text, text + sizeof text - 1, x).ptr;
  *end = '\0';
  return std::strtold(text, nullptr);
}

namespace {

// 10^0 .. 10^27, exact in long double (5^27 needs 63 bits).
const std::array<long double, 28>& exactPowersOfTen() {
  static const auto kPowers = [] {
    std::array<long double, 28> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
    return p;
  }();
  return kPowers;
}

// x times 10^k, by an exact power of ten for |k| up to 27.
long double scaledByPowerOfTen(long double x, int k) {
  const auto& kPowers = exactPowersOfTen();
  const int n = k < 0 ? -k : k;
  if (n < static_cast<int>(kPowers.size())) return k < 0 ? x / kPowers[static_cast<std::size_t>(n)] : x * kPowers[static_cast<std::size_t>(n)];
  return k < 0 ? x / std::pow(10.0L, n) : x * std::pow(10.0L, n);
}

}  // namespace

int decimalExponent(long double x) {
  const long double ax = std::fabs(x);
  const auto& p = exactPowersOfTen();
  if (ax >= 1 && ax < p.back()) {
    std::size_t e = 0;
    while (p[e + 1] <= ax) ++e;
    // Well inside [10^e, 10^(e+1)): log10 is further from an integer than
    // its last digits can be off, so it floors to e as well.
    constexpr long double kMargin = 1e-15L;
    if (ax > p[e] * (1 + kMargin) && ax < p[e + 1] * (1 - kMargin)) return static_cast<int>(e);
  }
  return static_cast<int>(std::floor(std::log10(ax)));
}

std::int64_t scaledRoundExact(long double x, int decimals) {
  if (!std::isfinite(x)) raisePlatform(errnum::Overflow);
  if (x == 0) return 0;
  constexpr int kDigits = 16;
  const int exponent = decimalExponent(x);
  const int snap = kDigits - 1 - exponent;  // decimals of the 16-digit figure
  const auto overflowCheck = [](long double k) {
    if (!(std::fabs(k) < 9.2e18L)) raisePlatform(errnum::Overflow);
    return static_cast<std::int64_t>(k);
  };
  // std::rint rounds as nearbyint does (the current mode: to nearest, ties
  // to even) without saving and restoring the floating-point environment.
  if (snap <= decimals) return overflowCheck(std::rint(scaledByPowerOfTen(x, decimals)));
  if (snap - decimals > 18) return 0;  // far below half a unit
  const std::int64_t m = overflowCheck(std::rint(scaledByPowerOfTen(x, snap)));
  std::int64_t unit = 1;
  for (int i = 0; i < snap - decimals; ++i) unit *= 10;
  std::int64_t q = m / unit;
  const std::int64_t r = m % unit;
  const std::int64_t twice = 2 * (r < 0 ? -r : r);
  if (twice > unit || (twice == unit && q % 2 != 0)) q += m < 0 ? -1 : 1;
  return q;
}

Currency centsOf(long double x) {
  const std::int64_t cents = scaledRoundExact(x, 2);
  constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 100;
  if (cents > kLimit || cents < -kLimit) raisePlatform(errnum::Overflow);
  return Currency::fromTicks(cents * 100);
}

double decimalValue(std::int64_t k, int decimals) {
  const double unit = kPow10d.at(static_cast<std::size_t>(decimals));
  // Both operands exact: one correctly rounded division is the decimal's nearest double.
  constexpr std::int64_t kExact = std::int64_t{1} << 53;
  if (k > -kExact && k < kExact) return static_cast<double>(k) / unit;
  char buf[40];
  char* end = std::to_chars(buf, buf + 24, k).ptr;
  *end++ = 'e';
  *end++ = '-';
  end = std::to_chars(end, end + 4, decimals).ptr;
  double value = 0;
  std::from_chars(buf, end, value);
  return value;
}

char* formatTo(char* out, double value, NumberPattern pattern) {
  const std::int64_t k = toInt64(scaledNearest(value, pattern.decimals));
  return printScaledTo(out, k, pattern.decimals, 0, pattern);
}

char* formatTo(char* out, Currency value, NumberPattern pattern) {
  if (pattern.decimals >= 4) {
    (void)kPow10d.at(static_cast<std::size_t>(pattern.decimals));  // 0..9 decimals, as for doubles
    return printScaledTo(out, value.ticks(), 4, pattern.decimals - 4, pattern);
  }
  const std::int64_t unit = kPow10i.at(static_cast<std::size_t>(4 - pattern.decimals));
  return printScaledTo(out, divideTiesToEven(value.ticks(), unit), pattern.decimals, 0, pattern);
}

std::string format(Currency value, NumberPattern pattern) {
  if (pattern.decimals >= 4) return printScaled(value.ticks(), 4, pattern.decimals - 4, pattern);
  const std::int64_t unit = kPow10i.at(static_cast<std::size_t>(4 - pattern.decimals));
  return printScaled(divideTiesToEven(value.ticks(), unit), pattern.decimals, 0, pattern);
}

std::string formatText(std::string_view text, NumberPattern pattern) {
  if (!isNumericText(text)) return std::string(text);
  return format(parseDouble(text), pattern);
}

namespace {

std::string_view significant15To(char (&buf)[40], double x) {
  if (!std::isfinite(x)) raisePlatform(errnum::Overflow);
  // to_chars is independent of the process locale, unlike printf.
  const auto end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15).ptr;
  const std::string_view text(buf, static_cast<std::size_t>(end - buf));
  return text == "-0" ? std::string_view("0") : text;
}

}  // namespace

std::string formatSignificant15(double x) {
  char buf[40];
  return std::string(significant15To(buf, x));
}

double significant15Value(double x) {
  if (x == 0) return 0.0;  // "-0" prints as "0"
  // When the shortest text that reads back as x has at most 15 digits, the
  // 15-digit rounding of x is at least as near to x as that text, so it reads
  // back as x too; the shortest text is far cheaper to make.
  if (std::isfinite(x)) {
    char text[32];
    const char* const end = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific).ptr;
    const char* const exponent = std::find(static_cast<const char*>(text), end, 'e');
    const bool point = std::find(static_cast<const char*>(text), exponent, '.') != exponent;
    if (exponent - text - (x < 0 ? 1 : 0) - (point ? 1 : 0) <= 15) return x;
  }
  char buf[40];
  return parseDouble(significant15To(buf, x));
}

}  // namespace orlendo
