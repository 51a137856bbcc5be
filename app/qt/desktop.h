// The desktop program: the state, the ports made with Qt, the file
// commands, the report context and the main window, wired together; the
// interactive start; the commands of the main window.
//
// The input window (frmIP) is reached through InitIP. It is wired by a hook:
// when app/qt/input_window.h exists it must declare
//     tvx::qt::InitIPHook tvx::qt::makeInitIPHook();
// and the desktop program uses it. Until then InitIP opens nothing. The hook
// runs the input window modally and gets the program's services; its event
// handlers must run their bodies through DesktopServices::guarded, so that
// the end of the program (ProgramEnded) never passes through Qt.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/error_paths.h"
#include "core/ports.h"
#include "entry/input_form.h"
#include "qt/main_window.h"
#include "reports/report_context.h"
#include "shell/file_commands.h"
#include "shell/file_commands_input_host.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "reports/page_manager.h"

namespace tvx::qt {

class QtPrinter;
class QtPrintDialog;
class ProgressDialog;
class ReportFormFactory;

// What the input window gets of the program.
struct DesktopServices {
  AppState& state;
  FileCommands& files;
  InputWindowHost& host;    // DataSaved, save, save as, file-name label, error paths
  MessageBox& messages;
  // Runs an event handler's body; the end of the program stops there.
  std::function<void(const std::function<void()>&)> guarded;
  // The window joins the program's open windows (closed newest first at the end).
  std::function<void(QWidget*)> registerWindow;
};
using InitIPHook = std::function<void(DesktopServices& services, QWidget* parent)>;

struct DesktopOptions {
  std::string appFolder;  // the program's folder
  Environment env = processEnvironment();
  bool pdfPrinterOnly = false;  // the PDF printer even when printers are installed

  // Replacements for the Qt ports (tests); null: the Qt ones.
  MessageBox* messages = nullptr;
  FileDialog* files = nullptr;
  ChoiceDialog* choices = nullptr;
  PrintDialog* printDialog = nullptr;
  DetailOptionDialog* detailOption = nullptr;
  FontDialog* fonts = nullptr;
  ErrorInfoWindow* errorInfo = nullptr;
  WindowGeometryStore* geometry = nullptr;
  Launcher* launcher = nullptr;
  const Clock* clock = nullptr;
  // The modal windows of the start; empty: the Qt windows.
  std::function<void(std::string_view)> updateReminder;
  std::function<void()> about;
  std::function<std::int16_t()> startUpOptions;
  // The last step of the end; empty: the windows close and the process exits.
  std::function<void(int status)> exit;
};

// Keeps user input away from the windows that were open when a report run
// began (main window, report windows, input window) until the run is over;
// dialogs the run opens itself stay usable.
class InputBlocker final : public QObject {
 public:
  explicit InputBlocker(const std::vector<QWidget*>& windows);
  ~InputBlocker() override;
  bool blocks(QObject* target) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<QPointer<QWidget>> windows_;
};

class Desktop final : public MainWindowHandler {
 public:
  explicit Desktop(DesktopOptions options);
  ~Desktop() override;
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // The interactive start, `args` without the program name, relative
  // "/input" names taken from `startFolder`. The end of the program during
  // the start comes out as ProgramEnded.
  void start(std::span<const std::string> args, const std::string& startFolder);
  // The start and then the event loop; returns the exit status.
  int run(std::span<const std::string> args, const std::string& startFolder);

  // ---- the main window's commands ----
  void command(MainCommand command) override;
  void openRecent(int index) override;
  // View, Reports (1) and File, Print (2).
  void route(Destination destination);
  // File, Export Transactions (CSV)...
  void exportTransactions();
  // File, Export Sales (CSV)...
  void exportSales();
  // The report window's print button: the chosen reports to the printer.
  void printFromReportWindow();
  // InitIP: the input window, modal; nothing while no input window is wired.
  void initIP();
  void setInitIPHook(InitIPHook hook) { initIPHook_ = std::move(hook); }
  // File, Exit: the unsaved-data prompt, the other windows closed newest
  // first, the window's place saved, then the end.
  void exitCommand();

  // Runs an event handler's body: the end of the program stops there, and
  // any other failure takes the error logger's path.
  void guarded(const std::function<void()>& body);

  AppState& state() { return state_; }
  FileCommands& files() { return *files_; }
  MainWindow* mainWindow() { return mainWindow_.get(); }
  QtPrinter& printer() { return *printer_; }
  ProgressDialog& progress() { return *progress_; }
  const ProgramPaths& paths() const { return paths_; }
  DesktopServices& services() { return *services_; }
  // The program's other open windows, oldest first.
  std::vector<QWidget*> openWindows() const;
  void registerWindow(QWidget* window);
  bool reportRunActive() const { return reportRun_ != nullptr; }
  bool ended() const { return ended_; }
  int exitStatus() const { return exitStatus_; }

 private:
  class StartWindows;
  void createMainWindow();
  // Panel 1 shows `text`; the commands that need an open investor follow it.
  void showStatus(const std::string& text);
  void closeOtherWindows();
  void writeGeometry();
  void runReports(const std::function<void()>& body);
  QString defaultPdfFile() const;

  DesktopOptions options_;
  ProgramPaths paths_;
  AppState state_;
  bool ended_ = false;
  int exitStatus_ = kExitOk;

  // The Qt ports the options did not replace.
  std::unique_ptr<MessageBox> ownMessages_;
  std::unique_ptr<FileDialog> ownFiles_;
  std::unique_ptr<ChoiceDialog> ownChoices_;
  std::unique_ptr<DetailOptionDialog> ownDetail_;
  std::unique_ptr<FontDialog> ownFonts_;
  std::unique_ptr<ErrorInfoWindow> ownErrorInfo_;
  std::unique_ptr<WindowGeometryStore> ownGeometry_;
  std::unique_ptr<Launcher> ownLauncher_;
  std::unique_ptr<Clock> ownClock_;
  std::unique_ptr<BusyPointer> busy_;
  MessageBox* messages_;
  FileDialog* fileDialog_;
  ChoiceDialog* choices_;
  DetailOptionDialog* detail_;
  FontDialog* fonts_;
  ErrorInfoWindow* errorInfo_;
  WindowGeometryStore* geometry_;
  Launcher* launcher_;
  const Clock* clock_;

  std::unique_ptr<ProfileSettingsStore> settings_;
  std::unique_ptr<QtPrinter> printer_;
  std::unique_ptr<QtPrintDialog> ownPrintDialog_;
  PrintDialog* printDialog_;
  EndServices end_;
  std::unique_ptr<FileCommands> files_;
  std::unique_ptr<FileCommandsInputHost> inputHost_;
  std::unique_ptr<DesktopServices> services_;
  std::unique_ptr<ProgressDialog> progress_;
  std::unique_ptr<ReportFormFactory> reportForms_;
  ReportProgramState reportProgram_;
  std::unique_ptr<ReportContext> reportCtx_;
  std::unique_ptr<MainWindow> mainWindow_;
  std::unique_ptr<StartWindows> startWindows_;
  std::vector<QPointer<QWidget>> windows_;
  std::unique_ptr<InputBlocker> reportRun_;
  InitIPHook initIPHook_;
};

}  // namespace tvx::qt
