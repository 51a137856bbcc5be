// The batch run: "/silent /input FILE.qvx /output FILE.txt" loads the
// investor file, calculates it and appends the Detailed and then the
// Summary report to the output file, with no window and no display.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "core/app_state.h"
#include "core/ports.h"

namespace tvx {

struct ReportContext;

// Opens the investor file in batch mode: asks nothing; a file that is
// missing or not a regular file, or that does not load or check, is
// reported through the message port. Returns kExitOk when it was opened,
// kExitMissingInput for a missing file, kExitError otherwise.
int OpenFileBatch(ReportContext& ctx, const std::string& fileName);

// The batch run over a prepared context (Silent set, CurrentFile and
// OutputFile from the command line). Returns the exit status: 0 when the
// reports were written, 1 when the input file is missing or "/input" is
// absent, 2 for any other error.
int RunSilent(ReportContext& ctx);

// The message port of the batch run: every box becomes a line on `err`;
// questions are answered No (Cancel for three buttons) without waiting.
class StderrMessageBox final : public MessageBox {
 public:
  explicit StderrMessageBox(std::ostream& err) : err_(err) {}
  Answer show(std::string_view title, std::string_view text, Icon icon, Buttons buttons) override;

 private:
  std::ostream& err_;
};

// The whole batch side of the program's start: builds the state and the
// context (error logger and messages on `err`), reads the command line and
// runs the batch. Returns the exit status.
int RunBatchMain(std::span<const std::string> args, std::ostream& err);

}  // namespace tvx
