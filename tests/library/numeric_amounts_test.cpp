// Amounts held as numbers must read exactly as the texts they stand for: each
// numeric get equals reading its text get, each numeric set equals setting a
// text that reads as the number, with the same errors at the same calls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "model/arithmetic.h"
#include "calc/calculate.h"
#include "orlendo/collection.h"
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

TEST(DecimalValue, IsTheReadingOfTheTextPrintedFromTheCount) {
  const double values[] = {0.0, -0.0, 1e-6, -4e-6, 0.5 * 100.00003, 2.675, -2.675, 123456.789012345,
                           90071992547.40993, 92233720368547.0, -92233720368547.0, 4.5e-6, 1e10, 3.21987};
  for (const double v : values) {
    for (const NumberPattern pattern : {kSharesPattern, kPerSharePattern, kAmountPattern}) {
      const std::int64_t k = scaledRound(v, pattern.decimals);
      EXPECT_TRUE(sameBits(decimalValue(k, pattern.decimals), parseDouble(format(v, pattern))))
          << formatSignificant15(v) << " with " << pattern.decimals << " decimals";
    }
  }
  // Counts beyond 2^53 are not exact as doubles: read through the decimal text.
  for (const std::int64_t k : {kMax, kMin + 1, (std::int64_t{1} << 53) + 1, -(std::int64_t{1} << 60) - 7}) {
    const std::string text = format(Currency::fromTicks(k), NumberPattern{4, false, false});
    EXPECT_TRUE(sameBits(decimalValue(k, 4), parseDouble(text))) << text;
  }
  EXPECT_EQ(errorNumber([] { scaledRound(1e300, 5); }), errnum::Overflow);
}

TEST(Significant15Value, IsTheReadingOfTheFifteenDigitText) {
  std::vector<double> values = {0.0, -0.0, 1e-5, -0.933333333333333, 0.1 + 0.2, 123456789012345678.0,
                                std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::min(),
                                1.7976931348623e308, 0.7150000000000005, 2.0 / 3.0, 0.123456789012345,
                                0.1234567890123456, -0.715, 5e-324, 9.99999999999999e22, 9.999999999999999e22};
  std::uint64_t bits = 0x9E3779B97F4A7C15u;
  for (int i = 0; i < 5000; ++i) {
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
                                    kDollarPerSharePattern, NumberPattern{0, true, false}, NumberPattern{9, true, true}};
  const std::int64_t counts[] = {0, 1, -1, 49, 50, 150, -150, 12345678, -99999999999, kMax, kMin};
  const double doubles[] = {0.0, -0.0, -0.000001, 0.125, 1234567.891, -98765.4321, 5e12};
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

TEST(NumericText, LongDigitStringsReadAsShortOnes) {
  // More digits than fit on the stack: the reading is still exact.
  const std::string zeros(120, '0');
  EXPECT_EQ(Currency::fromText("0." + zeros + "1").ticks(), 0);
  EXPECT_EQ(Currency::fromText(zeros + "12.5").ticks(), 125000);
  EXPECT_EQ(Currency::fromText("0.00005" + zeros + "1").ticks(), 1);  // above the tie only far out
  EXPECT_EQ(Currency::fromText("0.00005" + zeros).ticks(), 0);        // the tie, to even
  EXPECT_EQ(parseDouble("1" + zeros + "e-120"), 1.0);
  EXPECT_EQ(parseDouble("0." + std::string(200, '3')), 1.0 / 3.0);
  EXPECT_EQ(errorNumber([&] { parseDouble("1" + zeros + zeros + zeros); }), errnum::Overflow);
}

// ---- Xaction ------------------------------------------------------------------------------

// Each amount set as text on one transaction and as the number the text reads as on another.
TEST(XactionAmounts, NumbersReadBackAsTheirTexts) {
  const char* texts[] = {"0", "-0", "1e3", "0.5", "-12.3456789", "0.125", "0.135", "1,234,567.899999",
                         "48.115", "-0.000049", "99999999.999995", "123456789012.5"};
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

TEST(XactionAmounts, UnsetValuesAndTheLastSetOfEitherKind) {
  auto x = Xaction::create();
  EXPECT_EQ(x->NewShrsValue(), 0.0);
  EXPECT_EQ(x->ChgCostAmount(), Currency());
  EXPECT_EQ(errorNumber([&] { x->NewCostPerShrAmount(); }), errnum::TypeMismatch);  // as its text get
  EXPECT_FALSE(x->XActionDay().has_value());
  EXPECT_EQ(x->XActionDate(), "");

  x->NewCost("1e30");  // numeric text: accepted, fails only when read
  EXPECT_EQ(errorNumber([&] { x->NewCostAmount(); }), errnum::Overflow);
  x->NewCostAmount(Currency::fromText("2.5"));  // a number replaces the text
  EXPECT_EQ(x->NewCost(), "2.50");
  x->NewCost("7");  // and a text the number
  EXPECT_EQ(x->NewCostAmount(), Currency::fromText("7"));
  EXPECT_EQ(errorNumber([&] { x->NewShrs("abc"); }), errnum::NotANumber);
  EXPECT_EQ(x->NewShrsValue(), 0.0);  // a refused text changes nothing

  x->XActionDate("2/3/1999");
  ASSERT_TRUE(x->XActionDay().has_value());
  EXPECT_EQ(*x->XActionDay(), Date{std::chrono::year{1999} / 2 / 3});
  x->XActionDate("not a date");  // ignored, as before
  EXPECT_EQ(x->XActionDate(), "02/03/1999");
  x->XActionDay(Date{std::chrono::year{812} / 12 / 1});
  EXPECT_EQ(x->XActionDate(), "12/01/0812");
}

// ---- BuySell: the calculation's readings of the stored texts -------------------------------

TEST(BuySellReadings, EqualReadingTheTextGets) {
  const char* texts[] = {"0", "10", "-2.5", "1,000", " 5", "+7.5", ".5", "5.", "1e3", "-0", "1,2,3.4",
                         "0.000005", "0.000015", "12.345678", "922337203685477.5807", "-922337203685477.5808", "abc", "", "$5", "1e400"};
  for (const char* t : texts) {
    SCOPED_TRACE(t);
    auto b = BuySell::create();
    b->ChgShrs(t);
    b->ChgCost(t);
    const long sharesError = errorNumber([&] { parseDouble(b->ChgShrs()); });
    EXPECT_EQ(errorNumber([&] { b->ChgShrsValue(); }), sharesError);
    if (sharesError == 0) {
      EXPECT_TRUE(sameBits(b->ChgShrsValue(), parseDouble(b->ChgShrs())));
    }

    const long costError = errorNumber([&] { b->ChgCost(); });
    EXPECT_EQ(errorNumber([&] { b->ChgCostAmount(); }), costError);
    if (costError != 0) continue;
    const std::optional<Currency> amount = b->ChgCostAmount();
    EXPECT_EQ(amount.has_value(), isNumericText(b->ChgCost()));
    if (amount) {
      EXPECT_EQ(*amount, Currency::fromText(b->ChgCost()));
    }
  }
}

TEST(EntryDate, IsTheDayTheDateTextNames) {
  auto b = BuySell::create();
  EXPECT_EQ(parseDate(b->XActionDate()), Date{std::chrono::year{1983} / 12 / 31});
  b->XActionDate(" 4/5/99 ");
  EXPECT_EQ(parseDate(b->XActionDate()), Date{std::chrono::year{1999} / 4 / 5});
  b->XActionDate("02/30/2001");
  EXPECT_FALSE(parseDate(b->XActionDate()).has_value());
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

// ---- keys --------------------------------------------------------------------------------

TEST(CollectionKeys, OnlyKeyedMembersHoldKeysAndRemovalFreesThem) {
  Collection<int> c;
  auto member = [](int v) { return std::make_shared<int>(v); };
  c.Append(member(1));
  c.Append(member(2), "Two");
  c.Append(member(3));
  c.Append(member(4), "four");
  EXPECT_EQ(errorNumber([&] { c.Append(member(5), "TWO"); }), errnum::DuplicateKey);
  EXPECT_EQ(c.Count(), 4);
  EXPECT_EQ(*c.Item("two"), 2);

  c.Remove(1L);  // unkeyed: the keys stay
  EXPECT_EQ(*c.Item("FOUR"), 4);
  c.Remove(1L);  // "Two", now first
  EXPECT_FALSE(c.Contains("two"));
  c.Append(member(6), "two");  // the key is free again
  c.Remove("Four");
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(*c.Item(1L), 3);
  EXPECT_EQ(*c.Item(2L), 6);
  EXPECT_EQ(errorNumber([&] { c.Remove("four"); }), errnum::InvalidArgument);

  Collection<int> moved = std::move(c);  // keys still found after a move
  EXPECT_EQ(*moved.Item("TWO"), 6);
  moved.Remove("two");
  EXPECT_EQ(moved.Count(), 1);
}

}  // namespace
