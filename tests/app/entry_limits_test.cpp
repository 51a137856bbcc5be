// The entry limits against the report columns: the widest value each field
// shows whole, the one that fills it, and the first that it would cut.
#include "entry/entry_limits.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "core/report_columns.h"
#include "core/report_text.h"
#include "entry/buy_sell_list.h"

namespace tvx::test {
namespace {

TEST(EntryChecks, RunInOrderCostSharesDateWithTheirMessages) {
  EXPECT_TRUE(FailingEntryChecks(*entry("03/01/1990", "1,000", "-2.5e3")).empty());
  EXPECT_EQ(FailingEntryChecks(*entry("13/01/1990", "x", "")),
            (std::vector<EntryCheck>{EntryCheck::Cost, EntryCheck::Shares, EntryCheck::Date}));
  EXPECT_EQ(FailingEntryChecks(*entry("02/29/2001", "5", "5")), std::vector<EntryCheck>{EntryCheck::Date});
  EXPECT_EQ(FailingEntryChecks(*entry("02/29/2000", "-", "5")), std::vector<EntryCheck>{EntryCheck::Shares});

  const std::string tail = "\r\n\r\nDo you want to fix  the amount now (RECOMMENDED TO CHOOSE YES)?";
  EXPECT_EQ(EntryCheckMessage(EntryCheck::Cost, "12x"),
            "The cost amount that you entered, 12x, is not a valid number." + tail);
  EXPECT_EQ(EntryCheckMessage(EntryCheck::Shares, "abc"),
            "The number of shares that you entered, abc, is not a valid number." + tail);
  EXPECT_EQ(EntryCheckMessage(EntryCheck::Date, "02/30/2001"),
            "The date that you entered, 02/30/2001, is not a valid date." + tail);
}

// ---- the entry limits ----

struct Case {
  double shares, cost;
  bool buy;
  std::vector<std::pair<EntryValue, FieldFit>> expected;
};

TEST(EntryValueFits, TheTightestColumnDecides) {
  using E = EntryValue;
  using F = FieldFit;
  const Case cases[] = {
      {100, 2500, true, {}},
      {999'999.99999, 99'999'999.99, true, {}},                       // 14 characters each
      {1'000'000, 1000, true, {{E::Shares, F::Fills}}},               // "1,000,000.00000" fills the Summary's 15
      {9'999'999.99999, 1000, true, {{E::Shares, F::Fills}}},
      {10'000'000, 1000, true, {{E::Shares, F::Cut}}},
      {9'999'999.999996, 1000, true, {{E::Shares, F::Cut}}},          // rounds up to eight digits
      {-9'999'999.99999, 0, false, {{E::Shares, F::Fills}}},          // a sell: "-9,999,999.99999" fills 16
      {500, 100'000'000, true, {{E::Cost, F::Fills}}},                // "$100,000,000.00"
      {500, 999'999'999.99, true, {{E::Cost, F::Fills}}},
      {500, 1'000'000'000, true, {{E::Cost, F::Cut}}},
      {500, 1'000'000'000, false, {}},                                 // a sell's cost is not shown
      {0.0001, 100'000'000, true, {{E::Cost, F::Fills}, {E::CostPerShare, F::Cut}}},
      {0, 5000, true, {}},                                             // no shares: no cost per share
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.shares << " shares, cost " << c.cost << (c.buy ? " buy" : " sell"));
    const auto fits = EntryValueFits(c.shares, c.cost, c.buy);
    ASSERT_EQ(fits.size(), c.expected.size());
    for (std::size_t i = 0; i < fits.size(); ++i) {
      EXPECT_EQ(fits[i].what, c.expected[i].first);
      EXPECT_EQ(fits[i].fit, c.expected[i].second);
    }
  }
}

// What the limits promise holds in the report fields themselves: the largest
// value allowed fills its field, a larger one runs past it.
TEST(EntryValueFits, TheLargestShownValueSurvivesItsFieldAndACutOneDoesNot) {
  const auto shares = EntryValueFits(12'345'678, 0, true).at(0);
  EXPECT_EQ(shares.shown, "12,345,678.00000");
  EXPECT_EQ(shares.largest, "9,999,999.99999");
  EXPECT_EQ(RightFit(kSummaryShares.width, shares.largest), shares.largest);
  EXPECT_NE(RightFit(kSummaryShares.width, shares.shown), shares.shown);

  const auto cost = EntryValueFits(10, 1'234'567'890, true).at(0);
  EXPECT_EQ(cost.shown, "$1,234,567,890.00");
  EXPECT_EQ(cost.largest, "$999,999,999.99");
  EXPECT_EQ(RightFit(kSummaryBasis.width, cost.largest), cost.largest);

  EXPECT_EQ(CutValueMessage(shares, true),
            "The number of shares of this entry, 12,345,678.00000, is too large for the reports: their columns show "
            "at most 9,999,999.99999, and a larger value would push the columns after it out of line.\r\n\r\nThe entry was not added.");
  EXPECT_NE(CutValueMessage(cost, false).find("The entry was not changed."), std::string::npos);
  EXPECT_NE(FullFieldQuestion(cost).find("Do you want to keep it?"), std::string::npos);
}

}  // namespace
}  // namespace tvx::test
