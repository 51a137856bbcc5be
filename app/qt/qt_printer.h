// The printer of the reports over Qt's printer. Qt's printer has no
// printer-wide font and no page number: this adapter keeps its own font
// record and counts the pages of each job itself. Every endDoc ends one
// print job; where the system has no printer installed, Qt's PDF printer
// stands in and every job becomes its own file: "name.pdf", "name-2.pdf",
// "name-3.pdf", ..., so that no copy overwrites another.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <memory>

#include "core/ports.h"
#include "core/printer.h"

class QWidget;

namespace tvx::qt {

// True when the system has the font, or gives a fixed-pitch substitute for
// it (as "Courier New" is given "Liberation Mono").
bool fontAvailable(const QString& family);

class QtPrinter final : public Printer {
 public:
  // `pdfOnly`: use the PDF printer even when printers are installed.
  explicit QtPrinter(bool pdfOnly = false);
  ~QtPrinter() override;

  void setFontName(std::string_view name) override;
  std::string fontName() const override;
  void setFontSize(float points) override;
  float fontSize() const override;
  void setFontBold(bool bold) override;
  bool fontBold() const override;
  long pageHeight() const override;
  long textHeight(std::string_view text) const override;
  void print(std::string_view text) override;
  int page() const override { return page_; }
  void newPage() override;
  void endDoc() override;

  // True when the PDF printer stands in for a real one.
  bool pdfMode() const { return pdfMode_; }
  QPrinter& qprinter() { return printer_; }
  // Starts a new print command: the next job writes `fileName` (PDF
  // printer), the ones after it "<stem>-2.pdf" and so on.
  void beginPrintCommand(const QString& pdfFileName = {});
  // The file the job with this 1-based number writes (PDF printer).
  QString pdfFileForJob(int job) const;
  // The PDF files the jobs ended since the print command began have written.
  QStringList pdfFilesWritten() const;
  // The number of print jobs ended since the print command began.
  int jobsEnded() const { return jobsEnded_; }

 private:
  QFont currentFont() const;
  void startJob();
  void emitLine(bool advance);
  long lineHeight() const;

  QPrinter printer_;
  bool pdfMode_ = false;
  QString pdfBase_;
  QString fontName_;
  float fontSize_ = 10;
  bool bold_ = false;

  std::unique_ptr<QPainter> painter_;
  bool jobActive_ = false;
  bool breakPending_ = false;  // newPage was called; the page starts with the next output
  int page_ = 1;
  int jobsEnded_ = 0;
  long y_ = 0;
  QString pending_;  // text of the current line not yet drawn
};

// The print dialog "Print Reports": copies only (no selection, no page
// range); a PDF file to write where no printer is installed. The chosen
// copy count is read and the printer's own count put back to 1, since each
// copy is its own run of the reports.
class QtPrintDialog final : public PrintDialog {
 public:
  QtPrintDialog(QtPrinter& printer, QWidget* parent = nullptr) : printer_(printer), parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  // The PDF file offered when the PDF printer stands in.
  void setDefaultPdfFile(const QString& file) { defaultPdf_ = file; }
  int askCopies(std::string_view title) override;

 private:
  QtPrinter& printer_;
  QWidget* parent_;
  QString defaultPdf_;
};

}  // namespace tvx::qt
