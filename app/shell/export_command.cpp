#include "shell/export_command.h"

#include "core/error_paths.h"
#include "orlendo/error.h"
#include "orlendo/entries.h"
#include "reports/csv_export.h"
#include "reports/report_output.h"
#include "reports/sales_export.h"
#include "reports/report_context.h"
#include "shell/file_commands.h"

namespace tvx {

bool CanExportTransactions(const AppState& state) { return state.Investor && !state.CurrentFile.empty(); }

std::string CsvNameFor(std::string_view dataFile) {
  const std::size_t nameStart = dataFile.rfind('/') == std::string_view::npos ? 0 : dataFile.rfind('/') + 1;
  const std::size_t dot = dataFile.rfind('.');
  // A leading dot names a hidden file, not an extension.
  const bool hasExtension = dot != std::string_view::npos && dot > nameStart;
  return std::string(dataFile.substr(0, hasExtension ? dot : dataFile.size())) + std::string(kCsvDefaultExtension);
}

std::string ExportedMessage(long transactions, std::string_view path) {
  return "Exported " + std::to_string(transactions) + (transactions == 1 ? " transaction" : " transactions") +
         " to " + std::string(path);
}

namespace {

// The save dialog, then `write` (which returns what it wrote, or -1 when the
// entry at fault was shown) under the busy pointer; a failure is told naming
// `what` and the file.
bool exportWith(ReportContext& ctx, FileDialog& dialog, std::string_view title, std::string presetName,
                std::string_view what, const std::function<long(const std::string&)>& write,
                const std::function<std::string(long, const std::string&)>& message,
                const std::function<void(const std::string&)>& showStatus) {
  FileDialogSetup setup;
  setup.title = title;
  setup.filter = kCsvFilter;
  setup.defaultExtension = kCsvDefaultExtension;
  setup.presetName = std::move(presetName);
  setup.initialFolder = FolderOfPath(setup.presetName);
  const std::optional<std::string> chosen = dialog.saveFile(setup);
  if (!chosen || chosen->empty()) return false;
  const std::string path = *chosen;

  struct Busy {
    BusyPointer* pointer;
    explicit Busy(BusyPointer* p) : pointer(p) {
      if (pointer) pointer->begin();
    }
    ~Busy() {
      if (pointer) pointer->end();
    }
  };
  long written = -1;  // stays so when the entry at fault was shown or the export failed
  Guarded(
      [&] {
        Busy busy(ctx.busy);
        if (ctx.processEvents) ctx.processEvents();  // lets the dialog close before the calculation
        written = write(path);
      },
      [&] {
        written = -1;
        const CaughtError e = currentError();
        std::string why = ReasonText(e);
        if (why.empty() || why.back() != '.') why += '.';
        if (ctx.messages)
          ctx.messages->show("WARNING",
                             "The " + std::string(what) + " were not exported to " + path + ".\n" +
                                 why,
                             Icon::Exclamation, Buttons::Ok);
      });
  if (written < 0) return false;
  if (showStatus) showStatus(message(written, path));
  return true;
}

}  // namespace

bool ExportTransactionsCommand(ReportContext& ctx, FileDialog& dialog,
                               const std::function<void(const std::string&)>& showStatus) {
  if (!CanExportTransactions(ctx.state)) return false;
  return exportWith(
      ctx, dialog, kExportTitle, CsvNameFor(ctx.state.CurrentFile), "transactions",
      [&](const std::string& path) { return ExportTransactions(ctx, path); }, ExportedMessage, showStatus);
}

std::string SalesCsvNameFor(std::string_view dataFile) {
  std::string name = CsvNameFor(dataFile);
  return name.insert(name.size() - kCsvDefaultExtension.size(), "-sales");
}

std::string ExportedSalesMessage(long rows, std::optional<int> taxYear, orlendo::LotMethod method,
                                 std::string_view path) {
  return "Exported " + std::to_string(rows) + (rows == 1 ? " sales row" : " sales rows") + " of " +
         (taxYear ? std::to_string(*taxYear) : std::string("all years")) + " (" +
         std::string(orlendo::lotMethodText(method)) + ") to " + std::string(path);
}

bool ExportSalesCommand(ReportContext& ctx, FileDialog& dialog,
                        const std::function<void(const std::string&)>& showStatus) {
  AppState& state = ctx.state;
  if (!CanExportTransactions(state)) return false;
  const std::optional<int> year = SalesYearOf(state);
  const orlendo::LotMethod method = state.SalesMethod;
  return exportWith(
      ctx, dialog, kExportSalesTitle, SalesCsvNameFor(state.CurrentFile), "sales",
      [&](const std::string& path) -> long {
        if (!CalculateOrShowFault(ctx, true, "No sales file was written.")) return -1;
        return WriteSalesCsv(*ctx.lots, method, year, path);
      },
      [&](long rows, const std::string& path) { return ExportedSalesMessage(rows, year, method, path); }, showStatus);
}

}  // namespace tvx
