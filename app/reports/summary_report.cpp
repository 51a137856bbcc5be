#include "reports/summary_report.h"

#include "core/printer.h"
#include "core/report_columns.h"
#include "core/report_text.h"
#include "core/report_window.h"
#include "orlendo/model.h"
#include "orlendo/numbers.h"
#include "reports/no_data.h"
#include "reports/page_manager.h"
#include "reports/report_context.h"
#include "reports/report_run.h"

namespace tvx {

namespace {

constexpr std::string_view kHeadingLine =
    "  Security                        Shares          Basis   Cost Per Share\r\n";
constexpr std::string_view kRuleLine =
    "  --------                        ------          -----   --------------\r\n";

// A basis above a tenth of a cent is still held.
constexpr orlendo::Currency kListedAbove = orlendo::Currency::fromTicks(std::int64_t{10});

}  // namespace

std::string SummaryTitle(const std::string& stopDateText) {
  return "Summary - Quorvex and Related Securities Summary Basis on " + stopDateText;
}

void RunSummReport(ReportContext& ctx, Destination destination) {
  RunReportGuarded(ctx, "SummaryReport.RunSummReport", NoDataRun::notice, [&] {
    AppState& state = ctx.state;

    // 1. The destination.
    ReportDestination output(ctx, destination, "Summary Report - " + state.CurrentFile, ReportFont::unlessSilent);
    ReportWindow* const window = output.window();

    // 2. The header texts.
    const orlendo::Investor& investor = ReportInvestor(ctx);
    const std::string nameLine = investor.sName();
    const std::string line2 = investor.Line2();
    const std::string title = SummaryTitle(investor.StopCalc());

    // 3. The header block on the screen.
    if (window) {
      window->setText(ScreenHeading(nameLine, line2, title) + std::string(kCrLf));
    }

    // 4. The first chunk starts the first printed page.
    std::string running = PrintOrDisplay(ctx, window, destination, "", 7, nameLine, line2, title);

    // 5. The column headings travel with the first listed security.
    running += kHeadingLine;
    running += kRuleLine;

    // 6. One line per security that still carries a basis.
    const orlendo::SecuritiesPtr securities = investor.colSecurities();
    for (const orlendo::SecurityPtr& security : *securities) {
      const orlendo::XactionsPtr xactions = security->colXActions();
      const long n = xactions ? xactions->Count() : 0;
      if (n == 0) continue;
      const orlendo::XactionPtr last = xactions->Item(n);
      const std::string cost = last->NewCost();
      if (orlendo::Currency::fromText(cost) <= kListedAbove) continue;
      running += "  " + LeftFit(23, security->SecName()) + RightFit(kSummaryShares.width, last->NewShrs()) +
                 RightFit(kSummaryBasis.width, orlendo::formatText(cost, kSummaryBasis.pattern)) +
                 RightFit(kSummaryPerShare.width, orlendo::formatText(last->NewCostPerShr(), kSummaryPerShare.pattern)) +
                 std::string(kCrLf);
      running = PrintOrDisplay(ctx, window, destination, std::move(running), 1, nameLine, line2, title);
    }

    // 7. The last chunk.
    running = PrintOrDisplay(ctx, window, destination, std::move(running), 1, nameLine, line2, title);

    // 8. Finish the destination.
    output.finish(std::move(running), nameLine, line2, title);
  });
}

}  // namespace tvx
