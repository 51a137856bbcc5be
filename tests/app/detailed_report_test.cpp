// The Detailed report's text, written out from the column positions:
// description 3-18, date 19-28, changes ending at 44 and 59, the position
// after the transaction ending at 44, 59 and 75.
#include "reports/detailed_report.h"

#include <gtest/gtest.h>

#include "report_file_fixture.h"

namespace tvx::test {
namespace {

const std::string kDetailedTitle = "Quorvex and Related Securities Detailed Basis Report on 12/31/2016";
const std::string kDetailedHeading =
    "  Description" + sp(8) + "Date" + sp(13) + "Shares" + sp(10) + "Basis" + sp(2) + "Cost Per Share";
const std::string kDetailedRule = "  " + std::string(14, '-') + sp(2) + std::string(10, '-') + sp(3) + std::string(13, '-') +
                          sp(2) + std::string(13, '-') + sp(2) + std::string(14, '-');
const std::string kChangeRule = "  " + sp(26) + sp(3) + std::string(13, '-') + sp(2) + std::string(13, '-');

std::vector<std::string> block(const std::string& name) { return {"", "  " + name, kDetailedHeading, kDetailedRule}; }

// The split of 01/03/2017 lies after the stop date and is not listed.
std::vector<std::string> lumoraBlock() {
  return block("Lumora") + std::vector<std::string>{
      "  Buy" + sp(13) + "02/14/1992" + sp(8) + "80.00000" + sp(7) + "3,960.00",
      kChangeRule,
      "  " + sp(26) + sp(8) + "80.00000" + sp(7) + "3,960.00" + sp(8) + "49.50000"};
}

using DetailedReportTest = ReportFileTest;

TEST_F(DetailedReportTest, LongDescriptionsAreCutAndLargeFiguresPrintWhole) {
  h.state.Investor = longInvestor();
  RunDetailReport(h.ctx, kDestFile);
  const auto expected = crlf(
      block("Quorvex Extraordinarily Long Holdings") +
      std::vector<std::string>{
          // description cut to 16; a figure longer than its field whole after one blank
          "  Cash or stock el12/31/1983 -12,345,678.12345 -1,234,567,890.12",
          kChangeRule,
          "  " + sp(26) + "12,345,678.12345" + " 1,234,567,890.12" + " 123456789012.12340"} +
      block("Société Générale Électrique") +
      std::vector<std::string>{
          "  Buy" + sp(13) + "04/10/1990" + sp(1) + "1,234,567.50000" + sp(1) + "123,456,789.01",
          kChangeRule,
          "  " + sp(26) + sp(1) + "1,234,567.50000" + sp(1) + "123,456,789.01" + sp(8) + "99.99990",
          ""});
  EXPECT_EQ(readBytes(h.state.OutputFile), expected);
}

// 30 lines per page: full at 24 counted lines. The headings count 13, a
// security's heading 4 and a transaction 3; the pages hold the screen's lines.
TEST_F(DetailedReportTest, PrintedPagesBreakWhenAChunkWouldPassTheBottomMargin) {
  h.state.Investor = typicalInvestor();
  RunDetailReport(h.ctx, kDestScreen);
  std::vector<std::string> lines;  // after the screen's three title lines
  const std::string& body = h.windows.made.at(0)->body;
  for (std::size_t at = 0, end; (end = body.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(body.substr(at, end - at));
  lines.erase(lines.begin(), lines.begin() + 3);
  ASSERT_EQ(lines.size(), 37u);
  const auto page = [&](int n, int from, int to, int blanks) {
    return crlf(pageHeadings("Margaret A. Smith", "Joint account", kDetailedTitle) +
                std::vector<std::string>(lines.begin() + from, lines.begin() + to) + blankLines(blanks) +
                std::vector<std::string>{"  Page  " + std::to_string(n)});
  };
  RunDetailReport(h.ctx, kDestPrinter);
  EXPECT_EQ(h.printer.openPages(), (std::vector<std::string>{
                                       page(1, 0, 10, 1),    // Quorvex's heading (17), two transactions (23);
                                                             // the third would reach 26
                                       page(2, 10, 20, 1),   // the third (16), Ferrant's heading (20), one (23)
                                       page(3, 20, 30, 1),   // Ferrant's second (16), Solvane (20, 23); Lumora's
                                                             // heading would reach 27
                                       page(4, 30, 37, 4)}));  // Lumora (17, 20), filled with 4 empty lines
}

TEST_F(DetailedReportTest, ATransactionOnTheStopDateIsListedOneADayLaterIsNot) {
  h.state.Investor = makeInvestor("Ann Example", "Account 1", "12/31/1983", "02/14/1992");
  addXaction(*h.state.Investor, "Lumora", {"02/14/1992", "Buy", "80", "3960", "80", "3960", "49.5"});
  addXaction(*h.state.Investor, "Lumora", {"02/15/1992", "Split", "80", "0", "160", "3960", "24.75"});
  RunDetailReport(h.ctx, kDestScreen);
  // The stop date stands in the title as the investor holds it.
  EXPECT_EQ(h.windows.made.at(0)->body,
            crlf(std::vector<std::string>{"  Ann Example", "  Account 1",
                                          "  Quorvex and Related Securities Detailed Basis Report on 02/14/1992"} +
                 lumoraBlock()));
}

// A change of shares too large to print directly is printed from its own text, not the holding's.
TEST_F(DetailedReportTest, AHugeChangeOfSharesPrintsTheChange) {
  h.state.Investor = makeInvestor("Ann Example", "Account 1");
  addXaction(*h.state.Investor, "Lumora",
             {"02/14/1992", "Buy", "20000000000", "1", "20000000080", "3960", "0"});
  RunDetailReport(h.ctx, kDestFile);
  const std::string text = readBytes(h.state.OutputFile);
  EXPECT_NE(text.find(" 20,000,000,000.00000"), std::string::npos) << text;
  EXPECT_NE(text.find(" 20,000,000,080.00000"), std::string::npos) << text;
}

}  // namespace
}  // namespace tvx::test
