// The Detailed report's texts, written out from the column positions:
// description 3-18, date 19-28, changes ending at 44 and 59, the position
// after the transaction ending at 44, 59 and 75.
#include "reports/detailed_report.h"

#include <gtest/gtest.h>

#include "report_file_fixture.h"

namespace tvx::test {
namespace {

const std::string kTitle = "Quorvex and Related Securities Detailed Basis Report on 12/31/2016";
const std::string kHeading =
    "  Description" + sp(8) + "Date" + sp(13) + "Shares" + sp(10) + "Basis" + sp(2) + "Cost Per Share";
const std::string kRule = "  " + std::string(14, '-') + sp(2) + std::string(10, '-') + sp(3) + std::string(13, '-') +
                          sp(2) + std::string(13, '-') + sp(2) + std::string(14, '-');
const std::string kChangeRule = "  " + sp(26) + sp(3) + std::string(13, '-') + sp(2) + std::string(13, '-');

std::vector<std::string> block(const std::string& name) { return {"", "  " + name, kHeading, kRule}; }

std::vector<std::string> quorvexBlock() {
  return block("Quorvex") + std::vector<std::string>{
      "  Buy" + sp(13) + "12/31/1983" + sp(7) + "300.00000" + sp(6) + "18,750.00",
      kChangeRule,
      "  " + sp(26) + sp(7) + "300.00000" + sp(6) + "18,750.00" + sp(8) + "62.50000",
      "  Spin off" + sp(8) + "12/31/1983" + sp(9) + "0.00000" + sp(5) + "-13,406.25",
      kChangeRule,
      "  " + sp(26) + sp(7) + "300.00000" + sp(7) + "5,343.75" + sp(8) + "17.81250",
      "  Sell" + sp(12) + "03/02/1994" + sp(6) + "-150.00000" + sp(6) + "-2,671.88",
      kChangeRule,
      "  " + sp(26) + sp(7) + "150.00000" + sp(7) + "2,671.87" + sp(8) + "17.81250"};
}
std::vector<std::string> ferrantBlock() {
  return block("Ferrant Technologies") + std::vector<std::string>{
      "  Buy" + sp(13) + "11/04/1985" + sp(8) + "50.00000" + sp(7) + "2,437.50",
      kChangeRule,
      "  " + sp(26) + sp(8) + "50.00000" + sp(7) + "2,437.50" + sp(8) + "48.75000",
      "  Acquisition" + sp(5) + "12/01/2006" + sp(7) + "-50.00000" + sp(6) + "-2,437.50",
      kChangeRule,
      "  " + sp(26) + sp(9) + "0.00000" + sp(11) + "0.00" + sp(9) + "0.00000"};
}
std::vector<std::string> solvaneBlock() {
  return block("Solvane") + std::vector<std::string>{
      "  Buy" + sp(13) + "04/10/1990" + sp(9) + "1.00000" + sp(11) + "0.01",
      kChangeRule,
      "  " + sp(26) + sp(9) + "1.00000" + sp(11) + "0.01" + sp(9) + "0.01000"};
}
// The split of 01/03/2017 lies after the stop date and is not listed.
std::vector<std::string> lumoraBlock() {
  return block("Lumora") + std::vector<std::string>{
      "  Buy" + sp(13) + "02/14/1992" + sp(8) + "80.00000" + sp(7) + "3,960.00",
      kChangeRule,
      "  " + sp(26) + sp(8) + "80.00000" + sp(7) + "3,960.00" + sp(8) + "49.50000"};
}

class DetailedReportTest : public ReportFileTest {};

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
  EXPECT_EQ(readFile(h.state.OutputFile), expected);
}

TEST_F(DetailedReportTest, PrintedPagesBreakWhenAChunkWouldPassTheBottomMargin) {
  // 30 lines per page: full at 24 counted lines. Headings count 13.
  h.state.Investor = typicalInvestor();
  RunDetailReport(h.ctx, kDestPrinter);
  const auto head = pageHeadings("Margaret A. Smith", "Joint account", kTitle);
  const auto q = quorvexBlock();
  const auto f = ferrantBlock();
  // Page 1: Quorvex heading (17), two transactions (23); the third would reach 26.
  const auto page1 = head + std::vector<std::string>(q.begin(), q.begin() + 10) + blankLines(1) +
                     std::vector<std::string>{"  Page  1"};
  // Page 2: the third transaction (16), Ferrant heading (20), one transaction (23).
  const auto page2 = head + std::vector<std::string>(q.begin() + 10, q.end()) +
                     std::vector<std::string>(f.begin(), f.begin() + 7) + blankLines(1) +
                     std::vector<std::string>{"  Page  2"};
  // Page 3: Ferrant's second transaction (16), Solvane (20, 23); Lumora's heading would reach 27.
  const auto page3 = head + std::vector<std::string>(f.begin() + 7, f.end()) + solvaneBlock() + blankLines(1) +
                     std::vector<std::string>{"  Page  3"};
  // Page 4: Lumora (17, 20), filled with 4 empty lines.
  const auto page4 = head + lumoraBlock() + blankLines(4) + std::vector<std::string>{"  Page  4"};
  ASSERT_EQ(h.printer.openPages().size(), 4u);
  EXPECT_EQ(h.printer.openPages()[0], crlf(page1));
  EXPECT_EQ(h.printer.openPages()[1], crlf(page2));
  EXPECT_EQ(h.printer.openPages()[2], crlf(page3));
  EXPECT_EQ(h.printer.openPages()[3], crlf(page4));
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
  const std::string text = readFile(h.state.OutputFile);
  EXPECT_NE(text.find(" 20,000,000,000.00000"), std::string::npos) << text;
  EXPECT_NE(text.find(" 20,000,000,080.00000"), std::string::npos) << text;
}

}  // namespace
}  // namespace tvx::test
