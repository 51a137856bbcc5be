// The lots walked along the calculation against the pool it leaves.

#include <map>
#include <random>

#include "library/test_support.h"
#include "orlendo/catalogue.h"
#include "orlendo/sales.h"

using namespace orlendo;

namespace {

// Random investors that only buy: every security's lots hold the pool's shares
// and basis, each within what the pool's rounding at every transaction on it
// can account for (a cent of basis, five hundred-thousandths of a share). Quorvex, and Brantel that it spun off later, are left
// aside once Lumora merged into it: the pool recognizes gain on the whole
// holding, the lots block by block.
TEST(LotWalk, LotsHoldThePoolsSharesAndBasisWhenNothingIsSold) {
  std::mt19937 rng(20261207);
  const int firstDay = static_cast<int>(std::chrono::sys_days{kHistoryStart}.time_since_epoch().count());
  const int lastDay = static_cast<int>(std::chrono::sys_days{kDefaultStop}.time_since_epoch().count());
  for (int round = 0; round < 60; ++round) {
    auto investor = Investor::create(tvxtest::ymd(2024, 1, 1));
    investor->BeginEdit();
    investor->StopCalc("12/31/2016");
    investor->Lumora2QVX(static_cast<eLumora>(1 + rng() % 3));
    const int entries = 1 + static_cast<int>(rng() % 30);
    for (int i = 0; i < entries; ++i) {
      const auto& row = kCatalogue[rng() % kCatalogue.size()];
      const Date day{std::chrono::sys_days{std::chrono::days{firstDay + static_cast<int>(rng() % (lastDay - firstDay + 1))}}};
      const std::string shares = std::to_string(1 + rng() % 2000) + "." + std::to_string(rng() % 100000);
      const std::string cost = std::to_string(rng() % 100000) + "." + std::to_string(10 + rng() % 90);
      tvxtest::addEntry(investor, row.name, formatDate(day), shares, cost, formatDate(day) + std::to_string(i));
    }
    const auto record = calculateWithLots(*investor, kHistoryStart, kDefaultStop, nullptr);
    std::map<std::string, std::pair<double, double>> lots;
    for (const HeldLot& l : record->heldLots()) {
      lots[l.security].first += l.shares;
      lots[l.security].second += l.basis;
    }
    const bool merged = investor->colSecurities()->Item("Lumora")->colXActions()->Count() > 0;
    for (const auto& security : *investor->colSecurities()) {
      const auto xactions = security->colXActions();
      const bool fromMerger = security->SecName() == "Quorvex" || security->SecName() == "Brantel";
      if (xactions->Count() == 0 || (merged && fromMerger)) continue;
      const auto& last = *xactions->Item(xactions->Count());
      const double events = static_cast<double>(xactions->Count());
      const auto [shares, basis] = lots[security->SecName()];
      EXPECT_NEAR(basis, last.NewCostAmount().toDouble(), 0.01 * events) << security->SecName() << " round " << round;
      EXPECT_NEAR(shares, last.NewShrsValue(), 0.00005 * events) << security->SecName() << " round " << round;
    }
  }
}

// Shares received in an acquisition keep the day the old shares were
// bought: Halvern bought in 1990 and taken into Tessaline (0.768 a share)
// in 1997 is a long-term sale of Tessaline in 1998.
TEST(LotWalk, AnAcquisitionKeepsTheLotsAcquiredDay) {
  auto investor = Investor::create(tvxtest::ymd(2024, 1, 1));
  investor->BeginEdit();
  tvxtest::addEntry(investor, "Halvern", "01/02/1990", "10", "100");
  tvxtest::addEntry(investor, "Tessaline", "01/05/1998", "-7.68");
  const auto rows = calculateWithLots(*investor, tvxtest::ymd(1990, 1, 1), tvxtest::ymd(1998, 12, 31), nullptr)
                        ->rows(LotMethod::fifo);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].acquired, tvxtest::ymd(1990, 1, 2));
  EXPECT_EQ(rows[0].term, SaleTerm::longTerm);
}

}  // namespace
