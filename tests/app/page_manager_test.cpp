// The page manager: headings, page numbers and the page commands.
#include "reports/page_manager.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

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

}  // namespace
}  // namespace tvx::test
