// The destination of a report run: made ready before the text, finished
// after it; and how a failed run ends.
#include "reports/report_run.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/report_text.h"
#include "reports/no_data.h"

#include "report_file_fixture.h"

namespace tvx::test {
namespace {

class ReportDestinationFile : public ReportFileTest {};

TEST_F(ReportDestinationFile, AloneItAppendsAtOnceWithinARunItWritesPiecesKeptOnlyByTheCommit) {
  std::ofstream(h.state.OutputFile, std::ios::binary) << "before\r\n";
  ReportDestination(h.ctx, kDestFile, "unused", ReportFont::always).finish("text", "Name", "Line 2", "Title");
  EXPECT_EQ(readFile(h.state.OutputFile), "before\r\ntext\r\n");
  EXPECT_TRUE(h.windows.made.empty());

  const std::string big(64 * 1024, 'b');
  for (const bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "committed" : "not committed");
    {
      FileAppend file(h.state.OutputFile);
      h.ctx.reportFile = &file;
      ReportDestination output(h.ctx, kDestFile, "unused", ReportFont::always);
      std::string running = "short";
      output.spill(running);
      EXPECT_EQ(running, "short") << "a small text waits for more";
      running += big;
      output.spill(running);
      EXPECT_TRUE(running.empty()) << "a full piece went on to the file";
      EXPECT_EQ(readFile(h.state.OutputFile).size(), 14 + 5 + big.size());
      output.finish("end", "Name", "Line 2", "Title");
      if (commit) file.commit();
      h.ctx.reportFile = nullptr;
    }
    EXPECT_EQ(readFile(h.state.OutputFile), commit ? "before\r\ntext\r\nshort" + big + "end\r\n" : "before\r\ntext\r\n");
  }

  // A screen run never spills, whatever the run's file.
  FileAppend file(h.state.OutputFile);
  h.ctx.reportFile = &file;
  std::string running = big;
  ReportDestination(h.ctx, kDestScreen, "unused", ReportFont::always).spill(running);
  EXPECT_EQ(running.size(), big.size());
  h.ctx.reportFile = nullptr;
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
