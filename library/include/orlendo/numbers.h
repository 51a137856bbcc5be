// Money, rounding, numeric text and number formats.
//
// Every rounding the calculation and the reports make goes through this
// header, so that each figure comes out the same on every machine:
//
//  * round(x, n) for a double: s = x * 10^n in double, then the nearest
//    integer, ties to even, then divided back. Converting a double to
//    Currency is the same rule with n = 4.
//  * Currency is a signed 64-bit count of ten-thousandths. Text is read as
//    an exact decimal; currency x currency goes through a 128-bit product.
//  * NaN, infinities and values outside the 64-bit range are an overflow
//    error, never wrapped or saturated.
//  * Formats print from the rounded integer and never show "-0.00".
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace orlendo {

class Currency {
 public:
  constexpr Currency() noexcept = default;

  static constexpr Currency fromTicks(std::int64_t ticks) noexcept { return Currency(ticks); }
  // Exactly a count of ten-thousandths: a double would be truncated and a
  // narrower integer is usually a unit mix-up, so neither converts.
  template <class T>
  static Currency fromTicks(T) = delete;
  // Nearest ten-thousandth of x, ties to even; overflow error when x is not finite or out of range.
  static Currency fromDouble(double x);
  // Exact decimal reading of numeric text rounded to four decimals, ties to even.
  // Type mismatch when the text is not numeric, overflow when it is out of range.
  static Currency fromText(std::string_view text);

  constexpr std::int64_t ticks() const noexcept { return ticks_; }
  // The count divided by 10000, correctly rounded.
  double toDouble() const noexcept;
  // Exact decimal rounding to n decimals (0..4), ties to even.
  Currency rounded(int decimals) const;

  friend Currency operator+(Currency a, Currency b);
  friend Currency operator-(Currency a, Currency b);
  friend Currency operator*(Currency a, Currency b);  // exact product rounded to 4 decimals, ties to even
  Currency operator-() const;
  Currency& operator+=(Currency o) { return *this = *this + o; }
  Currency& operator-=(Currency o) { return *this = *this - o; }

  friend constexpr bool operator==(Currency, Currency) noexcept = default;
  friend constexpr auto operator<=>(Currency, Currency) noexcept = default;

 private:
  constexpr explicit Currency(std::int64_t ticks) noexcept : ticks_(ticks) {}
  std::int64_t ticks_ = 0;
};

namespace literals {
namespace detail {
consteval std::int64_t parseCurrencyLiteral(const char* s) {
  std::int64_t whole = 0;
  std::int64_t frac = 0;
  int fracDigits = 0;
  bool inFrac = false;
  for (; *s; ++s) {
    if (*s == '\'') continue;
    if (*s == '.') { inFrac = true; continue; }
    if (*s < '0' || *s > '9') throw "currency literal: digits and one point only";
    if (inFrac) {
      if (++fracDigits > 4) throw "currency literal: at most four decimals";
      frac = frac * 10 + (*s - '0');
    } else {
      whole = whole * 10 + (*s - '0');
    }
  }
  for (; fracDigits < 4; ++fracDigits) frac *= 10;
  return whole * 10000 + frac;
}
}  // namespace detail
// 48.115_usd is exactly 48.1150, read from the literal's digits, never through a double.
consteval Currency operator""_usd(const char* digits) {
  return Currency::fromTicks(detail::parseCurrencyLiteral(digits));
}
}  // namespace literals

// ---- rounding ---------------------------------------------------------------

// round(x, n): the one rounding rule for doubles (n from 0 to 9).
double roundTo(double x, int decimals);
// n / d rounded to the nearest integer, ties to even (d > 0).
std::int64_t divideTiesToEven(std::int64_t n, std::int64_t d);
// Currency product formed in double and then converted: "as currency".
Currency asCurrency(double product);
// Double operand first converted to currency, then multiplied: "in currency".
Currency inCurrency(Currency amount, double factor);

// ---- exact figures carried in long double -------------------------------------
// Figures that stand for exact decimals (a lot's shares and basis through
// every event) are carried in long double and rounded only where shown, as
// the exact decimal would round: a tie such as 2,671.875 goes to even even
// when the carried value lies a hair beside it.

// The long double nearest to the decimal that a double was written as (its
// shortest text that reads back as it): 0.715 is 0.715, not the double's
// binary neighbour.
long double decimalIntent(double x);
// floor(log10(|x|)) for x != 0, the power of ten of its first digit.
int decimalExponent(long double x);
// The integer count of 10^-decimals units that the exact figure rounds to,
// ties to even: x is first taken to 16 significant digits, then rounded
// exactly. Overflow beyond the 64-bit range.
std::int64_t scaledRoundExact(long double x, int decimals);
// scaledRoundExact(x, 2) as currency.
Currency centsOf(long double x);

// ---- numeric text -------------------------------------------------------------

// Optional blanks, optional sign, digits with optional "," groups, optional
// "." and decimals, optional exponent, optional blanks; at least one digit.
bool isNumericText(std::string_view text) noexcept;
// Reads numeric text as a double (groups dropped, correctly rounded).
// Type mismatch when not numeric, overflow when beyond the double range.
double parseDouble(std::string_view text);

// The integer count of 10^-decimals units that round(x, decimals) prints:
// step 2 of the rounding rule, overflow beyond the 64-bit range.
std::int64_t scaledRound(double x, int decimals);
// k * 10^-decimals as a double, correctly rounded: what reading back the text
// printed from the count gives.
double decimalValue(std::int64_t k, int decimals);

// ---- formats --------------------------------------------------------------------

// A fixed-point pattern: decimals shown, "," groups, and an optional "$".
struct NumberPattern {
  int decimals;
  bool groups;
  bool dollar;
};

inline constexpr NumberPattern kAmountPattern{2, true, false};         // "###,##0.00"
inline constexpr NumberPattern kSharesPattern{5, true, false};         // "##,##0.00000"
inline constexpr NumberPattern kPerSharePattern{5, false, false};      // "##0.00000"
inline constexpr NumberPattern kDollarAmountPattern{2, true, true};    // "$###,##0.00", "$####,##0.00"
inline constexpr NumberPattern kDollarPerSharePattern{5, false, true}; // "$##0.00000"

std::string format(double value, NumberPattern pattern);
std::string format(Currency value, NumberPattern pattern);
// The same texts written at `out` (room for kFormatMax characters; 0 to 9
// decimals); return the end.
inline constexpr std::size_t kFormatMax = 48;
char* formatTo(char* out, double value, NumberPattern pattern);
char* formatTo(char* out, Currency value, NumberPattern pattern);
// Applies a pattern to a text read as a number; text that is empty or not
// numeric passes through unchanged.
std::string formatText(std::string_view text, NumberPattern pattern);

// The shortest text that renders x with up to 15 significant digits.
std::string formatSignificant15(double x);
// What that text reads back as, parseDouble(formatSignificant15(x)), without making the text.
double significant15Value(double x);

}  // namespace orlendo
