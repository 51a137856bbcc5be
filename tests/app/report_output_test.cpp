// Report output: choices remembered in the settings file, the calculation
// only for results, copies, the order of the reports per destination and how
// a failed run ends.
#include "reports/report_output.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "orlendo/profile_file.h"
#include "reports/no_data.h"

namespace tvx::test {
namespace {

// An investor whose one buy the calculation turns into a Quorvex transaction.
orlendo::InvestorPtr investorWithABuy() {
  auto inv = makeInvestor("Ann Example", "Account 1", "12/31/1983", "12/31/1984");
  addBuySell(*inv, "Quorvex", "06/01/1984", "10", "500");
  return inv;
}

// A choice is remembered for the next dialog, even Sales alone; an empty
// one (nothing ticked, or Cancel) produces nothing and is not remembered.
TEST(GetReports, OnlyARealChoiceIsRemembered) {
  ReportHarness h;
  h.state.Investor = investorWithABuy();
  ReportChoices salesAlone, nothing;
  salesAlone.input = salesAlone.summary = salesAlone.detail = nothing.input = nothing.summary = nothing.detail = false;
  salesAlone.sales = true;
  for (const auto& answer : {std::optional(salesAlone), std::optional(nothing), std::optional<ReportChoices>()}) {
    h.choices.answer = answer;
    GetReports(h.ctx, kDestScreen);
    std::string stored;
    for (std::string_view k : {kKeyInputReport, kKeySummaryReport, kKeyDetailedReport, kKeySalesReport})
      stored += h.settings.values[std::string(kPrefsSection) + "/" + std::string(k)];
    EXPECT_EQ(stored, "0001");
  }
}

TEST(RunReports, TwoPrintedCopiesAreTwoJobsWithPagesFromOne) {
  ReportHarness h;
  h.state.Investor = investorWithABuy();
  h.printDialog.copies = 2;
  RunReports(h.ctx, kDestPrinter);
  ASSERT_EQ(h.printer.jobs.size(), 2u);
  EXPECT_EQ(h.printer.jobs[0], h.printer.jobs[1]);
  // Input, Summary, Detailed: one page each, numbered 1 to 3 in each copy.
  ASSERT_EQ(h.printer.jobs[0].size(), 3u);
  EXPECT_NE(h.printer.jobs[0][0].find("Inputs - Tallyvex"), std::string::npos);
  EXPECT_NE(h.printer.jobs[0][1].find("Summary - Quorvex"), std::string::npos);
  EXPECT_NE(h.printer.jobs[0][2].find("Detailed Basis Report"), std::string::npos);
  EXPECT_NE(h.printer.jobs[0][2].find("  Page  3\r\n"), std::string::npos);
  EXPECT_EQ(h.detailOption.asked, 1) << "the option dialog once per print run";
  EXPECT_EQ(h.printer.fontName(), "Printer Default") << "the printer font is given back";

  h.printDialog.copies = 1;  // the next run asks again
  RunReports(h.ctx, kDestPrinter);
  EXPECT_EQ(h.detailOption.asked, 2);
  h.printDialog.copies = 0;  // the print dialog cancelled: nothing printed
  RunReports(h.ctx, kDestPrinter);
  EXPECT_EQ(h.printer.jobs.size(), 3u);
  EXPECT_TRUE(h.printer.openPages().empty());
}
// A failed run says why, once. A buy whose cost does not read (inside the
// range) is named, and the desktop goes back to the main window, as it does
// after its notice of no data; a batch run ends with 2 and writes nothing,
// asking nobody: also over no data (without the notice) and when the output
// file cannot be written.
TEST(RunReports, AFailedRunSaysWhyAndEndsOnlyABatchRun) {
  const std::string badCost = "/data/a.qvx: security \"Quorvex\", entry 2: the Cost value \"ten dollars\" is not an "
                              "amount.\nNo report was made.";
  struct Case {
    bool silent, investor, badEntry;
    std::string said;  // in the one message
  };
  const Case cases[] = {
      {false, true, true, badCost},
      {false, false, false, std::string(kNoDataText)},
      {true, true, true, badCost},
      {true, false, false, "Error Number:   10005"},
      {true, true, false, "Location:           RunReports\nSource:             tvxdesk\nDescription:     Cannot "
                          "open the output file \"/nonexistent-folder/out.txt\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    ReportHarness h;
    h.state.Silent = c.silent;
    h.state.CurrentFile = "/data/a.qvx";
    h.state.OutputFile = "/nonexistent-folder/out.txt";
    h.state.RptSummary = h.state.RptDetail = 1;
    if (c.investor) h.state.Investor = investorWithABuy();
    if (c.badEntry) addBuySell(*h.state.Investor, "Quorvex", "07/01/1984", "5", "ten dollars");
    int ended = -1;
    try {
      RouteOutput(h.ctx, c.silent ? kDestFile : kDestScreen);
    } catch (const ProgramEnded& e) {
      ended = e.exitStatus;
    }
    EXPECT_EQ(ended, c.silent ? kExitError : -1);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_NE(h.messages.shown[0].text.find(c.said), std::string::npos) << h.messages.shown[0].text;
    EXPECT_EQ(h.messages.shown[0].text.find("Do you want to save"), std::string::npos);
    EXPECT_EQ(h.messages.shown[0].title == "Notice", !c.investor && !c.silent);
    EXPECT_TRUE(h.windows.made.empty());
    EXPECT_EQ(h.busy.depth, 0);
  }
}

// A long Detailed report reaches the file in pieces while it is made; when
// a file replaced with it then cannot take its name, the output file goes
// back to its old bytes; a run that succeeds leaves every report.
TEST(RunReports, AFileRunThatFailsAfterItsFirstPiecesLeavesTheOutputFileAsItWas) {
  TempFolder folder;
  ReportHarness h;
  h.state.Silent = true;
  h.state.RptInput = h.state.RptSummary = h.state.RptDetail = 1;
  auto inv = makeInvestor("Ann Example", "Account 1", "12/31/1983", "12/31/1999");
  for (int i = 1; i <= 600; ++i) addBuySell(*inv, "Quorvex", "06/01/1984", std::to_string(i), "500");
  h.state.Investor = inv;
  h.state.OutputFile = folder.file("out.txt");
  folder.write("out.txt", "kept\r\n");
  std::size_t sizeBeforeTheEnd = 0;
  h.ctx.stageFiles = [&](std::vector<orlendo::StagedFile>& files) {
    sizeBeforeTheEnd = readBytes(h.state.OutputFile).size();
    files.emplace_back(folder.file("x.csv"), "new");
    std::filesystem::create_directory(folder.file("x.csv"));  // the rename will fail
  };
  EXPECT_THROW(RouteOutput(h.ctx, kDestFile), ProgramEnded);
  EXPECT_GT(sizeBeforeTheEnd, 100'000u) << "the reports were on their way to the file";
  EXPECT_EQ(readBytes(h.state.OutputFile), "kept\r\n");

  h.ctx.stageFiles = nullptr;
  h.state.Investor = inv;  // the failed run ended by releasing it
  RouteOutput(h.ctx, kDestFile);
  const std::string out = readBytes(h.state.OutputFile);
  EXPECT_EQ(out.size(), sizeBeforeTheEnd);
  EXPECT_EQ(out.rfind("kept\r\n", 0), 0u);
  const auto detailed = out.find("  Description        Date");
  const auto summary = out.find("  Security                        Shares");
  EXPECT_TRUE(detailed < summary && summary != std::string::npos) << "in the file's order";
}

}  // namespace
}  // namespace tvx::test
