#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "orlendo/catalogue.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "library/test_support.h"

using namespace orlendo;
using namespace std::chrono;

namespace {

using tvxtest::errorNumber;

const Date kToday{year{2024}, month{3}, day{5}};

TEST(Catalogue, ANewInvestorHoldsTheThirtySecuritiesInOrderKeyedByName) {
  auto investor = Investor::create(kToday);
  auto securities = investor->colSecurities();
  ASSERT_EQ(securities->Count(), 30);
  EXPECT_EQ(securities->Item(1)->SecName(), "Quorvex");
  EXPECT_EQ(securities->Item(1)->SecCode(), "QVX");
  EXPECT_EQ(securities->Item(4)->SecCode(), "TBN");
  EXPECT_EQ(securities->Item(5)->SecName(), "Altamor");
  EXPECT_EQ(securities->Item(5)->SecCode(), "Altamor");
  EXPECT_EQ(securities->Item(22)->SecName(), "Tellano after 5-27-05");
  EXPECT_EQ(securities->Item(30)->SecName(), "Vesterholm Corporation");
  EXPECT_EQ(securities->Item(30)->SecCode(), "VSTRM");

  // Position, walk and key all lead to the same object, in catalogue order.
  std::set<std::string> names;
  long position = 0;
  for (const auto& security : *securities) {
    ++position;
    EXPECT_EQ(securities->Item(position), security);
    EXPECT_EQ(securities->Item(security->SecName()), security);
    EXPECT_EQ(security->SecName(), kCatalogue[static_cast<std::size_t>(position - 1)].name);
    EXPECT_EQ(security->SecCode(), kCatalogue[static_cast<std::size_t>(position - 1)].code);
    EXPECT_EQ(security->colBuySells()->Count(), 0);
    EXPECT_EQ(security->colXActions()->Count(), 0);
    EXPECT_FALSE(security->IsDirty());
    names.insert(security->SecName());
  }
  EXPECT_EQ(position, 30);
  EXPECT_EQ(names.size(), 30u);
}

TEST(Catalogue, LookupIsByNameNotByCode) {
  auto securities = Investor::create(kToday)->colSecurities();
  EXPECT_EQ(securities->Item("Tellano after 5-27-05")->SecCode(), "TLN");
  EXPECT_EQ(securities->Item("Marquon-Ferrant")->SecCode(), "MQF");
  EXPECT_EQ(securities->Item("KSN Communications")->SecCode(), "KSN");
  EXPECT_EQ(securities->Item("Altamor Communications")->SecCode(), "ALTCOM");
  EXPECT_EQ(errorNumber([&] { securities->Item("QVX"); }), errnum::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { securities->Item("Tellano"); }), errnum::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { securities->Item(31); }), errnum::SubscriptOutOfRange);
}

TEST(Catalogue, EveryInvestorAndSecurityHasItsOwnCollections) {
  auto a = Investor::create(kToday);
  auto b = Investor::create(kToday);
  EXPECT_NE(a->colSecurities()->Item(1), b->colSecurities()->Item(1));
  std::set<const void*> seen;
  for (const auto& s : *a->colSecurities()) {
    EXPECT_TRUE(seen.insert(s->colBuySells().get()).second);
    EXPECT_TRUE(seen.insert(s->colXActions().get()).second);
  }
  std::string code = "1", date = "1/1/1990", cost = "1", shares = "1";
  a->colSecurities()->Item("Quorvex")->colBuySells()->Add(code, date, cost, shares);
  EXPECT_FALSE(b->colSecurities()->IsDirty());
  EXPECT_FALSE(a->colSecurities()->Item("Solvane")->IsDirty());
}

TEST(Investor, Defaults) {
  auto investor = Investor::create(kToday);
  EXPECT_EQ(investor->oSecurity(), investor->colSecurities()->Item(30));
  EXPECT_EQ(investor->Lumora2QVX(), eLumora::standard);
  EXPECT_EQ(investor->StartCalc(), "12/31/1983");
  EXPECT_EQ(investor->StopCalc(), "03/05/2024");
  EXPECT_EQ(investor->sName(), "");
  EXPECT_EQ(investor->Line2(), "");
  EXPECT_EQ(investor->Version(), "");
  EXPECT_EQ(investor->Filename(), "");
  EXPECT_EQ(investor->oXAction(), nullptr);
  EXPECT_FALSE(investor->InEditMode());
}

TEST(Investor, OutsideEditModeTheInvestorsFieldsIgnoreSets) {
  auto investor = Investor::create(kToday);
  investor->sName("Ann Lee");
  investor->Line2("Trust");
  investor->StartCalc("01/01/1990");
  investor->StopCalc("12/31/2016");
  investor->Lumora2QVX(eLumora::cash);
  EXPECT_EQ(investor->sName(), "");
  EXPECT_EQ(investor->Line2(), "");
  EXPECT_EQ(investor->StartCalc(), "12/31/1983");
  EXPECT_EQ(investor->StopCalc(), "03/05/2024");
  EXPECT_EQ(investor->Lumora2QVX(), eLumora::standard);
  // These are always settable.
  investor->Version("2017.10");
  investor->Filename("a.qvx");
  investor->sNameRef("Bob Roe");
  EXPECT_EQ(investor->Version(), "2017.10");
  EXPECT_EQ(investor->Filename(), "a.qvx");
  EXPECT_EQ(investor->sName(), "Bob Roe");
}

TEST(Investor, InEditModeSetsTakeEffectAndDatesMustBeDateText) {
  auto investor = Investor::create(kToday);
  investor->BeginEdit();
  EXPECT_TRUE(investor->InEditMode());
  investor->sName("Ann Lee  ");
  investor->Line2("Trust");
  investor->Lumora2QVX(eLumora::shares);
  EXPECT_EQ(investor->sName(), "Ann Lee  ");
  EXPECT_EQ(investor->Line2(), "Trust");
  EXPECT_EQ(investor->Lumora2QVX(), eLumora::shares);
  investor->Lumora2QVX(static_cast<eLumora>(7));  // not validated
  EXPECT_EQ(static_cast<int>(investor->Lumora2QVX()), 7);

  investor->StartCalc("1/1/90");
  investor->StopCalc("2016-12-31");
  EXPECT_EQ(investor->StartCalc(), "01/01/1990");
  EXPECT_EQ(investor->StopCalc(), "12/31/2016");
  for (const char* ignored : {"13/45/2000", "02/29/2001", "abc", ""}) {
    investor->StartCalc(ignored);
    investor->StopCalc(ignored);
  }
  EXPECT_EQ(investor->StartCalc(), "01/01/1990");
  EXPECT_EQ(investor->StopCalc(), "12/31/2016");

  investor->sNameRef("Ref");
  EXPECT_EQ(investor->sName(), "Ref");
  investor->sName("");
  EXPECT_EQ(investor->sName(), "");
}

}  // namespace
