#include <gtest/gtest.h>

#include <set>
#include <string>

#include "orlendo/catalogue.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "library/test_support.h"

using namespace orlendo;

namespace {

using tvxtest::errorNumber;

const Date kToday = tvxtest::ymd(2024, 3, 5);

TEST(Catalogue, ANewInvestorHoldsTheThirtySecuritiesInOrderKeyedByName) {
  auto investor = Investor::create(kToday);
  auto other = Investor::create(kToday);
  auto securities = investor->colSecurities();
  ASSERT_EQ(securities->Count(), 30);
  // A few rows written out, so that the catalogue itself is checked too.
  EXPECT_EQ(securities->Item(1)->SecName() + " " + securities->Item(1)->SecCode(), "Quorvex QVX");
  EXPECT_EQ(securities->Item(5)->SecName() + " " + securities->Item(5)->SecCode(), "Altamor Altamor");
  EXPECT_EQ(securities->Item(22)->SecName() + " " + securities->Item(22)->SecCode(), "Tellano after 5-27-05 TLN");
  EXPECT_EQ(securities->Item(30)->SecName() + " " + securities->Item(30)->SecCode(),
            "Vesterholm Corporation VSTRM");

  // Position, walk and name all lead to the same object, in catalogue order,
  // each with its own empty collections.
  std::set<const void*> collections;
  long position = 0;
  for (const auto& security : *securities) {
    ++position;
    const auto& row = kCatalogue[static_cast<std::size_t>(position - 1)];
    EXPECT_EQ(securities->Item(position), security);
    EXPECT_EQ(securities->Item(row.name), security);
    EXPECT_EQ(security->colBuySells()->Count(), 0);
    EXPECT_EQ(security->colXActions()->Count(), 0);
    EXPECT_TRUE(collections.insert(security->colBuySells().get()).second);
    EXPECT_TRUE(collections.insert(security->colXActions().get()).second);
    EXPECT_NE(other->colSecurities()->Item(position), security);
  }
  EXPECT_EQ(position, 30);
  // Lookup is by name, never by code.
  EXPECT_EQ(errorNumber([&] { securities->Item("QVX"); }), errnum::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { securities->Item("Tellano"); }), errnum::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { securities->Item(31); }), errnum::SubscriptOutOfRange);
}

TEST(Investor, DefaultsAndEditMode) {
  auto investor = Investor::create(kToday);
  EXPECT_EQ(investor->oSecurity(), investor->colSecurities()->Item(30));
  EXPECT_EQ(investor->oXAction(), nullptr);
  EXPECT_FALSE(investor->InEditMode());

  // Outside edit mode the investor's own fields ignore sets.
  investor->sName("Ann Lee");
  investor->StartCalc("01/01/1990");
  investor->Lumora2QVX(eLumora::cash);
  EXPECT_EQ(investor->sName(), "");
  EXPECT_EQ(investor->StartCalc(), "12/31/1983");
  EXPECT_EQ(investor->StopCalc(), "03/05/2024");  // the investor's today
  EXPECT_EQ(investor->Lumora2QVX(), eLumora::standard);
  // These are always settable.
  investor->Version("2017.10");
  investor->sNameRef("Bob Roe");
  EXPECT_EQ(investor->Version(), "2017.10");
  EXPECT_EQ(investor->sName(), "Bob Roe");

  investor->BeginEdit();
  EXPECT_TRUE(investor->InEditMode());
  investor->sName("Ann Lee  ");
  investor->Lumora2QVX(static_cast<eLumora>(7));  // not validated
  EXPECT_EQ(investor->sName(), "Ann Lee  ");
  EXPECT_EQ(static_cast<int>(investor->Lumora2QVX()), 7);
  // Dates must be date text and read back as "mm/dd/yyyy".
  investor->StartCalc("1/1/90");
  investor->StopCalc("2016-12-31");
  for (const char* ignored : {"13/45/2000", "02/29/2001", "abc", ""}) {
    investor->StartCalc(ignored);
    investor->StopCalc(ignored);
  }
  EXPECT_EQ(investor->StartCalc(), "01/01/1990");
  EXPECT_EQ(investor->StopCalc(), "12/31/2016");
}

}  // namespace
