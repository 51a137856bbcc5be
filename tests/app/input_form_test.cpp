// The input window's logic without widgets. What the widgets add (typing,
// a lone "-", focus, Enter, help on focus, the cost box, the election
// buttons) is tested in tests/qt/input_window_test.cpp. Then the rules below
// the window: the fields written by name and the date boxes, the buy/sell
// list and its checks, and the entry limits against the report columns (the
// widest value each field shows whole, the one that fills it, and the first
// that it would cut).
#include "entry/buy_sell_list.h"
#include "entry/entry_limits.h"
#include "entry/input_fields.h"
#include "entry/input_form.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "core/report_columns.h"
#include "core/report_text.h"
#include "app_test_support.h"

namespace tvx::test {
namespace {

struct RecordingHost : InputWindowHost {
  int changes = 0, saves = 0, saveAses = 0, fatals = 0;
  bool saveSucceeds = true;
  bool saveEndsTheProgram = false;  // as a save that takes the fatal path does
  std::string label = "/data/smith.qvx";
  std::vector<std::string> errorLocations;

  void markChanged() override { ++changes; }
  bool saveFile() override {
    ++saves;
    if (saveEndsTheProgram) throw ProgramEnded{kExitError};
    return saveSucceeds;
  }
  void saveAs() override {
    ++saveAses;
    if (saveEndsTheProgram) throw ProgramEnded{kExitError};
  }
  std::string shortFilename() override { return label; }
  void reportError(long, std::string_view, std::string_view location) override {
    errorLocations.emplace_back(location);
  }
  void reportFatal(long, std::string_view) override { ++fatals; }
};

struct FormFixture : ::testing::Test {
  orlendo::InvestorPtr investor = orlendo::Investor::create();
  RecordingHost host;
  ScriptedMessageBox messages;
  InputForm form{investor, host, messages};

  void SetUp() override { form.load(); }

  orlendo::BuySellsPtr stored(std::string_view security) {
    return investor->colSecurities()->Item(security)->colBuySells();
  }
  // Types an entry the way a user does and presses Add.
  void enter(std::string_view date, std::string_view shares, std::string_view cost, bool buy = true) {
    form.buyCheckClicked(buy);
    form.textChanged(Field::txtShares, shares);
    if (buy) form.textChanged(Field::txtCost, cost);
    form.textChanged(Field::MaskDtTrans, date);
    form.addClicked();
  }
};

// A date box keeps the focus, with its warning, until it holds a real day or
// nothing; an empty box shows the investor's date again; nothing incomplete
// or impossible reaches the investor.
TEST_F(FormFixture, DateBoxesKeepTheFocusUntilTheyHoldARealDayOrNothing) {
  for (Field box : {Field::maskDtStart, Field::maskDtStop, Field::MaskDtTrans}) {
    for (std::string_view typed : {"02/15/84__", "02/30/2001"}) {
      SCOPED_TRACE(std::string(FieldName(box)) + " " + std::string(typed));
      messages.shown.clear();
      form.textChanged(box, typed);
      EXPECT_FALSE(form.focusLeaving(box));
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].text, DateBoxWarning(typed));
      EXPECT_EQ(form.takeFocusRequest(), box);
    }
    messages.shown.clear();
    form.textChanged(box, "__/__/____");
    EXPECT_TRUE(form.focusLeaving(box));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.takeFocusRequest(), std::nullopt);
    EXPECT_EQ(form.text(box), box == Field::maskDtStart ? "12/31/1983" : box == Field::maskDtStop
                                                                             ? DateBoxText(investor->StopCalc())
                                                                             : "__/__/____");
  }
  EXPECT_EQ(investor->StartCalc(), "12/31/1983");
  EXPECT_EQ(host.changes, 0);
  form.textChanged(Field::maskDtStart, "02/15/1984");
  EXPECT_TRUE(form.focusLeaving(Field::maskDtStart));
  EXPECT_EQ(investor->StartCalc(), "02/15/1984");
  EXPECT_EQ(host.changes, 1);
}

TEST_F(FormFixture, EveryKindOfEditMarksTheInputsUnsavedOnce) {
  const std::vector<std::pair<const char*, std::function<void()>>> steps = {
      {"name", [&] { form.textChanged(Field::txtName, "Ann"); }},
      {"line 2", [&] { form.textChanged(Field::txtLine2, "Trust"); }},
      {"start", [&] { form.textChanged(Field::maskDtStart, "01/01/1990"); }},
      {"stop", [&] { form.textChanged(Field::maskDtStop, "12/31/2005"); }},
      {"election", [&] { form.electionClicked(orlendo::eLumora::cash); }},
      {"add", [&] { enter("03/01/1990", "10", "100"); }},
      {"change", [&] { form.buySellClicked(0); form.textChanged(Field::txtShares, "11"); form.changeClicked();
                       EXPECT_EQ(form.text(Field::txtShares), "11"); }},  // Change keeps the fields
      {"delete", [&] { form.buySellClicked(0); messages.answers = {Answer::Yes}; form.deleteClicked(); }},
  };
  for (const auto& [what, edit] : steps) {
    const int before = host.changes;
    edit();
    EXPECT_EQ(host.changes, before + 1) << what;
  }
  // What changes nothing marks nothing.
  const int before = host.changes;
  form.textChanged(Field::txtName, "Ann");  // the window echoing its own text
  form.electionClicked(orlendo::eLumora::cash);
  form.textChanged(Field::txtShares, "5");  // the scratch record only
  form.textChanged(Field::maskDtStop, "12/31/20__");
  form.textChanged(Field::txtName, "-");
  EXPECT_EQ(host.changes, before);
}

// Each failing check is asked in order; No stores nothing and says so, the
// typed values stay; Yes sends the focus to the field and asks no further.
TEST_F(FormFixture, AddAsksEachFailingCheckInOrderAndStoresNothing) {
  form.textChanged(Field::txtCost, "12x");
  form.textChanged(Field::txtShares, "abc");
  form.textChanged(Field::MaskDtTrans, "02/15/84__");
  form.addClicked();
  std::vector<std::string> texts;
  for (const ShownMessage& m : messages.shown) texts.push_back(m.text);
  EXPECT_EQ(texts, (std::vector<std::string>{EntryCheckMessage(EntryCheck::Cost, "12x"),
                                             EntryCheckMessage(EntryCheck::Shares, "abc"),
                                             EntryCheckMessage(EntryCheck::Date, "02/15/84__"),
                                             std::string(kEntryNotAdded)}));
  EXPECT_EQ(messages.shown[0].buttons, Buttons::YesNo);
  EXPECT_EQ(form.text(Field::txtShares), "abc");
  messages.shown.clear();
  messages.answers = {Answer::No, Answer::Yes};
  form.addClicked();
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(form.takeFocusRequest(), Field::txtShares);
  EXPECT_EQ(stored("Quorvex")->Count(), 0);
  EXPECT_EQ(host.changes, 0);
  // No day at all is refused before the checks: the date box gets the focus.
  messages.shown.clear();
  enter("__/__/____", "10", "100");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kMissingDateWarning);
  EXPECT_EQ(form.takeFocusRequest(), Field::MaskDtTrans);
  EXPECT_EQ(stored("Quorvex")->Count(), 0);

  // Change answered No: the line keeps its value and the user is told so.
  enter("03/01/1990", "10", "100");
  form.buySellClicked(0);
  form.textChanged(Field::txtShares, "abc");
  messages.shown.clear();
  form.changeClicked();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].text, kEntryNotChanged);
  EXPECT_EQ(form.buySellColumns().at(0).shares, "10.00000");
}

TEST_F(FormFixture, SaveAndFilenameButtonsGoThroughTheHostAndOkCloses) {
  form.saveClicked();
  EXPECT_EQ(host.saves, 1);
  EXPECT_TRUE(investor->InEditMode());
  host.label = "another name";
  form.filenameClicked();
  EXPECT_EQ(host.saveAses, 1);
  EXPECT_EQ(form.filenameLabel(), "another name");

  host.saveSucceeds = false;  // refused, cancelled or failed: nothing typed may be lost
  form.okClicked();
  EXPECT_EQ(host.saves, 2);
  EXPECT_FALSE(form.closeRequested());
  host.saveSucceeds = true;
  form.okClicked();
  EXPECT_EQ(host.saves, 3);
  EXPECT_TRUE(form.closeRequested());
  EXPECT_EQ(form.CurBuySell(), nullptr);
}

// A save that ends the program (its failure took the fatal path and was
// reported there) is not reported a second time by the window, which goes inert.
TEST_F(FormFixture, ASaveThatEndsTheProgramIsReportedOnlyWhereItFailed) {
  host.saveEndsTheProgram = true;
  for (void (InputForm::*click)() : {&InputForm::saveClicked, &InputForm::filenameClicked, &InputForm::okClicked}) {
    InputForm window{investor, host, messages};
    window.load();
    EXPECT_THROW((window.*click)(), ProgramEnded);
    EXPECT_TRUE(host.errorLocations.empty());
    EXPECT_EQ(host.fatals, 0);
    EXPECT_FALSE(window.closeRequested());
    const int saves = host.saves + host.saveAses;
    window.saveClicked();  // inert: the program is ending
    window.okClicked();
    EXPECT_EQ(host.saves + host.saveAses, saves);
  }
}

TEST_F(FormFixture, AStoredEntryThatDoesNotReadGoesToTheErrorPathStaysAndLeavesTheWindowInert) {
  auto bad = orlendo::BuySells::create();
  std::string code = "x", date = "01/01/1990", cost = "0", shares = "lots";
  bad->Add(code, date, cost, shares);
  investor->colSecurities()->Item("Lumora")->colBuySells(bad);
  const auto& names = form.securityList().lines;
  form.securityClicked(static_cast<int>(std::find(names.begin(), names.end(), "Lumora") - names.begin()));
  ASSERT_EQ(host.errorLocations.size(), 1u);
  EXPECT_EQ(host.errorLocations[0].rfind("dc_frmIP.InitializeBuySellsArray\r", 0), 0u) << host.errorLocations[0];
  EXPECT_EQ(stored("Lumora"), bad);
  form.saveClicked();  // inert: the program is ending
  EXPECT_EQ(host.saves, 0);
}

// A sell's proceeds: the box is open only for a sell, closes empty for a
// buy, is checked like the cost, kept with the sell and shown in its Cost column.
TEST_F(FormFixture, ProceedsBelongToASellAlone) {
  form.buyCheckClicked(false);
  EXPECT_TRUE(form.proceedsEnabled());
  form.textChanged(Field::txtProceeds, "-5");
  enter("03/01/1990", "10", "", false);
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_EQ(messages.shown[0].text, EntryCheckMessage(EntryCheck::Proceeds, "-5.00"));
  EXPECT_EQ(stored("Quorvex")->Count(), 0);
  form.textChanged(Field::txtProceeds, "1234.5");
  form.addClicked();
  ASSERT_EQ(stored("Quorvex")->Count(), 1);
  EXPECT_EQ(stored("Quorvex")->Item(1)->Proceeds(), "1,234.50");
  EXPECT_EQ(form.buySellColumns().at(0).cost, "1,234.50");
  EXPECT_EQ(form.text(Field::txtProceeds), "");
  form.buySellClicked(0);
  EXPECT_EQ(form.text(Field::txtProceeds), "1,234.50");
  // Ticking buy closes the box empty: the buy is stored without proceeds.
  form.buyCheckClicked(true);
  EXPECT_FALSE(form.proceedsEnabled());
  EXPECT_EQ(form.text(Field::txtProceeds), "");
  form.textChanged(Field::txtCost, "100");
  form.changeClicked();
  EXPECT_FALSE(stored("Quorvex")->Item(1)->HasProceeds());
}

// ---- the rules below the window ----

TEST(DateBoxes, ShowValuesInTheMaskAndOnlyACompleteRealDayMayBeLeft) {
  const std::pair<std::string_view, std::string_view> shown[] = {
      {"1/5/1990", "01/05/1990"}, {"", "__/__/____"},         {"02/15/84", "02/15/1984"},
      {"0215", "02/15/____"},     {"13/45/2000", "13/45/2000"}, {"123456789", "12/34/5678"}};
  for (const auto& [value, box] : shown) EXPECT_EQ(DateBoxText(value), box) << value;
  for (std::string_view ok : {"02/15/1984", "02/29/2000"}) EXPECT_TRUE(DateBoxAcceptable(ok)) << ok;
  for (std::string_view bad : {"02/15/84__", "__/__/____", "02/30/2001", "02/29/2001", "13/01/2001", "01/01/0084"})
    EXPECT_FALSE(DateBoxAcceptable(bad)) << bad;
  EXPECT_TRUE(DateBoxComplete("02/30/2001"));
  // An empty box may be left; what it warns of depends on what was typed.
  const std::tuple<std::string_view, bool, std::string> leaving[] = {
      {"__/__/____", true, std::string(kMissingDateWarning)},
      {"", true, std::string(kMissingDateWarning)},
      {"02/15/1984", true, ""},
      {"02/15/84__", false, std::string(kDateFormatWarning)},
      {"13/45/1990", false,
       "The date 13/45/1990 does not exist. Please check the month (01 to 12) and the day of the month."},
      {"02/29/2001", false,
       "The date 02/29/2001 does not exist. Please check the month (01 to 12) and the day of the month."}};
  for (const auto& [box, leavable, warning] : leaving) {
    EXPECT_EQ(DateBoxLeavable(box), leavable) << box;
    if (!warning.empty()) {
      EXPECT_EQ(DateBoxWarning(box), warning) << box;
    }
  }
  for (std::string_view partial : {"0_/15/1984", "02/15/84", "2/15/1984", "02-15-1984"})
    EXPECT_FALSE(DateBoxComplete(partial)) << partial;  // "02/15/84": the text without its placeholders
}

orlendo::BuySellPtr entry(std::string date, std::string shares, std::string cost = "0") {
  auto b = orlendo::BuySell::create();
  b->XActionDate(date);
  b->ChgShrs(shares);
  b->ChgCost(cost);
  return b;
}

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
