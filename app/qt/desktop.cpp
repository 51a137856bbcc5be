#include "qt/desktop.h"

#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <cstdio>

#include "core/error_logger.h"
#include "orlendo/model.h"
#include "qt/progress_dialog.h"
#include "qt/qt_ports.h"
#include "qt/qt_printer.h"
#include "qt/report_form.h"
#include "qt/startup_windows.h"
#include "reports/pdf_output.h"
#include "reports/report_output.h"
#include "shell/command_line.h"
#include "shell/export_command.h"

#if __has_include("qt/input_window.h")
#include "qt/input_window.h"
#define TVX_HAVE_INPUT_WINDOW 1
#endif

namespace tvx::qt {

// ---- InputBlocker ----------------------------------------------------------------------------

InputBlocker::InputBlocker(const std::vector<QWidget*>& windows) {
  for (QWidget* w : windows)
    if (w) windows_.emplace_back(w);
  qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker() { qApp->removeEventFilter(this); }

bool InputBlocker::blocks(QObject* target) const {
  auto* widget = qobject_cast<QWidget*>(target);
  if (!widget) return false;
  QWidget* window = widget->window();
  for (const auto& w : windows_)
    if (w && w == window) return true;
  return false;
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::Close:
      if (blocks(watched)) {
        event->ignore();
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---- the windows of the start ------------------------------------------------------------------

class Desktop::StartWindows final : public StartupWindows {
 public:
  explicit StartWindows(Desktop& d) : d_(d) {}
  void showUpdateReminder(std::string_view text) override {
    if (d_.options_.updateReminder) return d_.options_.updateReminder(text);
    GetUpdateWindow window(toQ(text), *d_.launcher_, *d_.messages_);
    window.exec();
  }
  void showAbout() override {
    if (d_.options_.about) return d_.options_.about();
    AboutWindow window(d_.state_.VersionTag, *d_.launcher_, *d_.messages_);
    centreOnScreen(window);
    window.exec();
  }
  void createMainWindow() override { d_.createMainWindow(); }
  std::int16_t showStartUpOptions() override {
    if (d_.options_.startUpOptions) return d_.options_.startUpOptions();
    StartUpWindow window;
    const int choice = window.exec();
    return static_cast<std::int16_t>(choice == kStartNewScenario || choice == kStartOldScenario ? choice
                                                                                               : kStartMainWindow);
  }
  void setMainStatus(const std::string& text) override { d_.showStatus(text); }
  void showMainWindow() override {
    if (d_.mainWindow_) d_.mainWindow_->show();
  }

 private:
  Desktop& d_;
};

// ---- Desktop --------------------------------------------------------------------------------------

namespace {

template <class Port, class Made>
Port* pick(Port* given, std::unique_ptr<Port>& own, Made&& make) {
  if (given) return given;
  own = make();
  return own.get();
}

}  // namespace

Desktop::Desktop(DesktopOptions options) : options_(std::move(options)) {
  paths_ = ResolveProgramPaths(options_.appFolder, options_.env);

  messages_ = pick<MessageBox>(options_.messages, ownMessages_, [] { return std::make_unique<QtMessageBox>(); });
  fileDialog_ = pick<FileDialog>(options_.files, ownFiles_, [] { return std::make_unique<QtFileDialog>(); });
  choices_ = pick<ChoiceDialog>(options_.choices, ownChoices_, [] { return std::make_unique<QtChoiceDialog>(); });
  detail_ = pick<DetailOptionDialog>(options_.detailOption, ownDetail_,
                                     [] { return std::make_unique<QtDetailOptionDialog>(); });
  fonts_ = pick<FontDialog>(options_.fonts, ownFonts_, [] { return std::make_unique<QtFontDialog>(); });
  errorInfo_ = pick<ErrorInfoWindow>(options_.errorInfo, ownErrorInfo_,
                                     [] { return std::make_unique<QtErrorInfoWindow>(); });
  geometry_ = pick<WindowGeometryStore>(options_.geometry, ownGeometry_,
                                        [] { return std::make_unique<QtGeometryStore>(); });
  launcher_ = pick<Launcher>(options_.launcher, ownLauncher_, [] { return std::make_unique<QtLauncher>(); });
  if (options_.clock) {
    clock_ = options_.clock;
  } else {
    ownClock_ = std::make_unique<SystemClock>();
    clock_ = ownClock_.get();
  }
  busy_ = std::make_unique<QtBusyPointer>();

  settings_ = std::make_unique<ProfileSettingsStore>(paths_.iniFile);
  printer_ = std::make_unique<QtPrinter>(options_.pdfPrinterOnly);
  if (options_.printDialog) {
    printDialog_ = options_.printDialog;
  } else {
    ownPrintDialog_ = std::make_unique<QtPrintDialog>(*printer_);
    printDialog_ = ownPrintDialog_.get();
  }

  end_.messages = messages_;
  end_.settings = settings_.get();
  end_.printer = printer_.get();
  end_.saveAs = [this] { files_->SaveAsBeforeEnd(); };
  end_.exit = [this](int status) {
    ended_ = true;
    exitStatus_ = status;
    reportRun_.reset();
    if (options_.exit) return options_.exit(status);
    // The end: every window goes, and so does the process.
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    std::fflush(nullptr);
    ::_exit(status);
  };

  FileCommandPorts ports;
  ports.messages = messages_;
  ports.files = fileDialog_;
  ports.settings = settings_.get();
  ports.end = &end_;
  ports.launcher = launcher_;
  ports.showStatus = [this](const std::string& text) { showStatus(text); };
  ports.showMru = [this](const MruList& names) {
    if (mainWindow_) mainWindow_->showMru(names);
  };
  ports.initIP = [this] { initIP(); };
  ports.appFolder = paths_.appFolder;
  ports.helpFile = paths_.helpFile;
  files_ = std::make_unique<FileCommands>(state_, std::move(ports));
  inputHost_ = std::make_unique<FileCommandsInputHost>(*files_);
  services_ = std::make_unique<DesktopServices>(DesktopServices{
      state_, *files_, *inputHost_, *messages_, [this](const std::function<void()>& body) { guarded(body); },
      [this](QWidget* w) { registerWindow(w); }});

  progress_ = std::make_unique<ProgressDialog>();
  reportForms_ = std::make_unique<ReportFormFactory>([this] { printFromReportWindow(); },
                                                     [this](QWidget* w) { registerWindow(w); });
  reportCtx_ = std::make_unique<ReportContext>(ReportContext{state_, end_, reportProgram_});
  ReportContext& ctx = *reportCtx_;
  ctx.messages = messages_;
  ctx.choices = choices_;
  ctx.printDialog = printDialog_;
  ctx.detailOption = detail_;
  ctx.busy = busy_.get();
  ctx.settings = settings_.get();
  ctx.printer = printer_.get();
  ctx.windows = reportForms_.get();
  ctx.progress = progress_.get();
  ctx.processEvents = [] { QCoreApplication::processEvents(); };
  ctx.showErrorInfo = [this](std::string_view message, bool hide) {
    return ShowErrorInfo(*errorInfo_, message, hide);
  };
  ctx.getFonts = [this] { GetFonts(state_, *messages_, *fonts_, end_); };

  startWindows_ = std::make_unique<StartWindows>(*this);
#ifdef TVX_HAVE_INPUT_WINDOW
  initIPHook_ = makeInitIPHook();
#endif
}

Desktop::~Desktop() {
  reportRun_.reset();
  for (auto& w : windows_)
    if (w) delete w.data();
}

void Desktop::createMainWindow() {
  mainWindow_ = std::make_unique<MainWindow>(*this);
  mainWindow_->applyGeometry(ReadMainGeometry(*geometry_));
  // Dialogs belong to the main window from now on.
  if (auto* m = dynamic_cast<QtMessageBox*>(messages_)) m->setParent(mainWindow_.get());
  if (auto* f = dynamic_cast<QtFileDialog*>(fileDialog_)) f->setParent(mainWindow_.get());
  if (auto* c = dynamic_cast<QtChoiceDialog*>(choices_)) c->setParent(mainWindow_.get());
  if (auto* d = dynamic_cast<QtDetailOptionDialog*>(detail_)) d->setParent(mainWindow_.get());
  if (auto* f = dynamic_cast<QtFontDialog*>(fonts_)) f->setParent(mainWindow_.get());
  if (auto* e = dynamic_cast<QtErrorInfoWindow*>(errorInfo_)) e->setParent(mainWindow_.get());
  if (ownPrintDialog_) ownPrintDialog_->setParent(mainWindow_.get());
}

void Desktop::showStatus(const std::string& text) {
  if (!mainWindow_) return;
  mainWindow_->setStatusText(toQ(text));
  mainWindow_->setExportEnabled(CanExportTransactions(state_));
}

void Desktop::start(std::span<const std::string> args, const std::string& startFolder) {
  // The program-wide objects and what the command line names.
  state_.ErrorLogger = std::make_shared<DesktopErrorLogger>(*messages_);
  state_.Investor = orlendo::Investor::create();
  state_.VersionTag = makeVersionTag();
  state_.Investor->Version(state_.VersionTag);
  state_.Silent = false;
  try {
    state_.CurrentFile = ResolveInputName(GetCommandLineFilename(args, kInputExtension, kSwitchInput), startFolder);
    state_.OutputFile = GetCommandLineFilename(args, kOutputExtension, kSwitchOutput);
  } catch (...) {
    ShowCaughtError(state_, end_, "MainMod.GetCommandLineFilename");
  }
  state_.ErrLogFile = paths_.errLogFile;
  state_.IniFile = paths_.iniFile;

  std::string fallback;
  try {
    fallback = GetWin7AppDataPath(kDataSubFolder, options_.env);
  } catch (...) {
    fallback = paths_.settingsFolder;
  }
  InteractiveStart s{state_,
                     end_,
                     *files_,
                     *startWindows_,
                     *clock_,
                     [this] {
                       GetIniServices ini{*settings_, end_, options_.env, printer_.get(),
                                          [this] { files_->MaintMRUList(""); }};
                       GetIni(state_, ini);
                     },
                     [this] { initIP(); },
                     [](const std::string& folder) { return !folder.empty() && ::chdir(folder.c_str()) == 0; },
                     fallback,
                     settings_.get()};
  RunInteractiveStart(s);
}

int Desktop::run(std::span<const std::string> args, const std::string& startFolder) {
  try {
    start(args, startFolder);
  } catch (const ProgramEnded& e) {
    return e.exitStatus;
  }
  if (ended_) return exitStatus_;
  return QApplication::exec();
}

void Desktop::guarded(const std::function<void()>& body) {
  if (ended_) return;
  try {
    body();
  } catch (const ProgramEnded&) {
    // The program has ended; the exit hook did the rest.
  } catch (...) {
    try {
      ReportCaughtError(state_, end_, "frmMain");
    } catch (const ProgramEnded&) {
    }
  }
}

void Desktop::command(MainCommand command) {
  guarded([&] {
    switch (command) {
      case MainCommand::New: files_->NewFile(); break;
      case MainCommand::Open: files_->OpenCommand(); break;
      case MainCommand::Save: files_->SaveCommand(); break;
      case MainCommand::SaveAs: files_->SaveAs(); break;
      case MainCommand::PrintPreview:
      case MainCommand::ViewReports: route(kDestScreen); break;
      case MainCommand::Print: route(kDestPrinter); break;
      case MainCommand::ExportCsv: exportTransactions(); break;
      case MainCommand::ExportSales: exportSales(); break;
      case MainCommand::Exit: exitCommand(); break;
      case MainCommand::Inputs: initIP(); break;
      case MainCommand::Fonts: GetFonts(state_, *messages_, *fonts_, end_); break;
      case MainCommand::HelpContents: files_->ShowPDFHelp(); break;
      case MainCommand::About: {
        AboutWindow about(state_.VersionTag, *launcher_, *messages_, mainWindow_.get());
        about.exec();
        break;
      }
    }
  });
}

void Desktop::openRecent(int index) {
  guarded([&] { files_->OpenRecent(index); });
}

QString Desktop::defaultPdfFile() const {
  const std::string fallback = state_.DataPath.empty() ? paths_.settingsFolder : state_.DataPath;
  return toQ(DefaultPdfFile(state_.CurrentFile, fallback));
}

void Desktop::runReports(const std::function<void()>& body) {
  if (reportRun_) return;  // one run at a time
  std::vector<QWidget*> blocked = openWindows();
  if (mainWindow_) blocked.push_back(mainWindow_.get());
  reportRun_ = std::make_unique<InputBlocker>(blocked);
  if (ownPrintDialog_) ownPrintDialog_->setDefaultPdfFile(defaultPdfFile());
  printer_->beginPrintCommand(defaultPdfFile());
  struct Release {
    Desktop& d;
    ~Release() { d.reportRun_.reset(); }
  } release{*this};
  body();
  // Pages that went to PDF files: say where.
  std::vector<std::string> written;
  for (const QString& file : printer_->pdfFilesWritten()) written.push_back(fromQ(file));
  if (mainWindow_ && !written.empty()) mainWindow_->showNotice(toQ(PrintedFilesStatus(written)));
}

void Desktop::route(Destination destination) {
  runReports([&] { RouteOutput(*reportCtx_, destination); });
}

void Desktop::exportTransactions() {
  runReports([&] {
    ExportTransactionsCommand(*reportCtx_, *fileDialog_, [this](const std::string& message) {
      if (mainWindow_) mainWindow_->showNotice(toQ(message));
    });
  });
}

void Desktop::exportSales() {
  runReports([&] {
    ExportSalesCommand(*reportCtx_, *fileDialog_, [this](const std::string& message) {
      if (mainWindow_) mainWindow_->showNotice(toQ(message));
    });
  });
}

void Desktop::printFromReportWindow() {
  guarded([&] { runReports([&] { RunReports(*reportCtx_, kDestPrinter); }); });
}

void Desktop::initIP() {
  if (!initIPHook_) return;
  Guarded(state_, end_, ErrorPath::fatal, "InitIP", [&] {
    QWidget* parent = mainWindow_ ? mainWindow_.get() : nullptr;
    initIPHook_(*services_, parent);
  });
}

std::vector<QWidget*> Desktop::openWindows() const {
  std::vector<QWidget*> open;
  for (const auto& w : windows_)
    if (w) open.push_back(w.data());
  return open;
}

void Desktop::registerWindow(QWidget* window) {
  std::erase_if(windows_, [](const QPointer<QWidget>& w) { return w.isNull(); });
  windows_.emplace_back(window);
}

void Desktop::closeOtherWindows() {
  reportRun_.reset();
  const std::vector<QWidget*> open = openWindows();
  for (auto it = open.rbegin(); it != open.rend(); ++it) (*it)->close();
}

void Desktop::writeGeometry() {
  if (!mainWindow_) return;
  WriteMainGeometry(*geometry_, mainWindow_->geometryTwips(), mainWindow_->isMinimized());
}

void Desktop::exitCommand() {
  if (reportRun_) return;
  if (!files_->QueryExit()) return;  // Cancel keeps the program open
  closeOtherWindows();
  writeGeometry();
  if (mainWindow_) {
    mainWindow_->allowClose();
    mainWindow_->close();
  }
  EndProgram(state_, end_, false);
}

}  // namespace tvx::qt
