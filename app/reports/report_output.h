// Report output: a request from the shell (view, print, batch file) becomes
// report runs: the choice of reports, the calculation, the copies, and the
// reports in their fixed order for the destination.
#pragma once

#include <cstdint>

#include "core/ports.h"

namespace tvx {

struct ReportContext;

inline constexpr const char* kPrefsSection = "User Preferences";
inline constexpr const char* kKeyInputReport = "Input Report";
inline constexpr const char* kKeySummaryReport = "Summary Report";
inline constexpr const char* kKeyDetailedReport = "Detailed Report";

// The shell's entry point: destination 1 view, 2 print, 3 batch file. An
// error ends the program through ErrorLogger.ShowError ("Reports.RouteOutput").
void RouteOutput(ReportContext& ctx, std::int16_t destination);

// Runs the chosen reports for one destination; also the report window's
// Print button (destination 2). In batch mode the choices are the shell's.
// A calculation that fails on one of the user's entries names it in a
// message and returns (a batch run ends with kExitError, nothing written).
void RunReports(ReportContext& ctx, std::int16_t destination);

// The choice dialog with the choices remembered in the settings file; sets
// RptInput/RptSummary/RptDetail and writes them back (all 0 on Cancel).
void GetReports(ReportContext& ctx, std::int16_t destination);

// The print dialog "Print Reports": the number of copies, 0 when cancelled.
std::int16_t GetCopies(ReportContext& ctx);

}  // namespace tvx
