// The buy/sell list and its checks.
#include "entry/buy_sell_list.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

struct StoredEntry {
  std::string code, date, shares, cost;
  bool operator==(const StoredEntry&) const = default;
};

std::vector<StoredEntry> stored(const orlendo::BuySells& c) {
  std::vector<StoredEntry> out;
  for (const auto& b : c) out.push_back({b->Code(), b->XActionDate(), b->ChgShrs(), b->ChgCost()});
  return out;
}

// The rows, list and collection of one security, as the window keeps them.
struct ListFixture : ::testing::Test {
  BuySellRowArray rows = PlaceholderRows();
  ListBoxLines list;
  orlendo::BuySellsPtr collection = orlendo::BuySells::create();
  ScriptedMessageBox messages;

  bool add(const orlendo::BuySellPtr& b, bool isBuy = true, ListEditMode mode = ListEditMode::Add) {
    return AddBuySellArrayItem(*b, rows, isBuy, list, collection, mode, messages);
  }
  bool change(const orlendo::BuySellPtr& b, bool isBuy = true) { return add(b, isBuy, ListEditMode::Change); }
};

TEST_F(ListFixture, TheFirstAddFillsThePlaceholderAndLaterOnesSortByDateKeepingEntryOrder) {
  ASSERT_TRUE(add(entry("03/01/1990", "10", "100")));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].SortKey, "1990/03/01");
  EXPECT_EQ(rows[0].ChgCost, "100.00");
  ASSERT_TRUE(add(entry("01/15/1985", "20", "200")));
  ASSERT_TRUE(add(entry("03/01/1990", "30", "300")));

  EXPECT_EQ(list.lines, (std::vector<std::string>{"01/15/1985 Buy ", "03/01/1990 Buy ", "03/01/1990 Buy "}));
  EXPECT_EQ(list.selected, -1);
  EXPECT_EQ(stored(*collection),
            (std::vector<StoredEntry>{{"1985/01/15-0", "01/15/1985", "20.00000", "200.00"},
                                      {"1990/03/01-1", "03/01/1990", "10.00000", "100.00"},
                                      {"1990/03/01-2", "03/01/1990", "30.00000", "300.00"}}));
  // Each code is also the entry's key.
  EXPECT_EQ(collection->Item(std::string_view("1990/03/01-2"))->ChgShrs(), "30.00000");
}

TEST_F(ListFixture, ASellIsStoredNegativeWithNoCostWhateverWasTyped) {
  ASSERT_TRUE(add(entry("06/30/1995", "100", "555"), false));
  EXPECT_EQ(rows[0].Kind, "Sell");
  EXPECT_EQ(rows[0].ChgShrs, "-100");
  EXPECT_EQ(rows[0].ChgCost, "0");
  EXPECT_EQ(list.lines, std::vector<std::string>{"06/30/1995 Sell"});
  // A sell typed with a minus sign is stored negative all the same.
  ASSERT_TRUE(add(entry("07/01/1995", "-2.5"), false));
  EXPECT_EQ(stored(*collection), (std::vector<StoredEntry>{{"1995/06/30-0", "06/30/1995", "-100.00000", "0.00"},
                                                           {"1995/07/01-1", "07/01/1995", "-2.50000", "0.00"}}));
  EXPECT_EQ(NegativeSharesText("-1,234.50000"), "-1234.5");
  EXPECT_EQ(NegativeSharesText("0"), "0");
}

TEST_F(ListFixture, AnEntryThatDoesNotReadIsNeverStored) {
  ASSERT_TRUE(add(entry("01/15/1985", "20", "200")));
  const auto before = stored(*collection);
  EXPECT_FALSE(add(entry("02/30/2001", "5")));
  EXPECT_FALSE(add(entry("02/15/84__", "5")));
  EXPECT_FALSE(add(entry("03/01/1990", "abc"), false));
  EXPECT_FALSE(add(entry("03/01/1990", "5", "12x")));
  list.selected = 0;
  EXPECT_FALSE(change(entry("03/01/1990", "-")));
  EXPECT_EQ(stored(*collection), before);
  EXPECT_EQ(rows.size(), 1u);
}

}  // namespace
}  // namespace tvx::test
