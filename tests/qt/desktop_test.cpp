// The desktop program driven through its main window: New, Save As and
// reopening from the recently-used list; the unsaved-data prompt on Exit;
// a refused open; the title and first save; a dropped file.
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include "qt/desktop.h"
#include "qt/qt_ports.h"
#include "app_test_support.h"

using namespace tvx;
using namespace tvx::test;

namespace {

struct Program {
  explicit Program(const TempFolder& folder) {
    qt::DesktopOptions o;
    o.appFolder = folder.path();
    o.env = [&folder](std::string_view name) -> std::optional<std::string> {
      return name == "APPDATA" ? folder.file("appdata") : name == "HOME" ? folder.path() : std::optional<std::string>();
    };
    o.pdfPrinterOnly = true;
    o.messages = &messages;
    o.files = &dialog;
    o.clock = &clock;
    o.updateReminder = [](std::string_view) {};
    o.about = [] {};
    o.startUpOptions = [] { return kStartMainWindow; };
    o.exit = [this](int status) { exits.push_back(status); };
    desktop = std::make_unique<qt::Desktop>(o);
    desktop->setInitIPHook([this](qt::DesktopServices&, QWidget*) { ++inputWindows; });
    desktop->start({}, folder.path());
  }
  QAction* item(const char* name) { return desktop->mainWindow()->menuItem(name); }
  AppState& state() { return desktop->state(); }

  ScriptedMessageBox messages;
  ScriptedFileDialog dialog;
  FixedClock clock{2018, 6, 1};
  std::vector<int> exits;
  int inputWindows = 0;
  std::unique_ptr<qt::Desktop> desktop;
};

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings("Kelvane", "Tallyvex").clear();  // the test store starts empty
  }

  void newSaveAsAndReopenFromTheList() {
    TempFolder folder;
    Program p(folder);
    p.item("mnuFileNew")->trigger();
    const std::string untitled = folder.file("appdata/Kelvane/QVX/UNTITLED.QVX");
    QCOMPARE(p.state().CurrentFile, untitled);
    p.state().Investor->sName("Ann Example");
    p.state().DataSaved = false;
    const std::string file = folder.file("ann.qvx");
    p.dialog.saveAnswers.push_back(file);
    p.item("mnuFileSaveAs")->trigger();
    QCOMPARE(p.dialog.saved.at(0).presetName, untitled);
    QVERIFY(p.state().DataSaved);
    QCOMPARE(p.item("mnuFileMRU1")->text(), QString::fromStdString("&1 " + file));

    p.item("mnuFileNew")->trigger();
    p.item("mnuFileMRU1")->trigger();
    QCOMPARE(p.state().Investor->sName(), std::string("Ann Example"));
    QCOMPARE(p.inputWindows, 3);  // two News and the reopened file
    QCOMPARE(p.desktop->mainWindow()->statusText(), QString::fromStdString("File: " + file));
    QVERIFY(p.messages.shown.empty());
  }

  // Exit and closing the window ask about unsaved data: Cancel keeps the
  // program, No ends it unsaved.
  void exitAsksAboutUnsavedData() {
    TempFolder folder;
    Program p(folder);
    p.state().DataSaved = false;
    p.messages.answers = {Answer::Cancel};
    p.item("mnuFileExit")->trigger();
    QVERIFY(p.exits.empty());
    QVERIFY(p.desktop->mainWindow()->isVisible());
    p.messages.answers = {Answer::No};
    p.desktop->mainWindow()->close();
    QCOMPARE(p.messages.shown.size(), size_t{2});
    QCOMPARE(p.exits, std::vector<int>{kExitOk});
  }

  void aRefusedOpenKeepsTheInvestorAndOpensNoInputWindow() {
    TempFolder folder;
    Program p(folder);
    auto before = p.state().Investor;
    p.dialog.openAnswers.push_back(folder.write(
        "bad.qvx", "[General]\r\nName=Other\r\n[Quorvex]\r\nCount=1\r\n1 Date=01/02/1990\r\n1 Shares=ten\r\n"));
    p.item("mnuFileOpen")->trigger();
    QCOMPARE(p.messages.shown.size(), size_t{1});
    QCOMPARE(p.state().Investor, before);
    QCOMPARE(p.inputWindows, 0);
  }

  // The title names the file and marks unsaved changes; Save says where it
  // went; Print waits for an investor.
  void theTitleFollowsTheFileAndTheFirstSaveAsksForAName() {
    TempFolder folder;
    Program p(folder);
    qt::MainWindow& main = *p.desktop->mainWindow();
    QVERIFY(!p.item("mnuFilePrint")->isEnabled());
    p.desktop->setInitIPHook([&](qt::DesktopServices& s, QWidget*) { s.state.DataSaved = false; });  // an edit
    p.item("mnuFileNew")->trigger();
    QVERIFY(p.item("mnuFilePrint")->isEnabled());
    QVERIFY(main.windowTitle().startsWith("UNTITLED.QVX[*]"));
    QVERIFY(main.isWindowModified());
    const std::string file = folder.file("ann.qvx");
    p.dialog.saveAnswers.push_back(file);
    p.item("mnuFileSave")->trigger();
    QCOMPARE(main.windowFilePath(), QString::fromStdString(file));
    QVERIFY(!main.isWindowModified());
    QCOMPARE(main.notice(), QString::fromStdString("Saved to " + file));
  }

  // A data file dropped on the main window opens there, after the
  // unsaved-data prompt; Cancel keeps the open investor.
  void aDroppedDataFileOpensAfterThePrompt() {
    TempFolder folder;
    Program p(folder);
    const std::string file = folder.write("Drop Me.QVX", "[General]\r\nName=Dropped\r\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    const auto drop = [&] {
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(p.desktop->mainWindow(), &enter);
      QVERIFY(enter.isAccepted());
      QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(p.desktop->mainWindow(), &event);
    };
    auto before = p.state().Investor;
    p.state().DataSaved = false;
    p.messages.answers = {Answer::Cancel};
    drop();
    QCOMPARE(p.state().Investor, before);
    p.messages.answers = {Answer::No};
    drop();
    QCOMPARE(p.state().Investor->sName(), std::string("Dropped"));
    QCOMPARE(p.state().MruFiles[0], file);
  }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
