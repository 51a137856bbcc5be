// Amounts held as numbers must read exactly as the texts they stand for: each
// numeric get equals reading its text get, each numeric set equals setting a
// text that reads as the number; and the number paths that skip the text
// (formatTo, significant15Value) give what the text would.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "model/arithmetic.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "orlendo/numbers.h"
#include "library/test_support.h"

using namespace orlendo;
using tvxtest::errorNumber;

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// Bit-for-bit equality, so that 0.0 and -0.0 differ.
::testing::AssertionResult sameBits(double a, double b) {
  if (std::signbit(a) == std::signbit(b) && (a == b || (std::isnan(a) && std::isnan(b))))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << formatSignificant15(a) << " vs " << formatSignificant15(b);
}

// ---- the printed count and its reading -----------------------------------------------

TEST(Significant15Value, IsTheReadingOfTheFifteenDigitText) {
  std::vector<double> values = {0.0, -0.0, -0.933333333333333, 0.1 + 0.2, 0.7150000000000005, 2.0 / 3.0,
                                0.1234567890123456, 9.999999999999999e22};
  std::uint64_t bits = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 3000; ++i) {
    bits ^= bits << 13, bits ^= bits >> 7, bits ^= bits << 17;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
    // Numbers with short texts too (up to 17 digits, signed, any scale): the
    // ones that are their own 15-digit rounding and their neighbours.
    const auto digits = static_cast<long long>(bits % 100'000'000'000'000'000ull) / static_cast<long long>(1 + (bits >> 60) % 100);
    const double shortOne = parseDouble(std::to_string(bits % 2 ? -digits : digits) + "e" + std::to_string(static_cast<int>(bits >> 40) % 40 - 25));
    values.push_back(shortOne);
    values.push_back(std::nextafter(shortOne, 1e300));
  }
  for (const double v : values) {
    std::optional<double> expected;
    long expectedError = 0;
    try {
      expected = parseDouble(formatSignificant15(v));
    } catch (const Error& e) {
      expectedError = e.number();
    }
    if (expected) EXPECT_TRUE(sameBits(significant15Value(v), *expected)) << formatSignificant15(v);
    else EXPECT_EQ(errorNumber([&] { significant15Value(v); }), expectedError);
  }
  for (const double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()})
    EXPECT_EQ(errorNumber([&] { significant15Value(v); }), errnum::Overflow);
}

TEST(FormatTo, WritesWhatFormatReturns) {
  const NumberPattern patterns[] = {kAmountPattern, kSharesPattern, kPerSharePattern, kDollarAmountPattern,
                                    NumberPattern{0, true, false}, NumberPattern{9, true, true}};
  const std::int64_t counts[] = {0, -1, 50, 150, -150, 12345678, kMax, kMin};
  const double doubles[] = {-0.0, -0.000001, 0.125, 1234567.891, 5e12};
  char buf[kFormatMax];
  for (const NumberPattern p : patterns) {
    for (const std::int64_t t : counts) {
      const Currency c = Currency::fromTicks(t);
      EXPECT_EQ(std::string(buf, formatTo(buf, c, p)), format(c, p)) << t << " / " << p.decimals;
    }
    for (const double d : doubles) {
      const long error = errorNumber([&] { format(d, p); });
      EXPECT_EQ(errorNumber([&] { formatTo(buf, d, p); }), error) << d << " / " << p.decimals;
      if (error == 0) {
        EXPECT_EQ(std::string(buf, formatTo(buf, d, p)), format(d, p)) << d << " / " << p.decimals;
      }
    }
  }
}

// ---- Xaction ------------------------------------------------------------------------------

// Each amount set as text on one transaction and as the number the text reads as on another.
TEST(XactionAmounts, NumbersReadBackAsTheirTexts) {
  const char* texts[] = {"-0", "1e3", "-12.3456789", "0.125", "0.135", "1,234,567.899999", "-0.000049",
                         "99999999.999995"};
  for (const char* t : texts) {
    SCOPED_TRACE(t);
    auto byText = Xaction::create();
    auto byNumber = Xaction::create();
    byText->NewShrs(t);
    byText->ChgShrs(t);
    byText->NewCost(t);
    byText->ChgCost(t);
    byText->NewCostPerShr(t);
    byNumber->NewShrsValue(parseDouble(t));
    byNumber->ChgShrsValue(parseDouble(t));
    byNumber->NewCostAmount(Currency::fromText(t));
    byNumber->ChgCostAmount(Currency::fromText(t));
    byNumber->NewCostPerShrAmount(Currency::fromText(t));
    for (const auto& x : {byText, byNumber}) {
      EXPECT_EQ(x->NewShrs(), byText->NewShrs());
      EXPECT_EQ(x->ChgShrs(), byText->ChgShrs());
      EXPECT_EQ(x->NewCost(), byText->NewCost());
      EXPECT_EQ(x->ChgCost(), byText->ChgCost());
      EXPECT_EQ(x->NewCostPerShr(), byText->NewCostPerShr());
      EXPECT_TRUE(sameBits(x->NewShrsValue(), parseDouble(x->NewShrs())));
      EXPECT_TRUE(sameBits(x->ChgShrsValue(), parseDouble(x->ChgShrs())));
      EXPECT_EQ(x->NewCostAmount(), Currency::fromText(x->NewCost()));
      EXPECT_EQ(x->ChgCostAmount(), Currency::fromText(x->ChgCost()));
      EXPECT_EQ(x->NewCostPerShrAmount(), Currency::fromText(x->NewCostPerShr()));
    }
  }
}

// ---- the arithmetic's read-back points ---------------------------------------------------

TEST(ReadBack, CostPerShareIsItsTextReadAsCurrency) {
  const std::pair<const char*, double> cases[] = {
      {"100", 3}, {"100", 0.5}, {"100", 0.5000001}, {"-100", 3}, {"0.01", 7}, {"1", 8},  // 0.125 -> 0.12500
      {"0.00015", 1}, {"0.00025", 1}, {"0.00035", 1}, {"1234567.89", 0.75}, {"5", 1e-3}, {"48.115", 1}};
  // The figure as the report prints it, read back; none for half a share or less.
  const auto printed = [](Currency cost, double shares) {
    if (shares <= 0.5) return Currency();
    return Currency::fromText(format(roundTo(cost.toDouble() / shares, 5), kPerSharePattern));
  };
  for (const auto& [cost, shares] : cases) {
    const Currency c = Currency::fromText(cost);
    EXPECT_EQ(costPerShare(c, shares), printed(c, shares)) << cost << " / " << shares;
  }
}

TEST(ReadBack, SharesAreTheirRoundedTextRead) {
  const double values[] = {0.0, -0.0, 2.5, 3.21987 * 3, 0.5 * 100.00003, -1e-6, 1e-5 / 2, 123456789.123456789,
                           92233720368547.0};
  for (const double v : values)
    EXPECT_TRUE(sameBits(sharesAsShown(v), parseDouble(format(roundTo(v, 5), kSharesPattern))))
        << formatSignificant15(v);
  EXPECT_EQ(errorNumber([] { sharesAsShown(1e20); }), errnum::Overflow);
}

}  // namespace
