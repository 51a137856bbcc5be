// frmMain: the items, toolbar keys and standard keys run their commands.
#include <QAction>
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

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  // Each item by its standard key where it has one (the platform's key, else
  // the usual one), else triggered; the toolbar's keys in their order.
  void itemsToolbarAndKeysRunTheirCommands() {
    RecordingHandler handler;
    tvx::qt::MainWindow window(handler);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(!window.menuItem("mnuFileExportCsv")->isEnabled());  // until an investor is open
    window.setExportEnabled(true);
    using K = QKeySequence;
    const std::tuple<const char*, MainCommand, K::StandardKey, const char*> items[] = {
        {"mnuFileNew", MainCommand::New, K::New, "Ctrl+N"},
        {"mnuFileOpen", MainCommand::Open, K::Open, "Ctrl+O"},
        {"mnuFileSave", MainCommand::Save, K::Save, "Ctrl+S"},
        {"mnuFileSaveAs", MainCommand::SaveAs, K::SaveAs, "Ctrl+Shift+S"},
        {"mnuFilePrint", MainCommand::Print, K::Print, "Ctrl+P"},
        {"mnuFileExit", MainCommand::Exit, K::Quit, "Ctrl+Q"},
        {"mnuHelpContents", MainCommand::HelpContents, K::HelpContents, "F1"},
        {"mnuFilePrintPreview", MainCommand::PrintPreview, K::UnknownKey, nullptr},
        {"mnuFileExportCsv", MainCommand::ExportCsv, K::UnknownKey, nullptr},
        {"mnuInputs", MainCommand::Inputs, K::UnknownKey, nullptr},
        {"mnuViewReports", MainCommand::ViewReports, K::UnknownKey, nullptr},
        {"mnuOptionsFonts", MainCommand::Fonts, K::UnknownKey, nullptr},
        {"mnuHelpAbout", MainCommand::About, K::UnknownKey, nullptr}};
    for (const auto& [name, command, standard, fallback] : items) {
      QAction* item = window.menuItem(name);
      QVERIFY2(item, name);
      handler.commands.clear();
      if (fallback) {
        const QList<K> bound = K::keyBindings(standard);
        const K key = bound.isEmpty() ? K(fallback) : bound.first();
        QCOMPARE(item->shortcut(), key);
        QTest::keySequence(&window, key);
      } else {
        item->trigger();
      }
      QVERIFY2(handler.commands == std::vector<MainCommand>{command}, name);
    }
    const std::pair<const char*, MainCommand> buttons[] = {
        {"New", MainCommand::New},     {"Open", MainCommand::Open},       {"Save", MainCommand::Save},
        {"Print", MainCommand::Print}, {"Preview", MainCommand::ViewReports}, {"Input", MainCommand::Inputs},
        {"Help", MainCommand::HelpContents}};
    const QList<QAction*> keys = window.findChild<QToolBar*>("tbToolBar")->actions();
    QCOMPARE(keys.size(), qsizetype(std::size(buttons)));
    for (qsizetype i = 0; i < keys.size(); ++i) {
      QCOMPARE(keys[i]->data().toString(), QString(buttons[i].first));
      keys[i]->trigger();
      QVERIFY2(handler.commands.back() == buttons[i].second, buttons[i].first);
    }
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
