// The input window's logic without widgets. What the widgets add (typing,
// a lone "-", focus, Enter, help on focus, the cost box, the election
// buttons) is tested in tests/qt/input_window_test.cpp. Also the fields
// written by name and the date boxes.
#include "entry/input_fields.h"
#include "entry/input_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

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

}  // namespace
}  // namespace tvx::test
