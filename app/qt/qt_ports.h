// The program's ports made with Qt: message boxes, file and font dialogs,
// the per-user geometry store, the system's document launcher, the clock,
// the busy pointer, and the two small report dialogs dlgRptChoices and
// dlgDetRpt.
#pragma once

#include <QDialog>
#include <QString>

#include "core/ports.h"
#include "shell/settings.h"

class QCheckBox;
class QComboBox;
class QFont;
class QWidget;

namespace tvx::qt {

QString toQ(std::string_view text);
std::string fromQ(const QString& text);

// Centres a window on the screen it is on (or the primary screen).
void centreOnScreen(QWidget& window);

// A width at which the window manager shows the window's whole title.
int widthForTitle(const QWidget& window);

class QtMessageBox final : public MessageBox {
 public:
  explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  Answer show(std::string_view title, std::string_view text, Icon icon, Buttons buttons) override;
  // The window a box shown now is centred on.
  QWidget* owner() const;

 private:
  QWidget* parent_;
};

// "Data Files(*.QVX)|*.QVX|All Files(*.*)|*.*||" as Qt name filters. Every
// pattern also matches its lower-case (and upper-case) spelling, since the
// file system tells letter cases apart: "*.QVX" matches "smith.qvx" too.
QStringList qtNameFilters(std::string_view filter);

class QtFileDialog final : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  std::optional<std::string> openFile(const FileDialogSetup& setup) override;
  std::optional<std::string> saveFile(const FileDialogSetup& setup) override;

 private:
  std::optional<std::string> run(const FileDialogSetup& setup, bool save);
  QWidget* parent_;
};

// The per-user settings store: QSettings of the maker "Kelvane" and the
// application named by the caller ("Tallyvex"), key "<section>/<key>".
class QtGeometryStore final : public WindowGeometryStore {
 public:
  std::string read(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view def) override;
  void write(std::string_view app, std::string_view section, std::string_view key,
             std::string_view value) override;
};

// The family the system uses for `font` (an alias or a missing name resolved).
QString resolvedFamily(const QFont& font);

class QtFontDialog final : public FontDialog {
 public:
  explicit QtFontDialog(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  std::optional<FontChoice> choose(const FontChoice& preset) override;

 private:
  QWidget* parent_;
};

class QtLauncher final : public Launcher {
 public:
  bool open(std::string_view pathOrUrl) override;
};

// Today's date; TVX_TODAY (yyyy-mm-dd) sets another day, for screenshots.
class SystemClock final : public Clock {
 public:
  SystemClock();
  int year() const override { return year_; }
  int month() const override { return month_; }
  int day() const override { return day_; }

 private:
  int year_, month_, day_;
};

class QtBusyPointer final : public BusyPointer {
 public:
  void begin() override;
  void end() override;
};

// dlgRptChoices.
class ReportChoicesDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit ReportChoicesDialog(QWidget* parent = nullptr);
  void setChoices(const ReportChoices& choices);
  ReportChoices choices() const;
  QCheckBox* chkRptInput;
  QCheckBox* chkRptSummary;
  QCheckBox* chkRptDetail;
  QCheckBox* chkRptSales;
  QComboBox* cboSalesYear;    // "All years", then the years
  QComboBox* cboSalesMethod;  // first in first out, average

 private:
  ReportChoices preset_;
};

class QtChoiceDialog final : public ChoiceDialog {
 public:
  explicit QtChoiceDialog(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  std::optional<ReportChoices> ask(std::string_view caption, const ReportChoices& preset) override;

 private:
  QWidget* parent_;
};

// dlgDetRpt.
class DetRptDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit DetRptDialog(QWidget* parent = nullptr);
  QCheckBox* chkRptNewPage;
};

class QtDetailOptionDialog final : public DetailOptionDialog {
 public:
  explicit QtDetailOptionDialog(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  bool ask(bool preset) override;

 private:
  QWidget* parent_;
};

}  // namespace tvx::qt
