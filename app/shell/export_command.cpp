#include "shell/export_command.h"

#include "core/error_paths.h"
#include "orlendo/error.h"
#include "reports/csv_export.h"
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

bool ExportTransactionsCommand(ReportContext& ctx, FileDialog& dialog,
                               const std::function<void(const std::string&)>& showStatus) {
  AppState& state = ctx.state;
  if (!CanExportTransactions(state)) return false;

  FileDialogSetup setup;
  setup.title = kExportTitle;
  setup.filter = kCsvFilter;
  setup.defaultExtension = kCsvDefaultExtension;
  setup.presetName = CsvNameFor(state.CurrentFile);
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
  long transactions = -1;  // stays so when the entry at fault was shown or the export failed
  Guarded(
      [&] {
        Busy busy(ctx.busy);
        if (ctx.processEvents) ctx.processEvents();  // lets the dialog close before the calculation
        transactions = ExportTransactions(ctx, path);
      },
      [&] {
        transactions = -1;
        const CaughtError e = currentError();
        if (ctx.messages)
          ctx.messages->show("WARNING",
                             "The transactions were not exported to " + path + ".\n" +
                                 std::string(orlendo::errorTypeText(e.number)) + " (error " +
                                 std::to_string(e.number) + ").",
                             Icon::Exclamation, Buttons::Ok);
      });
  if (transactions < 0) return false;
  if (showStatus) showStatus(ExportedMessage(transactions, path));
  return true;
}

}  // namespace tvx
