#include "reports/detailed_report.h"

#include "core/printer.h"
#include "core/report_columns.h"
#include "core/report_text.h"
#include "core/report_window.h"
#include "orlendo/dates.h"
#include "orlendo/model.h"
#include "orlendo/numbers.h"
#include "reports/listed_transactions.h"
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
const std::string kIndent(26, ' ');

}  // namespace

std::string DetailedTitle(const std::string& stopDateText) {
  return "Quorvex and Related Securities Detailed Basis " + std::string("Report on ") + stopDateText;
}

void RunDetailReport(ReportContext& ctx, std::int16_t destination) {
  RunReportGuarded(ctx, "DetailedReport.RunDetailReport", NoDataRun::notice, [&] {
    AppState& state = ctx.state;

    // 1. The option dialog, once per printed copy, preset with the last answer.
    if (destination == kDestPrinter && ctx.detailOption)
      ctx.program.NewPagePerSecurity = ctx.detailOption->ask(ctx.program.NewPagePerSecurity);

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
    std::string running;

    // 5. The stop date.
    const orlendo::Date stop = orlendo::readDate(stopText);

    // 6. One block per security with transactions.
    ForEachListedTransaction(
        investor, stop,
        [&](const orlendo::Security& security, long securityCounter) {
          if (ctx.program.NewPagePerSecurity && destination == kDestPrinter && securityCounter > 1)
            PrnManager2(ctx, kPmNewPage, nameLine, line2, title);

          running += kCrLf;
          running += "  " + security.SecName() + std::string(kCrLf);
          running += kHeadingLine;
          running += kRuleLine;
          running = PrintOrDisplay(ctx, window, destination, std::move(running), 4, nameLine, line2, title);
          // No page-break test after a security's rows: the page manager
          // breaks full pages, and the option above starts each security on
          // its own page.
        },
        [&](const orlendo::Xaction& x, const std::string& date, orlendo::Date) {
          const std::string changeShares =
              orlendo::formatText(leftChars(x.ChgShrs(), kDetailShares.width), kDetailShares.pattern);
          running += "  " + LeftFit(16, x.Description()) + date + RightFit(kDetailShares.width, changeShares) +
                     RightFit(kDetailBasis.width, x.ChgCost()) + std::string(kCrLf);
          running += "  " + kIndent + std::string(kChangeRule);
          running += "  " + kIndent + RightFit(kDetailShares.width, x.NewShrs()) +
                     RightFit(kDetailBasis.width, x.NewCost()) + RightFit(kDetailPerShare.width, x.NewCostPerShr()) +
                     std::string(kCrLf);
          running = PrintOrDisplay(ctx, window, destination, std::move(running), 3, nameLine, line2, title);
        });

    // 7. Finish the destination.
    output.finish(std::move(running), nameLine, line2, title);
  });
}

}  // namespace tvx
