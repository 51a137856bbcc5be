// How a failed report run ends.
#include "reports/report_run.h"

#include <gtest/gtest.h>

#include "reports/no_data.h"

#include "report_test_support.h"

namespace tvx::test {
namespace {

TEST(RunReportGuarded, NoDataShowsTheNoticeOrEndsTheProgramAtTheGivenPlace) {
  ReportHarness h;
  RunReportGuarded(h.ctx, "Here.Run", NoDataRun::notice, [&] { ReportInvestor(h.ctx); });
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].title, "Notice");
  EXPECT_EQ(h.messages.shown[0].text, kNoDataText);
  EXPECT_TRUE(h.logger->calls.empty());

  EXPECT_THROW(RunReportGuarded(h.ctx, "Here.Run", NoDataRun::error, [&] { ReportInvestor(h.ctx); }), ProgramEnded);
  ASSERT_EQ(h.logger->calls.size(), 1u);
  EXPECT_EQ(h.logger->calls[0].first, orlendo::errnum::NoData);
  EXPECT_EQ(h.logger->calls[0].second.rfind("Here.Run\r", 0), 0u);
  EXPECT_EQ(h.messages.shown.size(), 1u) << "no second Notice";

  // The end of the program passes through unreported.
  EXPECT_THROW(RunReportGuarded(h.ctx, "Here.Run", NoDataRun::notice, [] { throw ProgramEnded{kExitError}; }),
               ProgramEnded);
  EXPECT_EQ(h.logger->calls.size(), 1u);
  EXPECT_EQ(h.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace tvx::test
