#include "core/error_paths.h"

#include <exception>

#include "core/error_logger.h"
#include "core/ports.h"
#include "core/printer.h"
#include "core/report_text.h"
#include "orlendo/error.h"

namespace tvx {

namespace {

// A step of the orderly end: a failure inside it is not reported again.
template <class F>
void quietly(F&& step) {
  try {
    step();
  } catch (...) {
  }
}

void runSaveAs(EndServices& services) {
  if (services.saveAs) quietly([&] { services.saveAs(); });
}

}  // namespace

void EndProgram(AppState& state, EndServices& services, bool saveFirst, int exitStatus) {
  // 1. The error logger goes first: nothing after this point reports again.
  state.ErrorLogger.reset();
  // 2. The report font, when a settings file is known.
  if (services.settings && !state.IniFile.empty()) {
    quietly([&] {
      services.settings->writeText("User Preferences", "Font Name", state.FontName);
      services.settings->writeText("User Preferences", "Font Size", pointSizeText(state.FontSize));
    });
  }
  // 3. Save while the investor is still there.
  if (saveFirst) runSaveAs(services);
  // 4. Release the investor.
  state.Investor.reset();
  // 5. The printer gets back the font it had at start-up.
  if (services.printer && !state.PrnFontName.empty()) {
    quietly([&] {
      services.printer->setFontName(state.PrnFontName);
      services.printer->setFontSize(state.PrnFontSize);
      services.printer->setFontBold(state.PrnFontBold);
    });
  }
  // 6. The end.
  if (services.exit) quietly([&] { services.exit(exitStatus); });
  throw ProgramEnded{exitStatus};
}

std::string FatalErrorText(long errorNumber, std::string_view location) {
  return FatalBoxText(kFileDescription, errorNumber, location, "", kSaveQuestion);
}

void ReportFatalError(AppState& state, EndServices& services, long errorNumber, std::string_view location,
                      std::string_view source, std::string_view description) {
  if (state.Silent) {
    // Nobody to ask: the first five lines, and the trail and message the box would not show.
    const std::string where = source.empty() ? std::string(location) : LocationText(location, source);
    const std::string text =
        FatalBoxText(kFileDescription, errorNumber, where, description, "") + BatchFileLines(state);
    if (services.messages) quietly([&] { services.messages->show("WARNING!", text, Icon::Stop, Buttons::Ok); });
    EndProgram(state, services, false, kExitError);
  }
  Answer answer = Answer::No;
  if (services.messages) {
    quietly([&] {
      answer = services.messages->show("WARNING!", FatalErrorText(errorNumber, location), Icon::Stop, Buttons::YesNo);
    });
  }
  if (answer == Answer::Yes) runSaveAs(services);
  EndProgram(state, services, false, kExitError);
}

std::string BatchFileLines(const AppState& state) {
  std::string lines;
  if (!state.CurrentFile.empty()) lines += "\nInput file:         " + state.CurrentFile;
  if (!state.OutputFile.empty()) lines += "\nOutput file:        " + state.OutputFile;
  return lines;
}

std::string LocationText(std::string_view where, std::string_view source) {
  return std::string(where) + "\r" + std::string(source);
}

void TakeErrorPath(AppState& state, EndServices& services, ErrorPath path, std::string_view procedure) {
  switch (path) {
    case ErrorPath::report: ReportCaughtError(state, services, procedure);
    case ErrorPath::show: ShowCaughtError(state, services, procedure);
    case ErrorPath::fatal: {
      const CaughtError e = currentError();
      ReportFatalError(state, services, e.number, procedure, e.source,
                       HasOwnDescription(e) ? std::string_view(e.description) : std::string_view());
    }
    case ErrorPath::caller: break;
  }
  throw;
}

CaughtError currentError() {
  // The library decodes every kind of failure; the program's own (a
  // standard exception of its code) carry the program's name as source.
  const orlendo::Error e = orlendo::errorInFlight("tvxdesk");
  return {e.number(), e.description(), e.source()};
}

bool HasOwnDescription(const CaughtError& e) {
  return !e.description.empty() && e.description != orlendo::kProductDescription &&
         e.description != orlendo::errorTypeText(e.number);
}

std::string ReasonText(const CaughtError& e) {
  if (HasOwnDescription(e)) return e.description;
  return std::string(orlendo::errorTypeText(e.number)) + " (error " + std::to_string(e.number) + ")";
}

void ReportCaughtError(AppState& state, EndServices& services, std::string_view where) {
  const CaughtError e = currentError();
  bool saveFirst = false;
  if (auto logger = state.ErrorLogger) {
    quietly([&] {
      saveFirst = logger->ReportError(e.number, e.description, LocationText(where, e.source), state.Silent,
                                      state.ErrLogFile, kFileDescription);
    });
  }
  EndProgram(state, services, saveFirst, kExitError);
}

void ShowCaughtError(AppState& state, EndServices& services, std::string_view where) {
  const CaughtError e = currentError();
  bool saveFirst = false;
  if (auto logger = state.ErrorLogger) {
    quietly([&] {
      saveFirst = logger->ShowError(e.number, e.description, LocationText(where, e.source), kFileDescription);
    });
  }
  EndProgram(state, services, saveFirst, kExitError);
}

}  // namespace tvx
