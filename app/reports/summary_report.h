// The Summary report: shares, basis and basis per share of every security
// that still carries a basis on the stop date.
#pragma once

#include <cstdint>
#include <string>
#include "reports/page_manager.h"

namespace tvx {

struct ReportContext;

// Builds the report for destination 1 (screen), 2 (printer) or 3 (file).
// The investor has been calculated. An error ends the program through the
// error logger ("SummaryReport.RunSummReport").
void RunSummReport(ReportContext& ctx, Destination destination);

std::string SummaryTitle(const std::string& stopDateText);

}  // namespace tvx
