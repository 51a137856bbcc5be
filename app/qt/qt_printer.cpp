#include "qt/qt_printer.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMarginsF>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinterInfo>

#include "orlendo/error.h"
#include "qt/qt_ports.h"
#include "reports/pdf_output.h"

namespace tvx::qt {

bool fontAvailable(const QString& family) {
  if (family.trimmed().isEmpty()) return false;
  if (QFontDatabase::hasFamily(family)) return true;
  return QFontInfo(QFont(family)).fixedPitch();
}

QtPrinter::QtPrinter(bool pdfOnly) : printer_(QPrinter::HighResolution) {
  pdfMode_ = pdfOnly || QPrinterInfo::availablePrinterNames().isEmpty();
  if (pdfMode_) printer_.setOutputFormat(QPrinter::PdfFormat);
  printer_.setDocName("Tallyvex reports");
  printer_.setCopyCount(1);
  printer_.setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
  // The font the printer has before any report sets one.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontInfo info(fixed);
  fontName_ = info.family();
  fontSize_ = info.pointSizeF() > 0 ? static_cast<float>(info.pointSizeF()) : 10.0F;
  bold_ = false;
}

QtPrinter::~QtPrinter() {
  if (painter_ && painter_->isActive()) painter_->end();
}

void QtPrinter::setFontName(std::string_view name) {
  const QString family = toQ(name);
  if (!fontAvailable(family))
    orlendo::raise(orlendo::errnum::InvalidPropertyValue, "Printer.FontName",
                   std::string(orlendo::errorTypeText(orlendo::errnum::InvalidPropertyValue)));
  fontName_ = family;
}
std::string QtPrinter::fontName() const { return fromQ(fontName_); }
void QtPrinter::setFontSize(float points) {
  if (points > 0) fontSize_ = points;
}
float QtPrinter::fontSize() const { return fontSize_; }
void QtPrinter::setFontBold(bool bold) { bold_ = bold; }
bool QtPrinter::fontBold() const { return bold_; }

QFont QtPrinter::currentFont() const {
  QFont font(fontName_);
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSizeF(fontSize_);
  font.setBold(bold_);
  return font;
}

long QtPrinter::pageHeight() const {
  return printer_.pageLayout().paintRectPixels(printer_.resolution()).height();
}

long QtPrinter::lineHeight() const {
  const QFontMetrics metrics(currentFont(), const_cast<QPrinter*>(&printer_));
  return std::max(1, metrics.lineSpacing());
}

long QtPrinter::textHeight(std::string_view) const { return lineHeight(); }

void QtPrinter::beginPrintCommand(const QString& pdfFileName) {
  if (!pdfFileName.isEmpty()) pdfBase_ = pdfFileName;
  jobsEnded_ = 0;
}

QString QtPrinter::pdfFileForJob(int job) const { return toQ(PdfFileForJob(fromQ(pdfBase_), job)); }

QStringList QtPrinter::pdfFilesWritten() const {
  QStringList files;
  if (printer_.outputFormat() != QPrinter::PdfFormat) return files;
  for (int job = 1; job <= jobsEnded_; ++job) files << pdfFileForJob(job);
  return files;
}

void QtPrinter::startJob() {
  if (pdfMode_) printer_.setOutputFormat(QPrinter::PdfFormat);
  if (printer_.outputFormat() == QPrinter::PdfFormat) {
    if (pdfBase_.isEmpty()) pdfBase_ = printer_.outputFileName();
    if (pdfBase_.isEmpty())
      orlendo::raise(orlendo::errnum::NoFilename, "Printer.StartDoc", "No PDF file was chosen for the printed pages");
    printer_.setOutputFileName(pdfFileForJob(jobsEnded_ + 1));
  }
  printer_.setCopyCount(1);
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(&printer_)) {
    painter_.reset();
    orlendo::raise(orlendo::errnum::DeviceIO, "Printer.StartDoc",
                   pdfMode_ ? "The PDF file " + fromQ(printer_.outputFileName()) + " could not be written"
                            : "The printer could not be started");
  }
  jobActive_ = true;
  breakPending_ = false;
  page_ = 1;
  y_ = 0;
}

// Draws the pending text on the current line; `advance` moves to the next line.
void QtPrinter::emitLine(bool advance) {
  if (!jobActive_) startJob();
  const long height = lineHeight();
  if (breakPending_) {
    printer_.newPage();
    breakPending_ = false;
    y_ = 0;
  } else if (y_ > 0 && y_ + height > pageHeight()) {
    // More lines than the page holds: the text goes on, on a new page.
    printer_.newPage();
    ++page_;
    y_ = 0;
  }
  if (!pending_.isEmpty()) {
    const QFont font = currentFont();
    painter_->setFont(font);
    const QFontMetrics metrics(font, &printer_);
    painter_->drawText(QPointF(0, static_cast<double>(y_ + metrics.ascent())), pending_);
    pending_.clear();
  }
  if (advance) y_ += height;
}

void QtPrinter::print(std::string_view text) {
  if (text.empty()) return;
  const QString q = toQ(text);
  qsizetype start = 0;
  for (qsizetype i = 0; i < q.size(); ++i) {
    if (q[i] == '\n') {
      qsizetype end = i;
      if (end > start && q[end - 1] == '\r') --end;
      pending_ += q.mid(start, end - start);
      emitLine(true);
      start = i + 1;
    }
  }
  if (start < q.size()) {
    pending_ += q.mid(start);
    if (!jobActive_) startJob();
  }
}

void QtPrinter::newPage() {
  if (!pending_.isEmpty()) emitLine(true);
  // A page started by newPage that received no output is not emitted.
  if (!jobActive_ || breakPending_) return;
  breakPending_ = true;
  ++page_;
  y_ = 0;
}

void QtPrinter::endDoc() {
  if (!pending_.isEmpty()) emitLine(true);
  if (jobActive_) {
    painter_->end();
    painter_.reset();
    jobActive_ = false;
    ++jobsEnded_;
    if (printer_.outputFormat() == QPrinter::PdfFormat) printer_.setOutputFileName(pdfBase_);
  }
  breakPending_ = false;
  page_ = 1;
  y_ = 0;
}

// ---- the print dialog -------------------------------------------------------------------------

int QtPrintDialog::askCopies(std::string_view title) {
  QPrinter& printer = printer_.qprinter();
  printer.setCopyCount(1);
  if (printer_.pdfMode()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    // Each print command offers the file beside the data file open now.
    if (!defaultPdf_.isEmpty()) printer.setOutputFileName(defaultPdf_);
  }
  QPrintDialog dialog(&printer, parent_);
  dialog.setWindowTitle(toQ(title));
  QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintShowPageSize;
  if (printer_.pdfMode()) options |= QAbstractPrintDialog::PrintToFile;
  dialog.setOptions(options);
  if (dialog.exec() != QDialog::Accepted) return 0;
  const int copies = std::max(1, printer.copyCount());
  printer.setCopyCount(1);
  QString pdf;
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    pdf = printer.outputFileName();
    if (pdf.isEmpty()) pdf = defaultPdf_;
  }
  printer_.beginPrintCommand(pdf);
  return copies;
}

}  // namespace tvx::qt
