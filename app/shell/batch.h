// The batch run: "/silent /input FILE.qvx /output FILE.txt" loads the
// investor file, calculates it and appends the Detailed and then the
// Summary report to the output file, with no window and no display.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "shell/app_state.h"
#include "shell/ports.h"

namespace orlendo {
struct EntryFault;
}

namespace tvx {

struct ReportContext;

inline constexpr std::string_view kDoesNotExist = " does not exist.";
inline constexpr std::string_view kNotARegularFile = " is not a regular file.";

// What is at the exact path (never a pattern); Unreachable when the system
// cannot tell (a folder on the way that may not be searched, a name too long).
enum class PathKind { Missing, RegularFile, Other, Unreachable };
PathKind KindOfPath(std::string_view path);

// True when `path` names an existing regular file; a folder, FIFO or device
// does not count.
bool FileExists(std::string_view path);

// Why `path` cannot be read as a data file: "<path> does not exist.",
// "<path> is not a regular file." or "<path> cannot be reached: <reason>.";
// empty for a regular file.
std::string InputFileProblem(std::string_view path);

// Loads `file` into `investor` (a fresh one: a refusal leaves it half
// filled) and checks every entry the way the calculation reads it. Empty
// when the investor may be used, otherwise the message naming the file and,
// for an entry, its security, number and text.
std::string LoadDataFile(orlendo::Investor& investor, const std::string& file);

// "<file>: security "<name>", entry <n>: the <key> value "<text>" is not a
// number." (a date, an amount; "is missing" for an empty text).
std::string EntryFaultText(std::string_view file, const orlendo::EntryFault& fault);

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
