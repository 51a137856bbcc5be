// The reports' texts, written out from the column positions, and their pages.
// Summary: name 3-25, shares ending at 40, basis at 55, basis per share at 72.
// Detailed: description 3-18, date 19-28, changes ending at 44 and 59, the
// position after the transaction ending at 44, 59 and 75.
// Input: kind 3-15, date 16-25, shares ending at 45, cost ending at 63; and
// the row limits of a printed security (35 on its first page, then 42).
// The page manager, the delivery of chunks and the report font.
#include "reports/detailed_report.h"
#include "reports/input_report.h"
#include "reports/page_manager.h"
#include "reports/summary_report.h"

#include <gtest/gtest.h>

#include "core/report_text.h"
#include "app_test_support.h"
#include "reports/printer_fonts.h"

namespace tvx::test {
namespace {

// Printed pages of 30 lines; file reports to out.txt in a fresh folder.
struct ReportFileTest : ::testing::Test {
  TempFolder folder;
  ReportHarness h{30, folder.file("out.txt")};
};

const std::vector<std::string> kHead = pageHeadings("Name", "Line 2", "Title");

// A line count or a command.
template <class CountOrCommand>
void send(ReportHarness& h, CountOrCommand count) {
  PrnManager2(h.ctx, count, "Name", "Line 2", "Title");
}

// The commands with no page started: the end of the document ends the job
// without a page number; the end of a page still fills a whole page and
// numbers it, and a new page then puts the headings on the next.
TEST(PageManager, CommandsAtCounterZero) {
  const std::string blankPage = crlf(blankLines(24) + std::vector<std::string>{"  Page  1"});
  const std::tuple<PageCommand, std::vector<std::string>, int> cases[] = {
      {kPmEndDoc, {}, 0}, {kPmEndPage, {blankPage}, 0}, {kPmNewPage, {blankPage, crlf(kHead)}, 13}};
  for (const auto& [command, pages, counter] : cases) {
    SCOPED_TRACE(static_cast<int>(command));
    ReportHarness h{30};
    send(h, command);
    EXPECT_EQ(command == kPmEndDoc ? h.printer.jobs.at(0) : h.printer.openPages(), pages);
    EXPECT_EQ(h.program.pages.LineCounter, counter);
  }
}

TEST(PageManager, EndOfDocumentFinishesAnOpenPageAndResetForgetsIt) {
  ReportHarness h{30};
  send(h, 5);
  send(h, kPmEndDoc);
  EXPECT_EQ(h.program.pages.LineCounter, 0);
  ASSERT_EQ(h.printer.jobs.size(), 1u);
  EXPECT_EQ(h.printer.jobs[0], std::vector<std::string>{crlf(kHead + blankLines(6) + std::vector<std::string>{"  Page  1"})});
  // A new job numbers its pages from 1 again.
  send(h, 5);
  send(h, kPmReset);
  EXPECT_EQ(h.program.pages.LineCounter, 0);
  send(h, 1);  // the reset counter starts a fresh page with headings
  EXPECT_EQ(h.printer.openPages().at(0), crlf(kHead + kHead));
}

// The printer font given back after a run is checked with the Summary's printed pages.
TEST(ReportFont, AMissingFontIsExplainedOnceAndTheChosenFontTakenNotBold) {
  ReportHarness h;
  std::vector<std::pair<std::string, bool>> explained;
  int dialogs = 0;
  h.ctx.showErrorInfo = [&](std::string_view message, bool hide) {
    explained.emplace_back(std::string(message), hide);
    return true;  // "don't show this message again"
  };
  h.ctx.getFonts = [&] {
    ++dialogs;
    h.state.FontName = "Courier New";
    h.state.FontSize = 11;
  };
  FontRecord record;
  SetNewFont(h.ctx, "Missing Mono", 10.5f, true, record);
  ASSERT_EQ(explained.size(), 1u);
  EXPECT_EQ(explained[0].first,
            "This program requires the Missing Mono (10.5 point) font, which is not available on this system. "
            "Please install this font. The program will use the default font for this system. Report formatting "
            "may be affected. As an alternative, the program will let you select a font.");
  EXPECT_FALSE(explained[0].second);
  EXPECT_TRUE(h.state.HideError380);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(h.printer.fontName(), "Courier New");
  EXPECT_EQ(h.printer.fontSize(), 11.0f);
  EXPECT_FALSE(h.printer.fontBold());
  SetNewFont(h.ctx, "Missing Mono", 10.5f, true, record);  // the run's next report: asked once per run
  EXPECT_EQ(explained.size(), 1u);
  EXPECT_EQ(dialogs, 1);
}

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

// The figure field every report uses: a figure is never cut.
TEST(FigureField, AFigureLongerThanItsFieldPrintsWholeAfterOneBlank) {
  struct Case {
    std::size_t width;
    std::string value, expected, why;
  };
  const Case cases[] = {
      {6, "1.00", "  1.00", "shorter: blanks before it"},
      {4, "1.00", "1.00", "fits exactly: no blank"},
      {3, "1.00", " 1.00", "over by one: whole, after one blank"},
      {4, "-1,234,567.00", " -1,234,567.00", "over by many"},
      {3, "é.5", "é.5", "counted in characters, not bytes"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RightFit(c.width, c.value), c.expected) << c.why;
    std::string line = "x";
    appendRightFit(line, c.width, c.value);
    EXPECT_EQ(line, "x" + c.expected) << c.why;
  }
}

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
  EXPECT_EQ(readFile(h.state.OutputFile), expected);
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
  const std::string text = readFile(h.state.OutputFile);
  EXPECT_NE(text.find(" 20,000,000,000.00000"), std::string::npos) << text;
  EXPECT_NE(text.find(" 20,000,000,080.00000"), std::string::npos) << text;
}

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
