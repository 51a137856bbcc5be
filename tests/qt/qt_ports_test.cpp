// The Qt ports: the file dialog's filter on a case-sensitive file system
// and the two report dialogs.
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "qt/qt_ports.h"
#include "qt/qt_printer.h"
#include "shell/file_commands.h"

using namespace tvx;

class QtPortsTest : public QObject {
  Q_OBJECT
 private slots:
  void dataFilterMatchesLowerCaseNames() {
    const QStringList filters = qt::qtNameFilters(kDataFilter);
    QCOMPARE(filters, QStringList({"Data Files (*.QVX *.qvx)", "All Files (*)"}));
    QTemporaryDir dir;
    for (const char* name : {"smith.qvx", "JONES.QVX", "notes.txt"})
      QVERIFY(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
    const QStringList patterns = filters[0].section('(', 1).chopped(1).split(' ');
    QStringList found = QDir(dir.path()).entryList(patterns, QDir::Files, QDir::Name);
    QCOMPARE(found, QStringList({"JONES.QVX", "smith.qvx"}));
  }

  void reportChoicesDialog() {
    qt::QtChoiceDialog port;
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<qt::ReportChoicesDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), QString("Select Reports (View)"));
      QVERIFY(dialog->chkRptInput->isChecked() && !dialog->chkRptSummary->isChecked());
      // Wide enough for the whole title next to the title bar's buttons.
      QVERIFY(dialog->width() >= QFontMetrics(QApplication::font()).horizontalAdvance(dialog->windowTitle()) + 100);
      dialog->chkRptSummary->setChecked(true);
      dialog->findChild<QPushButton*>("btnOK")->click();
    });
    auto answer = port.ask("Select Reports (View)", ReportChoices{true, false, true});
    QVERIFY(answer.has_value());
    QVERIFY(answer->input && answer->summary && answer->detail);

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->findChild<QPushButton*>("btnCancel")->click(); });
    QVERIFY(!port.ask("Select Reports (Print)", ReportChoices{}).has_value());
  }

  // The font dialog opens on the family the reports print in, and what it
  // gives back is a family the printer accepts, aliases resolved.
  void fontDialogPresetAndAliases() {
    qt::QtFontDialog port;
    QFont courier("Courier New");
    courier.setStyleHint(QFont::TypeWriter);
    const QString inUse = QFontInfo(courier).family();
    QString shown;
    QTimer::singleShot(0, [&] {
      auto* dialog = QApplication::activeModalWidget()->findChild<QFontDialog*>("dlgFonts");
      if (!dialog) dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      shown = dialog->currentFont().family();
      dialog->setCurrentFont(QFont("Monospace", 12));
      dialog->accept();
    });
    const auto chosen = port.choose(FontChoice{"Courier New", 10, false});
    QCOMPARE(shown, inUse);
    QVERIFY(chosen.has_value());
    QCOMPARE(qt::toQ(chosen->name), QFontInfo(QFont("Monospace")).family());
    QVERIFY(QFontDatabase::hasFamily(qt::toQ(chosen->name)));
    QVERIFY(qt::fontAvailable(qt::toQ(chosen->name)));

    QTimer::singleShot(0, [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject(); });
    QVERIFY(!port.choose(FontChoice{"Courier New", 10, false}).has_value());
  }

  // A message box belongs to the window the user is in: the modal one, else
  // the active one, else the main window it was given.
  void messageBoxesCentreOnTheWindowInUse() {
    QWidget main;
    qt::QtMessageBox port(&main);
    QCOMPARE(port.owner(), &main);

    QWidget report(nullptr, Qt::Window);
    report.show();
    report.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&report));
    QCOMPARE(port.owner(), &report);

    QDialog input;
    QWidget* seen = nullptr;
    QTimer::singleShot(0, [&] {
      seen = port.owner();
      input.accept();
    });
    input.exec();
    QCOMPARE(seen, &input);
  }

  void detailedReportOption() {
    qt::QtDetailOptionDialog port;
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<qt::DetRptDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      QVERIFY(!dialog->chkRptNewPage->isChecked());
      dialog->chkRptNewPage->setChecked(true);
      dialog->findChild<QPushButton*>("btnClose")->click();
    });
    QVERIFY(port.ask(false));
  }
};

QTEST_MAIN(QtPortsTest)
#include "qt_ports_test.moc"
