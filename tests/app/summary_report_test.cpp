// The Summary report's text, written out from the column positions: name
// 3-25, shares ending at 40, basis at 55, basis per share at 72.
#include "reports/summary_report.h"

#include <gtest/gtest.h>

#include "report_file_fixture.h"

namespace tvx::test {
namespace {

const std::string kSummaryTitle = "Summary - Quorvex and Related Securities Summary Basis on 12/31/2016";
const std::string kSummaryHeading = "  Security" + sp(24) + "Shares" + sp(10) + "Basis" + sp(3) + "Cost Per Share";
const std::string kSummaryRule = "  --------" + sp(24) + "------" + sp(10) + "-----" + sp(3) + "--------------";

// Security lines of the typical investor: Ferrant (basis 0.00) is left out, Solvane (0.01) listed.
const std::vector<std::string> kTypicalRows = {
    "  Quorvex" + sp(16) + sp(6) + "150.00000" + sp(6) + "$2,671.87" + sp(8) + "$17.81250",
    "  Solvane" + sp(16) + sp(8) + "1.00000" + sp(10) + "$0.01" + sp(9) + "$0.01000",
    "  Lumora" + sp(17) + sp(6) + "160.00000" + sp(6) + "$3,960.00" + sp(8) + "$24.75000",
};

using SummaryReportTest = ReportFileTest;

TEST_F(SummaryReportTest, LongNamesAreCutByCharactersAndLargeFiguresPrintWhole) {
  h.state.Investor = longInvestor();
  RunSummReport(h.ctx, kDestScreen);
  EXPECT_EQ(h.windows.made.at(0)->body,
            crlf({"  Zoë Bartholomew Featherstonehaugh-Ødegaard", "  Trust account — Ålesund", "  " + kSummaryTitle, "",
                  kSummaryHeading, kSummaryRule,
                  // 23-character name cut; every figure longer than its field whole after one blank
                  "  Quorvex Extraordinarily" " 12,345,678.12345" " $1,234,567,890.12" " $123456789012.12340",
                  // non-ASCII name cut at 23 characters; the amounts fill their fields exactly
                  "  Société Générale Électr" "1,234,567.50000" "$123,456,789.01" + sp(8) + "$99.99990"}));
}

TEST_F(SummaryReportTest, PrintedPagesHaveHeadingsBlankFillAndPageNumbers) {
  // 30 lines per page: a page is full at 24 counted lines.
  h.state.Investor = typicalInvestor();
  RunSummReport(h.ctx, kDestPrinter);
  // Counted: headings 13 + 7 + three security chunks = 23; the last chunk
  // (1) would reach 24, so page 1 is filled with one empty line and page 2
  // starts with the headings (14), then filled with 10 empty lines.
  const auto page1 = crlf(pageHeadings("Margaret A. Smith", "Joint account", kSummaryTitle) +
                          std::vector<std::string>{kSummaryHeading, kSummaryRule} + kTypicalRows + blankLines(1) +
                          std::vector<std::string>{"  Page  1"});
  const auto page2 = crlf(pageHeadings("Margaret A. Smith", "Joint account", kSummaryTitle) + blankLines(10) +
                          std::vector<std::string>{"  Page  2"});
  ASSERT_EQ(h.printer.openPages().size(), 2u);
  EXPECT_EQ(h.printer.openPages()[0], page1);
  EXPECT_EQ(h.printer.openPages()[1], page2);
  EXPECT_EQ(h.program.pages.LineCounter, 0);
  // The report font was set for the run and the printer's font given back.
  EXPECT_EQ(h.printer.fontName(), "Printer Default");
  EXPECT_TRUE(h.printer.fontBold());
}

}  // namespace
}  // namespace tvx::test
