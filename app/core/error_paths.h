// The two error paths of the program and its orderly end.
//
// Every procedure that handles an error ends the program through one of
// them. EndProgram never returns: after its steps it calls the front end's
// exit hook and then throws ProgramEnded, which the top of the program (the
// batch run, or the desktop program's event handlers) catches. ProgramEnded
// is deliberately not a std::exception, so that no error handler on the way
// up mistakes it for an error.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/app_state.h"

namespace orlendo {
class Error;
}

namespace tvx {

class MessageBox;
class SettingsStore;
class Printer;

// Exit statuses of the process.
inline constexpr int kExitOk = 0;
inline constexpr int kExitMissingInput = 1;  // batch run: input file missing or "/input" absent
inline constexpr int kExitError = 2;         // any other error

struct ProgramEnded {
  int exitStatus = kExitOk;
};

// What the orderly end and the error paths need of the program.
struct EndServices {
  MessageBox* messages = nullptr;   // the fatal-error box; required for ReportFatalError
  SettingsStore* settings = nullptr;  // font settings written at the end; skipped when null or IniFile empty
  Printer* printer = nullptr;       // the printer font given back at the end; skipped when null
  std::function<void()> saveAs;     // the Save As command of the main window; empty in batch mode
  std::function<void(int)> exit;    // closes all windows and ends the process (or the event loop)
};

// The orderly end: release the error logger, write the report font to the
// settings file, save first when asked (before the investor is released),
// release the investor, give the printer its start-up font back, end.
[[noreturn]] void EndProgram(AppState& state, EndServices& services, bool saveFirst, int exitStatus = kExitOk);

// The seven-line text of the fatal-error box.
std::string FatalErrorText(long errorNumber, std::string_view location);

// The fatal-error box ("WARNING!", stop icon, Yes/No): Yes runs Save As;
// then the program ends. In batch mode nobody is asked: the text (without
// the save question, with `source` when given) goes to the message port,
// which prints it, and the program ends with kExitError.
[[noreturn]] void ReportFatalError(AppState& state, EndServices& services, long errorNumber,
                                   std::string_view location, std::string_view source = {});

// The files of a batch run, for its error texts: "\nInput file:" and
// "\nOutput file:" lines, each only when its name is known.
std::string BatchFileLines(const AppState& state);

// The location text of the error logger: `where` + carriage return + the
// error's source trail.
std::string LocationText(std::string_view where, std::string_view source);

// The ErrorLogger.ReportError path for an error in flight: reports it with
// the location `where` and the error's source trail, then EndProgram with
// the logger's answer. Call only inside a catch block.
[[noreturn]] void ReportCaughtError(AppState& state, EndServices& services, std::string_view where);
// The ErrorLogger.ShowError path, likewise.
[[noreturn]] void ShowCaughtError(AppState& state, EndServices& services, std::string_view where);

// The number, description and source of the error in flight (an
// orlendo::Error, a standard exception, or anything else). Call only inside
// a catch block; ProgramEnded must not reach it.
struct CaughtError {
  long number;
  std::string description;
  std::string source;
};
CaughtError currentError();

// The error's own description when it has one; otherwise its type text and
// number, "Permission denied (error 70)".
std::string ReasonText(const CaughtError& e);
// True when the description says more than the product name or the type text.
bool HasOwnDescription(const CaughtError& e);

}  // namespace tvx
