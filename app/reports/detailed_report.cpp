#include "reports/detailed_report.h"

#include <cmath>
#include <algorithm>

#include "core/printer.h"
#include "core/report_columns.h"
#include "core/report_text.h"
#include "core/report_window.h"
#include "orlendo/dates.h"
#include "orlendo/model.h"
#include "orlendo/numbers.h"
#include "reports/listed_transactions.h"
#include "reports/no_data.h"
#include "reports/page_manager.h"
#include "reports/report_context.h"
#include "reports/report_run.h"

namespace tvx {

namespace {

constexpr std::string_view kHeadingLine =
    "  Description        Date             Shares          Basis  Cost Per Share\r\n";
constexpr std::string_view kRuleLine =
    "  --------------  ----------   -------------  -------------  --------------\r\n";
// Under the two changes: 13 hyphens ending at positions 44 and 59.
constexpr std::string_view kChangeRule = "   -------------  -------------\r\n";
// Two blanks and the 26 under the description and the date.
constexpr std::string_view kRowIndent = "                            ";
// Below this many shares a shares text read back and printed again is the
// same text, so the numbers can be printed directly.
constexpr double kPlainShares = 1e10;

// A number's text (ASCII: a character is a byte, at most kFormatMax of
// them) at `at` as appendRightFit puts it: right-aligned in a field of n, or
// after one blank when longer. Returns the end.
char* putNumberRight(char* at, std::size_t n, std::string_view text) {
  at = std::fill_n(at, RightFitBlanks(n, text.size()), ' ');
  return std::copy(text.begin(), text.end(), at);
}

// The three lines of one transaction: the change, a rule, the new holding.
void appendRows(std::string& out, const orlendo::Xaction& x, orlendo::Date day) {
  char num[orlendo::kFormatMax];
  const auto formatted = [&](auto value, orlendo::NumberPattern pattern) {
    return std::string_view(num, static_cast<std::size_t>(orlendo::formatTo(num, value, pattern) - num));
  };
  out += "  ";
  appendLeftFit(out, 16, x.Description());

  // Room for both lines with five numbers of the longest kind (a field is at
  // most its width or one blank and the number).
  char line[orlendo::kDateTextMax + 2 * kRowIndent.size() + kChangeRule.size() + 5 * (orlendo::kFormatMax + 16) +
            2 * kCrLf.size()];
  char* at = orlendo::formatDateTo(line, day);
  // The shares text read back and printed in the column's pattern, whole:
  // the same number printed directly while it is small.
  static_assert(kDetailShares.pattern.decimals == orlendo::kSharesPattern.decimals &&
                kDetailShares.pattern.groups == orlendo::kSharesPattern.groups &&
                kDetailShares.pattern.dollar == orlendo::kSharesPattern.dollar);
  const double changeShares = x.ChgShrsValue();
  if (std::abs(changeShares) < kPlainShares) at = putNumberRight(at, kDetailShares.width, formatted(changeShares, kDetailShares.pattern));
  else at = putNumberRight(at, kDetailShares.width, orlendo::formatText(x.ChgShrs(), kDetailShares.pattern));
  at = putNumberRight(at, kDetailBasis.width, formatted(x.ChgCostAmount(), orlendo::kAmountPattern));  // as ChgCost()
  at = std::copy(kCrLf.begin(), kCrLf.end(), at);

  at = std::copy(kRowIndent.begin(), kRowIndent.end(), at);
  at = std::copy(kChangeRule.begin(), kChangeRule.end(), at);
  at = std::copy(kRowIndent.begin(), kRowIndent.end(), at);
  const double newShares = x.NewShrsValue();
  if (std::abs(newShares) < kPlainShares) at = putNumberRight(at, kDetailShares.width, formatted(newShares, orlendo::kSharesPattern));  // as NewShrs()
  else at = putNumberRight(at, kDetailShares.width, x.NewShrs());
  at = putNumberRight(at, kDetailBasis.width, formatted(x.NewCostAmount(), orlendo::kAmountPattern));  // as NewCost()
  at = putNumberRight(at, kDetailPerShare.width, formatted(x.NewCostPerShrAmount(), orlendo::kPerSharePattern));  // as NewCostPerShr()
  at = std::copy(kCrLf.begin(), kCrLf.end(), at);
  out.append(line, at);
}

}  // namespace

std::string DetailedTitle(const std::string& stopDateText) {
  return "Quorvex and Related Securities Detailed Basis " + std::string("Report on ") + stopDateText;
}

void RunDetailReport(ReportContext& ctx, Destination destination) {
  RunReportGuarded(ctx, "DetailedReport.RunDetailReport", NoDataRun::notice, [&] {
    AppState& state = ctx.state;

    // 1. The option dialog, once per print run, preset with the last answer.
    if (destination == kDestPrinter && ctx.detailOption && !ctx.detailOptionAsked) {
      ctx.program.NewPagePerSecurity = ctx.detailOption->ask(ctx.program.NewPagePerSecurity);
      ctx.detailOptionAsked = true;
    }

    // 2. The destination.
    ReportDestination output(ctx, destination, "Detailed Analysis Report - " + state.CurrentFile, ReportFont::unlessSilent);
    ReportWindow* const window = output.window();

    // 3. The header texts.
    const orlendo::Investor& investor = ReportInvestor(ctx);
    const std::string nameLine = investor.sName();
    const std::string line2 = investor.Line2();
    const std::string stopText = investor.StopCalc();
    const std::string title = DetailedTitle(stopText);

    // 4. The header block on the screen.
    if (window) {
      window->setText(ScreenHeading(nameLine, line2, title));
    }
    std::string running = output.pieceBuffer();

    // 5. The stop date.
    const orlendo::Date stop = orlendo::readDate(stopText);

    // 6. One block per security with transactions. A file report is written
    // row by row into one buffer that goes on to the file piece by piece.
    const bool fileRun = toFile(destination);
    ForEachListedTransaction(
        investor, stop,
        [&](const orlendo::Security& security, long securityCounter) {
          if (ctx.program.NewPagePerSecurity && destination == kDestPrinter && securityCounter > 1)
            PrnManager2(ctx, kPmNewPage, nameLine, line2, title);

          running += kCrLf;
          running += "  ";
          running += security.SecName();
          running += kCrLf;
          running += kHeadingLine;
          running += kRuleLine;
          if (!fileRun) running = PrintOrDisplay(ctx, window, destination, std::move(running), 4, nameLine, line2, title);
          // No page-break test after a security's rows: the page manager
          // breaks full pages, and the option above starts each security on
          // its own page.
        },
        [&](const orlendo::Xaction& x, orlendo::Date day) {
          appendRows(running, x, day);
          if (fileRun) output.spill(running);
          else running = PrintOrDisplay(ctx, window, destination, std::move(running), 3, nameLine, line2, title);
        });

    // 7. Finish the destination.
    output.finish(std::move(running), nameLine, line2, title);
  });
}

}  // namespace tvx
