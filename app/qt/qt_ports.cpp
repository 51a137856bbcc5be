#include "qt/qt_ports.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QComboBox>
#include <QDate>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

#include "orlendo/dates.h"

namespace tvx::qt {

QString toQ(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string fromQ(const QString& text) { return text.toUtf8().toStdString(); }

void centreOnScreen(QWidget& window) {
  QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize size = window.frameGeometry().size();
  window.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

int widthForTitle(const QWidget& window) {
  // The title bar's font is the window manager's; the application font with
  // room for the icon and the title bar's buttons is a fair stand-in.
  constexpr int kTitleBarButtons = 140;
  const QFontMetrics metrics(QApplication::font());
  return metrics.horizontalAdvance(window.windowTitle()) + kTitleBarButtons;
}

// ---- message boxes ---------------------------------------------------------------------

QWidget* QtMessageBox::owner() const {
  // The window the message is about is the one the user is in: the modal
  // window open (the input window, a dialog), else the active one (a report
  // window); the main window when the program has none of those.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return parent_;
}

Answer QtMessageBox::show(std::string_view title, std::string_view text, Icon icon, Buttons buttons) {
  QMessageBox box(owner());
  box.setWindowTitle(toQ(title));
  box.setText(toQ(text));
  switch (icon) {
    case Icon::Stop: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
  }
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  const int result = box.exec();
  switch (result) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::Ok ? Answer::Ok : (buttons == Buttons::YesNo ? Answer::No : Answer::Cancel);
  }
}

// ---- file dialogs ------------------------------------------------------------------------

QStringList qtNameFilters(std::string_view filter) {
  // "label|patterns|label|patterns||"
  const QStringList parts = toQ(filter).split('|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString label = parts[i].trimmed();
    if (label.isEmpty()) break;
    const qsizetype paren = label.indexOf('(');
    if (paren > 0) label = label.left(paren).trimmed();
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      const QString pattern = p.trimmed();
      if (pattern == "*.*") {
        patterns << "*";
        continue;
      }
      for (const QString& spelling : {pattern, pattern.toLower(), pattern.toUpper()})
        if (!patterns.contains(spelling)) patterns << spelling;
    }
    result << label + " (" + patterns.join(' ') + ")";
  }
  return result;
}

std::optional<std::string> QtFileDialog::run(const FileDialogSetup& setup, bool save) {
  QFileDialog dialog(parent_, toQ(setup.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(qtNameFilters(setup.filter));
  QString suffix = toQ(setup.defaultExtension);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  if (!setup.initialFolder.empty()) dialog.setDirectory(toQ(setup.initialFolder));
  if (!setup.presetName.empty()) {
    const QFileInfo preset(toQ(setup.presetName));
    if (preset.path() != "." && QFileInfo(preset.path()).isDir()) dialog.setDirectory(preset.path());
    dialog.selectFile(preset.fileName());
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::string();
  return fromQ(files.first());
}

std::optional<std::string> QtFileDialog::openFile(const FileDialogSetup& setup) { return run(setup, false); }
std::optional<std::string> QtFileDialog::saveFile(const FileDialogSetup& setup) { return run(setup, true); }

// ---- per-user store -------------------------------------------------------------------------

std::string QtGeometryStore::read(std::string_view app, std::string_view section, std::string_view key,
                                  std::string_view def) {
  QSettings settings(toQ(kMakerFolder), toQ(app));
  return fromQ(settings.value(toQ(section) + "/" + toQ(key), toQ(def)).toString());
}

void QtGeometryStore::write(std::string_view app, std::string_view section, std::string_view key,
                            std::string_view value) {
  QSettings settings(toQ(kMakerFolder), toQ(app));
  settings.setValue(toQ(section) + "/" + toQ(key), toQ(value));
  settings.sync();
}

// ---- fonts, documents, clock, pointer ---------------------------------------------------------

QString resolvedFamily(const QFont& font) { return QFontInfo(font).family(); }

std::optional<FontChoice> QtFontDialog::choose(const FontChoice& preset) {
  // The dialog opens on the family the reports actually print in: a name the
  // system lacks ("Courier New") shows as its fixed-pitch substitute.
  QFont initial(toQ(preset.name));
  initial.setStyleHint(QFont::TypeWriter);
  initial.setFamily(resolvedFamily(initial));
  if (preset.size > 0) initial.setPointSizeF(preset.size);
  initial.setBold(preset.bold);
  QFontDialog dialog(initial, parent_);
  dialog.setObjectName("dlgFonts");
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  // An alias the dialog hands back ("Monospace", "Sans Serif") is not a
  // family the printer knows: take the family it stands for.
  const QFont font = dialog.selectedFont();
  return FontChoice{fromQ(resolvedFamily(font)), static_cast<float>(font.pointSizeF()), font.bold()};
}

bool QtLauncher::open(std::string_view pathOrUrl) {
  const QString target = toQ(pathOrUrl);
  const QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
  return QDesktopServices::openUrl(url);
}

SystemClock::SystemClock() {
  QDate today = QDate::currentDate();
  if (const QByteArray forced = qgetenv("TVX_TODAY"); !forced.isEmpty()) {
    if (auto d = orlendo::parseDate(forced.toStdString()))
      today = QDate(static_cast<int>(d->year()), static_cast<int>(static_cast<unsigned>(d->month())),
                    static_cast<int>(static_cast<unsigned>(d->day())));
  }
  year_ = today.year();
  month_ = today.month();
  day_ = today.day();
}

void QtBusyPointer::begin() { QApplication::setOverrideCursor(Qt::WaitCursor); }
void QtBusyPointer::end() { QApplication::restoreOverrideCursor(); }

// ---- dlgRptChoices -------------------------------------------------------------------------------

ReportChoicesDialog::ReportChoicesDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("dlgRptChoices");
  setWindowTitle("Report Choices");
  auto* frame = new QGroupBox("Check Desired Reports", this);
  frame->setObjectName("fraChoices");
  chkRptInput = new QCheckBox("Input Report", frame);
  chkRptInput->setObjectName("chkRptInput");
  chkRptSummary = new QCheckBox("Summary Report", frame);
  chkRptSummary->setObjectName("chkRptSummary");
  chkRptDetail = new QCheckBox("Detailed Analysis Report", frame);
  chkRptDetail->setObjectName("chkRptDetail");
  chkRptSales = new QCheckBox("Sales Report", frame);
  chkRptSales->setObjectName("chkRptSales");
  cboSalesYear = new QComboBox(frame);
  cboSalesYear->setObjectName("cboSalesYear");
  cboSalesMethod = new QComboBox(frame);
  cboSalesMethod->setObjectName("cboSalesMethod");
  cboSalesMethod->addItem("First in, first out (FIFO)");
  cboSalesMethod->addItem("Average basis");
  auto* salesOptions = new QFormLayout();
  salesOptions->setContentsMargins(20, 0, 0, 0);
  salesOptions->addRow("Tax year:", cboSalesYear);
  salesOptions->addRow("Method:", cboSalesMethod);
  auto enableSales = [this](bool on) {
    cboSalesYear->setEnabled(on);
    cboSalesMethod->setEnabled(on);
  };
  connect(chkRptSales, &QCheckBox::toggled, this, enableSales);
  enableSales(false);
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->addWidget(chkRptInput);
  frameLayout->addWidget(chkRptSummary);
  frameLayout->addWidget(chkRptDetail);
  frameLayout->addWidget(chkRptSales);
  frameLayout->addLayout(salesOptions);

  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("btnOK");
  ok->setDefault(true);
  auto* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
  cancel->setObjectName("btnCancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(buttons);
}

void ReportChoicesDialog::setChoices(const ReportChoices& c) {
  chkRptInput->setChecked(c.input);
  chkRptSummary->setChecked(c.summary);
  chkRptDetail->setChecked(c.detail);
  chkRptSales->setChecked(c.sales);
  preset_ = c;
  cboSalesYear->clear();
  cboSalesYear->addItem("All years");
  for (int year = c.firstYear; year <= c.lastYear; ++year) cboSalesYear->addItem(QString::number(year));
  const int at = c.taxYear ? cboSalesYear->findText(QString::number(*c.taxYear)) : 0;
  cboSalesYear->setCurrentIndex(at < 0 ? 0 : at);
  cboSalesMethod->setCurrentIndex(c.method == orlendo::LotMethod::average ? 1 : 0);
}

ReportChoices ReportChoicesDialog::choices() const {
  ReportChoices c = preset_;
  c.input = chkRptInput->isChecked();
  c.summary = chkRptSummary->isChecked();
  c.detail = chkRptDetail->isChecked();
  c.sales = chkRptSales->isChecked();
  c.taxYear = cboSalesYear->currentIndex() <= 0 ? std::nullopt : std::optional<int>(cboSalesYear->currentText().toInt());
  c.method = cboSalesMethod->currentIndex() == 1 ? orlendo::LotMethod::average : orlendo::LotMethod::fifo;
  return c;
}

std::optional<ReportChoices> QtChoiceDialog::ask(std::string_view caption, const ReportChoices& preset) {
  ReportChoicesDialog dialog(parent_);
  dialog.setWindowTitle(toQ(caption));
  dialog.setChoices(preset);
  dialog.setMinimumWidth(widthForTitle(dialog));
  dialog.adjustSize();
  centreOnScreen(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choices();
}

// ---- dlgDetRpt ------------------------------------------------------------------------------------

DetRptDialog::DetRptDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("dlgDetRpt");
  setWindowTitle("Detailed Report Option");
  chkRptNewPage = new QCheckBox("Start a new page for each security ( Use more paper, but better looking report)", this);
  chkRptNewPage->setObjectName("chkRptNewPage");
  auto* close = new QPushButton("&Close", this);
  close->setObjectName("btnClose");
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chkRptNewPage);
  layout->addWidget(close, 0, Qt::AlignRight);
}

bool QtDetailOptionDialog::ask(bool preset) {
  DetRptDialog dialog(parent_);
  dialog.chkRptNewPage->setChecked(preset);
  dialog.exec();  // closing the window any way reads the box like "&Close"
  return dialog.chkRptNewPage->isChecked();
}

}  // namespace tvx::qt
