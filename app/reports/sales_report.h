// The Sales report: the sales of a tax year (or of every year) from the tax
// lots, fixed-width like the other reports. Per tax year the short-term rows,
// then the long-term, then those of unknown term, each with its totals, then
// the year's totals. A row whose proceeds are unknown is marked "*" and left
// out of the proceeds and gain totals; a note says how many.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "orlendo/sales.h"
#include "reports/page_manager.h"

namespace tvx {

struct ReportContext;

// "Sales - Quorvex and Related Securities Sales of 1994, First In, First Out".
std::string SalesTitle(std::optional<int> taxYear, orlendo::LotMethod method);

// The report after its header block, in the pieces a printed page keeps
// together (a row's two lines, a heading with the line under it): each
// piece's lines end with CR LF.
struct SalesReportPiece {
  std::string text;
  int lines = 0;
};
std::vector<SalesReportPiece> SalesReportPieces(const std::vector<orlendo::SaleRow>& rows);

// The report for the state's tax year and method (the lots of the run's
// calculation, ReportContext::lots) to the destination.
void RunSalesReport(ReportContext& ctx, Destination destination);

}  // namespace tvx
