// The input window's logic without widgets. What the widgets add (typing,
// a lone "-", focus, Enter, help on focus, the cost box, the election
// buttons) is tested in tests/qt/input_window_test.cpp; the list's own rules
// in buy_sell_list_test.
#include "entry/input_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "orlendo/model.h"
#include "report_test_support.h"

namespace tvx::test {
namespace {

class RecordingHost : public InputWindowHost {
 public:
  int changes = 0, saves = 0, saveAses = 0;
  bool saveSucceeds = true;
  bool saveEndsTheProgram = false;  // as a save that takes the fatal path does
  std::string label = "/data/smith.qvx";
  std::vector<std::string> errorLocations;
  int fatals = 0;

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
  static void select(InputForm& f, std::string_view name) {
    const auto& lines = f.securityList().lines;
    const auto it = std::find(lines.begin(), lines.end(), name);
    ASSERT_NE(it, lines.end()) << name;
    f.securityClicked(static_cast<int>(it - lines.begin()));
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

TEST_F(FormFixture, LoadShowsTheInvestorAndSelectsQuorvexWithoutMarkingAChange) {
  EXPECT_TRUE(investor->InEditMode());
  EXPECT_EQ(form.text(Field::maskDtStart), "12/31/1983");
  EXPECT_EQ(form.text(Field::MaskDtTrans), "__/__/____");
  ASSERT_EQ(form.securityList().lines.size(), 30u);
  EXPECT_EQ(form.securityList().lines.at(static_cast<std::size_t>(form.securityList().selected)), "Quorvex");
  ASSERT_EQ(form.BuySellRows().size(), 1u);
  EXPECT_TRUE(form.BuySellRows()[0].isPlaceholder());

  // An investor's own values and election show as they are.
  auto other = orlendo::Investor::create();
  other->BeginEdit();
  other->Lumora2QVX(orlendo::eLumora::shares);
  other->sName("R&D Holdings");
  other->StopCalc("06/30/2010");
  InputForm second(other, host, messages);
  second.load();
  EXPECT_EQ(second.election(), orlendo::eLumora::shares);
  EXPECT_EQ(second.text(Field::txtName), "R&D Holdings");
  EXPECT_EQ(second.text(Field::maskDtStop), "06/30/2010");
  second.SetInitialIP();
  EXPECT_EQ(second.filenameLabel(), host.label);
  EXPECT_EQ(host.changes, 0);
}

TEST_F(FormFixture, DateBoxesKeepTheFocusUntilTheyHoldARealDayOrNothing) {
  const std::string warning =
      "Invalid date format. This is usually caused by entering a year as two digits instead of four digits. E.g., "
      "enter 2002 as 2002 not 02.";
  for (Field box : {Field::maskDtStart, Field::maskDtStop, Field::MaskDtTrans}) {
    for (std::string_view typed : {"02/15/84__", "02/15/84", "02/30/2001"}) {
      SCOPED_TRACE(std::string(FieldName(box)) + " " + std::string(typed));
      messages.shown.clear();
      form.textChanged(box, typed);
      EXPECT_FALSE(form.focusLeaving(box));
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].title, "WARNING");
      EXPECT_EQ(messages.shown[0].text, typed == "02/30/2001" ? DateBoxWarning(typed) : warning);
      EXPECT_EQ(messages.shown[0].icon, Icon::Exclamation);
      EXPECT_EQ(form.takeFocusRequest(), box);
    }
    // An empty box is left without a word; the investor's dates show their value again.
    messages.shown.clear();
    form.textChanged(box, "__/__/____");
    EXPECT_TRUE(form.focusLeaving(box));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form.takeFocusRequest(), std::nullopt);
    EXPECT_EQ(form.text(box), box == Field::maskDtStart ? "12/31/1983" : box == Field::maskDtStop
                                                                             ? DateBoxText(investor->StopCalc())
                                                                             : "__/__/____");
  }
  // Nothing incomplete or impossible reached the investor.
  EXPECT_EQ(investor->StartCalc(), "12/31/1983");
  EXPECT_EQ(host.changes, 0);

  messages.shown.clear();
  form.textChanged(Field::maskDtStart, "02/15/1984");
  EXPECT_TRUE(form.focusLeaving(Field::maskDtStart));
  EXPECT_TRUE(messages.shown.empty());
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
      {"change",
       [&] {
         form.buySellClicked(0);
         form.textChanged(Field::txtShares, "11");
         form.changeClicked();
         EXPECT_EQ(form.text(Field::txtShares), "11");  // Change keeps the fields' contents
       }},
      {"delete",
       [&] {
         form.buySellClicked(0);
         messages.answers = {Answer::Yes};
         form.deleteClicked();
       }},
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

TEST_F(FormFixture, AddAsksEachFailingCheckInOrderAndStoresNothing) {
  // No to every question: each failing check is asked in order, nothing is
  // stored and the user is told so, and the typed values stay in the fields.
  form.textChanged(Field::txtCost, "12x");
  form.textChanged(Field::txtShares, "abc");
  form.textChanged(Field::MaskDtTrans, "02/15/84__");
  form.addClicked();
  ASSERT_EQ(messages.shown.size(), 4u);
  EXPECT_EQ(messages.shown[3].text, kEntryNotAdded);
  EXPECT_EQ(messages.shown[0].title, "WARNING!");
  EXPECT_EQ(messages.shown[0].buttons, Buttons::YesNo);
  EXPECT_EQ(messages.shown[0].text, EntryCheckMessage(EntryCheck::Cost, "12x"));
  EXPECT_EQ(messages.shown[1].text, EntryCheckMessage(EntryCheck::Shares, "abc"));
  EXPECT_EQ(messages.shown[2].text, EntryCheckMessage(EntryCheck::Date, "02/15/84__"));
  EXPECT_EQ(stored("Quorvex")->Count(), 0);
  EXPECT_EQ(form.text(Field::txtShares), "abc");
  EXPECT_EQ(form.text(Field::MaskDtTrans), "02/15/84__");
  EXPECT_EQ(host.changes, 0);

  // Yes to the shares question: the focus goes there and the date is not asked.
  messages.shown.clear();
  messages.answers = {Answer::No, Answer::Yes};
  form.addClicked();
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(form.takeFocusRequest(), Field::txtShares);
  EXPECT_EQ(stored("Quorvex")->Count(), 0);

  // Change answered No: the line keeps its value and the user is told so.
  enter("03/01/1990", "10", "100");
  form.buySellClicked(0);
  form.textChanged(Field::txtShares, "abc");
  messages.shown.clear();
  messages.answers = {Answer::No};
  form.changeClicked();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].text, kEntryNotChanged);
  EXPECT_EQ(form.buySellColumns().at(0).shares, "10.00000");
}

TEST_F(FormFixture, DeleteNamesTheSelectedLineAndAlwaysClearsTheFields) {
  enter("01/15/1985", "20", "200");
  enter("03/01/1990", "10", "100");
  form.buySellClicked(1);
  form.textChanged(Field::MaskDtTrans, "01/15/1985");  // edited after the click
  messages.answers = {Answer::No};
  form.deleteClicked();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Are you sure you want to delete the 03/01/1990 transaction?");
  EXPECT_EQ(stored("Quorvex")->Count(), 2);
  EXPECT_EQ(form.text(Field::txtShares), "0");
  EXPECT_EQ(form.CurBuySell()->ChgShrs(), "0.00000");
  // The new scratch record holds the date the box shows.
  EXPECT_EQ(form.CurBuySell()->XActionDate(), "01/15/1985");
}

TEST_F(FormFixture, AddsResetTheFieldsAndSwitchingSecuritiesAndBackShowsTheRowsSorted) {
  form.textChanged(Field::txtShares, "1234.5");
  form.textChanged(Field::txtCost, "25000");
  form.addClicked();  // the date box untouched: refused, nothing stored
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kMissingDateWarning);
  EXPECT_EQ(form.takeFocusRequest(), Field::MaskDtTrans);
  EXPECT_EQ(stored("Quorvex")->Count(), 0);
  messages.shown.clear();
  form.textChanged(Field::MaskDtTrans, "12/31/1983");
  form.addClicked();
  enter("06/30/1995", "100", "", false);
  EXPECT_EQ(form.buySellColumns().at(1), (BuySellColumns{"06/30/1995", "Sell", "100.00000", ""}));  // held negative
  enter("03/01/1990", "10", "100");
  EXPECT_EQ(form.text(Field::txtShares), "0");
  EXPECT_EQ(form.text(Field::txtCost), "0");
  EXPECT_EQ(form.text(Field::MaskDtTrans), "__/__/____");
  EXPECT_EQ(form.CurBuySell()->ChgShrs(), "0.00000");
  EXPECT_EQ(form.takeFocusRequest(), Field::txtShares);
  select(form, "Lumora");
  EXPECT_EQ(form.securityCaption(), "Lumora");
  EXPECT_TRUE(form.buySellList().lines.empty());
  enter("07/01/2000", "50", "5000");

  select(form, "Quorvex");
  EXPECT_EQ(form.buySellList().lines,
            (std::vector<std::string>{"12/31/1983 Buy ", "03/01/1990 Buy ", "06/30/1995 Sell"}));
  const auto& rows = form.BuySellRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].ChgShrs, "1,234.50000");
  EXPECT_EQ(rows[1].ChgShrs, "10.00000");
  EXPECT_EQ(rows[2].ChgShrs, "100.00000");
  EXPECT_FALSE(rows[2].IsBuy);
  EXPECT_EQ(stored("Lumora")->Count(), 1);
  EXPECT_TRUE(messages.shown.empty());
  // The list shows each line's shares and a buy's cost; the stored keys keep their form.
  EXPECT_EQ(form.buySellColumns(),
            (std::vector<BuySellColumns>{{"12/31/1983", "Buy", "1,234.50000", "25,000.00"},
                                         {"03/01/1990", "Buy", "10.00000", "100.00"},
                                         {"06/30/1995", "Sell", "100.00000", ""}}));
  EXPECT_TRUE(stored("Quorvex")->Item(std::string_view("1983/12/31-0")));
  // The securities holding entries are marked, the others not.
  const auto& names = form.securityList().lines;
  ASSERT_EQ(form.securityMarks().size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(form.securityMarks()[i], names[i] == "Quorvex" || names[i] == "Lumora") << names[i];
}

TEST_F(FormFixture, ValuesTheReportsWouldCutAreRefusedAndFullColumnsAsked) {
  // Cut: refused with the reason, the focus on the value.
  form.textChanged(Field::txtShares, "12345678");
  form.textChanged(Field::txtCost, "100");
  form.textChanged(Field::MaskDtTrans, "03/01/1990");
  form.addClicked();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("at most 9,999,999.99999"), std::string::npos);
  EXPECT_EQ(form.takeFocusRequest(), Field::txtShares);
  EXPECT_EQ(stored("Quorvex")->Count(), 0);
  EXPECT_EQ(host.changes, 0);

  // Filling a column: No keeps it out, Yes takes it.
  form.textChanged(Field::txtShares, "10");
  form.textChanged(Field::txtCost, "250000000");
  for (Answer answer : {Answer::No, Answer::Yes}) {
    messages.shown.clear();
    messages.answers = {answer};
    form.textChanged(Field::MaskDtTrans, "03/01/1990");
    form.addClicked();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(stored("Quorvex")->Count(), answer == Answer::Yes ? 1 : 0);
  }

  // A number beyond any double is refused the same way, not taken for a failure.
  for (const char* huge : {"1e400", "-1e400"}) {
    messages.shown.clear();
    form.textChanged(Field::txtShares, huge);
    form.textChanged(Field::MaskDtTrans, "03/01/1990");
    form.addClicked();
    EXPECT_TRUE(host.errorLocations.empty()) << huge << (host.errorLocations.empty() ? "" : host.errorLocations[0]);
    EXPECT_EQ(stored("Quorvex")->Count(), 1) << huge;
    EXPECT_FALSE(messages.shown.empty()) << huge;
  }
  form.textChanged(Field::txtShares, "10");

  // Change refuses the same way and keeps the line as it was.
  form.buySellClicked(0);
  form.textChanged(Field::txtCost, "1500000000");
  messages.shown.clear();
  form.changeClicked();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("The entry was not changed."), std::string::npos);
  EXPECT_EQ(form.buySellColumns().at(0).cost, "250,000,000.00");
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

TEST_F(FormFixture, CancelKeepsTheEditsInMemoryWithoutSaving) {
  form.textChanged(Field::txtName, "New Name");
  enter("01/15/1985", "20", "200");
  form.cancelClicked();
  EXPECT_TRUE(form.closeRequested());
  EXPECT_EQ(host.saves, 0);
  EXPECT_EQ(investor->sName(), "New Name");
  EXPECT_EQ(stored("Quorvex")->Count(), 1);
}

TEST_F(FormFixture, AStoredEntryThatDoesNotReadGoesToTheErrorPathAndStays) {
  auto bad = orlendo::BuySells::create();
  std::string code = "x", date = "01/01/1990", cost = "0", shares = "lots";
  bad->Add(code, date, cost, shares);
  investor->colSecurities()->Item("Lumora")->colBuySells(bad);
  select(form, "Lumora");
  ASSERT_EQ(host.errorLocations.size(), 1u);
  EXPECT_EQ(host.errorLocations[0].rfind("dc_frmIP.InitializeBuySellsArray\r", 0), 0u) << host.errorLocations[0];
  EXPECT_EQ(stored("Lumora"), bad);
}

// Entries made through the window, saved, loaded into a new investor and
// shown again read the same.
TEST_F(FormFixture, SavedEntriesComeBackIdentically) {
  const auto showAll = [](InputForm& f) {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < f.securityList().lines.size(); ++i) {
      f.securityClicked(static_cast<int>(i));
      for (const auto& l : f.buySellList().lines) all.push_back(f.securityList().lines[i] + ": " + l);
      for (const auto& r : f.BuySellRows())
        all.push_back(r.SortKey + "|" + r.XActionDate + "|" + r.Kind + "|" + r.ChgShrs + "|" + r.ChgCost);
    }
    return all;
  };
  form.textChanged(Field::txtName, "Pat & Lee Doe");
  form.textChanged(Field::txtLine2, "Joint account");
  form.textChanged(Field::maskDtStop, "12/31/2010");
  form.electionClicked(orlendo::eLumora::cash);
  enter("12/31/1983", "1000", "25000");
  enter("03/01/1990", "10.123456", "1234.567");
  enter("03/01/1990", "5", "", false);
  select(form, "Lumora");
  enter("07/01/1999", "200", "8000");
  enter("06/15/2000", "200", "", false);
  ASSERT_TRUE(messages.shown.empty());
  const auto before = showAll(form);

  TempFolder folder;
  investor->Save(folder.file("pat.qvx"));
  auto loaded = orlendo::Investor::create();
  loaded->LoadFile(folder.file("pat.qvx"));
  RecordingHost host2;
  InputForm again(loaded, host2, messages);
  again.load();
  EXPECT_EQ(again.text(Field::txtName), "Pat & Lee Doe");
  EXPECT_EQ(again.text(Field::txtLine2), "Joint account");
  EXPECT_EQ(again.text(Field::maskDtStop), "12/31/2010");
  EXPECT_EQ(again.election(), orlendo::eLumora::cash);
  EXPECT_EQ(showAll(again), before);
  EXPECT_TRUE(host2.errorLocations.empty());
  EXPECT_EQ(host2.changes, 0);
}

}  // namespace
}  // namespace tvx::test

namespace tvx::test {
namespace {

// A sell's proceeds: the box is open only for a sell, closes empty for a
// buy, is checked like the cost, kept with the sell and shown in its Cost column.
TEST_F(FormFixture, ProceedsBelongToASellAlone) {
  form.buyCheckClicked(false);
  EXPECT_TRUE(form.proceedsEnabled());
  form.textChanged(Field::txtProceeds, "-5");
  form.textChanged(Field::txtShares, "10");
  form.textChanged(Field::MaskDtTrans, "03/01/1990");
  form.addClicked();
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

}  // namespace
}  // namespace tvx::test
