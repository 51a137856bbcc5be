// The report window: the builder's screen text shown read-only, its buttons
// and keys, the cascade; and the progress window's delay.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QToolBar>
#include <QtTest>

#include "qt/progress_dialog.h"
#include "qt/report_form.h"
#include "qt/report_view.h"
#include "app_test_support.h"
#include "reports/summary_report.h"

using namespace tvx;
using namespace tvx::test;

class ReportFormTest : public QObject {
  Q_OBJECT
 private slots:
  void showsTheBuildersScreenTextUnchanged() {
    ReportHarness h;
    h.state.Investor = typicalInvestor();
    h.state.CurrentFile = "/home/ann/smith.qvx";

    RunSummReport(h.ctx, kDestScreen);  // into the recording window
    const std::string expected = h.windows.made.at(0)->text();

    int prints = 0;
    std::vector<QWidget*> created;
    qt::ReportFormFactory factory([&](qt::ReportForm&) { ++prints; }, [&](QWidget* w) { created.push_back(w); });
    h.ctx.windows = &factory;
    RunSummReport(h.ctx, kDestScreen);
    auto* form = static_cast<qt::ReportForm*>(created.at(0));
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), QString::fromStdString(h.windows.made[0]->caption));
    const QString shown = QString::fromStdString(expected).replace("\r\n", "\n");
    QCOMPARE(form->txtReport()->toPlainText(), shown);

    QTest::keyClicks(form->txtReport(), "xyz\b");  // typing changes nothing
    QCOMPARE(form->txtReport()->toPlainText(), shown);

    form->button("print")->trigger();
    QCOMPARE(prints, 1);
    QPointer<QWidget> alive(form);
    form->button("exit")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive.isNull());  // closed and gone
  }

  // Each new window steps down and right from the newest still open.
  void newWindowsCascade() {
    std::vector<QWidget*> created;
    qt::ReportFormFactory factory({}, [&](QWidget* w) { created.push_back(w); });
    for (int i = 0; i < 3; ++i) factory.create().show();
    const int step = created[1]->x() - created[0]->x();
    QVERIFY(step > 10);
    QCOMPARE(created[2]->pos(), created[1]->pos() + QPoint(step, step));
    created[2]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    factory.create().show();
    QCOMPARE(created[3]->pos(), created[1]->pos() + QPoint(step, step));
    for (std::size_t i : {0, 1, 3}) delete created[i];
  }

  // The calculation's progress window comes up only after half a second.
  void theProgressWindowWaitsHalfASecond() {
    qt::ProgressDialog progress;
    progress.started(1990);
    progress.yearReached(1991);
    QVERIFY(!progress.isVisible());
    QTest::qWait(520);
    progress.yearReached(1992);
    QVERIFY(progress.isVisible());
    progress.finished(true);
    QVERIFY(!progress.isVisible());
  }

  // The keys of a document window: Ctrl+P prints, Ctrl+F finds (in any case,
  // wrapping to the top, saying so when the text is not there), Ctrl+C copies
  // the selection, Escape and Ctrl+W close.
  void keysPrintFindAndClose() {
    for (const QKeySequence& closing : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
      int prints = 0;
      auto* form = new qt::ReportForm([&] { ++prints; });
      form->setText("  alpha\r\n  beta\r\n  Alpha");
      form->show();
      QApplication::setActiveWindow(form);
      QVERIFY(QTest::qWaitForWindowActive(form));
      QTest::keySequence(form, QKeySequence(Qt::CTRL | Qt::Key_P));
      QCOMPARE(prints, 1);
      QTest::keySequence(form, QKeySequence(Qt::CTRL | Qt::Key_F));
      QCOMPARE(QApplication::focusWidget(), form->findBox());
      QTest::keyClicks(form->findBox(), "alpha");
      QTest::keyClick(form->findBox(), Qt::Key_Return);
      QCOMPARE(form->txtReport()->caret().line, size_t{0});
      QTest::keyClick(form->findBox(), Qt::Key_F3);
      QCOMPARE(form->txtReport()->caret().line, size_t{2});
      QTest::keySequence(form->txtReport(), QKeySequence::Copy);
      QCOMPARE(QApplication::clipboard()->text(), "Alpha");
      QTest::keySequence(form->txtReport(), QKeySequence::SelectAll);
      QTest::keySequence(form->txtReport(), QKeySequence::Copy);
      QCOMPARE(QApplication::clipboard()->text(), "  alpha\n  beta\n  Alpha");
      QTest::keyClick(form->findBox(), Qt::Key_F3);
      QCOMPARE(form->txtReport()->caret().line, size_t{0});  // from the top again
      form->findBox()->setText("gamma");
      QVERIFY(!form->findNext());
      QVERIFY(form->notice().contains("gamma"));
      QPointer<QWidget> alive(form);
      QTest::keySequence(form, closing);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QVERIFY(alive.isNull());
    }
  }
};

QTEST_MAIN(ReportFormTest)
#include "report_form_test.moc"
