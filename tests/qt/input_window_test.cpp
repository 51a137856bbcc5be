// The input window typed into as a user would: keys reach the investor (a
// lone "-" does not), a partly typed date keeps the focus, the cost box
// follows the buy check, the election buttons, Enter as Tab, the help text
// of each field, OK saving to CurrentFile through the program's hook, and a
// whole investor typed in whose Summary report equals the one of the same
// investor built through the library.
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
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
using tvx::qt::toQ;

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
  std::string shown(Field f) { return fromQ(edit(f)->displayText()); }
  QWidget* focused() { return QApplication::focusWidget(); }

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
  void click(const char* name) {
    QTest::mouseClick(w.button(name), Qt::LeftButton);
    QCoreApplication::processEvents();
  }
  void clickLine(Field f, const QString& text) {
    QListWidget* l = list(f);
    const auto items = l->findItems(text, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(text));
    l->scrollToItem(items[0]);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(items[0]).center());
    QCoreApplication::processEvents();
  }
  // One buy or sell entered on the second page.
  void enter(const QString& security, bool buy, const QString& shares, const QString& cost, const QString& date) {
    page(1);
    clickLine(Field::lstSecurities, security);
    auto* chk = qobject_cast<QCheckBox*>(control(Field::chkBuy));
    if (chk->isChecked() != buy) QTest::mouseClick(chk, Qt::LeftButton, {}, QPoint(5, chk->height() / 2));
    type(Field::txtShares, shares);
    if (buy) type(Field::txtCost, cost);
    type(Field::MaskDtTrans, date);
    click("btnAdd");
  }

  Services s;
  qt::InputWindow w;
};

std::string helpShown(const qt::InputWindow& w) { return fromQ(w.txtHelp()->toPlainText()); }

std::string withLineFeeds(std::string_view text) {
  std::string out(text);
  for (std::size_t p; (p = out.find("\r\n")) != std::string::npos;) out.erase(p, 1);
  return out;
}

std::string summaryOf(const orlendo::InvestorPtr& investor) {
  ReportHarness r;
  r.state.Investor = investor;
  r.state.CurrentFile = "scenario.qvx";
  investor->Calculate(orlendo::readDate(investor->StartCalc()), orlendo::readDate(investor->StopCalc()));
  RunSummReport(r.ctx, 1);
  return r.windows.made.empty() ? std::string() : r.windows.made[0]->body;
}

QString labelFor(QWidget* field) {
  for (QFormLayout* f : field->parentWidget()->findChildren<QFormLayout*>()) {
    int row;
    QFormLayout::ItemRole role;
    f->getWidgetPosition(field, &row, &role);
    if (row < 0) continue;
    if (auto* item = f->itemAt(row, QFormLayout::LabelRole))
      if (auto* label = qobject_cast<QLabel*>(item->widget())) return label->text();
  }
  return {};
}

}  // namespace

class InputWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void opensWithTheInvestorsValuesAndTheCaptions() {
    FileHarness h;
    h.state.Investor->BeginEdit();
    h.state.Investor->sName("Ann Example");
    h.state.Investor->StopCalc("06/30/2010");
    h.state.Investor->Lumora2QVX(orlendo::eLumora::shares);
    h.state.CurrentFile = h.folder.file("ann.qvx");
    Window t(h);

    QCOMPARE(t.w.windowTitle(), QString("Inputs"));
    QCOMPARE(t.w.tabs()->tabText(0), QString("&Initial Inputs"));
    QCOMPARE(t.w.tabs()->tabText(1), QString("&Buys && Sells"));
    QCOMPARE(labelFor(t.control(Field::txtName)), QString("Investor's Name:"));
    QCOMPARE(labelFor(t.control(Field::txtLine2)), QString("Optional Second Line:"));
    QCOMPARE(labelFor(t.control(Field::maskDtStart)), QString("Computation start date (usually 12/31/1983):"));
    QCOMPARE(labelFor(t.control(Field::maskDtStop)), QString("Computation stop date:"));
    QCOMPARE(labelFor(t.control(Field::txtShares)), QString("Shares bought or sold:"));
    QCOMPARE(labelFor(t.control(Field::txtCost)), QString("Cost (buys only):"));
    QCOMPARE(labelFor(t.control(Field::MaskDtTrans)), QString("Transaction date:"));
    QCOMPARE(t.w.findChild<QGroupBox*>("fraLumora")->title(), QString("Lumora 6/15/2000 Acquisition By Quorvex"));
    QCOMPARE(qobject_cast<QRadioButton*>(t.control(Field::radStandard))->text(), QString("Standard Option"));
    QCOMPARE(qobject_cast<QRadioButton*>(t.control(Field::radStock))->text(), QString("More Shares Option"));
    QCOMPARE(qobject_cast<QRadioButton*>(t.control(Field::radCash))->text(), QString("More Cash Option"));
    QCOMPARE(qobject_cast<QCheckBox*>(t.control(Field::chkBuy))->text(), QString("Check for buy. Uncheck for sell."));
    const std::pair<const char*, const char*> buttons[] = {
        {"btnFilename", "Change or set filename"}, {"btnSave", "&Save Information Entered"}, {"btnAdd", "&Add"},
        {"btnChange", "&Change"}, {"btnDelete", "&Delete"}, {"btnOK", "&OK"}, {"btnCancel", "C&ancel"}};
    for (const auto& [name, caption] : buttons) {
      QVERIFY2(t.w.button(name), name);
      QCOMPARE(t.w.button(name)->text(), QString(caption));
    }
    QVERIFY(t.w.txtHelp()->isReadOnly());

    // The investor's values, the election without writing back, Quorvex shown.
    QCOMPARE(t.shown(Field::txtName), std::string("Ann Example"));
    QCOMPARE(t.shown(Field::maskDtStart), std::string("12/31/1983"));
    QCOMPARE(t.shown(Field::maskDtStop), std::string("06/30/2010"));
    QCOMPARE(t.shown(Field::MaskDtTrans), std::string("__/__/____"));
    QCOMPARE(t.shown(Field::txtShares), std::string("0"));
    QVERIFY(qobject_cast<QRadioButton*>(t.control(Field::radStock))->isChecked());
    QVERIFY(!qobject_cast<QRadioButton*>(t.control(Field::radStandard))->isChecked());
    QCOMPARE(t.w.lblFilename()->text(), toQ(DisplayShorterFilename(h.state.CurrentFile)));
    QListWidget* securities = t.list(Field::lstSecurities);
    QCOMPARE(securities->count(), 30);
    QCOMPARE(securities->currentItem()->text(), QString("Quorvex"));
    QCOMPARE(t.w.fraSecurity()->title(), QString("Quorvex"));
    for (int i = 1; i < securities->count(); ++i)  // by name, letter case aside
      QVERIFY(securities->item(i - 1)->text().compare(securities->item(i)->text(), Qt::CaseInsensitive) <= 0);
    QVERIFY(h.state.DataSaved);  // opening changes nothing
    QVERIFY(h.messages.shown.empty());
  }

  void typingReachesTheInvestorButALoneMinusDoesNot() {
    FileHarness h;
    h.state.Investor->BeginEdit();
    h.state.Investor->sName("Old Name");
    Window t(h);
    QVERIFY(t.active());

    t.type(Field::txtName, "Ann");  // the old name was selected and is replaced
    QCOMPARE(h.state.Investor->sName(), std::string("Ann"));
    QVERIFY(!h.state.DataSaved);
    t.type(Field::txtLine2, "Joint account");
    QCOMPARE(h.state.Investor->Line2(), std::string("Joint account"));
    t.type(Field::maskDtStop, "06");  // partly typed: not written
    QCOMPARE(t.shown(Field::maskDtStop), std::string("06/__/____"));
    QVERIFY(h.state.Investor->StopCalc() != "06/__/____");
    QTest::keyClicks(t.control(Field::maskDtStop), "152001");
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
    t.type(Field::txtCost, "1250.5");
    QCOMPARE(orlendo::Currency::fromText(t.w.form().CurBuySell()->ChgCost()), orlendo::Currency::fromText("1250.5"));
    t.type(Field::MaskDtTrans, "03011990");
    QCOMPARE(t.w.form().CurBuySell()->XActionDate(), std::string("03/01/1990"));
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

    QTest::keyClicks(t.control(Field::maskDtStart), "02302001");  // the text was selected again
    QCOMPARE(t.shown(Field::maskDtStart), std::string("02/30/2001"));
    t.tab();
    QCOMPARE(h.messages.shown.size(), std::size_t{2});
    QCOMPARE(t.focused(), t.control(Field::maskDtStart));

    QTest::keyClicks(t.control(Field::maskDtStart), "02151984");
    t.tab();
    QCOMPARE(h.messages.shown.size(), std::size_t{2});
    QCOMPARE(t.focused(), t.control(Field::maskDtStop));
    QCOMPARE(h.state.Investor->StartCalc(), std::string("02/15/1984"));

    // The transaction date too; Cancel leaves without a warning.
    t.page(1);
    t.type(Field::MaskDtTrans, "1");
    t.tab();
    QCOMPARE(h.messages.shown.size(), std::size_t{3});
    QCOMPARE(t.focused(), t.control(Field::MaskDtTrans));
    // A click on Add from a refused date warns about the date and adds nothing.
    QTest::keyClicks(t.control(Field::MaskDtTrans), "01011990");
    t.type(Field::txtShares, "5");
    t.type(Field::MaskDtTrans, "0101");
    t.click("btnAdd");
    QCOMPARE(h.messages.shown.size(), std::size_t{4});
    QCOMPARE(h.messages.shown[3].text, std::string(kDateFormatWarning));
    QCOMPARE(t.focused(), t.control(Field::MaskDtTrans));
    QCOMPARE(t.list(Field::lstBuySells)->count(), 0);
    QCOMPARE(h.state.Investor->colSecurities()->Item("Quorvex")->colBuySells()->Count(), 0L);
    t.click("btnCancel");
    QCOMPARE(h.messages.shown.size(), std::size_t{4});
    QVERIFY(!t.w.isVisible());
    QCOMPARE(t.w.result(), int(QDialog::Rejected));
  }

  void theCostBoxFollowsTheBuyCheck() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    t.page(1);
    auto* chk = qobject_cast<QCheckBox*>(t.control(Field::chkBuy));
    auto* lblCost = t.w.findChild<QLabel*>("lblCost");
    QVERIFY(chk->isChecked());
    QVERIFY(t.control(Field::txtCost)->isVisible());
    t.type(Field::txtCost, "750");

    QTest::mouseClick(chk, Qt::LeftButton, {}, QPoint(5, chk->height() / 2));
    QVERIFY(!chk->isChecked());
    QVERIFY(!t.control(Field::txtCost)->isVisible());
    QVERIFY(!t.control(Field::txtCost)->isEnabled());
    QVERIFY(!lblCost->isVisible());

    QTest::mouseClick(chk, Qt::LeftButton, {}, QPoint(5, chk->height() / 2));
    QVERIFY(t.control(Field::txtCost)->isVisible());
    QVERIFY(t.control(Field::txtCost)->isEnabled());
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
      QTest::mouseClick(t.control(field), Qt::LeftButton, {}, QPoint(5, t.control(field)->height() / 2));
      QCOMPARE(h.state.Investor->Lumora2QVX(), value);
      QVERIFY(qobject_cast<QRadioButton*>(t.control(field))->isChecked());
    }
    QVERIFY(!h.state.DataSaved);
  }

  void enterMovesOnLikeTab() {
    FileHarness h;
    Window t(h);
    QVERIFY(t.active());
    t.focus(Field::txtName);
    const Field order[] = {Field::txtLine2, Field::maskDtStart, Field::maskDtStop};
    for (Field next : order) {
      QTest::keyClick(t.focused(), Qt::Key_Return);
      QCOMPARE(t.focused(), t.control(next));
    }
    QTest::keyClick(t.focused(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(t.focused() != t.control(Field::maskDtStop));

    t.page(1);
    t.focus(Field::lstSecurities);
    QTest::keyClick(t.focused(), Qt::Key_Return);
    QCOMPARE(t.focused(), t.control(Field::lstBuySells));
    t.focus(Field::txtShares);
    QTest::keyClick(t.focused(), Qt::Key_Return);
    QCOMPARE(t.focused(), t.control(Field::txtCost));

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
    t.type(Field::MaskDtTrans, "01151990");  // an empty date box cannot be left
    for (const FieldHelp& help : kHelpTexts) {
      const bool secondPage = t.w.tabs()->widget(1)->isAncestorOf(t.control(help.field));
      t.page(secondPage ? 1 : 0);
      t.focus(help.field);
      QCOMPARE(t.focused(), t.control(help.field));
      QCOMPARE(helpShown(t.w), withLineFeeds(help.text));
      if (SelectsAllOnFocus(help.field))
        QCOMPARE(t.edit(help.field)->selectedText(), t.edit(help.field)->displayText());
    }
    // A field without help leaves the last one shown.
    t.page(1);
    t.focus(Field::chkBuy);
    t.focus(Field::lstSecurities);
    QCOMPARE(helpShown(t.w), withLineFeeds(HelpTextOf(Field::chkBuy)));
  }

  void okThroughTheProgramsHookSavesToCurrentFile() {
    FileHarness h;
    h.state.CurrentFile = h.folder.file("ok.qvx");
    Services s(h);
    qt::InputWindow* seen = nullptr;
    QTimer::singleShot(0, [&] {
      seen = qobject_cast<qt::InputWindow*>(QApplication::activeModalWidget());
      if (!seen) return;
      if (!QTest::qWaitForWindowActive(seen)) return;
      seen->control(Field::txtName)->setFocus(Qt::TabFocusReason);
      QCoreApplication::processEvents();
      QTest::keyClicks(seen->control(Field::txtName), "Saved Name");
      QTest::mouseClick(seen->button("btnOK"), Qt::LeftButton);
    });
    qt::makeInitIPHook()(s.services, nullptr);  // returns when the window closes

    QVERIFY(seen);
    QCOMPARE(s.registered.size(), std::size_t{1});
    QCOMPARE(s.registered[0], static_cast<QWidget*>(seen));
    QVERIFY(std::filesystem::exists(h.state.CurrentFile));
    QVERIFY(h.state.DataSaved);
    QVERIFY(h.dialog.saved.empty());  // no Save As: the current file was known
    auto reloaded = orlendo::Investor::create();
    reloaded->LoadFile(h.state.CurrentFile);
    QCOMPARE(reloaded->sName(), std::string("Saved Name"));
  }

  void cancelKeepsTheEditsInMemoryWithoutSaving() {
    FileHarness h;
    h.state.CurrentFile = h.folder.file("cancel.qvx");
    Window t(h);
    QVERIFY(t.active());
    t.type(Field::txtName, "New Name");
    QTest::keyClick(t.focused(), Qt::Key_Escape);
    QVERIFY(!t.w.isVisible());
    QCOMPARE(h.state.Investor->sName(), std::string("New Name"));
    QVERIFY(!h.state.DataSaved);
    QVERIFY(!std::filesystem::exists(h.state.CurrentFile));
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
    QTest::mouseClick(t.control(Field::radCash), Qt::LeftButton, {}, QPoint(5, t.control(Field::radCash)->height() / 2));
    t.enter("Quorvex", true, "100", "6000", "12311983");
    t.enter("Dunmarrow", true, "50", "2000", "03151990");
    t.enter("Dunmarrow", false, "20", "", "06011995");
    t.enter("Vantrel", true, "10", "500", "01151990");
    t.enter("Quorvex", false, "30", "", "05051995");
    QCOMPARE(t.list(Field::lstBuySells)->count(), 2);
    QCOMPARE(t.list(Field::lstBuySells)->item(1)->text(), QString("05/05/1995 Sell"));
    QVERIFY(h.messages.shown.empty());
    t.click("btnOK");
    QVERIFY(!t.w.isVisible());

    auto direct = orlendo::Investor::create();
    direct->BeginEdit();
    direct->sName("Pat Newcomer");
    direct->Line2("Brokerage account");
    direct->StartCalc("12/31/1983");
    direct->StopCalc("12/31/2016");
    direct->Lumora2QVX(orlendo::eLumora::cash);
    const auto add = [&](const char* security, std::string date, std::string shares, std::string cost) {
      std::string code = date + "-d";
      direct->colSecurities()->Item(security)->colBuySells()->Add(code, date, cost, shares);
    };
    add("Quorvex", "12/31/1983", "100", "6000");
    add("Quorvex", "05/05/1995", "-30", "0");
    add("Dunmarrow", "03/15/1990", "50", "2000");
    add("Dunmarrow", "06/01/1995", "-20", "0");
    add("Vantrel", "01/15/1990", "10", "500");

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
