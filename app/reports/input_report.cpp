#include "reports/input_report.h"

#include <cmath>

#include "core/printer.h"
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

constexpr std::string_view kTitle = "Inputs - Tallyvex";
constexpr std::string_view kHeadingLine =
    "  Description    Date                  Shares              Cost     \r\n";
constexpr std::string_view kRuleLine = "  -----------  ----------    ----------------   ---------------\r\n";

std::string securityHeading(ReportContext& ctx, const orlendo::Security& security) {
  return Guarded(ctx.state, ctx.end, ErrorPath::report, "Reports.EmptySub", [&] {
    return std::string(kCrLf) + "  Security: " + security.SecName() + std::string(kCrLf) + std::string(kHeadingLine) +
           std::string(kRuleLine);
  });
}

std::string entryLine(const orlendo::BuySell& entry) {
  const std::string cost = entry.ChgCost();
  // The kind follows the cost alone: a cost of exactly 0 is a sale.
  const std::string_view kind = orlendo::parseDouble(cost) == 0.0 ? "Sell" : "Buy";
  const double shares = std::fabs(orlendo::parseDouble(entry.ChgShrs()));
  return "  " + LeftFit(13, kind) + entry.XActionDate() + "    " +
         RightFit(16, orlendo::format(shares, orlendo::kSharesPattern)) +
         RightFit(18, orlendo::formatText(cost, orlendo::kDollarAmountPattern)) + std::string(kCrLf);
}

}  // namespace

std::string LumoraOptionText(orlendo::eLumora election) {
  switch (election) {
    case orlendo::eLumora::standard: return "Standard";
    case orlendo::eLumora::shares: return "Shares";
    case orlendo::eLumora::cash: return "Cash";
  }
  return {};
}

void RunIPReport(ReportContext& ctx, Destination destination) {
  RunReportGuarded(ctx, "Reports.RunIPReport", NoDataRun::error, [&] {
    AppState& state = ctx.state;

    // 1. The destination.
    ReportDestination output(ctx, destination, "Inputs Report", ReportFont::always);
    ReportWindow* const window = output.window();

    // 2. The rule and the header texts.
    const std::string rule = GetPrintLine(60);
    const orlendo::Investor& investor = ReportInvestor(ctx);
    const std::string nameLine = investor.sName();
    const std::string line2 = investor.Line2();
    const std::string title(kTitle);

    // 3. The header block on the screen.
    if (window) {
      window->setText(ScreenHeading(nameLine, line2, title) + std::string(kCrLf));
    }

    // 4, 5. The input block.
    std::string running = std::string(kCrLf) + "  " + rule + std::string(kCrLf) + "  Filename: " + state.CurrentFile +
                          std::string(kCrLf) + "  Report Line 2: " + line2 + std::string(kCrLf) +
                          "  Start Date: " + investor.StartCalc() + std::string(kCrLf) +
                          "  Stop Date: " + investor.StopCalc() + std::string(kCrLf) +
                          "  Lumora Option: " + LumoraOptionText(investor.Lumora2QVX()) + std::string(kCrLf) +
                          std::string(kCrLf);
    running = PrintOrDisplay(ctx, window, destination, std::move(running), 8, nameLine, line2, title);

    // 6. The buys and sells of each security.
    const orlendo::SecuritiesPtr securities = investor.colSecurities();
    for (const orlendo::SecurityPtr& security : *securities) {
      const orlendo::BuySellsPtr entries = security->colBuySells();
      const long count = entries ? entries->Count() : 0;
      if (count == 0) continue;

      int rowLimit = kFirstPageRowLimit;
      int rowsOnPage = 0;
      long rowsDone = 0;
      const std::string heading = securityHeading(ctx, *security);
      running += heading;
      running = PrintOrDisplay(ctx, window, destination, std::move(running), 4, nameLine, line2, title);

      for (const orlendo::BuySellPtr& entry : *entries) {
        ++rowsOnPage;
        ++rowsDone;
        running += entryLine(*entry);
        running = PrintOrDisplay(ctx, window, destination, std::move(running), 1, nameLine, line2, title);
        if (destination == kDestPrinter && rowsOnPage == rowLimit && count > rowsDone) {
          if (rowsOnPage >= kFirstPageRowLimit) rowLimit = kNextPageRowLimit;
          rowsOnPage = 0;
          PrnManager2(ctx, kPmNewPage, nameLine, line2, title);
          running += heading;
          running = PrintOrDisplay(ctx, window, destination, std::move(running), 4, nameLine, line2, title);
        }
      }
      // No further page-break test here: the row limits and the page manager
      // already keep every page within its margins.
    }

    // 7. Finish the destination.
    output.finish(std::move(running), nameLine, line2, title);
  });
}

}  // namespace tvx
