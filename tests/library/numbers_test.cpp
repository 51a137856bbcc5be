#include <bit>

#include "library/test_support.h"

using namespace orlendo;
using namespace literals;

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
const double kNaN = std::nan("");
const double kInf = std::numeric_limits<double>::infinity();

using tvxtest::errorNumber;

Currency ticks(std::int64_t t) { return Currency::fromTicks(t); }

// ---- rounding of doubles and conversion to currency ---------------------------

TEST(RoundTo, LandsOnDecimalTiesAndRoundsThemToEven) {
  // 0.5 x 100.00003 is 50.000015 in decimal; x * 10^5 in double is 5000001.5.
  EXPECT_EQ(roundTo(0.5 * 100.00003, 5), 50.00002);
  EXPECT_EQ(asCurrency(0.5 * 100.00003).ticks(), 500000);
  EXPECT_EQ(roundTo(2.675, 2), 2.68);  // 267.5 -> 268
  EXPECT_EQ(roundTo(0.125, 2), 0.12);  // 12.5 -> 12
  EXPECT_EQ(roundTo(1.005, 2), 1.0);  // 100.49999999999999: not a tie
  EXPECT_EQ(Currency::fromDouble(-0.00025).ticks(), -2);  // -2.5 -> -2
}

TEST(Overflow, NotFiniteAndOutOfRangeAreErrorsNeverWrappedOrSaturated) {
  const std::function<void()> overflows[] = {
      [] { roundTo(kNaN, 2); }, [] { roundTo(-kInf, 0); }, [] { Currency::fromDouble(-1e300); },
      // The largest count is not a double; the nearest double times 10^4 is 2^63.
      [] { Currency::fromDouble(922337203685477.5807); }, [] { Currency::fromDouble(kNaN); },
      [] { parseDouble("1e400"); }, [] { parseDouble("-2e308"); }, [] { ticks(kMax) * 2.0_usd; },
      [] { ticks(kMin) * -1.0_usd; }, [] { ticks(kMax) + ticks(1); }, [] { ticks(kMin) - ticks(1); },
      [] { -ticks(kMin); }, [] { ticks(kMax).rounded(0); },  // ...478.0000 does not fit
      [] { format(1e300, kAmountPattern); }, [] { formatSignificant15(kNaN); },
  };
  for (std::size_t i = 0; i < std::size(overflows); ++i)
    EXPECT_EQ(errorNumber(overflows[i]), errnum::Overflow) << "case " << i;
}

// ---- text to currency and double -------------------------------------------------

TEST(CurrencyFromText, ReadsTheDecimalExactlyThenRoundsTiesToEven) {
  const std::pair<const char*, std::int64_t> cases[] = {
      // Exact ties go to the even count; a trace above a tie goes up.
      {"0.00005", 0}, {"0.00015", 2}, {"0.00025", 2}, {"-0.00015", -2}, {"0.000050000000000000001", 1},
      {"0.000049999", 0}, {"5e-5", 0}, {"1.5E-4", 2}, {"1.23456e3", 12345600}, {"12e+2", 12000000},
      {" -1,234.50 ", -12345000}, {"+.5", 5000}, {"000000000000000000000000012.3", 123000},
      {"0e999999999999", 0}, {"7e-999999999999", 0},
      // Ties far from zero, where a double could not hold the decimal.
      {"48.11505", 481150}, {"48.11515", 481152},
      // The limits of the 64-bit count (the last a tie: 5808 is even).
      {"922,337,203,685,477.5807", kMax}, {"922337203685477.58074", kMax}, {"-922337203685477.5808", kMin},
      {"-922337203685477.58085", kMin},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Currency::fromText(text).ticks(), expected) << text;

  for (const char* over : {"922337203685477.5808", "922337203685477.58075", "-922337203685477.58086", "1e15",
                           "1e999999999999", "123456789012345678901234567890"})
    EXPECT_EQ(errorNumber([&] { Currency::fromText(over); }), errnum::Overflow) << over;
  for (const char* bad : {"", "12abc"})
    EXPECT_EQ(errorNumber([&] { Currency::fromText(bad); }), errnum::TypeMismatch) << bad;
}

TEST(NumericText, AcceptsTheListedFormsAndNothingElse) {
  for (const char* ok : {"0", "-1", "+1", " 12 ", "\t3\t", "1,234.50", "1,234,567", ".5", "5.", "-.5", "1e5",
                         "1E+05", "2.5e-3", " -1,234.50000 ", "007"})
    EXPECT_TRUE(isNumericText(ok)) << '"' << ok << '"';
  for (const char* bad : {"", " ", "-", "+", ".", "-.", "e5", "1e", "1e+", "1.2.3", "1 2", "- 1", "--1", "abc",
                          "$1", "1$", ",1", "1e5.5", "0x10", "inf", "nan", "1d5", "12a", "1/2/2003"}) {
    EXPECT_FALSE(isNumericText(bad)) << '"' << bad << '"';
    EXPECT_EQ(errorNumber([&] { parseDouble(bad); }), errnum::TypeMismatch) << '"' << bad << '"';
  }
}

// ---- currency arithmetic -------------------------------------------------------------

TEST(CurrencyArithmetic, ProductIsExactThenRoundedTiesToEven) {
  EXPECT_EQ((0.0001_usd * 0.5_usd).ticks(), 0);  // 0.5 tick
  EXPECT_EQ((0.0003_usd * 0.5_usd).ticks(), 2);  // 1.5 ticks
  EXPECT_EQ((0.0005_usd * 0.5_usd).ticks(), 2);  // 2.5 ticks
  EXPECT_EQ((1234.5678_usd * 1000.0001_usd).ticks(), 12345679235);  // 1234567.92345678 -> .9235
  // "in currency" converts the factor first (0.3333); "as currency" does not.
  EXPECT_EQ(inCurrency(100.00_usd, 0.333333).ticks(), 333300);
  EXPECT_EQ(asCurrency((100.00_usd).toDouble() * 0.333333).ticks(), 333333);
  // At the limits: the product of two counts needs 128 bits before it is scaled back.
  EXPECT_EQ((ticks(kMax) * 1.0_usd).ticks(), kMax);
  EXPECT_EQ((ticks(kMin) * 1.0_usd).ticks(), kMin);
  EXPECT_EQ((ticks(kMax) * 0.0001_usd).ticks(), 922337203685478);  // 922337203685477.5807 -> ...478
  EXPECT_EQ((ticks(kMax) + ticks(kMin)).ticks(), -1);
  EXPECT_EQ((-ticks(kMax)).ticks(), kMin + 1);
}

TEST(CurrencyArithmetic, RoundedIsExactDecimalTiesToEvenAndToDoubleIsCorrectlyRounded) {
  const std::pair<Currency, Currency> rounded[] = {
      {1.0050_usd, 1.00_usd}, {1.0150_usd, 1.02_usd}, {1.0051_usd, 1.01_usd}, {-1.0050_usd, -1.00_usd},
      {-1.0150_usd, -1.02_usd}, {ticks(kMin), ticks(-9223372036854775800)}};
  for (const auto& [amount, cents] : rounded) EXPECT_EQ(amount.rounded(2), cents) << amount.ticks();
  EXPECT_EQ((-0.0001_usd).toDouble(), -0.0001);
  EXPECT_EQ(ticks(kMin).toDouble(), -922337203685477.5808);
  EXPECT_EQ(ticks(-(std::int64_t{1} << 53) - 1).toDouble(), -900719925474.0993);
}

// ---- formats ---------------------------------------------------------------------------

TEST(Format, GroupsDecimalsSignsAndDollars) {
  const std::tuple<double, NumberPattern, const char*> cases[] = {
      {1234.5, kAmountPattern, "1,234.50"}, {1234.5, kSharesPattern, "1,234.50000"},
      {1234.5, kPerSharePattern, "1234.50000"}, {-1234567.891, kAmountPattern, "-1,234,567.89"},
      {999.995, kAmountPattern, "1,000.00"},  // 99999.5 -> 100000
      {0.5 * 100.00003, kPerSharePattern, "50.00002"}, {-0.07, kSharesPattern, "-0.07000"},
      {100000.0, kSharesPattern, "100,000.00000"},
      // Values that round to zero have no sign (-0.005 is a tie to -0).
      {-0.0, kAmountPattern, "0.00"}, {-0.005, kAmountPattern, "0.00"}, {-0.000004, kSharesPattern, "0.00000"},
      // Dollar patterns put the sign before the dollar.
      {-1234.5, kDollarAmountPattern, "-$1,234.50"}, {1234.5, kDollarPerSharePattern, "$1234.50000"},
      {1234567.5, kDollarAmountPattern, "$1,234,567.50"},
  };
  for (const auto& [value, pattern, text] : cases) EXPECT_EQ(format(value, pattern), text) << value;
  // Currency prints from its count: no double in between.
  const std::tuple<Currency, NumberPattern, const char*> amounts[] = {
      {ticks(kMin), kAmountPattern, "-922,337,203,685,477.58"}, {ticks(kMax), kSharesPattern, "922,337,203,685,477.58070"},
      {-1.0150_usd, kAmountPattern, "-1.02"}, {-0.0050_usd, kDollarAmountPattern, "$0.00"}};
  for (const auto& [amount, pattern, text] : amounts) EXPECT_EQ(format(amount, pattern), text) << amount.ticks();
}

// ---- the fifteen-digit text and its reading --------------------------------------------

// significant15Value, which mostly skips the text, gives what the text would,
// bit for bit (0.0 and -0.0 differ).
TEST(Significant15Value, IsTheReadingOfTheFifteenDigitText) {
  std::vector<double> values = {0.0, -0.0, -0.933333333333333, 0.1 + 0.2, 0.7150000000000005, 2.0 / 3.0,
                                0.1234567890123456, 9.999999999999999e22};
  std::uint64_t bits = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 3000; ++i) {
    bits ^= bits << 13, bits ^= bits >> 7, bits ^= bits << 17;
    const double v = std::bit_cast<double>(bits);
    if (std::isfinite(v)) values.push_back(v);
    // Numbers with short texts too (up to 17 digits, signed, any scale): the
    // ones that are their own 15-digit rounding and their neighbours.
    const auto digits = static_cast<long long>(bits % 100'000'000'000'000'000ull) / static_cast<long long>(1 + (bits >> 60) % 100);
    const double shortOne = parseDouble(std::to_string(bits % 2 ? -digits : digits) + "e" + std::to_string(static_cast<int>(bits >> 40) % 40 - 25));
    values.push_back(shortOne);
    values.push_back(std::nextafter(shortOne, 1e300));
  }
  for (const double v : values)
    EXPECT_EQ(std::bit_cast<std::uint64_t>(significant15Value(v)),
              std::bit_cast<std::uint64_t>(parseDouble(formatSignificant15(v)))) << formatSignificant15(v);
  for (const double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::quiet_NaN()})
    EXPECT_EQ(errorNumber([&] { significant15Value(v); }), errnum::Overflow);
}

}  // namespace
