// The destination of a report run: made ready before the text, finished
// after it; and how a failed run ends.
#include "reports/report_run.h"

#include <gtest/gtest.h>

#include <fstream>

#include "report_file_fixture.h"

namespace tvx::test {
namespace {

TEST(ReportDestination, PrinterRunSetsTheReportFontUnlessSilentAndPutsTheFormerOneBack) {
  ReportHarness h;
  ReportDestination output(h.ctx, kDestPrinter, "unused", ReportFont::unlessSilent);
  EXPECT_EQ(output.window(), nullptr);
  EXPECT_EQ(h.printer.fontName(), "Courier New");
  EXPECT_EQ(h.printer.fontSize(), 10);
  EXPECT_FALSE(h.printer.fontBold());
  PrintOrDisplay(h.ctx, nullptr, kDestPrinter, "  body\r\n", 1, "Name", "Line 2", "Title");
  output.finish("", "Name", "Line 2", "Title");
  EXPECT_EQ(h.printer.fontName(), "Printer Default");
  EXPECT_EQ(h.printer.fontSize(), 12);
  EXPECT_TRUE(h.printer.fontBold());
  ASSERT_EQ(h.printer.openPages().size(), 1u);
  EXPECT_NE(h.printer.openPages()[0].find("  body\r\n"), std::string::npos);
  EXPECT_NE(h.printer.openPages()[0].find("  Page  1\r\n"), std::string::npos) << "the last page was ended";

  h.state.Silent = true;
  ReportDestination(h.ctx, kDestPrinter, "unused", ReportFont::unlessSilent);
  EXPECT_EQ(h.printer.fontName(), "Printer Default");
  ReportDestination always(h.ctx, kDestPrinter, "unused", ReportFont::always);
  EXPECT_EQ(h.printer.fontName(), "Courier New");
}

class ReportDestinationFile : public ReportFileTest {};

TEST_F(ReportDestinationFile, RunAppendsTheTextWithALineEndOrCollectsItInTheBuffer) {
  std::ofstream(h.state.OutputFile, std::ios::binary) << "before\r\n";
  ReportDestination(h.ctx, kDestFile, "unused", ReportFont::always).finish("text", "Name", "Line 2", "Title");
  EXPECT_EQ(readFile(h.state.OutputFile), "before\r\ntext\r\n");
  EXPECT_TRUE(h.windows.made.empty());

  std::string buffer = "earlier\r\n";
  h.ctx.fileBuffer = &buffer;
  ReportDestination(h.ctx, kDestFile, "unused", ReportFont::always).finish("more", "Name", "Line 2", "Title");
  EXPECT_EQ(buffer, "earlier\r\nmore\r\n");
  EXPECT_EQ(readFile(h.state.OutputFile), "before\r\ntext\r\n") << "a buffered run leaves the file alone";
}

TEST(RunReportGuarded, NoDataShowsTheNoticeOrEndsTheProgramAtTheGivenPlace) {
  ReportHarness h;
  RunReportGuarded(h.ctx, "Here.Run", NoDataRun::notice, [&] { ReportInvestor(h.ctx); });
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].title, "Notice");
  EXPECT_EQ(h.messages.shown[0].text, kNoDataText);
  EXPECT_TRUE(h.logger->calls.empty());

  EXPECT_THROW(RunReportGuarded(h.ctx, "Here.Run", NoDataRun::error, [&] { ReportInvestor(h.ctx); }), ProgramEnded);
  ASSERT_EQ(h.logger->calls.size(), 1u);
  EXPECT_EQ(h.logger->calls[0].number, orlendo::errnum::NoData);
  EXPECT_EQ(h.logger->calls[0].location.rfind("Here.Run\r", 0), 0u);
  EXPECT_EQ(h.messages.shown.size(), 1u) << "no second Notice";

  // The end of the program passes through unreported.
  EXPECT_THROW(RunReportGuarded(h.ctx, "Here.Run", NoDataRun::notice, [] { throw ProgramEnded{kExitError}; }),
               ProgramEnded);
  EXPECT_EQ(h.logger->calls.size(), 1u);
  EXPECT_EQ(h.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace tvx::test
