// frmMain: the frame of an interactive run. A menu bar, the toolbar
// tbToolBar and the status bar sbStatusBar around an empty client area; the
// commands go to a handler (the desktop program).
#pragma once

#include <QKeySequence>
#include <QMainWindow>
#include <array>

#include "shell/file_commands.h"
#include "shell/settings.h"
#include "shell/window_geometry.h"

class QAction;
class QLabel;
class QMenu;

namespace tvx::qt {

enum class MainCommand { New, Open, Save, SaveAs, PrintPreview, Print, ExportCsv, ExportSales, Exit, Inputs, ViewReports, Fonts,
                         HelpContents, About };

// The platform's key for a standard command, else `fallback` ("Ctrl+Shift+S").
QKeySequence standardKey(QKeySequence::StandardKey key, const char* fallback);

class MainWindowHandler {
 public:
  virtual ~MainWindowHandler() = default;
  virtual void command(MainCommand command) = 0;
  virtual void openRecent(int index) = 0;  // 0..4
};

class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(MainWindowHandler& handler, QWidget* parent = nullptr);

  // Panel 1 of the status bar.
  void setStatusText(const QString& text);
  QString statusText() const;
  // A passing message in the status bar (what a command has done).
  void showNotice(const QString& text);
  QString notice() const;
  // File, Export Transactions (CSV)... is only offered with an investor open.
  void setExportEnabled(bool enabled);
  // The recently-used items of the File menu.
  void showMru(const MruList& names);

  // A menu item by its name ("mnuFileNew", "mnuFileMRU1", ...).
  QAction* menuItem(const QString& name) const;
  // A toolbar button by its key ("New", "Open", ...).
  QAction* toolButton(const QString& key) const;

  // The window's place and size in twips, and back.
  WindowGeometry geometryTwips() const;
  void applyGeometry(const WindowGeometry& geometry);

  // After this the window closes without running File, Exit.
  void allowClose() { closing_ = true; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* addItem(QMenu* menu, const char* name, const QString& caption, MainCommand command);

  MainWindowHandler& handler_;
  std::array<QAction*, kMruCount> mru_{};
  QAction* mruSeparator_ = nullptr;
  QLabel* statusPanel_ = nullptr;
  bool closing_ = false;
  WindowGeometry applied_;  // what applyGeometry was given, in twips
};

}  // namespace tvx::qt
