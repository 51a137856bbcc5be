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

BuySellPtr addEntry(const BuySellsPtr& list, std::string code, std::string date, std::string cost,
                    std::string shares, std::string_view key = {}) {
  return list->Add(code, date, cost, shares, key);
}

// ---- Xaction --------------------------------------------------------------------------

TEST(Xaction, StartsEmpty) {
  auto x = Xaction::create();
  EXPECT_EQ(x->NewShrs(), "0.00000");
  EXPECT_EQ(x->NewCost(), "0.00");
  EXPECT_EQ(x->ChgShrs(), "0.00000");
  EXPECT_EQ(x->ChgCost(), "0.00");
  EXPECT_EQ(x->XActionDate(), "");
  EXPECT_EQ(x->XactionType(), XTransType::Buy);
  EXPECT_EQ(x->SourceCost(), Currency());
  EXPECT_EQ(x->DistributionFactor(), 0.0);
  EXPECT_EQ(x->Description(), "");
  EXPECT_EQ(x->Code(), "");
  // Two amounts have no value to read before their first set.
  EXPECT_EQ(caught([&] { x->NewCostPerShr(); }).number(), errnum::TypeMismatch);
  EXPECT_EQ(caught([&] { x->AllocationFactor(); }).number(), errnum::TypeMismatch);
}

TEST(Xaction, TextAmountsAreStoredRawAndFormattedOnEveryGet) {
  auto x = Xaction::create();
  x->NewShrs("1234.5");
  EXPECT_EQ(x->NewShrs(), "1,234.50000");
  x->NewShrs("1e3");
  EXPECT_EQ(x->NewShrs(), "1,000.00000");
  x->NewShrs("0.5");  // a fresh set replaces the raw text, not the formatted one
  EXPECT_EQ(x->NewShrs(), "0.50000");
  x->ChgShrs("-12.3456789");
  EXPECT_EQ(x->ChgShrs(), "-12.34568");
  x->NewCost("-1234.567");
  EXPECT_EQ(x->NewCost(), "-1,234.57");
  x->NewCost("0.125");  // read exactly as currency: a tie, to even
  EXPECT_EQ(x->NewCost(), "0.12");
  x->ChgCost("-0.004");
  EXPECT_EQ(x->ChgCost(), "0.00");
  x->ChgCost("1,000");
  EXPECT_EQ(x->ChgCost(), "1,000.00");
  // The cost per share passes through currency: the fifth decimal is always 0.
  x->NewCostPerShr("12.345678");
  EXPECT_EQ(x->NewCostPerShr(), "12.34570");
  x->NewCostPerShr("1234.56785");
  EXPECT_EQ(x->NewCostPerShr(), "1234.56780");  // .56785 -> .5678 (tie, even)
  x->NewCostPerShr("-0.00004");
  EXPECT_EQ(x->NewCostPerShr(), "0.00000");
}

TEST(Xaction, NonNumericAmountRaises10002AndKeepsThePreviousValue) {
  auto x = Xaction::create();
  x->NewShrs("10");
  x->NewCostPerShr("2.5");
  x->NewCost("25");
  x->ChgShrs("3");
  x->ChgCost("7.5");
  const std::vector<std::string> before{x->NewShrs(), x->NewCostPerShr(), x->NewCost(), x->ChgShrs(), x->ChgCost()};
  for (const char* bad : {"", "abc", "1.2.3", "$5", " "}) {
    for (auto set : std::vector<void (Xaction::*)(std::string_view)>{&Xaction::NewShrs, &Xaction::NewCostPerShr,
                                                                      &Xaction::NewCost, &Xaction::ChgShrs,
                                                                      &Xaction::ChgCost}) {
      const Error e = caught([&] { ((*x).*set)(bad); });
      EXPECT_EQ(e.number(), errnum::NotANumber) << '"' << bad << '"';
      EXPECT_EQ(e.source(), "XAction\rThis item needs to be a number.");
      EXPECT_EQ(e.description(), "Tallyvex");
    }
  }
  EXPECT_EQ((std::vector<std::string>{x->NewShrs(), x->NewCostPerShr(), x->NewCost(), x->ChgShrs(), x->ChgCost()}),
            before);
}

TEST(Xaction, AllocationFactorKeepsFifteenSignificantDigits) {
  auto x = Xaction::create();
  x->AllocationFactor(1.0 / 3.0);
  EXPECT_EQ(x->AllocationFactor(), 0.333333333333333);
  x->AllocationFactor(0.1 + 0.2);
  EXPECT_EQ(x->AllocationFactor(), 0.3);
  x->AllocationFactor(-0.933333333333);
  EXPECT_EQ(x->AllocationFactor(), -0.933333333333);
  x->AllocationFactor(1e-5);
  EXPECT_EQ(x->AllocationFactor(), 1e-5);
  const Error e = caught([&] { x->AllocationFactor(std::nan("")); });
  EXPECT_EQ(e.number(), errnum::Overflow);
  EXPECT_EQ(e.source().substr(0, 8), "XAction\r");
  EXPECT_EQ(x->AllocationFactor(), 1e-5);
}

TEST(Xaction, DateIsStoredOnlyWhenDateTextAndReadAsFixedWidth) {
  auto x = Xaction::create();
  x->XActionDate("12/31/83");
  EXPECT_EQ(x->XActionDate(), "12/31/1983");
  for (const char* ignored : {"abc", "", "02/29/2001", "13/45/2000"}) {
    x->XActionDate(ignored);
    EXPECT_EQ(x->XActionDate(), "12/31/1983") << ignored;
  }
  x->XActionDate("2016-7-4");
  EXPECT_EQ(x->XActionDate(), "07/04/2016");
}

TEST(Xaction, SourceAmountsReadRounded) {
  auto x = Xaction::create();
  x->SourceCost(Currency::fromText("1.2350"));
  EXPECT_EQ(x->SourceCost(), Currency::fromText("1.24"));
  x->SourceGainRecog(Currency::fromText("-1.0050"));
  EXPECT_EQ(x->SourceGainRecog(), Currency::fromText("-1.00"));
  x->SourceCashRecd(Currency::fromText("2.0049"));
  EXPECT_EQ(x->SourceCashRecd(), Currency::fromText("2.00"));
  x->SourceShrs(0.5 * 100.00003);
  EXPECT_EQ(x->SourceShrs(), 50.00002);
  x->SourcePricePerShr(1.234564);
  EXPECT_EQ(x->SourcePricePerShr(), 1.23456);
  // The merger fields keep what they are given.
  x->CashOrStk_FMVperShare(1.234564);
  EXPECT_EQ(x->CashOrStk_FMVperShare(), 1.234564);
  x->CashOrStk_FMVofStkRecd(Currency::fromText("1.2350"));
  EXPECT_EQ(x->CashOrStk_FMVofStkRecd(), Currency::fromText("1.2350"));
}

// ---- BuySell ----------------------------------------------------------------------------

TEST(BuySell, DefaultsAndFormattedGets) {
  auto b = BuySell::create();
  EXPECT_EQ(b->ChgShrs(), "0.00000");
  EXPECT_EQ(b->ChgCost(), "0.00");
  EXPECT_EQ(b->XActionDate(), "12/31/1983");
  EXPECT_EQ(b->Code(), "");
  b->ChgShrs("1234.5");
  b->ChgCost("1000");
  EXPECT_EQ(b->ChgShrs(), "1,234.50000");
  EXPECT_EQ(b->ChgCost(), "1,000.00");
  b->ChgShrs("-100.1234567");
  b->ChgCost("10.006");
  EXPECT_EQ(b->ChgShrs(), "-100.12346");
  EXPECT_EQ(b->ChgCost(), "10.01");
  // Text that is not numeric, and any date text, come back as stored.
  b->ChgShrs("abc");
  b->ChgCost("");
  b->XActionDate("13/45/2000");
  EXPECT_EQ(b->ChgShrs(), "abc");
  EXPECT_EQ(b->ChgCost(), "");
  EXPECT_EQ(b->XActionDate(), "13/45/2000");
}

// ---- BuySells -----------------------------------------------------------------------------

TEST(BuySells, AddWithEmptyTextsStoresZeroAndChangesTheCallersVariables) {
  auto list = BuySells::create();
  std::string code = "1990/03/15-1", date = "03/15/1990", cost, shares;
  auto entry = list->Add(code, date, cost, shares);
  EXPECT_EQ(cost, "0");
  EXPECT_EQ(shares, "0");
  EXPECT_EQ(entry->ChgCost(), "0.00");
  EXPECT_EQ(entry->ChgShrs(), "0.00000");
  EXPECT_EQ(entry->Code(), "1990/03/15-1");
  EXPECT_EQ(entry->XActionDate(), "03/15/1990");
  // Texts that are present stay as they are, also in the caller's variables.
  std::string cost2 = "1,000", shares2 = "-5";
  list->Add(code, date, cost2, shares2);
  EXPECT_EQ(cost2, "1,000");
  EXPECT_EQ(shares2, "-5");
  EXPECT_EQ(list->Item(2)->ChgShrs(), "-5.00000");
}

TEST(BuySells, ItemByPositionOrKeyAndUniqueKeys) {
  auto list = BuySells::create();
  auto a = addEntry(list, "a", "1/1/1990", "1", "1", "k1");
  auto b = addEntry(list, "b", "1/1/1991", "2", "2");
  auto c = addEntry(list, "c", "1/1/1992", "3", "3", "k3");
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Item(1), a);
  EXPECT_EQ(list->Item(2), b);
  EXPECT_EQ(list->Item(3), c);
  EXPECT_EQ(list->Item("k3"), c);

  const Error dup = caught([&] { addEntry(list, "d", "1/1/1993", "4", "4", "k1"); });
  EXPECT_EQ(dup.number(), errnum::DuplicateKey);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Item("k1"), a);

  EXPECT_EQ(caught([&] { list->Item(0); }).number(), errnum::SubscriptOutOfRange);
  EXPECT_EQ(caught([&] { list->Item(4); }).number(), errnum::SubscriptOutOfRange);
  EXPECT_EQ(caught([&] { list->Item(9); }).number(), errnum::SubscriptOutOfRange);
  EXPECT_EQ(caught([&] { list->Item("nope"); }).number(), errnum::InvalidArgument);
  EXPECT_EQ(caught([&] { list->Item(""); }).number(), errnum::InvalidArgument);

  std::vector<BuySellPtr> walked(list->begin(), list->end());
  EXPECT_EQ(walked, (std::vector<BuySellPtr>{a, b, c}));
}

TEST(BuySells, RemoveByPositionAndKeyKeepsOrderAndFreesTheKey) {
  auto list = BuySells::create();
  auto a = addEntry(list, "a", "", "", "", "k1");
  auto b = addEntry(list, "b", "", "", "", "k2");
  auto c = addEntry(list, "c", "", "", "", "k3");
  list->Remove("k2");
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Item(2), c);
  EXPECT_EQ(list->Item("k3"), c);
  EXPECT_EQ(caught([&] { list->Item("k2"); }).number(), errnum::InvalidArgument);
  list->Remove(1);
  EXPECT_EQ(list->Item(1), c);
  EXPECT_EQ(caught([&] { list->Item("k1"); }).number(), errnum::InvalidArgument);
  EXPECT_EQ(caught([&] { list->Remove(2); }).number(), errnum::SubscriptOutOfRange);
  EXPECT_EQ(caught([&] { list->Remove("k1"); }).number(), errnum::InvalidArgument);
  // A removed key can be used again; a removed member lives on with its holder.
  addEntry(list, "a2", "", "", "", "k1");
  EXPECT_EQ(list->Item("k1")->Code(), "a2");
  EXPECT_EQ(a->Code(), "a");
  EXPECT_EQ(b->Code(), "b");
}

TEST(DirtyFlags, SetByAddAndRemoveNeverCleared) {
  auto list = BuySells::create();
  EXPECT_FALSE(list->IsDirty());
  EXPECT_NE(caught([&] { list->Remove(1); }).number(), 0);
  EXPECT_FALSE(list->IsDirty());  // a failed remove changes nothing
  addEntry(list, "a", "", "", "", "k");
  EXPECT_TRUE(list->IsDirty());
  list->Remove("k");
  EXPECT_EQ(list->Count(), 0);
  EXPECT_TRUE(list->IsDirty());

  auto security = Security::create();
  EXPECT_FALSE(security->IsDirty());
  EXPECT_EQ(security->colBuySells()->Count(), 0);
  EXPECT_EQ(security->colXActions()->Count(), 0);
  security->colBuySells(list);
  EXPECT_TRUE(security->IsDirty());
  security->colBuySells(BuySells::create());  // a fresh collection reads clean again
  EXPECT_FALSE(security->IsDirty());
}

TEST(DirtyFlags, SecuritiesAreDirtyWhenAnySecurityIs) {
  auto empty = Securities::create();
  EXPECT_FALSE(empty->IsDirty());

  auto investor = Investor::create();
  auto securities = investor->colSecurities();
  EXPECT_FALSE(securities->IsDirty());
  addEntry(securities->Item("Dunmarrow")->colBuySells(), "x", "1/1/1990", "5", "5");
  EXPECT_TRUE(securities->IsDirty());
  EXPECT_TRUE(securities->Item(10)->IsDirty());
  EXPECT_FALSE(securities->Item(1)->IsDirty());
  securities->Item("Dunmarrow")->colBuySells()->Remove(1);
  EXPECT_TRUE(securities->IsDirty());
}

// ---- Securities ---------------------------------------------------------------------------

TEST(Securities, AddSetsCodeAndNameUnderTheKey) {
  auto list = Securities::create();
  std::string code = "QVX", name = "Quorvex";
  auto s = list->Add(code, name, name);
  EXPECT_EQ(s->SecCode(), "QVX");
  EXPECT_EQ(s->SecName(), "Quorvex");
  EXPECT_EQ(list->Item("Quorvex"), s);
  EXPECT_EQ(caught([&] { list->Item("QVX"); }).number(), errnum::InvalidArgument);
  std::string code2 = "Q2";
  EXPECT_EQ(caught([&] { list->Add(code2, name, name); }).number(), errnum::DuplicateKey);
  EXPECT_EQ(list->Count(), 1);
  std::string code3 = "N", name3 = "No key";
  list->Add(code3, name3);
  EXPECT_EQ(list->Count(), 2);
  list->Remove("Quorvex");
  EXPECT_EQ(list->Item(1)->SecName(), "No key");
  EXPECT_FALSE(list->IsDirty());  // removing a security does not mark anything
}

// ---- Xactions -----------------------------------------------------------------------------

XactionPtr buy(const std::string& shares, const std::string& cost) {
  auto x = Xaction::create();
  x->XactionType(XTransType::Buy);
  x->ChgShrs(shares);
  x->ChgCost(cost);
  return x;
}

TEST(Xactions, AddComputesFromThePreviousAndRemoveRecomputesNothing) {
  auto list = Xactions::create();
  auto x1 = list->Add(buy("100", "1000"));
  auto x2 = list->Add(buy("50", "600"));
  auto x3 = list->Add(buy("10", "150"));
  EXPECT_EQ(x2->NewShrs(), "150.00000");
  EXPECT_EQ(x3->NewShrs(), "160.00000");
  EXPECT_EQ(x3->NewCost(), "1,750.00");
  const std::string perShare = x3->NewCostPerShr();

  list->Remove(2);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Item(1), x1);
  EXPECT_EQ(list->Item(2), x3);
  EXPECT_EQ(x3->NewShrs(), "160.00000");
  EXPECT_EQ(x3->NewCost(), "1,750.00");
  EXPECT_EQ(x3->NewCostPerShr(), perShare);
  EXPECT_EQ(x2->NewShrs(), "150.00000");  // the removed one lives on with its holder

  EXPECT_EQ(caught([&] { list->Item(3); }).number(), errnum::SubscriptOutOfRange);
  EXPECT_EQ(caught([&] { list->Remove(0); }).number(), errnum::SubscriptOutOfRange);
  std::vector<XactionPtr> walked(list->begin(), list->end());
  EXPECT_EQ(walked, (std::vector<XactionPtr>{x1, x3}));
}

}  // namespace
