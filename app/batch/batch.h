// The batch run: "/silent /input FILE.qvx /output FILE.txt /csv FILE.csv"
// loads the investor file, calculates it once, appends the Detailed and
// then the Summary report to the output file and replaces the CSV file with
// every transaction, with no window and no display. Either output may be
// left out, not both.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "core/app_state.h"
#include "core/error_logger.h"
#include "core/ports.h"

namespace tvx {

struct ReportContext;

// Opens the investor file in batch mode: asks nothing; a file that is
// missing or not a regular file, or that does not load or check, is
// reported through the message port. Returns kExitOk when it was opened,
// kExitMissingInput for a missing file, kExitError otherwise.
int OpenFileBatch(ReportContext& ctx, const std::string& fileName);

// The output switches the command line holds, whether or not a usable
// name follows them.
struct OutputSwitches {
  bool output = false;
  bool csv = false;
};

// The batch run over a prepared context (Silent set, CurrentFile,
// OutputFile and CsvFile from the command line). Returns the exit status:
// 0 when every requested file was written, 1 when the input file is missing
// or "/input" is absent, 2 for any other error (no output named, a switch
// without a usable name, a failed calculation or write). A calculation that
// fails writes neither file; the CSV file is written before the reports are
// appended.
int RunSilent(ReportContext& ctx, OutputSwitches given = {});

// The message port of the batch run: every box becomes a line on `err`;
// questions are answered No (Cancel for three buttons) without waiting.
class StderrMessageBox final : public MessageBox {
 public:
  explicit StderrMessageBox(MessageStream err) : err_(std::move(err)) {}
  Answer show(std::string_view title, std::string_view text, Icon icon, Buttons buttons) override;

 private:
  MessageStream err_;
};

// The whole batch side of the program's start: builds the state and the
// context (error logger and messages on `err`), reads the command line and
// runs the batch. A fatal signal meanwhile takes back the report append
// under way (UndoOpenAppendOnFatalSignals); once the reports are written and
// the output file closed, flushes the standard streams and ends the process
// with the exit status, without freeing the investor piece by piece.
[[noreturn]] void RunBatchAndExit(std::span<const std::string> args, MessageStream err);

}  // namespace tvx
