// The batch run: "/silent /input FILE.qvx /output FILE.txt /csv FILE.csv
// /sales FILE.csv [/taxyear YYYY] [/method fifo|average]" loads the investor
// file, calculates it once, appends the Detailed and then the Summary report
// to the output file, replaces the CSV file with every transaction and the
// sales file with the sales of the tax year (every year when none is given),
// with no window and no display. Any of the outputs may be left out, not all.
#pragma once

#include <iosfwd>
#include <optional>
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
  bool sales = false;
  std::optional<std::string> taxYear;  // the text after /taxyear ("" when none follows)
  std::optional<std::string> method;   // the text after /method
  std::string inputWord;               // the first word after "/input", whatever its ending
};

// The batch run over a prepared context (Silent set, CurrentFile,
// OutputFile, CsvFile and SalesFile from the command line). Returns the exit
// status: 0 when every requested file was written, 1 when the input file is
// missing or "/input" is absent, 2 for any other error (no output named, a
// switch without a usable name, a tax year or method that does not read, a
// failed calculation or write). One load and one calculation feed every
// file; a calculation that fails writes none; a name that is no regular
// file is refused before anything is written; the run keeps every file it
// was asked for or leaves every one as it was (CommitTogether).
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
