#include "reports/summary_report.h"

#include "orlendo/model.h"
#include "orlendo/numbers.h"
#include "reports/page_manager.h"
#include "reports/printer.h"
#include "reports/report_context.h"
#include "reports/report_text.h"
#include "reports/report_window.h"

namespace tvx {

namespace {

constexpr std::string_view kHeadingLine =
    "  Security                        Shares          Basis   Cost Per Share\r\n";
constexpr std::string_view kRuleLine =
    "  --------                        ------          -----   --------------\r\n";

// A basis above a tenth of a cent is still held.
constexpr orlendo::Currency kListedAbove = orlendo::Currency::fromTicks(10);

}  // namespace

std::string SummaryTitle(const std::string& stopDateText) {
  return "Summary - Quorvex and Related Securities Summary Basis on " + stopDateText;
}

void RunSummReport(ReportContext& ctx, std::int16_t destination) {
  try {
    AppState& state = ctx.state;
    ReportWindow* window = nullptr;
    FontRecord fontRecord;
    bool fontSet = false;

    // 1. The destination.
    if (destination == kDestScreen) {
      window = &OpenReportWindow(ctx, "Summary Report - " + state.CurrentFile);
    } else if (destination == kDestPrinter && !state.Silent) {
      SetNewFont(ctx, state.FontName, state.FontSize, false, fontRecord);
      fontSet = true;
    }

    // 2. The header texts.
    const orlendo::Investor& investor = ReportInvestor(ctx);
    const std::string nameLine = investor.sName();
    const std::string line2 = investor.Line2();
    const std::string title = SummaryTitle(investor.StopCalc());

    // 3. The header block on the screen.
    if (window) {
      window->setText("  " + nameLine + std::string(kCrLf) + "  " + line2 + std::string(kCrLf) + "  " + title +
                      std::string(kCrLf) + std::string(kCrLf));
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
      running += "  " + LeftFit(23, security->SecName()) + RightFit(15, last->NewShrs()) +
                 RightFit(15, orlendo::formatText(cost, orlendo::kDollarAmountPattern)) +
                 RightFit(17, orlendo::formatText(last->NewCostPerShr(), orlendo::kDollarPerSharePattern)) +
                 std::string(kCrLf);
      running = PrintOrDisplay(ctx, window, destination, std::move(running), 1, nameLine, line2, title);
    }

    // 7. The last chunk.
    running = PrintOrDisplay(ctx, window, destination, std::move(running), 1, nameLine, line2, title);

    // 8. Finish the destination.
    if (destination == kDestScreen) {
      window->show();
    } else if (destination == kDestPrinter) {
      PrnManager2(ctx, kPmEndPage, nameLine, line2, title);
      if (fontSet) SetOldFont(ctx, fontRecord);
    } else {
      running += kCrLf;
      if (ctx.fileBuffer) *ctx.fileBuffer += running;
      else appendToFile(state.OutputFile, running);
    }
  } catch (const ProgramEnded&) {
    throw;
  } catch (...) {
    if (ShowNoDataNotice(ctx)) return;
    ReportCaughtError(ctx.state, ctx.end, "SummaryReport.RunSummReport");
  }
}

}  // namespace tvx
