// The Input report: kind 3-15, date 16-25, shares ending at 45, cost ending
// at 63; and the row limits of a printed security (35 on its first page, then 42).
#include "reports/input_report.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

const std::string kDash = "\u2014";
const std::string kInputHeading =
    "  Description" + sp(4) + "Date" + sp(18) + "Shares" + sp(14) + "Cost" + sp(5);
const std::string kInputRule = "  " + std::string(11, '-') + sp(2) + std::string(10, '-') + sp(4) + std::string(16, '-') +
                          sp(3) + std::string(15, '-');

std::string rule60() {
  std::string r;
  for (int i = 0; i < 60; ++i) r += kDash;
  return r;
}

std::vector<std::string> inputBlock(const std::string& file, const std::string& line2, const std::string& start,
                                    const std::string& stop, const std::string& election) {
  return {"", "  " + rule60(), "  Filename: " + file, "  Report Line 2: " + line2, "  Start Date: " + start,
          "  Stop Date: " + stop, "  Lumora Option: " + election, ""};
}

std::vector<std::string> securityBlock(const std::string& name) { return {"", "  Security: " + name, kInputHeading, kInputRule}; }

// Long names and values, and a buy entered with a cost of 0, which shows as
// a sale: the kind follows the cost alone; a sale's shares without their
// minus sign, its cost $0.00.
TEST(InputReport, OnScreen) {
  ReportHarness h;
  h.state.CurrentFile = "/data/smith.qvx";
  h.state.Investor = longInvestor();
  addBuySell(*h.state.Investor, "Lumora", "02/14/1992", "80", "0");
  RunIPReport(h.ctx, kDestScreen);
  EXPECT_EQ(h.windows.made.at(0)->body,
            crlf(std::vector<std::string>{"  Zoë Bartholomew Featherstonehaugh-Ødegaard", "  Trust account — Ålesund",
                                          "  Inputs - Tallyvex", ""} +
                 inputBlock("/data/smith.qvx", "Trust account — Ålesund", "12/31/1983", "12/31/2016", "Cash") +
                 securityBlock("Quorvex Extraordinarily Long Holdings") +
                 // the sale's whole shares text read, its cost longer than its field whole after one blank
                 std::vector<std::string>{"  Buy" + sp(10) + "12/31/1983" + sp(4) + "12,345,678.12345" + sp(1) +
                                          "$1,234,567,890.12"} +
                 securityBlock("Lumora") +
                 std::vector<std::string>{"  Sell" + sp(9) + "02/14/1992" + sp(4) + sp(8) + "80.00000" + sp(13) +
                                          "$0.00"}));
}

// Rows of each printed page that belong to a security's entries.
std::vector<int> rowsPerPage(const std::vector<std::string>& pages) {
  std::vector<int> rows;
  for (const auto& page : pages) {
    rows.push_back(0);
    for (auto at = page.find("\r\n  Buy "); at != std::string::npos; at = page.find("\r\n  Buy ", at + 1)) ++rows.back();
  }
  return rows;
}

TEST(InputReportPrinted, RowLimitsOfASecurity) {
  struct Case {
    int rows;
    std::vector<int> expected;
  };
  for (const Case& c : {Case{35, {35}}, Case{36, {35, 1}}, Case{78, {35, 42, 1}}, Case{77, {35, 42}}}) {
    ReportHarness h{200};  // pages long enough that only the row limits break them
    h.state.Investor = makeInvestor("Ann Example", "Account 1");
    for (int i = 0; i < c.rows; ++i) addBuySell(*h.state.Investor, "Quorvex", "01/02/1990", "1", "10");
    RunIPReport(h.ctx, kDestPrinter);
    EXPECT_EQ(rowsPerPage(h.printer.openPages()), c.expected) << c.rows << " rows";
    // Every page after a forced break starts with the headings and the security's heading block again.
    for (std::size_t p = 1; p < h.printer.openPages().size(); ++p) {
      EXPECT_EQ(h.printer.openPages()[p].find(crlf(pageHeadings("Ann Example", "Account 1", "Inputs - Tallyvex") +
                                                   securityBlock("Quorvex"))),
                0u);
    }
  }
}

}  // namespace
}  // namespace tvx::test
