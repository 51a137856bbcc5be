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
#include <type_traits>
#include <utility>

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
// the save question, with `source` and `description` when given) goes to
// the message port, which prints it, and the program ends with kExitError.
[[noreturn]] void ReportFatalError(AppState& state, EndServices& services, long errorNumber,
                                   std::string_view location, std::string_view source = {},
                                   std::string_view description = {});

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

// Where the failure of a procedure goes.
enum class ErrorPath {
  report,  // the error logger's ReportError, then the end
  show,    // the error logger's ShowError, then the end
  fatal,   // the fatal-error box, then the end
  caller,  // on to the caller unchanged: a procedure run inside one that reports the failure itself
};

// Sends the error in flight of `procedure` down `path`. Call only inside a
// catch block; ProgramEnded must not reach it.
[[noreturn]] void TakeErrorPath(AppState& state, EndServices& services, ErrorPath path, std::string_view procedure);

// Runs the body of a procedure: the program's end passes through, any other
// failure goes down `path` under the procedure's name.
template <class F>
decltype(auto) Guarded(AppState& state, EndServices& services, ErrorPath path, std::string_view procedure,
                       F&& body) {
  try {
    return std::forward<F>(body)();
  } catch (const ProgramEnded&) {
    throw;
  } catch (...) {
    TakeErrorPath(state, services, path, procedure);
  }
}

// The same for a procedure with a handler of its own, which runs inside the
// catch block (so that currentError() and a rethrow see the failure) and
// may end the procedure quietly by returning. `onEnded` runs when the
// program ends on the way, before the end passes through.
template <class F, class OnError, class OnEnded = void (*)()>
  requires std::is_void_v<std::invoke_result_t<F>>
void Guarded(F&& body, OnError&& onError, OnEnded&& onEnded = [] {}) {
  try {
    std::forward<F>(body)();
  } catch (const ProgramEnded&) {
    std::forward<OnEnded>(onEnded)();
    throw;
  } catch (...) {
    std::forward<OnError>(onError)();
  }
}

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
