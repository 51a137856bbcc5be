// The Detailed report: every transaction of every security up to the stop
// date, with the change it made and the position after it.
#pragma once

#include <cstdint>
#include <string>
#include "reports/page_manager.h"

namespace tvx {

struct ReportContext;

// Builds the report for destination 1 (screen), 2 (printer) or 3 (file).
// On the printer it first asks the Detailed Report Option (a new page for
// each security), preset with the last answer of this run of the program.
// An error ends the program through the error logger
// ("DetailedReport.RunDetailReport").
void RunDetailReport(ReportContext& ctx, Destination destination);

std::string DetailedTitle(const std::string& stopDateText);

}  // namespace tvx
