// The entry point of the desktop front end, loaded by tvxdesk for an
// interactive start.
//
// With TVX_SCREENSHOT_DIR set, the program instead shows its start-up
// window, its main window after printing the Summary report to PDF, a
// Summary report window and the input window on its buy/sell page, saves
// each as a PNG file in that folder (startup.png, main.png, summary.png,
// input.png) and ends; the script docs/screenshots.sh uses this.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <climits>
#include <iostream>
#include <string>
#include <vector>

#include "core/error_paths.h"
#include "qt/desktop.h"
#include "qt/input_window.h"
#include "qt/qt_ports.h"
#include "qt/startup_windows.h"
#include "shell/command_line.h"

namespace {

std::string currentFolder() {
  std::vector<char> buffer(PATH_MAX + 1, '\0');
  if (!::getcwd(buffer.data(), buffer.size())) return "/";
  return buffer.data();
}

// The Summary report only, without asking.
class SummaryOnly final : public tvx::ChoiceDialog {
 public:
  std::optional<tvx::ReportChoices> ask(std::string_view, const tvx::ReportChoices&) override {
    tvx::ReportChoices summary;
    summary.input = summary.detail = false;
    return summary;
  }
};

// One copy, to the PDF file the program offers.
class OneCopy final : public tvx::PrintDialog {
 public:
  int askCopies(std::string_view) override { return 1; }
};

void settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

bool save(QWidget& window, const QDir& dir, const char* name) {
  settle();
  const QString file = dir.filePath(name);
  const bool ok = window.grab().save(file, "PNG");
  std::cerr << (ok ? "saved " : "could not save ") << file.toStdString() << '\n';
  return ok;
}

int takeScreenshots(const std::vector<std::string>& args, const QString& folder) {
  QDir dir(folder);
  if (!dir.mkpath(".")) return tvx::kExitError;
  SummaryOnly summaryOnly;
  OneCopy oneCopy;
  bool ok = true;

  tvx::qt::DesktopOptions options;
  options.appFolder = QCoreApplication::applicationDirPath().toStdString();
  options.pdfPrinterOnly = true;
  options.choices = &summaryOnly;
  options.printDialog = &oneCopy;
  options.updateReminder = [](std::string_view) {};
  options.about = [] {};
  {
    // A start with a file named skips the start-up options: shown here.
    tvx::qt::StartUpWindow window;
    window.show();
    ok = save(window, dir, "startup.png") && ok;
  }
  options.startUpOptions = [] { return tvx::kStartMainWindow; };
  options.exit = [](int) {};
  tvx::qt::Desktop desktop(options);
  try {
    desktop.start(args, currentFolder());
    if (!desktop.mainWindow()) return tvx::kExitError;
    desktop.route(tvx::kDestPrinter);  // the status bar names the PDF written
    ok = save(*desktop.mainWindow(), dir, "main.png") && ok;
    desktop.route(tvx::kDestScreen);
    const auto windows = desktop.openWindows();
    if (windows.empty()) return tvx::kExitError;
    ok = save(*windows.back(), dir, "summary.png") && ok;

    tvx::qt::InputWindow input(desktop.services(), desktop.mainWindow());
    input.SetInitialIP();
    input.tabs()->setCurrentIndex(1);
    input.resize(input.sizeHint().expandedTo(QSize(900, 620)));
    input.show();
    ok = save(input, dir, "input.png") && ok;
    input.hide();
  } catch (const tvx::ProgramEnded& e) {
    return e.exitStatus == tvx::kExitOk ? tvx::kExitError : e.exitStatus;
  }
  return ok ? tvx::kExitOk : tvx::kExitError;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int tvx_run_desktop(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tallyvex");
  QApplication::setOrganizationName("Kelvane");
  QApplication::setQuitOnLastWindowClosed(false);
  const std::vector<std::string> args = tvx::argumentList(argc, argv);

  if (const QByteArray shots = qgetenv("TVX_SCREENSHOT_DIR"); !shots.isEmpty())
    return takeScreenshots(args, QString::fromLocal8Bit(shots));

  try {
    tvx::qt::DesktopOptions options;
    options.appFolder = QCoreApplication::applicationDirPath().toStdString();
    tvx::qt::Desktop desktop(options);
    return desktop.run(args, currentFolder());
  } catch (const tvx::ProgramEnded& e) {
    return e.exitStatus;
  } catch (const std::exception& e) {
    std::cerr << "tvxdesk: " << e.what() << '\n';
    return tvx::kExitError;
  }
}
