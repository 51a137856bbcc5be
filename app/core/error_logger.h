// The error-reporting component: records an error in the error log and
// tells the user. The desktop program shows it in message boxes; the batch
// run prints it on standard error and never waits for an answer.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tvx {

class MessageBox;
struct AppState;

// A text stream for messages, made on its first use: a run with nothing to
// say never sets up a stream (nor the locale the first stream brings along).
class MessageStream {
 public:
  // An existing stream (a test's string stream).
  MessageStream(std::ostream& stream) : make_([&stream]() -> std::ostream& { return stream; }) {}  // NOLINT: implicit
  // The stream `make` returns, asked for on each message.
  explicit MessageStream(std::ostream& (*make)()) : make_(make) {}
  std::ostream& operator*() const { return make_(); }

 private:
  std::function<std::ostream&()> make_;
};

class ErrorLogger {
 public:
  virtual ~ErrorLogger() = default;
  // Records the error in `logFile` (when that path is not empty), tells the
  // user unless `silent`, and returns true when the data is to be saved
  // before the program ends.
  virtual bool ReportError(long number, std::string_view description, std::string_view location, bool silent,
                           std::string_view logFile, std::string_view fileDescription) = 0;
  // Tells the user (no log file is known yet) and returns true when the data
  // is to be saved before the program ends.
  virtual bool ShowError(long number, std::string_view description, std::string_view location,
                         std::string_view fileDescription) = 0;
};

// The text of the current local date and time, "mm/dd/yyyy hh:mm:ss".
std::string currentLogTimestamp();

// Appends one entry (date and time, location, number, description) to
// `logFile`. A location's trail (lines after a carriage return) is kept on
// indented lines. Returns false when the file could not be written.
bool appendErrorLogEntry(std::string_view logFile, std::string_view timestamp, long number,
                         std::string_view description, std::string_view location);

// The error text shown to a person: number with its error type, location
// with its trail, and description, one item per line.
std::string describeError(long number, std::string_view description, std::string_view location);

// The one layout of every box that ends the program: the heading, the
// number, its error type, the location (its trail on "Source:" lines), the
// description when there is one, and `question` after an empty line (none
// when empty). Lines end in line feeds.
std::string FatalBoxText(std::string_view fileDescription, long number, std::string_view location,
                         std::string_view description, std::string_view question);

inline constexpr std::string_view kSaveQuestion = "Do you want to save your data before the program shuts down?";

// The desktop program's logger: appends to the log file, then shows the
// error and asks the save question in a message box (unless silent).
class DesktopErrorLogger final : public ErrorLogger {
 public:
  explicit DesktopErrorLogger(MessageBox& messages, std::function<std::string()> clock = currentLogTimestamp);
  bool ReportError(long number, std::string_view description, std::string_view location, bool silent,
                   std::string_view logFile, std::string_view fileDescription) override;
  bool ShowError(long number, std::string_view description, std::string_view location,
                 std::string_view fileDescription) override;

 private:
  bool ask(long number, std::string_view description, std::string_view location, std::string_view fileDescription);
  MessageBox& messages_;
  std::function<std::string()> clock_;
};

// The batch run's logger: prints every report on `err` (standard error),
// with the run's input and output file when `state` is given, appends to
// the log file when one is named, and always answers false (nothing to
// save, nobody to ask).
class BatchErrorLogger final : public ErrorLogger {
 public:
  explicit BatchErrorLogger(MessageStream err, std::function<std::string()> clock = currentLogTimestamp,
                            const AppState* state = nullptr);
  bool ReportError(long number, std::string_view description, std::string_view location, bool silent,
                   std::string_view logFile, std::string_view fileDescription) override;
  bool ShowError(long number, std::string_view description, std::string_view location,
                 std::string_view fileDescription) override;

 private:
  MessageStream err_;
  std::function<std::string()> clock_;
  const AppState* state_;
};

}  // namespace tvx
