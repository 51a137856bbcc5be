// The printer over Qt's PDF printer: fonts, and two printed copies of real
// reports, each its own file with page numbers from 1, checked in the PDF
// text (pdftotext -layout) against the page count the real lines per page
// give.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "orlendo/error.h"
#include "qt/qt_printer.h"
#include "app_test_support.h"
#include "reports/report_output.h"

using namespace tvx;
using namespace tvx::test;

namespace {

// The pages of a PDF as text; the report font's character width (Courier:
// 0.6 of its size) keeps the columns of the fixed-pitch text exact.
QStringList pdfPages(const QString& pdf, float fontSize = 10) {
  QProcess p;
  p.start(TVX_PDFTOTEXT, {"-layout", "-fixed", QString::number(fontSize * 0.6), pdf, "-"});
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
  QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

void loadSmith(ReportHarness& h) {
  h.state.Investor = orlendo::Investor::create();
  h.state.Investor->LoadFile(TVX_EXAMPLES_DIR "/smith.qvx");
  h.state.CurrentFile = TVX_EXAMPLES_DIR "/smith.qvx";
  h.choices.answer->input = false;  // Summary and Detailed
}

}  // namespace

class QtPrinterTest : public QObject {
  Q_OBJECT
 private slots:
  void aMissingFontIsRefusedAndTheOldOneKept() {
    QVERIFY(qt::fontAvailable("Courier New"));  // a fixed-pitch substitute counts
    QVERIFY(!qt::fontAvailable("No Such Font Tvx"));
    qt::QtPrinter printer(true);
    printer.setFontName("Courier New");
    try {
      printer.setFontName("No Such Font Tvx");
      QFAIL("a missing font was accepted");
    } catch (const orlendo::Error& e) {
      QCOMPARE(e.number(), orlendo::errnum::InvalidPropertyValue);
    }
    QCOMPARE(printer.fontName(), std::string("Courier New"));
  }

  void twoCopiesEachWithItsOwnPagesAndFile() {
    if (QString(TVX_PDFTOTEXT).isEmpty()) QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    qt::QtPrinter printer(true);
    printer.setFontName("Courier New");  // the printer's own font before the run
    printer.setFontSize(9);

    ReportHarness h;
    loadSmith(h);
    h.ctx.printer = &printer;
    h.printDialog.copies = 2;
    const QString pdf = dir.filePath("smith.pdf");
    printer.beginPrintCommand(pdf);
    RunReports(h.ctx, kDestPrinter);
    QCOMPARE(printer.jobsEnded(), 2);
    QCOMPARE(printer.fontSize(), 9.0F);  // given back after the run
    QVERIFY(h.messages.shown.empty());

    const QStringList first = pdfPages(pdf);
    const QStringList second = pdfPages(dir.filePath("smith-2.pdf"));
    QVERIFY(first.size() >= 2);
    QCOMPARE(second, first);  // the second copy is the same pages, numbered from 1 again

    // Every page: the headings, and one page number at its foot, counted
    // from 1 through the copy.
    const QRegularExpression pageLine("^ *Page  (\\d+)$", QRegularExpression::MultilineOption);
    for (qsizetype i = 0; i < first.size(); ++i) {
      const QString& page = first[i];
      QVERIFY2(page.contains("Margaret A. Smith") && page.contains("Joint account with Robert Smith"),
               qPrintable(QString("headings on page %1").arg(i + 1)));
      auto numbers = pageLine.globalMatch(page);
      QVERIFY2(numbers.hasNext(), qPrintable(page));
      QCOMPARE(numbers.next().captured(1).toInt(), int(i + 1));
      QVERIFY(!numbers.hasNext());
    }

    // The page count follows the real lines per page: a recording printer of
    // that many lines gives as many pages.
    printer.setFontName(h.state.FontName);
    printer.setFontSize(h.state.FontSize);
    ReportHarness recorded(static_cast<int>(printer.pageHeight() / printer.textHeight("nLinesPerPage")));
    loadSmith(recorded);
    RunReports(recorded.ctx, kDestPrinter);
    QCOMPARE(static_cast<qsizetype>(recorded.printer.jobs.at(0).size()), first.size());
  }
};

QTEST_MAIN(QtPrinterTest)
#include "qt_printer_test.moc"
