#include "library/test_support.h"

using namespace orlendo;

namespace {

using tvxtest::caught;
using tvxtest::errorNumber;

// ---- Xaction --------------------------------------------------------------------------

using Set = void (Xaction::*)(std::string_view);
using Get = std::string (Xaction::*)() const;
struct Amount {
  Set set;
  Get get;
};
const Amount kAmounts[] = {{&Xaction::NewShrs, &Xaction::NewShrs},
                           {&Xaction::NewCostPerShr, &Xaction::NewCostPerShr},
                           {&Xaction::NewCost, &Xaction::NewCost},
                           {&Xaction::ChgShrs, &Xaction::ChgShrs},
                           {&Xaction::ChgCost, &Xaction::ChgCost}};

// Each text amount is formatted on every get; the cost per share passes
// through currency (its fifth decimal is always 0) and costs read exactly
// as currency (ties to even).
TEST(Xaction, TextAmountsAreFormattedOnEveryGet) {
  struct Case {
    int amount;  // in kAmounts
    const char *text, *shown;
  };
  const Case cases[] = {
      {0, "1e3", "1,000.00000"},       {0, "0.5", "0.50000"},          {3, "-12.3456789", "-12.34568"},
      {2, "0.125", "0.12"},            {4, "-0.004", "0.00"},          {1, "12.345678", "12.34570"},
      {1, "1234.56785", "1234.56780"},
  };
  auto x = Xaction::create();
  EXPECT_EQ(x->NewShrs() + " " + x->ChgCost(), "0.00000 0.00");  // nothing set yet
  // Two amounts have no value to read before their first set.
  EXPECT_EQ(errorNumber([&] { x->NewCostPerShr(); }), errnum::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { x->AllocationFactor(); }), errnum::TypeMismatch);
  for (const Case& c : cases) {
    ((*x).*kAmounts[c.amount].set)(c.text);
    EXPECT_EQ(((*x).*kAmounts[c.amount].get)(), c.shown) << c.text;
  }
}

TEST(Xaction, NonNumericAmountRaises10002AndKeepsThePreviousValue) {
  auto x = Xaction::create();
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

TEST(Xaction, FactorsDatesAndSourceAmountsFollowTheirStorageRules) {
  auto x = Xaction::create();
  // The allocation factor keeps fifteen significant digits.
  x->AllocationFactor(1.0 / 3.0);
  EXPECT_EQ(x->AllocationFactor(), 0.333333333333333);
  x->AllocationFactor(-0.933333333333);
  EXPECT_EQ(x->AllocationFactor(), -0.933333333333);
  const Error e = caught([&] { x->AllocationFactor(std::nan("")); });
  EXPECT_EQ(e.number(), errnum::Overflow);
  EXPECT_EQ(e.source().substr(0, 8), "XAction\r");
  EXPECT_EQ(x->AllocationFactor(), -0.933333333333);

  // A date is stored only when it is date text, and reads as "mm/dd/yyyy".
  x->XActionDate("12/31/83");
  for (const char* ignored : {"abc", "", "02/29/2001"}) x->XActionDate(ignored);
  EXPECT_EQ(x->XActionDate(), "12/31/1983");

  // Source amounts read rounded.
  x->SourceCost(Currency::fromText("1.2350"));
  EXPECT_EQ(x->SourceCost(), Currency::fromText("1.24"));
  x->SourceShrs(0.5 * 100.00003);
  EXPECT_EQ(x->SourceShrs(), 50.00002);
  x->SourcePricePerShr(1.234564);
  EXPECT_EQ(x->SourcePricePerShr(), 1.23456);
}

// ---- BuySell and BuySells ---------------------------------------------------------------

TEST(BuySell, NumericTextIsFormattedOtherTextComesBackAsStored) {
  auto b = BuySell::create();
  EXPECT_EQ(b->XActionDate(), "12/31/1983");
  b->ChgShrs("-100.1234567");
  b->ChgCost("10.006");
  EXPECT_EQ(b->ChgShrs() + "|" + b->ChgCost(), "-100.12346|10.01");
  b->ChgShrs("abc");
  b->ChgCost("");
  b->XActionDate("13/45/2000");
  EXPECT_EQ(b->ChgShrs() + "|" + b->ChgCost() + "|" + b->XActionDate(), "abc||13/45/2000");
}

}  // namespace
