// The Input report: the data file, the dates, the Lumora election and every
// buy and sell as entered.
#pragma once

#include <cstdint>
#include <string>

#include "orlendo/model.h"
#include "reports/page_manager.h"

namespace tvx {

struct ReportContext;

inline constexpr int kFirstPageRowLimit = 35;  // rows of a security on the page where it starts
inline constexpr int kNextPageRowLimit = 42;   // rows per page after a forced break

// Builds the report for destination 1 (screen) or 2 (printer). An error
// ends the program through the error logger ("Reports.RunIPReport").
void RunIPReport(ReportContext& ctx, Destination destination);

// "Standard", "Shares", "Cash", or "" for any other value.
std::string LumoraOptionText(orlendo::eLumora election);

}  // namespace tvx
