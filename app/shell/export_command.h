// File, Export Transactions (CSV)... and Export Sales (CSV)...: the save
// dialog, the calculation with the progress window, the atomic write and the
// status-bar message. Plain logic over the ports; the desktop only wires the
// menu items to it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/app_state.h"
#include "core/ports.h"

namespace tvx {

struct ReportContext;

inline constexpr std::string_view kExportTitle = "Export Transactions (CSV)";
inline constexpr std::string_view kCsvFilter = "CSV files (*.csv)|*.csv||";
inline constexpr std::string_view kCsvDefaultExtension = ".csv";

// An investor is open (loaded, or started with File, New): the command has
// something to export.
bool CanExportTransactions(const AppState& state);

// The data file's name with ".csv" in place of its extension, in the same
// folder ("/home/ann/smith.qvx" gives "/home/ann/smith.csv").
std::string CsvNameFor(std::string_view dataFile);

// "Exported 12 transactions to /home/ann/smith.csv".
std::string ExportedMessage(long transactions, std::string_view path);

// Runs the command. A cancelled dialog does nothing. A failure (the
// calculation, the write) is told in a message box naming the file; the old
// file stays as it was and the program goes on. True when the file was
// written; `showStatus` then gets the message.
bool ExportTransactionsCommand(ReportContext& ctx, FileDialog& dialog,
                               const std::function<void(const std::string&)>& showStatus);

inline constexpr std::string_view kExportSalesTitle = "Export Sales (CSV)";

// The data file's name with "-sales.csv" in place of its extension.
std::string SalesCsvNameFor(std::string_view dataFile);

// "Exported 3 sales rows of 1994 (fifo) to /home/ann/smith-sales.csv".
std::string ExportedSalesMessage(long rows, std::optional<int> taxYear, orlendo::LotMethod method,
                                 std::string_view path);

// File, Export Sales (CSV)...: as ExportTransactionsCommand, for the sales
// file of the tax year and method last chosen for the Sales report (the stop
// date's year and fifo until one is chosen).
bool ExportSalesCommand(ReportContext& ctx, FileDialog& dialog,
                        const std::function<void(const std::string&)>& showStatus);

}  // namespace tvx
