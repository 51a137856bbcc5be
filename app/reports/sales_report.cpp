#include "reports/sales_report.h"

#include <array>

#include "core/report_text.h"
#include "core/report_window.h"
#include "orlendo/model.h"
#include "orlendo/numbers.h"
#include "reports/report_context.h"
#include "reports/report_run.h"

namespace tvx {

namespace {

using orlendo::Currency;
using orlendo::SaleRow;
using orlendo::SaleTerm;

constexpr std::string_view kHeading1 = "  Security                    Kind         Acquired    Sold        Box";
constexpr std::string_view kHeading2 = "           Shares       Proceeds          Basis           Gain";
constexpr std::string_view kRule =
    "  ---------------------------------------------------------------------------";
constexpr std::size_t kNumber = 15;

std::string amount(Currency c) { return orlendo::format(c, orlendo::kAmountPattern); }

std::string usDate(const std::optional<orlendo::Date>& d, bool various) {
  if (various) return "VARIOUS";
  return d ? orlendo::formatDate(*d) : std::string();
}

// The figures line under a row or a heading of totals.
std::string figures(std::string_view shares, std::string_view proceeds, std::string_view basis,
                    std::string_view gain) {
  return "  " + RightFit(kNumber, shares) + RightFit(kNumber, proceeds) + RightFit(kNumber, basis) +
         RightFit(kNumber, gain);
}

struct Totals {
  Currency proceeds, basis, gain;
  int unknown = 0;  // rows whose proceeds are unknown
  void add(const SaleRow& row) {
    basis += row.basis;
    if (!row.proceeds) {
      ++unknown;
      return;
    }
    proceeds += *row.proceeds;
    gain += *row.gain;
  }
  void add(const Totals& t) {
    proceeds += t.proceeds;
    basis += t.basis;
    gain += t.gain;
    unknown += t.unknown;
  }
};

constexpr std::array<std::string_view, 3> kTermNames{"Short-term", "Long-term", "Unknown term"};

}  // namespace

std::string SalesTitle(std::optional<int> taxYear, orlendo::LotMethod method) {
  const std::string year = taxYear ? std::to_string(*taxYear) : "All Years";
  const char* basis = method == orlendo::LotMethod::fifo ? "First In, First Out" : "Average Basis";
  return "Sales - Quorvex and Related Securities Sales of " + year + ", " + basis;
}

std::vector<SalesReportPiece> SalesReportPieces(const std::vector<SaleRow>& rows) {
  std::vector<SalesReportPiece> out;
  // A line with keep 2 starts a piece that takes the next line too.
  bool open = false;
  auto line = [&](std::string text, int keep = 1) {
    if (!open) out.push_back({});
    out.back().text += text;
    out.back().text += kCrLf;
    ++out.back().lines;
    open = keep > 1 && out.back().lines < keep;
  };
  auto totalsLine = [&](std::string_view label, const Totals& t) {
    line("  " + std::string(label), 2);
    line(figures("", amount(t.proceeds), amount(t.basis), amount(t.gain)));
  };
  line(std::string(kHeading1), 3);
  line(std::string(kHeading2), 3);
  line(std::string(kRule));
  if (rows.empty()) {
    line("");
    line("  No sales.");
    return out;
  }
  std::size_t i = 0;
  while (i < rows.size()) {
    const int year = static_cast<int>(rows[i].sold.year());
    std::size_t end = i;
    while (end < rows.size() && static_cast<int>(rows[end].sold.year()) == year) ++end;
    line("", 2);
    line("  Tax year " + std::to_string(year));
    Totals yearTotals;
    for (int term = 0; term < 3; ++term) {
      Totals termTotals;
      bool any = false;
      for (std::size_t r = i; r < end; ++r) {
        const SaleRow& row = rows[r];
        if (static_cast<int>(row.term) != term) continue;
        if (!any) {
          line("", 2);
          line("  " + std::string(kTermNames[static_cast<std::size_t>(term)]));
          any = true;
        }
        const std::string box = row.box ? std::string(1, row.box) : std::string();
        line("  " + LeftFit(28, row.security) + LeftFit(13, orlendo::saleKindText(row.kind)) +
                 LeftFit(12, usDate(row.acquired, row.various)) + LeftFit(12, orlendo::formatDate(row.sold)) + box,
             2);
        line(figures(orlendo::format(row.shares, orlendo::kSharesPattern), row.proceeds ? amount(*row.proceeds) : "*",
                     amount(row.basis), row.gain ? amount(*row.gain) : ""));
        termTotals.add(row);
      }
      if (!any) continue;
      totalsLine(std::string(kTermNames[static_cast<std::size_t>(term)]) + " totals", termTotals);
      yearTotals.add(termTotals);
    }
    line("", 2);
    totalsLine("Totals for " + std::to_string(year), yearTotals);
    if (yearTotals.unknown > 0)
      line("  * Proceeds unknown: " + std::to_string(yearTotals.unknown) +
           (yearTotals.unknown == 1 ? " row is" : " rows are") + " left out of the proceeds and gain totals.");
    i = end;
  }
  return out;
}

void RunSalesReport(ReportContext& ctx, Destination destination) {
  RunReportGuarded(ctx, "SalesReport.RunSalesReport", NoDataRun::notice, [&] {
    AppState& state = ctx.state;
    ReportDestination output(ctx, destination, "Sales Report - " + state.CurrentFile, ReportFont::unlessSilent);
    ReportWindow* const window = output.window();
    const orlendo::Investor& investor = ReportInvestor(ctx);
    const std::string nameLine = investor.sName();
    const std::string line2 = investor.Line2();
    const std::optional<int> year = SalesYearOf(state);
    const std::string title = SalesTitle(year, state.SalesMethod);
    if (window) window->setText(ScreenHeading(nameLine, line2, title) + std::string(kCrLf));

    std::string running = PrintOrDisplay(ctx, window, destination, output.pieceBuffer(), 7, nameLine, line2, title);
    const std::vector<SaleRow> rows = ctx.lots ? ctx.lots->rows(state.SalesMethod, year) : std::vector<SaleRow>{};
    for (SalesReportPiece& piece : SalesReportPieces(rows)) {
      if (destination == kDestFile) {
        running += piece.text;
        output.spill(running);
      } else {
        PrintOrDisplay(ctx, window, destination, std::move(piece.text), static_cast<std::int16_t>(piece.lines),
                       nameLine, line2, title);
      }
    }
    output.finish(std::move(running), nameLine, line2, title);
  });
}

}  // namespace tvx
