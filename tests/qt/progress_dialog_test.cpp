// dlgProgress follows a real calculation and closes at its end, also when
// the calculation fails; it comes up only after half a second of work.
#include <QLabel>
#include <QtTest>

#include "orlendo/dates.h"
#include "orlendo/model.h"
#include "qt/progress_dialog.h"

class ProgressDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void followsTheYearsAndClosesOnSuccess() {
    tvx::qt::ProgressDialog dialog;
    QVERIFY(!dialog.isModal());
    dialog.started(1983);
    dialog.yearReached(1983);
    QVERIFY(!dialog.isVisible());  // a short calculation shows no window
    QTest::qWait(550);
    dialog.yearReached(1983);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.lblStatus()->text(), QString("Year: 1983"));

    auto investor = orlendo::Investor::create();
    investor->LoadFile(TVX_EXAMPLES_DIR "/smith.qvx");
    investor->Calculate(orlendo::readDate("12/31/1983"), orlendo::readDate("12/31/2016"), &dialog);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.lblStatus()->text(), QString("Year: 2016"));
    QCOMPARE(dialog.beeps(), 1);  // one beep at the end
  }

  void closesWhenTheCalculationFails() {
    tvx::qt::ProgressDialog dialog;
    auto investor = orlendo::Investor::create();
    investor->BeginEdit();
    std::string code = "1", date = "not a date", cost = "1", shares = "1";
    investor->colSecurities()->Item(1)->colBuySells()->Add(code, date, cost, shares);
    QVERIFY_THROWS_EXCEPTION(std::exception,
                             investor->Calculate(orlendo::readDate("12/31/1983"), orlendo::readDate("1/5/1984"),
                                                 &dialog));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.beeps(), 1);
  }
};

QTEST_MAIN(ProgressDialogTest)
#include "progress_dialog_test.moc"
