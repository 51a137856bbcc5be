// frmMain: menus in order with their captions, the toolbar keys, the status
// bar, the recently-used items, and closing as File, Exit.
#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include "qt/main_window.h"

using tvx::qt::MainCommand;

namespace {

class RecordingHandler final : public tvx::qt::MainWindowHandler {
 public:
  std::vector<MainCommand> commands;
  std::vector<int> recent;
  void command(MainCommand c) override { commands.push_back(c); }
  void openRecent(int index) override { recent.push_back(index); }
};

QStringList captions(const QList<QAction*>& actions) {
  QStringList out;
  for (QAction* a : actions) out << (a->isSeparator() ? QString("-") : a->text());
  return out;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void menusInOrder() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    QCOMPARE(window.windowTitle(), QString("Tallyvex"));
    QCOMPARE(captions(window.menuBar()->actions()),
             QStringList({"&File", "&Inputs", "&View", "&Options", "&Help"}));
    QMenu* file = window.menuBar()->actions().at(0)->menu();
    QVERIFY(file);
    QCOMPARE(captions(file->actions()),
             QStringList({"&New", "&Open...", "-", "&Save", "Save &As...", "-", "Print Pre&view", "&Print...", "-",
                          "", "", "", "", "", "-", "E&xit"}));
    QCOMPARE(captions(window.menuBar()->actions().at(2)->menu()->actions()), QStringList({"&Reports..."}));
    QCOMPARE(captions(window.menuBar()->actions().at(3)->menu()->actions()), QStringList({"&Fonts..."}));
    QCOMPARE(captions(window.menuBar()->actions().at(4)->menu()->actions()),
             QStringList({"&Contents", "-", "&About "}));
    QVERIFY(window.menuBar()->actions().at(1)->menu() == nullptr);  // Inputs is a command itself
  }

  void itemsRunTheirCommands() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    const std::pair<const char*, MainCommand> items[] = {
        {"mnuFileNew", MainCommand::New},           {"mnuFileOpen", MainCommand::Open},
        {"mnuFileSave", MainCommand::Save},         {"mnuFileSaveAs", MainCommand::SaveAs},
        {"mnuFilePrintPreview", MainCommand::PrintPreview}, {"mnuFilePrint", MainCommand::Print},
        {"mnuFileExit", MainCommand::Exit},         {"mnuInputs", MainCommand::Inputs},
        {"mnuViewReports", MainCommand::ViewReports}, {"mnuOptionsFonts", MainCommand::Fonts},
        {"mnuHelpContents", MainCommand::HelpContents}, {"mnuHelpAbout", MainCommand::About}};
    for (const auto& [name, command] : items) {
      QAction* item = window.menuItem(name);
      QVERIFY2(item, name);
      item->trigger();
      QVERIFY2(handler.commands.back() == command, name);
    }
  }

  void toolbarKeys() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    auto* bar = window.findChild<QToolBar*>("tbToolBar");
    QVERIFY(bar);
    QStringList keys;
    for (QAction* a : bar->actions()) keys << a->data().toString();
    QCOMPARE(keys, QStringList({"New", "Open", "Save", "Print", "Preview", "Input", "Help"}));
    const std::pair<const char*, MainCommand> buttons[] = {
        {"New", MainCommand::New},         {"Open", MainCommand::Open},      {"Save", MainCommand::Save},
        {"Print", MainCommand::Print},     {"Preview", MainCommand::ViewReports}, {"Input", MainCommand::Inputs},
        {"Help", MainCommand::HelpContents}};
    for (const auto& [key, command] : buttons) {
      window.toolButton(key)->trigger();
      QVERIFY2(handler.commands.back() == command, key);
    }
  }

  void statusBarPanel() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    QVERIFY(window.findChild<QStatusBar*>("sbStatusBar"));
    QCOMPARE(window.statusText(), QString("File: "));
    window.setStatusText("File: /home/ann/a.qvx");
    QCOMPARE(window.findChild<QLabel*>("sbPanel1")->text(), QString("File: /home/ann/a.qvx"));
  }

  void recentlyUsedItems() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    QAction* separator = window.findChild<QAction*>("mnuFileBar3");
    QVERIFY(!separator->isVisible());
    window.showMru({"/d/a.qvx", "/d/b.qvx", "", "", ""});
    QVERIFY(separator->isVisible());
    QCOMPARE(window.menuItem("mnuFileMRU1")->text(), QString("&1 /d/a.qvx"));
    QCOMPARE(window.menuItem("mnuFileMRU2")->text(), QString("&2 /d/b.qvx"));
    QVERIFY(window.menuItem("mnuFileMRU2")->isVisible());
    QVERIFY(!window.menuItem("mnuFileMRU3")->isVisible());
    window.menuItem("mnuFileMRU2")->trigger();
    QCOMPARE(handler.recent, std::vector<int>{1});
    window.showMru({"", "", "", "", ""});
    QVERIFY(!separator->isVisible());
    QVERIFY(!window.menuItem("mnuFileMRU1")->isVisible());
  }

  void closingIsFileExit() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    window.show();
    QVERIFY(!window.close());  // the handler decides; it did not allow it
    QCOMPARE(handler.commands, std::vector<MainCommand>{MainCommand::Exit});
    window.allowClose();
    QVERIFY(window.close());
    QCOMPARE(handler.commands.size(), size_t{1});
  }

  void geometryInTwips() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    window.applyGeometry({1500, 1500, 9000, 7500});
    QCOMPARE(window.size(), QSize(600, 500));
    const tvx::WindowGeometry g = window.geometryTwips();
    QCOMPARE(g.width, 9000.0F);
    QCOMPARE(g.height, 7500.0F);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
