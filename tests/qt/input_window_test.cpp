// The input window typed into as a user would: keys reach the investor (a
// lone "-" does not), a partly typed date keeps the focus, the cost box
// follows the buy check, the election buttons, Enter as Tab, the help text
// of each field, OK saving to CurrentFile through the program's hook, and a
// whole investor typed in whose Summary report equals the one of the same
// investor built through the library.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <cmath>
#include <filesystem>

#include "orlendo/dates.h"
#include "orlendo/numbers.h"
#include "qt/input_window.h"
#include "qt/qt_ports.h"
#include "reports/summary_report.h"
#include "shell_test_support.h"

using namespace tvx;
using namespace tvx::test;
using tvx::qt::fromQ;

namespace {

// Lets the queued steps run (a date check, then the select-all of the box it refocused).
void settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// The program's services over the file commands' recording ports.
struct Services {
  explicit Services(FileHarness& h)
      : host(*h.files),
        services{h.state, *h.files, host, h.messages,
                 [](const std::function<void()>& body) {
                   try {
                     body();
                   } catch (const ProgramEnded&) {
                   }
                 },
                 [this](QWidget* w) { registered.push_back(w); }} {}
  FileCommandsInputHost host;
  std::vector<QWidget*> registered;
  qt::DesktopServices services;
};

// One open input window, active, as InitIP leaves it.
struct Window {
  explicit Window(FileHarness& h) : s(h), w(s.services) {
    w.SetInitialIP();
    w.show();
    w.activateWindow();
  }
  bool active() { return QTest::qWaitForWindowActive(&w); }

  QWidget* control(Field f) { return w.control(f); }
  QLineEdit* edit(Field f) { return qobject_cast<QLineEdit*>(w.control(f)); }
  QListWidget* list(Field f) { return qobject_cast<QListWidget*>(w.control(f)); }
  QTreeWidget* rows() { return qobject_cast<QTreeWidget*>(w.control(Field::lstBuySells)); }
  std::string shown(Field f) { return fromQ(edit(f)->displayText()); }
  QWidget* focused() { return QApplication::focusWidget(); }
  std::string help() { return fromQ(w.txtHelp()->toPlainText()); }

  void page(int index) {
    w.tabs()->setCurrentIndex(index);
    QCoreApplication::processEvents();
  }
  void focus(Field f) {
    control(f)->setFocus(Qt::TabFocusReason);
    settle();  // the whole text gets selected
  }
  // Focus, type over the selected text.
  void type(Field f, const QString& keys) {
    focus(f);
    QTest::keyClicks(control(f), keys);
  }
  void tab() {
    QTest::keyClick(focused(), Qt::Key_Tab);
    settle();
  }
  void click(Field f) { QTest::mouseClick(control(f), Qt::LeftButton, {}, QPoint(5, control(f)->height() / 2)); }
  void click(const char* name) {
    QTest::mouseClick(w.button(name), Qt::LeftButton);
    QCoreApplication::processEvents();
  }
  // One buy or sell entered on the second page.
  void enter(const QString& security, bool buy, const QString& shares, const QString& cost, const QString& date) {
    page(1);
    QListWidget* l = list(Field::lstSecurities);
    const auto items = l->findItems(security, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(security));
    l->scrollToItem(items[0]);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(items[0]).center());
    if (qobject_cast<QCheckBox*>(control(Field::chkBuy))->isChecked() != buy) click(Field::chkBuy);
    type(Field::txtShares, shares);
    if (buy) type(Field::txtCost, cost);
    type(Field::MaskDtTrans, date);
    click("btnAdd");
  }

  Services s;
  qt::InputWindow w;
};

std::string withLineFeeds(std::string text) {
  for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;) text.erase(p, 1);
  return text;
}

std::string summaryOf(const orlendo::InvestorPtr& investor) {
  ReportHarness r;
  r.state.Investor = investor;
  r.state.CurrentFile = "scenario.qvx";
  investor->Calculate(orlendo::readDate(investor->StartCalc()), orlendo::readDate(investor->StopCalc()));
  RunSummReport(r.ctx, kDestScreen);
  return r.windows.made.empty() ? std::string() : r.windows.made[0]->body;
}

}  // namespace

class InputWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void typingReachesTheInvestorButALoneMinusDoesNot() {
    FileHarness h;
    h.state.Investor->BeginEdit();
    h.state.Investor->sName("Old Name");
    Window t(h);
    QVERIFY(t.active());
    QVERIFY(h.state.DataSaved);  // opening marks nothing
    for (const char* name : {"btnFilename", "btnSave", "btnAdd", "btnChange", "btnDelete", "btnOK", "btnCancel"})
      QVERIFY2(t.w.button(name), name);

    t.type(Field::txtName, "Ann");  // the old name was selected and is replaced
    QCOMPARE(h.state.Investor->sName(), std::string("Ann"));
    QVERIFY(!h.state.DataSaved);
    t.type(Field::maskDtStop, "06152001");
    QCOMPARE(h.state.Investor->StopCalc(), std::string("06/15/2001"));

    t.page(1);
    const std::string shares = t.w.form().CurBuySell()->ChgShrs();
    t.type(Field::txtShares, "-");
    QCOMPARE(t.shown(Field::txtShares), std::string("-"));
    QCOMPARE(t.w.form().CurBuySell()->ChgShrs(), shares);
    t.tab();  // leaving refills the box from the record
    QCOMPARE(t.shown(Field::txtShares), shares);
    t.type(Field::txtShares, "-5");
    QCOMPARE(orlendo::Currency::fromText(t.w.form().CurBuySell()->ChgShrs()), orlendo::Currency::fromText("-5"));
    QVERIFY(h.messages.shown.empty());
  }

  void anIncompleteOrImpossibleDateKeepsTheFocus() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    const std::string before = h.state.Investor->StartCalc();

    t.type(Field::maskDtStart, "021584");  // a two-digit year
    QCOMPARE(t.shown(Field::maskDtStart), std::string("02/15/84__"));
    t.tab();
    QCOMPARE(h.messages.shown.size(), std::size_t{1});
    QCOMPARE(h.messages.shown[0].title, std::string(kDateWarningTitle));
    QCOMPARE(h.messages.shown[0].text, std::string(kDateFormatWarning));
    QCOMPARE(h.messages.shown[0].icon, Icon::Exclamation);
    QCOMPARE(t.focused(), t.control(Field::maskDtStart));
    QCOMPARE(h.state.Investor->StartCalc(), before);

    QTest::keyClicks(t.control(Field::maskDtStart), "02151984");  // the text was selected again
    t.tab();
    QCOMPARE(h.messages.shown.size(), std::size_t{1});
    QCOMPARE(t.focused(), t.control(Field::maskDtStop));
    QCOMPARE(h.state.Investor->StartCalc(), std::string("02/15/1984"));

    // The transaction date too: a click on Add warns about the date and adds nothing.
    t.page(1);
    t.type(Field::txtShares, "5");
    t.type(Field::MaskDtTrans, "0101");
    t.click("btnAdd");
    QCOMPARE(h.messages.shown.size(), std::size_t{2});
    QCOMPARE(h.messages.shown[1].text, std::string(kDateFormatWarning));
    QCOMPARE(t.focused(), t.control(Field::MaskDtTrans));
    QCOMPARE(t.rows()->topLevelItemCount(), 0);
    QCOMPARE(h.state.Investor->colSecurities()->Item("Quorvex")->colBuySells()->Count(), 0L);
    t.click("btnCancel");  // Cancel leaves without a warning
    QCOMPARE(h.messages.shown.size(), std::size_t{2});
    QVERIFY(!t.w.isVisible());
    QCOMPARE(t.w.result(), int(QDialog::Rejected));
  }

  // Alt+A is Add (Cancel has its own key); Tab and Shift+Tab leave an empty
  // date box without a word; a partly typed one still keeps the focus.
  void keyboardAddAndLeavingAnEmptyDateBox() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    t.page(1);
    t.focus(Field::MaskDtTrans);
    t.tab();
    QVERIFY(t.focused() != t.control(Field::MaskDtTrans));
    t.focus(Field::MaskDtTrans);
    QTest::keyClick(t.focused(), Qt::Key_Backtab, Qt::ShiftModifier);
    settle();
    QVERIFY(t.focused() != t.control(Field::MaskDtTrans));
    QVERIFY(h.messages.shown.empty());

    t.type(Field::txtShares, "25");
    t.type(Field::txtCost, "1000");
    t.type(Field::MaskDtTrans, "03011990");
    QTest::keyClick(t.focused(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(t.rows()->topLevelItemCount(), 1);  // the button's click comes after its animation
    QVERIFY(t.w.isVisible());  // not Cancel
    QVERIFY(h.messages.shown.empty());

    // Add with the date box left empty: the missing date is named, nothing added.
    t.type(Field::txtShares, "5");
    QTest::keyClick(t.focused(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(h.messages.shown.size(), std::size_t{1});
    settle();
    QCOMPARE(h.messages.shown[0].text, std::string(kMissingDateWarning));
    QCOMPARE(t.focused(), t.control(Field::MaskDtTrans));
    QCOMPARE(t.rows()->topLevelItemCount(), 1);
  }

  // The list shows each entry's date, kind, shares and cost; the security
  // list marks the securities that hold entries.
  void theListsShowSharesCostAndWhichSecuritiesHoldEntries() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    t.enter("Quorvex", true, "1234.5", "25000", "12311983");
    t.enter("Quorvex", false, "100", "", "06301995");
    QTreeWidget* rows = t.rows();
    const QStringList expected[] = {{"12/31/1983", "Buy", "1,234.50000", "25,000.00"},
                                    {"06/30/1995", "Sell", "100.00000", ""}};
    QCOMPARE(rows->topLevelItemCount(), 2);
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 4; ++c) QCOMPARE(rows->topLevelItem(r)->text(c), expected[r][c]);
    QVERIFY(rows->topLevelItem(0)->textAlignment(2) & Qt::AlignRight);

    // A click on a line brings it into the fields.
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualItemRect(rows->topLevelItem(1)).center());
    settle();
    QCOMPARE(std::fabs(orlendo::parseDouble(t.shown(Field::txtShares))), 100.0);
    QVERIFY(!qobject_cast<QCheckBox*>(t.control(Field::chkBuy))->isChecked());

    QListWidget* securities = t.list(Field::lstSecurities);
    for (int i = 0; i < securities->count(); ++i)
      QCOMPARE(securities->item(i)->font().bold(), securities->item(i)->text() == "Quorvex");
  }

  void theCostBoxFollowsTheBuyCheck() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    t.page(1);
    QWidget* cost = t.control(Field::txtCost);
    QVERIFY(qobject_cast<QCheckBox*>(t.control(Field::chkBuy))->isChecked());
    QVERIFY(cost->isVisible());
    t.type(Field::txtCost, "750");

    const QPoint dateAt = t.control(Field::MaskDtTrans)->pos();
    t.click(Field::chkBuy);
    QVERIFY(cost->isVisible() && !cost->isEnabled());
    QVERIFY(!t.w.findChild<QLabel*>("lblCost")->isEnabled());
    QApplication::processEvents();
    QCOMPARE(t.control(Field::MaskDtTrans)->pos(), dateAt);  // nothing below the row moves
    t.click(Field::chkBuy);
    QVERIFY(cost->isVisible() && cost->isEnabled());
    QCOMPARE(t.shown(Field::txtCost), t.w.form().CurBuySell()->ChgCost());  // its last text
    QCOMPARE(t.shown(Field::txtCost).substr(0, 4), std::string("750."));
  }

  void theElectionButtonsSetTheInvestorsElection() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    QVERIFY(qobject_cast<QRadioButton*>(t.control(Field::radStandard))->isChecked());
    const std::pair<Field, orlendo::eLumora> buttons[] = {{Field::radCash, orlendo::eLumora::cash},
                                                          {Field::radStock, orlendo::eLumora::shares},
                                                          {Field::radStandard, orlendo::eLumora::standard}};
    for (const auto& [field, value] : buttons) {
      t.click(field);
      QCOMPARE(h.state.Investor->Lumora2QVX(), value);
    }
    QVERIFY(!h.state.DataSaved);
  }

  void enterMovesOnLikeTab() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    t.focus(Field::txtName);
    for (Field next : {Field::txtLine2, Field::maskDtStart, Field::maskDtStop}) {
      QTest::keyClick(t.focused(), Qt::Key_Return);
      QCOMPARE(t.focused(), t.control(next));
    }
    QTest::keyClick(t.focused(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(t.focused() != t.control(Field::maskDtStop));

    t.page(1);
    t.focus(Field::lstSecurities);
    QTest::keyClick(t.focused(), Qt::Key_Return);
    QCOMPARE(t.focused(), t.control(Field::lstBuySells));

    // Enter in a field that does not move on presses no button.
    t.page(0);
    t.focus(Field::radStandard);
    QTest::keyClick(t.focused(), Qt::Key_Return);
    QVERIFY(t.w.isVisible());
    QVERIFY(h.dialog.saved.empty());
    QVERIFY(h.messages.shown.empty());
  }

  void eachFieldShowsItsHelpTextOnFocus() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    t.page(1);
    QVERIFY(t.w.txtHelp()->isReadOnly());
    t.type(Field::MaskDtTrans, "01151990");  // an empty date box cannot be left
    for (const FieldHelp& help : kHelpTexts) {
      t.page(t.w.tabs()->widget(1)->isAncestorOf(t.control(help.field)) ? 1 : 0);
      if (help.field == Field::txtProceeds) {  // open only for a sell
        QVERIFY(!t.control(help.field)->isEnabled());
        t.click(Field::chkBuy);
      }
      t.focus(help.field);
      QCOMPARE(t.focused(), t.control(help.field));
      QCOMPARE(t.help(), withLineFeeds(std::string(help.text)));
      if (SelectsAllOnFocus(help.field))
        QCOMPARE(t.edit(help.field)->selectedText(), t.edit(help.field)->displayText());
    }
    // A field without help leaves the last one shown.
    t.page(1);
    t.focus(Field::chkBuy);
    t.focus(Field::lstSecurities);
    QCOMPARE(t.help(), withLineFeeds(std::string(HelpTextOf(Field::chkBuy))));
  }

  void okThroughTheProgramsHookSavesToCurrentFile() {
    FileHarness h;
    h.state.CurrentFile = h.folder.file("ok.qvx");
    Services s(h);
    qt::InputWindow* seen = nullptr;
    QTimer::singleShot(0, [&] {
      seen = qobject_cast<qt::InputWindow*>(QApplication::activeModalWidget());
      if (!seen || !QTest::qWaitForWindowActive(seen)) return;
      seen->control(Field::txtName)->setFocus(Qt::TabFocusReason);
      QCoreApplication::processEvents();
      QTest::keyClicks(seen->control(Field::txtName), "Saved Name");
      QTest::mouseClick(seen->button("btnOK"), Qt::LeftButton);
    });
    qt::makeInitIPHook()(s.services, nullptr);  // returns when the window closes

    QVERIFY(seen);
    QCOMPARE(s.registered, std::vector<QWidget*>{seen});
    QVERIFY(h.state.DataSaved);
    QVERIFY(h.dialog.saved.empty());  // no Save As: the current file was known
    auto reloaded = orlendo::Investor::create();
    reloaded->LoadFile(h.state.CurrentFile);
    QCOMPARE(reloaded->sName(), std::string("Saved Name"));
  }

  void aWholeInvestorTypedInGivesTheSummaryOfTheSameInvestorBuiltDirectly() {
    FileHarness h;
    h.state.CurrentFile = h.folder.file("scenario.qvx");
    Window t(h);
    QVERIFY(t.active());
    t.type(Field::txtName, "Pat Newcomer");
    t.type(Field::txtLine2, "Brokerage account");
    t.type(Field::maskDtStart, "12311983");
    t.type(Field::maskDtStop, "12312016");
    t.click(Field::radCash);
    t.enter("Quorvex", true, "100", "6000", "12311983");
    t.enter("Dunmarrow", true, "50", "2000", "03151990");
    t.enter("Dunmarrow", false, "20", "", "06011995");
    t.enter("Vantrel", true, "10", "500", "01151990");
    t.enter("Quorvex", false, "30", "", "05051995");
    QCOMPARE(t.rows()->topLevelItemCount(), 2);
    QCOMPARE(t.rows()->topLevelItem(1)->text(0), QString("05/05/1995"));
    QCOMPARE(t.rows()->topLevelItem(1)->text(1), QString("Sell"));
    QVERIFY(h.messages.shown.empty());
    t.click("btnOK");
    QVERIFY(!t.w.isVisible());

    auto direct = makeInvestor("Pat Newcomer", "Brokerage account", "12/31/1983", "12/31/2016", orlendo::eLumora::cash);
    addBuySell(*direct, "Quorvex", "12/31/1983", "100", "6000");
    addBuySell(*direct, "Quorvex", "05/05/1995", "-30", "0");
    addBuySell(*direct, "Dunmarrow", "03/15/1990", "50", "2000");
    addBuySell(*direct, "Dunmarrow", "06/01/1995", "-20", "0");
    addBuySell(*direct, "Vantrel", "01/15/1990", "10", "500");
    const std::string expected = summaryOf(direct);
    QVERIFY(expected.find("  Quorvex ") != std::string::npos);
    QVERIFY(expected.find("  Vantrel ") != std::string::npos);
    QCOMPARE(summaryOf(h.state.Investor), expected);

    auto saved = orlendo::Investor::create();  // what OK wrote reads back the same
    saved->LoadFile(h.state.CurrentFile);
    QCOMPARE(summaryOf(saved), expected);
  }
};

QTEST_MAIN(InputWindowTest)
#include "input_window_test.moc"
