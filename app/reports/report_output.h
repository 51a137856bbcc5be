// Report output: a request from the shell (view, print, batch file) becomes
// report runs: the choice of reports, the calculation, the copies, and the
// reports in their fixed order for the destination.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/ports.h"
#include "orlendo/entries.h"
#include "reports/page_manager.h"

namespace tvx {

struct ReportContext;

inline constexpr const char* kPrefsSection = "User Preferences";
inline constexpr const char* kKeyInputReport = "Input Report";
inline constexpr const char* kKeySummaryReport = "Summary Report";
inline constexpr const char* kKeyDetailedReport = "Detailed Report";
inline constexpr const char* kKeySalesReport = "Sales Report";

// The shell's entry point: destination 1 view, 2 print, 3 batch file. An
// error ends the program through ErrorLogger.ShowError ("Reports.RouteOutput").
void RouteOutput(ReportContext& ctx, Destination destination);

// Runs the chosen reports for one destination; also the report window's
// Print button (destination 2). In batch mode the choices are the shell's.
// A calculation that fails on one of the user's entries names it in a
// message and returns (a batch run ends with kExitError, nothing written).
void RunReports(ReportContext& ctx, Destination destination);

// Calculates the open investor from its start to its stop date, followed
// by the context's progress observer, walking the tax lots along when
// `withLots` or the context asks for them (recordLots). No investor: the
// no-data error.
void CalculateInvestor(ReportContext& ctx, bool withLots = false);

// CalculateInvestor, with an entry that does not calculate shown
// (ShowEntryFault, with `consequence`) instead of raised: false then.
bool CalculateOrShowFault(ReportContext& ctx, bool withLots, std::string_view consequence);

// The user's own data does not calculate: names the entry, adds `consequence`,
// and ends a batch run with status 2 (the desktop goes back to the program).
void ShowEntryFault(ReportContext& ctx, const orlendo::EntryError& e, std::string_view consequence);

// The choice dialog with the choices remembered in the settings file; sets
// RptInput/RptSummary/RptDetail and writes them back (all 0 on Cancel).
void GetReports(ReportContext& ctx, Destination destination);

// The print dialog "Print Reports": the number of copies, 0 when cancelled.
std::int16_t GetCopies(ReportContext& ctx);

}  // namespace tvx
