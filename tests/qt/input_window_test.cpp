// The input window typed into as a user would: keys reach the investor (a
// lone "-" does not, nor letters in the cost), Ctrl+S, Escape and Ctrl+W, and
// a whole investor typed in and saved with OK.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "app_test_support.h"
#include "orlendo/numbers.h"
#include "qt/input_window.h"
#include "qt/qt_ports.h"

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
                 [](QWidget*) {}} {}
  FileCommandsInputHost host;
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
  std::string shown(Field f) { return fromQ(qobject_cast<QLineEdit*>(control(f))->displayText()); }
  QWidget* focused() { return QApplication::focusWidget(); }

  void secondPage() {
    w.tabs()->setCurrentIndex(1);
    QCoreApplication::processEvents();
  }
  // Focus (the whole text gets selected), type over it.
  void type(Field f, const QString& keys) {
    control(f)->setFocus(Qt::TabFocusReason);
    settle();
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
    secondPage();
    auto* l = qobject_cast<QListWidget*>(control(Field::lstSecurities));
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
    t.type(Field::txtName, "Ann");  // the old name was selected and is replaced
    QCOMPARE(h.state.Investor->sName(), std::string("Ann"));
    QVERIFY(!h.state.DataSaved);
    t.type(Field::maskDtStop, "06152001");
    QCOMPARE(h.state.Investor->StopCalc(), std::string("06/15/2001"));

    t.secondPage();
    const std::string shares = t.w.form().CurBuySell()->ChgShrs();
    t.type(Field::txtShares, "-");
    QCOMPARE(t.shown(Field::txtShares), std::string("-"));
    QCOMPARE(t.w.form().CurBuySell()->ChgShrs(), shares);
    t.tab();  // leaving refills the box from the record
    QCOMPARE(t.shown(Field::txtShares), shares);
    t.type(Field::txtShares, "-5");
    QCOMPARE(orlendo::Currency::fromText(t.w.form().CurBuySell()->ChgShrs()), orlendo::Currency::fromText("-5"));
    t.type(Field::txtCost, "1x,2O0.5.0");  // letters and a second point are refused as typed
    QCOMPARE(t.shown(Field::txtCost), std::string("1,20.50"));
    QVERIFY(h.messages.shown.empty());
  }

  // The keys of an editor: Ctrl+S saves, and the title names the investor;
  // Escape and Ctrl+W cancel.
  void ctrlSSavesAndEscapeOrCtrlWCancels() {
    for (const QKeySequence& closing : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
      FileHarness h;
      h.state.CurrentFile = h.folder.file("keys.qvx");
      Window t(h);
      QVERIFY(t.active());
      t.type(Field::txtName, "Key Saver");
      QVERIFY(t.w.windowTitle().contains("Key Saver"));
      QTest::keySequence(t.focused(), QKeySequence(Qt::CTRL | Qt::Key_S));
      QVERIFY(readBytes(h.state.CurrentFile).find("Name=Key Saver") != std::string::npos);
      QVERIFY(h.state.DataSaved);
      QVERIFY(t.w.isVisible());
      QTest::keySequence(t.focused(), closing);
      QVERIFY(!t.w.isVisible());
    }
  }

  void aWholeInvestorTypedInIsWhatOkSaves() {
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
    t.enter("Quorvex", false, "30", "", "05051995");
    QCOMPARE(qobject_cast<QTreeWidget*>(t.control(Field::lstBuySells))->topLevelItemCount(), 2);
    QVERIFY(h.messages.shown.empty());
    t.click("btnOK");
    QVERIFY(!t.w.isVisible());

    auto saved = orlendo::Investor::create();  // what OK wrote
    saved->LoadFile(h.state.CurrentFile);
    QCOMPARE(saved->sName() + ", " + saved->Line2() + ", " + saved->StartCalc() + "-" + saved->StopCalc(),
             std::string("Pat Newcomer, Brokerage account, 12/31/1983-12/31/2016"));
    QCOMPARE(saved->Lumora2QVX(), orlendo::eLumora::cash);
    std::string entries;
    for (const char* security : {"Quorvex", "Dunmarrow"})
      for (const auto& e : *saved->colSecurities()->Item(security)->colBuySells())
        entries += std::string(security) + " " + e->XActionDate() + " " + e->ChgShrs() + " " + e->ChgCost() + "; ";
    QCOMPARE(entries, std::string("Quorvex 12/31/1983 100.00000 6,000.00; Quorvex 05/05/1995 -30.00000 0.00; "
                                  "Dunmarrow 03/15/1990 50.00000 2,000.00; "));
  }
};

QTEST_MAIN(InputWindowTest)
#include "input_window_test.moc"
