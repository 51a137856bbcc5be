// The page manager, the delivery of chunks and the report font.
#include "reports/page_manager.h"

#include <gtest/gtest.h>

#include "core/report_text.h"
#include "reports/printer_fonts.h"
#include "report_test_support.h"

namespace tvx::test {
namespace {

const std::vector<std::string> kHead = pageHeadings("Name", "Line 2", "Title");

// A line count or a command.
template <class CountOrCommand>
std::int16_t send(ReportHarness& h, CountOrCommand count, const std::string& text = "") {
  const std::int16_t r = PrnManager2(h.ctx, count, "Name", "Line 2", "Title");
  h.printer.print(text);
  return r;
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

TEST(PrintOrDisplay, ThreeDestinations) {
  ReportHarness h{66};
  FakeWindow box;
  box.body = "head\r\n";
  EXPECT_EQ(PrintOrDisplay(h.ctx, &box, kDestScreen, "a\r\n", 1, "N", "L", "T"), "");
  EXPECT_EQ(box.body, "head\r\na\r\n");
  EXPECT_EQ(PrintOrDisplay(h.ctx, nullptr, kDestFile, "b\r\n", 1, "N", "L", "T"), "b\r\n");
  EXPECT_TRUE(h.printer.openPages().empty());
  EXPECT_EQ(PrintOrDisplay(h.ctx, nullptr, kDestPrinter, "c", 3, "N", "L", "T"), "");
  EXPECT_EQ(h.program.pages.LineCounter, 16) << "the declared count moves the counter, not the real lines";
  EXPECT_EQ(h.printer.openPages().at(0), crlf(pageHeadings("N", "L", "T")) + "c");
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

}  // namespace
}  // namespace tvx::test
