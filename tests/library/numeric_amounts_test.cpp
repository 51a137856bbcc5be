// A transaction's amounts: how each text amount is formatted and refused.
// Amounts held as numbers must read exactly as the texts they stand for: each
// numeric get equals reading its text get, each numeric set equals setting a
// text that reads as the number; and significant15Value, which mostly skips
// the text, gives what the text would.

#include <cstring>

#include "library/test_support.h"

using namespace orlendo;
using tvxtest::caught;
using tvxtest::errorNumber;

namespace {

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
  for (const double v : values)
    EXPECT_TRUE(sameBits(significant15Value(v), parseDouble(formatSignificant15(v)))) << formatSignificant15(v);
  for (const double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::quiet_NaN()})
    EXPECT_EQ(errorNumber([&] { significant15Value(v); }), errnum::Overflow);
}

// ---- Xaction ------------------------------------------------------------------------------

using Set = void (Xaction::*)(std::string_view);
using Get = std::string (Xaction::*)() const;
const std::pair<Set, Get> kAmounts[] = {{&Xaction::NewShrs, &Xaction::NewShrs},
                           {&Xaction::NewCostPerShr, &Xaction::NewCostPerShr},
                           {&Xaction::NewCost, &Xaction::NewCost},
                           {&Xaction::ChgShrs, &Xaction::ChgShrs},
                           {&Xaction::ChgCost, &Xaction::ChgCost}};

// A text amount that is no number is refused and the previous value kept;
// two amounts have no value to read before their first set.
TEST(Xaction, NonNumericAmountRaises10002AndKeepsThePreviousValue) {
  auto x = Xaction::create();
  EXPECT_EQ(errorNumber([&] { x->NewCostPerShr(); }), errnum::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { x->AllocationFactor(); }), errnum::TypeMismatch);
  for (const auto& [set, get] : kAmounts) {
    ((*x).*set)("7.5");
    const std::string before = ((*x).*get)();
    for (const char* bad : {"", "abc", "1.2.3", "$5", " "}) {
      const Error e = caught([&] { ((*x).*set)(bad); });
      EXPECT_EQ(e.number(), errnum::NotANumber) << '"' << bad << '"';
      EXPECT_EQ(e.source(), "XAction\rThis item needs to be a number.");
      EXPECT_EQ(e.description(), "Tallyvex");
    }
    EXPECT_EQ(((*x).*get)(), before);
  }
}

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
    const auto texts = [](const XactionPtr& x) {
      return x->NewShrs() + "|" + x->ChgShrs() + "|" + x->NewCost() + "|" + x->ChgCost() + "|" + x->NewCostPerShr();
    };
    EXPECT_EQ(texts(byNumber), texts(byText));
    for (const auto& x : {byText, byNumber}) {
      EXPECT_TRUE(sameBits(x->NewShrsValue(), parseDouble(x->NewShrs())));
      EXPECT_TRUE(sameBits(x->ChgShrsValue(), parseDouble(x->ChgShrs())));
      EXPECT_EQ(x->NewCostAmount(), Currency::fromText(x->NewCost()));
      EXPECT_EQ(x->ChgCostAmount(), Currency::fromText(x->ChgCost()));
      EXPECT_EQ(x->NewCostPerShrAmount(), Currency::fromText(x->NewCostPerShr()));
    }
  }
}

}  // namespace
