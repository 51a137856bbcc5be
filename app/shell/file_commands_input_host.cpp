#include "shell/file_commands_input_host.h"

#include "core/error_logger.h"
#include "core/error_paths.h"

namespace tvx {

void FileCommandsInputHost::markChanged() { files_.state().DataSaved = false; }
bool FileCommandsInputHost::saveFile() { return files_.SaveCommand(); }
void FileCommandsInputHost::saveAs() { files_.SaveAs(); }
std::string FileCommandsInputHost::shortFilename() { return DisplayShorterFilename(files_.state().CurrentFile); }

void FileCommandsInputHost::reportError(long number, std::string_view description, std::string_view location) {
  AppState& state = files_.state();
  bool saveFirst = false;
  if (auto logger = state.ErrorLogger) {
    try {
      saveFirst = logger->ReportError(number, description, location, state.Silent, state.ErrLogFile,
                                      kFileDescription);
    } catch (...) {
    }
  }
  EndProgram(state, *files_.ports().end, saveFirst, kExitError);
}

void FileCommandsInputHost::reportFatal(long number, std::string_view procedure) {
  ReportFatalError(files_.state(), *files_.ports().end, number, procedure);
}

}  // namespace tvx
