// The program's seams to the platform. The logic of the program talks only
// to these interfaces; the desktop front end implements them with Qt, the
// batch run with standard error, and the tests with recording doubles.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orlendo/sales.h"

namespace tvx {

// ---- message boxes --------------------------------------------------------------

enum class Icon { None, Stop, Question, Exclamation, Information };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  virtual Answer show(std::string_view title, std::string_view text, Icon icon, Buttons buttons) = 0;
};

// ---- file dialogs -----------------------------------------------------------------

struct FileDialogSetup {
  std::string title;            // "Open" or "Save As"
  std::string filter;           // "Data Files(*.QVX)|*.QVX|All Files(*.*)|*.*||"
  std::string defaultExtension; // ".QVX"
  std::string initialFolder;
  std::string presetName;       // Save As: the current file
};

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // The chosen file, or nullopt when the user cancelled.
  virtual std::optional<std::string> openFile(const FileDialogSetup& setup) = 0;
  virtual std::optional<std::string> saveFile(const FileDialogSetup& setup) = 0;
};

// ---- settings -----------------------------------------------------------------------

// The program's settings file (sections, keys, text values).
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string readText(std::string_view section, std::string_view key, std::string_view def) = 0;
  virtual long readInt(std::string_view section, std::string_view key, long def) = 0;
  virtual void writeText(std::string_view section, std::string_view key, std::string_view value) = 0;
};

// The per-user store of the main window's geometry (application, section, key).
class WindowGeometryStore {
 public:
  virtual ~WindowGeometryStore() = default;
  virtual std::string read(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view def) = 0;
  virtual void write(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) = 0;
};

// ---- reports --------------------------------------------------------------------------

struct ReportChoices {
  bool input = true;
  bool summary = true;
  bool detail = true;
  bool sales = false;
  // The Sales report's tax year (none: "All years"), offered from firstYear
  // to lastYear, and its method.
  std::optional<int> taxYear;
  int firstYear = 1983;
  int lastYear = 2016;
  orlendo::LotMethod method = orlendo::LotMethod::fifo;
};

// The report-choice dialog: the choices the user made, or nullopt for Cancel.
class ChoiceDialog {
 public:
  virtual ~ChoiceDialog() = default;
  virtual std::optional<ReportChoices> ask(std::string_view caption, const ReportChoices& preset) = 0;
};

// The print dialog: the number of copies, 0 when cancelled.
class PrintDialog {
 public:
  virtual ~PrintDialog() = default;
  virtual int askCopies(std::string_view title) = 0;
};

// The Detailed report's option dialog: whether each security starts a new page.
class DetailOptionDialog {
 public:
  virtual ~DetailOptionDialog() = default;
  virtual bool ask(bool preset) = 0;
};

// The busy mouse pointer of the main window.
class BusyPointer {
 public:
  virtual ~BusyPointer() = default;
  virtual void begin() = 0;
  virtual void end() = 0;
};

// ---- system services ----------------------------------------------------------------

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int year() const = 0;
  virtual int month() const = 0;
  virtual int day() const = 0;
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Opens a document or web page with the system's default program; false when that failed.
  virtual bool open(std::string_view pathOrUrl) = 0;
};

}  // namespace tvx
