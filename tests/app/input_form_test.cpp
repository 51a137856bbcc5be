#include "entry/input_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "orlendo/catalogue.h"
#include "orlendo/model.h"
#include "app/entry_test_doubles.h"

namespace tvx {
namespace {

class RecordingHost : public InputWindowHost {
 public:
  int changes = 0, saves = 0, saveAses = 0;
  std::string label = "C:\\data\\long-file-name...long-file-name.QVX";
  struct Reported {
    long number;
    std::string description, location;
  };
  std::vector<Reported> errors;
  std::vector<std::string> fatal;

  void markChanged() override { ++changes; }
  void saveFile() override { ++saves; }
  void saveAs() override { ++saveAses; }
  std::string shortFilename() override { return label; }
  void reportError(long number, std::string_view description, std::string_view location) override {
    errors.push_back({number, std::string(description), std::string(location)});
  }
  void reportFatal(long, std::string_view procedure) override { fatal.emplace_back(procedure); }
};

struct FormFixture : ::testing::Test {
  orlendo::InvestorPtr investor = orlendo::Investor::create();
  RecordingHost host;
  ScriptedMessages messages;
  InputForm form{investor, host, messages};

  void SetUp() override { form.load(); }

  orlendo::BuySellsPtr collectionOf(std::string_view name) {
    return investor->colSecurities()->Item(name)->colBuySells();
  }
  void selectSecurity(std::string_view name) {
    const auto& lines = form.securityList().lines;
    const auto it = std::find(lines.begin(), lines.end(), name);
    ASSERT_NE(it, lines.end()) << name;
    form.securityClicked(static_cast<int>(it - lines.begin()));
  }
  // Types an entry the way a user does and presses Add.
  void enter(std::string_view date, std::string_view shares, std::string_view cost, bool buy = true) {
    form.buyCheckClicked(buy);
    form.textChanged(Field::txtShares, shares);
    if (buy) form.textChanged(Field::txtCost, cost);
    form.textChanged(Field::MaskDtTrans, date);
    form.addClicked();
  }
  std::vector<std::string> codes(const orlendo::BuySells& c) {
    std::vector<std::string> out;
    for (const auto& b : c) out.push_back(b->Code());
    return out;
  }
};

TEST_F(FormFixture, LoadShowsTheInvestorAndSelectsQuorvex) {
  EXPECT_FALSE(form.Loading());
  EXPECT_TRUE(investor->InEditMode());
  EXPECT_EQ(form.text(Field::txtName), "");
  EXPECT_EQ(form.text(Field::maskDtStart), "12/31/1983");
  EXPECT_EQ(form.text(Field::maskDtStop), investor->StopCalc());
  EXPECT_EQ(form.text(Field::MaskDtTrans), "__/__/____");
  EXPECT_EQ(form.text(Field::txtShares), "0");
  EXPECT_EQ(form.text(Field::txtCost), "0");
  EXPECT_TRUE(form.buyChecked());
  EXPECT_TRUE(form.costVisible());
  EXPECT_EQ(form.election(), orlendo::eLumora::standard);
  ASSERT_TRUE(form.securityList().hasSelection());
  EXPECT_EQ(form.securityList().lines[static_cast<std::size_t>(form.securityList().selected)], "Quorvex");
  EXPECT_EQ(form.securityList().lines.size(), 30u);
  EXPECT_EQ(form.CurSecurity(), "Quorvex");
  EXPECT_EQ(form.securityCaption(), "Quorvex");
  EXPECT_TRUE(form.buySellList().lines.empty());
  ASSERT_EQ(form.BuySellRows().size(), 1u);
  EXPECT_TRUE(form.BuySellRows()[0].isPlaceholder());
  EXPECT_EQ(host.changes, 0);
}

TEST(InputFormLoad, AnElectionOfMoreSharesOpensSelectedWithoutWritingBack) {
  auto investor = orlendo::Investor::create();
  investor->BeginEdit();
  investor->Lumora2QVX(orlendo::eLumora::shares);
  investor->sName("R&D Holdings");
  RecordingHost host;
  ScriptedMessages messages;
  InputForm form(investor, host, messages);
  form.load();
  EXPECT_EQ(form.election(), orlendo::eLumora::shares);
  EXPECT_EQ(form.text(Field::txtName), "R&D Holdings");
  EXPECT_EQ(host.changes, 0);
  form.SetInitialIP();
  EXPECT_EQ(form.filenameLabel(), host.label);
}

TEST_F(FormFixture, TypingReachesTheInvestorExceptALoneMinus) {
  form.textChanged(Field::txtName, "A");
  form.textChanged(Field::txtName, "Ann");
  EXPECT_EQ(investor->sName(), "Ann");
  form.textChanged(Field::txtLine2, "-");
  EXPECT_EQ(investor->Line2(), "");
  form.textChanged(Field::txtLine2, "-x");
  EXPECT_EQ(investor->Line2(), "-x");

  form.textChanged(Field::txtShares, "12");
  form.textChanged(Field::txtShares, "-");
  EXPECT_EQ(form.CurBuySell()->ChgShrs(), "12.00000");
  form.textChanged(Field::txtShares, "-5");
  EXPECT_EQ(form.CurBuySell()->ChgShrs(), "-5.00000");
}

TEST_F(FormFixture, LeavingAFieldShowsWhatTheObjectHolds) {
  form.textChanged(Field::txtShares, "1000");
  EXPECT_TRUE(form.focusLeaving(Field::txtShares));
  EXPECT_EQ(form.text(Field::txtShares), "1,000.00000");
  form.textChanged(Field::txtCost, "-");
  EXPECT_TRUE(form.focusLeaving(Field::txtCost));
  EXPECT_EQ(form.text(Field::txtCost), "0.00");
  form.textChanged(Field::txtName, "-");
  EXPECT_TRUE(form.focusLeaving(Field::txtName));
  EXPECT_EQ(form.text(Field::txtName), "");
}

TEST_F(FormFixture, DateBoxesKeepTheFocusUntilTheyHoldARealDay) {
  const std::string warning =
      "Invalid date format. This is usually caused by entering a year as two digits instead of four digits. E.g., "
      "enter 2002 as 2002 not 02.";
  for (Field box : {Field::maskDtStart, Field::maskDtStop, Field::MaskDtTrans}) {
    for (std::string_view typed : {"02/15/84__", "02/15/84", "02/30/2001", "__/__/____"}) {
      SCOPED_TRACE(std::string(FieldName(box)) + " " + std::string(typed));
      messages.shown.clear();
      form.textChanged(box, typed);
      EXPECT_FALSE(form.focusLeaving(box));
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].title, "WARNING");
      EXPECT_EQ(messages.shown[0].text, warning);
      EXPECT_EQ(messages.shown[0].icon, Icon::Exclamation);
      EXPECT_EQ(form.takeFocusRequest(), box);
    }
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
  struct Step {
    const char* what;
    std::function<void()> edit;
  };
  const std::vector<Step> steps = {
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
       }},
      {"delete",
       [&] {
         form.buySellClicked(0);
         messages.answers = {Answer::Yes};
         form.deleteClicked();
       }},
  };
  for (const auto& step : steps) {
    const int before = host.changes;
    step.edit();
    EXPECT_EQ(host.changes, before + 1) << step.what;
  }
  // What changes nothing marks nothing.
  const int before = host.changes;
  form.textChanged(Field::txtName, "Ann");  // the window echoing its own text
  form.electionClicked(orlendo::eLumora::cash);
  form.textChanged(Field::txtShares, "5");  // the scratch record only
  form.textChanged(Field::maskDtStop, "12/31/20__");
  form.textChanged(Field::txtName, "-");
  EXPECT_EQ(host.changes, before);
  EXPECT_TRUE(messages.shown.size() == 1u);  // the one delete question
}

TEST_F(FormFixture, ElectionButtonsAndBuyCheck) {
  form.electionClicked(orlendo::eLumora::shares);
  EXPECT_EQ(investor->Lumora2QVX(), orlendo::eLumora::shares);
  EXPECT_EQ(form.election(), orlendo::eLumora::shares);

  form.textChanged(Field::txtCost, "250");
  form.buyCheckClicked(false);
  EXPECT_FALSE(form.costVisible());
  form.buyCheckClicked(true);
  EXPECT_TRUE(form.costVisible());
  EXPECT_EQ(form.text(Field::txtCost), "250");
}

TEST_F(FormFixture, HelpFollowsTheFocus) {
  form.focusEntered(Field::txtCost);
  EXPECT_EQ(form.helpText(), HelpTextOf(Field::txtCost));
  form.focusEntered(Field::radCash);
  EXPECT_EQ(form.helpText(), HelpTextOf(Field::radCash));
  form.focusEntered(Field::lstBuySells);  // no help of its own: the last one stays
  EXPECT_EQ(form.helpText(), HelpTextOf(Field::radCash));
}

TEST_F(FormFixture, AddsAreSortedStoredInTheSecurityAndResetTheFields) {
  enter("03/01/1990", "10", "100");
  enter("01/15/1985", "20", "200");
  enter("03/01/1990", "30", "300");
  EXPECT_EQ(form.buySellList().lines,
            (std::vector<std::string>{"01/15/1985 Buy ", "03/01/1990 Buy ", "03/01/1990 Buy "}));
  EXPECT_EQ(codes(*collectionOf("Quorvex")),
            (std::vector<std::string>{"1985/01/15-0", "1990/03/01-1", "1990/03/01-2"}));
  EXPECT_EQ(collectionOf("Quorvex")->Item(3L)->ChgShrs(), "30.00000");
  EXPECT_EQ(form.text(Field::txtShares), "0");
  EXPECT_EQ(form.text(Field::txtCost), "0");
  EXPECT_EQ(form.text(Field::MaskDtTrans), "__/__/____");
  EXPECT_EQ(form.CurBuySell()->ChgShrs(), "0.00000");
  EXPECT_EQ(form.takeFocusRequest(), Field::txtShares);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FormFixture, AnAddWithoutTouchingTheDateRecordsTheDefaultDay) {
  form.textChanged(Field::txtShares, "1000");
  form.textChanged(Field::txtCost, "25000");
  form.addClicked();
  ASSERT_EQ(collectionOf("Quorvex")->Count(), 1);
  EXPECT_EQ(collectionOf("Quorvex")->Item(1L)->XActionDate(), "12/31/1983");
}

TEST_F(FormFixture, AFailedAddCheckStoresNothing) {
  // No to every question: each failing check is asked in order, nothing is
  // stored, and the typed values stay in the fields.
  form.textChanged(Field::txtCost, "12x");
  form.textChanged(Field::txtShares, "abc");
  form.textChanged(Field::MaskDtTrans, "02/15/84__");
  form.addClicked();
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_EQ(messages.shown[0].title, "WARNING!");
  EXPECT_EQ(messages.shown[0].buttons, Buttons::YesNo);
  EXPECT_EQ(messages.shown[0].text, EntryCheckMessage(EntryCheck::Cost, "12x"));
  EXPECT_EQ(messages.shown[1].text, EntryCheckMessage(EntryCheck::Shares, "abc"));
  EXPECT_EQ(messages.shown[2].text, EntryCheckMessage(EntryCheck::Date, "02/15/84__"));
  EXPECT_EQ(collectionOf("Quorvex")->Count(), 0);
  EXPECT_EQ(form.text(Field::txtShares), "abc");
  EXPECT_EQ(form.text(Field::MaskDtTrans), "02/15/84__");
  EXPECT_EQ(host.changes, 0);

  // Yes to the shares question: the focus goes there and the date is not asked.
  messages.shown.clear();
  messages.answers = {Answer::No, Answer::Yes};
  form.addClicked();
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(form.takeFocusRequest(), Field::txtShares);
  EXPECT_EQ(collectionOf("Quorvex")->Count(), 0);

  // An impossible day is refused like a partial one.
  messages.shown.clear();
  form.textChanged(Field::txtCost, "10");
  form.textChanged(Field::txtShares, "1");
  form.textChanged(Field::MaskDtTrans, "02/30/2001");
  messages.answers = {Answer::Yes};
  form.addClicked();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, EntryCheckMessage(EntryCheck::Date, "02/30/2001"));
  EXPECT_EQ(form.takeFocusRequest(), Field::MaskDtTrans);
  EXPECT_EQ(collectionOf("Quorvex")->Count(), 0);
}

TEST_F(FormFixture, ChangeRunsTheSameChecksBeforeReplacingARow) {
  enter("01/15/1985", "20", "200");
  form.buySellClicked(0);
  EXPECT_EQ(form.text(Field::txtShares), "20.00000");
  EXPECT_EQ(form.text(Field::txtCost), "200.00");
  EXPECT_EQ(form.text(Field::MaskDtTrans), "01/15/1985");
  EXPECT_EQ(form.takeFocusRequest(), Field::txtShares);

  form.textChanged(Field::txtShares, "2O");  // letter O for zero
  form.changeClicked();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, EntryCheckMessage(EntryCheck::Shares, "2O"));
  EXPECT_EQ(collectionOf("Quorvex")->Item(1L)->ChgShrs(), "20.00000");
  EXPECT_EQ(form.text(Field::txtShares), "2O");

  form.textChanged(Field::MaskDtTrans, "02/30/1986");
  form.textChanged(Field::txtShares, "25");
  messages.shown.clear();
  form.changeClicked();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, EntryCheckMessage(EntryCheck::Date, "02/30/1986"));
  EXPECT_EQ(collectionOf("Quorvex")->Item(1L)->XActionDate(), "01/15/1985");

  form.textChanged(Field::MaskDtTrans, "02/28/1986");
  messages.shown.clear();
  form.changeClicked();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(codes(*collectionOf("Quorvex")), std::vector<std::string>{"1986/02/28-0"});
  EXPECT_EQ(collectionOf("Quorvex")->Item(1L)->ChgShrs(), "25.00000");
  EXPECT_EQ(form.text(Field::txtShares), "25");  // the fields keep their contents
}

TEST_F(FormFixture, ChangeWithoutASelectedLineOnlySuggests) {
  enter("01/15/1985", "20", "200");
  form.textChanged(Field::txtShares, "junk");
  form.changeClicked();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "SUGGESTION");
  EXPECT_EQ(collectionOf("Quorvex")->Item(1L)->ChgShrs(), "20.00000");
  EXPECT_EQ(host.changes, 1);  // the Add only
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
  EXPECT_EQ(collectionOf("Quorvex")->Count(), 2);
  EXPECT_EQ(form.text(Field::txtShares), "0");
  EXPECT_EQ(form.text(Field::txtCost), "0");
  EXPECT_EQ(form.CurBuySell()->ChgShrs(), "0.00000");
  // The new scratch record holds the date the box shows.
  EXPECT_EQ(form.CurBuySell()->XActionDate(), "01/15/1985");
  EXPECT_EQ(form.takeFocusRequest(), Field::txtShares);
}

TEST_F(FormFixture, SwitchingSecuritiesAndBackShowsTheRowsSorted) {
  enter("06/30/1995", "100", "", false);
  enter("12/31/1983", "1234.5", "25000");
  enter("03/01/1990", "10", "100");
  selectSecurity("Lumora");
  EXPECT_EQ(form.CurSecurity(), "Lumora");
  EXPECT_EQ(form.securityCaption(), "Lumora");
  EXPECT_TRUE(form.buySellList().lines.empty());
  enter("07/01/2000", "50", "5000");

  selectSecurity("Quorvex");
  EXPECT_EQ(form.buySellList().lines,
            (std::vector<std::string>{"12/31/1983 Buy ", "03/01/1990 Buy ", "06/30/1995 Sell"}));
  const auto& rows = form.BuySellRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].ChgShrs, "1,234.50000");
  EXPECT_EQ(rows[1].ChgShrs, "10.00000");
  EXPECT_EQ(rows[2].ChgShrs, "100.00000");
  EXPECT_FALSE(rows[2].IsBuy);
  EXPECT_EQ(collectionOf("Quorvex")->Item(3L)->ChgShrs(), "-100.00000");
  EXPECT_EQ(collectionOf("Lumora")->Count(), 1);
  EXPECT_EQ(form.text(Field::txtShares), "0");
}

TEST_F(FormFixture, ButtonsSaveThroughTheHostAndKeepEditing) {
  form.saveClicked();
  EXPECT_EQ(host.saves, 1);
  EXPECT_TRUE(investor->InEditMode());
  host.label = "another name";
  form.filenameClicked();
  EXPECT_EQ(host.saveAses, 1);
  EXPECT_EQ(form.filenameLabel(), "another name");
  form.textChanged(Field::txtName, "Still editing");
  EXPECT_EQ(investor->sName(), "Still editing");

  form.okClicked();
  EXPECT_EQ(host.saves, 2);
  EXPECT_TRUE(form.closeRequested());
  EXPECT_TRUE(form.BuySellRows().empty());
  EXPECT_EQ(form.CurBuySell(), nullptr);
}

TEST_F(FormFixture, CancelKeepsTheEditsInMemoryWithoutSaving) {
  form.textChanged(Field::txtName, "New Name");
  enter("01/15/1985", "20", "200");
  form.cancelClicked();
  EXPECT_TRUE(form.closeRequested());
  EXPECT_EQ(host.saves, 0);
  EXPECT_EQ(investor->sName(), "New Name");
  EXPECT_EQ(collectionOf("Quorvex")->Count(), 1);
}

TEST(InputFormErrors, AStoredEntryThatDoesNotReadGoesToTheErrorPath) {
  auto investor = orlendo::Investor::create();
  auto bad = orlendo::BuySells::create();
  std::string code = "x", date = "01/01/1990", cost = "0", shares = "lots";
  bad->Add(code, date, cost, shares);
  investor->colSecurities()->Item(std::string_view("Lumora"))->colBuySells(bad);
  RecordingHost host;
  ScriptedMessages messages;
  InputForm form(investor, host, messages);
  form.load();
  const auto& lines = form.securityList().lines;
  form.securityClicked(static_cast<int>(std::find(lines.begin(), lines.end(), "Lumora") - lines.begin()));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].location.rfind("dc_frmIP.InitializeBuySellsArray\r", 0), 0u) << host.errors[0].location;
  // The bad entry is still there for the user to see in the data file.
  EXPECT_EQ(investor->colSecurities()->Item(std::string_view("Lumora"))->colBuySells(), bad);
}

// Entries made through the window, saved, loaded into a new investor and
// shown again read the same.
TEST(InputFormRoundTrip, SavedEntriesComeBackIdentically) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("tvx_input_form_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".qvx");
  struct Shown {
    std::vector<std::string> lines;
    std::vector<std::string> rows;
  };
  const auto showAll = [](InputForm& form) {
    std::vector<Shown> all;
    for (std::size_t i = 0; i < form.securityList().lines.size(); ++i) {
      form.securityClicked(static_cast<int>(i));
      Shown s{form.buySellList().lines, {}};
      for (const auto& r : form.BuySellRows())
        s.rows.push_back(r.SortKey + "|" + r.XActionDate + "|" + r.Kind + "|" + r.ChgShrs + "|" + r.ChgCost);
      all.push_back(std::move(s));
    }
    return all;
  };

  auto investor = orlendo::Investor::create();
  RecordingHost host;
  ScriptedMessages messages;
  InputForm form(investor, host, messages);
  form.load();
  form.textChanged(Field::txtName, "Pat & Lee Doe");
  form.textChanged(Field::txtLine2, "Joint account");
  form.textChanged(Field::maskDtStop, "12/31/2010");
  form.electionClicked(orlendo::eLumora::cash);
  const auto enter = [&](std::string_view date, std::string_view shares, std::string_view cost, bool buy) {
    form.buyCheckClicked(buy);
    form.textChanged(Field::txtShares, shares);
    form.textChanged(Field::txtCost, cost);
    form.textChanged(Field::MaskDtTrans, date);
    form.addClicked();
  };
  enter("12/31/1983", "1000", "25000", true);
  enter("03/01/1990", "10.123456", "1234.567", true);
  enter("03/01/1990", "5", "0", false);
  const auto& lines = form.securityList().lines;
  form.securityClicked(static_cast<int>(std::find(lines.begin(), lines.end(), "Lumora") - lines.begin()));
  enter("07/01/1999", "200", "8000", true);
  enter("06/15/2000", "200", "0", false);
  ASSERT_TRUE(messages.shown.empty());
  const auto before = showAll(form);

  investor->Save(path.string());
  auto loaded = orlendo::Investor::create();
  loaded->LoadFile(path.string());
  std::filesystem::remove(path);
  EXPECT_EQ(loaded->sName(), "Pat & Lee Doe");
  EXPECT_EQ(loaded->Line2(), "Joint account");
  EXPECT_EQ(loaded->StopCalc(), "12/31/2010");
  EXPECT_EQ(loaded->Lumora2QVX(), orlendo::eLumora::cash);

  RecordingHost host2;
  InputForm again(loaded, host2, messages);
  again.load();
  EXPECT_EQ(again.text(Field::txtName), "Pat & Lee Doe");
  EXPECT_EQ(again.election(), orlendo::eLumora::cash);
  const auto after = showAll(again);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].lines, before[i].lines) << form.securityList().lines[i];
    EXPECT_EQ(after[i].rows, before[i].rows) << form.securityList().lines[i];
  }
  EXPECT_TRUE(host2.errors.empty());
  EXPECT_EQ(host2.changes, 0);
}

}  // namespace
}  // namespace tvx
