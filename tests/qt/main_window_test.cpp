// frmMain: menus in order with their captions, the items and toolbar keys
// and their commands, the recently-used items.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
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

  void itemsAndToolbarKeysRunTheirCommands() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    const std::pair<const char*, MainCommand> items[] = {
        {"mnuFileNew", MainCommand::New},           {"mnuFileOpen", MainCommand::Open},
        {"mnuFileSave", MainCommand::Save},         {"mnuFileSaveAs", MainCommand::SaveAs},
        {"mnuFilePrintPreview", MainCommand::PrintPreview}, {"mnuFilePrint", MainCommand::Print},
        {"mnuFileExportCsv", MainCommand::ExportCsv}, {"mnuFileExit", MainCommand::Exit},
        {"mnuInputs", MainCommand::Inputs},
        {"mnuViewReports", MainCommand::ViewReports}, {"mnuOptionsFonts", MainCommand::Fonts},
        {"mnuHelpContents", MainCommand::HelpContents}, {"mnuHelpAbout", MainCommand::About}};
    QVERIFY(!window.menuItem("mnuFileExportCsv")->isEnabled());  // until an investor is open
    window.setExportEnabled(true);
    for (const auto& [name, command] : items) {
      QVERIFY2(window.menuItem(name), name);
      window.menuItem(name)->trigger();
      QVERIFY2(handler.commands.back() == command, name);
    }

    const std::pair<const char*, MainCommand> buttons[] = {
        {"New", MainCommand::New},     {"Open", MainCommand::Open},       {"Save", MainCommand::Save},
        {"Print", MainCommand::Print}, {"Preview", MainCommand::ViewReports}, {"Input", MainCommand::Inputs},
        {"Help", MainCommand::HelpContents}};
    const QList<QAction*> keys = window.findChild<QToolBar*>("tbToolBar")->actions();
    QCOMPARE(keys.size(), qsizetype(std::size(buttons)));
    for (qsizetype i = 0; i < keys.size(); ++i) {  // in this order
      const auto& [key, command] = buttons[i];
      QCOMPARE(keys[i]->data().toString(), QString(key));
      keys[i]->trigger();
      QVERIFY2(handler.commands.back() == command, key);
    }
  }

  // The standard keys, shown in the menus, run their commands.
  void shortcutsRunTheirCommands() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    using K = QKeySequence;
    const std::tuple<const char*, K::StandardKey, const char*, MainCommand> keys[] = {
        {"mnuFileNew", K::New, "Ctrl+N", MainCommand::New},
        {"mnuFileOpen", K::Open, "Ctrl+O", MainCommand::Open},
        {"mnuFileSave", K::Save, "Ctrl+S", MainCommand::Save},
        {"mnuFileSaveAs", K::SaveAs, "Ctrl+Shift+S", MainCommand::SaveAs},
        {"mnuFilePrint", K::Print, "Ctrl+P", MainCommand::Print},
        {"mnuFileExit", K::Quit, "Ctrl+Q", MainCommand::Exit},
        {"mnuHelpContents", K::HelpContents, "F1", MainCommand::HelpContents}};
    for (const auto& [name, standard, fallback, command] : keys) {
      QAction* item = window.menuItem(name);
      const QList<K> bound = K::keyBindings(standard);  // the platform's key where it has one
      const K key = bound.isEmpty() ? K(fallback) : bound.first();
      QCOMPARE(item->shortcut(), key);
      handler.commands.clear();
      QTest::keySequence(&window, key);
      QVERIFY2(handler.commands.size() == 1 && handler.commands[0] == command, name);
    }
    // The print button shows a printer: the theme's, else the drawn one.
    QVERIFY(!window.toolButton("Print")->icon().isNull());
  }

};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
