#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "orlendo/error.h"
#include "orlendo/model.h"
#include "library/test_support.h"

using namespace orlendo;

namespace {

using tvxtest::caught;
using tvxtest::errorNumber;

BuySellPtr addEntry(const BuySellsPtr& list, std::string_view key = {}, std::string code = "") {
  std::string date = "1/1/1990", cost = "1", shares = "1";
  return list->Add(code, date, cost, shares, key);
}

// ---- Xaction --------------------------------------------------------------------------

TEST(Xaction, TextAmountsAreStoredRawAndFormattedOnEveryGet) {
  auto x = Xaction::create();
  EXPECT_EQ(x->NewShrs(), "0.00000");  // nothing set yet
  EXPECT_EQ(x->ChgCost(), "0.00");
  // Two amounts have no value to read before their first set.
  EXPECT_EQ(errorNumber([&] { x->NewCostPerShr(); }), errnum::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { x->AllocationFactor(); }), errnum::TypeMismatch);

  x->NewShrs("1e3");
  EXPECT_EQ(x->NewShrs(), "1,000.00000");
  x->NewShrs("0.5");  // a fresh set replaces the raw text, not the formatted one
  EXPECT_EQ(x->NewShrs(), "0.50000");
  x->ChgShrs("-12.3456789");
  EXPECT_EQ(x->ChgShrs(), "-12.34568");
  x->NewCost("0.125");  // read exactly as currency: a tie, to even
  EXPECT_EQ(x->NewCost(), "0.12");
  x->ChgCost("-0.004");
  EXPECT_EQ(x->ChgCost(), "0.00");
  // The cost per share passes through currency: the fifth decimal is always 0.
  x->NewCostPerShr("12.345678");
  EXPECT_EQ(x->NewCostPerShr(), "12.34570");
  x->NewCostPerShr("1234.56785");
  EXPECT_EQ(x->NewCostPerShr(), "1234.56780");  // .56785 -> .5678 (tie, even)
}

TEST(Xaction, NonNumericAmountRaises10002AndKeepsThePreviousValue) {
  auto x = Xaction::create();
  using Set = void (Xaction::*)(std::string_view);
  using Get = std::string (Xaction::*)() const;
  const std::pair<Set, Get> amounts[] = {{&Xaction::NewShrs, &Xaction::NewShrs},
                                         {&Xaction::NewCostPerShr, &Xaction::NewCostPerShr},
                                         {&Xaction::NewCost, &Xaction::NewCost},
                                         {&Xaction::ChgShrs, &Xaction::ChgShrs},
                                         {&Xaction::ChgCost, &Xaction::ChgCost}};
  for (const auto& [set, get] : amounts) {
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
  EXPECT_EQ(b->ChgShrs(), "-100.12346");
  EXPECT_EQ(b->ChgCost(), "10.01");
  b->ChgShrs("abc");
  b->ChgCost("");
  b->XActionDate("13/45/2000");
  EXPECT_EQ(b->ChgShrs(), "abc");
  EXPECT_EQ(b->ChgCost(), "");
  EXPECT_EQ(b->XActionDate(), "13/45/2000");
}

TEST(BuySells, AddWithEmptyTextsStoresZeroAndChangesTheCallersVariables) {
  auto list = BuySells::create();
  std::string code = "1990/03/15-1", date = "03/15/1990", cost, shares;
  auto entry = list->Add(code, date, cost, shares);
  EXPECT_EQ(cost, "0");
  EXPECT_EQ(shares, "0");
  EXPECT_EQ(entry->ChgCost(), "0.00");
  EXPECT_EQ(entry->ChgShrs(), "0.00000");
  EXPECT_EQ(entry->Code(), "1990/03/15-1");
  // Texts that are present stay as they are, also in the caller's variables.
  std::string cost2 = "1,000", shares2 = "-5";
  list->Add(code, date, cost2, shares2);
  EXPECT_EQ(cost2, "1,000");
  EXPECT_EQ(shares2, "-5");
}

TEST(BuySells, ItemRemoveAndUniqueKeysKeepInsertionOrder) {
  auto list = BuySells::create();
  auto a = addEntry(list, "k1", "a");
  auto b = addEntry(list);
  auto c = addEntry(list, "k3", "c");
  EXPECT_EQ(std::vector<BuySellPtr>(list->begin(), list->end()), (std::vector<BuySellPtr>{a, b, c}));
  EXPECT_EQ(list->Item(2), b);
  EXPECT_EQ(list->Item("K3"), c);  // keys match whatever their case

  EXPECT_EQ(errorNumber([&] { addEntry(list, "k1"); }), errnum::DuplicateKey);
  EXPECT_EQ(list->Count(), 3);
  for (long bad : {0, 4}) EXPECT_EQ(errorNumber([&] { list->Item(bad); }), errnum::SubscriptOutOfRange) << bad;
  for (const char* bad : {"nope", ""}) EXPECT_EQ(errorNumber([&] { list->Item(bad); }), errnum::InvalidArgument);

  list->Remove(2);
  list->Remove("k1");
  EXPECT_EQ(list->Item(1), c);
  EXPECT_EQ(list->Item("k3"), c);
  EXPECT_EQ(errorNumber([&] { list->Item("k1"); }), errnum::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { list->Remove(2); }), errnum::SubscriptOutOfRange);
  EXPECT_EQ(errorNumber([&] { list->Remove("k1"); }), errnum::InvalidArgument);
  // A removed key can be used again; a removed member lives on with its holder.
  addEntry(list, "k1", "a2");
  EXPECT_EQ(list->Item("k1")->Code(), "a2");
  EXPECT_EQ(a->Code(), "a");
}

// ---- dirty flags ------------------------------------------------------------------------

TEST(DirtyFlags, SetByAddAndRemoveOfBuysAndSellsNeverCleared) {
  auto list = BuySells::create();
  EXPECT_NE(errorNumber([&] { list->Remove(1); }), 0);
  EXPECT_FALSE(list->IsDirty());  // a failed remove changes nothing
  addEntry(list, "k");
  list->Remove("k");
  EXPECT_EQ(list->Count(), 0);
  EXPECT_TRUE(list->IsDirty());

  auto security = Security::create();
  security->colBuySells(list);
  EXPECT_TRUE(security->IsDirty());
  security->colBuySells(BuySells::create());  // a fresh collection reads clean again
  EXPECT_FALSE(security->IsDirty());

  auto securities = Investor::create()->colSecurities();
  EXPECT_FALSE(securities->IsDirty());
  addEntry(securities->Item("Dunmarrow")->colBuySells());
  EXPECT_TRUE(securities->IsDirty());
  EXPECT_FALSE(securities->Item(1)->IsDirty());
  securities->Remove("Dunmarrow");  // removing a security does not mark anything
  EXPECT_FALSE(securities->IsDirty());
}

}  // namespace
