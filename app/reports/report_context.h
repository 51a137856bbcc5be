// Everything a report run needs of the program: the application state, the
// ports to the user and the printer, and the state the reports keep for the
// run of the program. The desktop program fills every port; the batch run
// fills only what a file report needs (the rest stay null and are never
// reached: no dialog, no printer, no window in batch mode).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"
#include "core/error_paths.h"
#include "core/ports.h"
#include "reports/page_manager.h"

namespace orlendo {
class ProgressObserver;
class StagedFile;
class SalesRecord;
}

namespace tvx {

class FileAppend;
class Printer;
class ReportWindowFactory;

// What the reports keep for the run of the program.
struct ReportProgramState {
  PageManager pages;
  bool NewPagePerSecurity = false;  // the Detailed Report Option, never saved
};

struct ReportContext {
  ReportContext(AppState& s, EndServices& e, ReportProgramState& p) : state(s), end(e), program(p) {}

  AppState& state;
  EndServices& end;              // the error paths
  ReportProgramState& program;

  MessageBox* messages = nullptr;
  ChoiceDialog* choices = nullptr;
  PrintDialog* printDialog = nullptr;
  DetailOptionDialog* detailOption = nullptr;
  BusyPointer* busy = nullptr;
  SettingsStore* settings = nullptr;
  Printer* printer = nullptr;
  ReportWindowFactory* windows = nullptr;
  // Follows the calculation (the progress window); null runs it silently.
  orlendo::ProgressObserver* progress = nullptr;

  // Lets pending window events be processed (empty: nothing to process).
  std::function<void()> processEvents;
  // The font-missing explanation with its "don't show again" box: returns
  // the new value of HideError380 (settings, in the desktop program).
  std::function<bool(std::string_view message, bool hide)> showErrorInfo;
  // The font dialog: sets AppState FontName/FontSize (unchanged on cancel).
  std::function<void()> getFonts;

  // The font dialog has been offered in this run of the reports: a font that
  // is still missing then prints in the printer's default without asking again.
  bool fontAsked = false;

  // When not null, the file reports of this run go here, piece by piece, as
  // one append that is kept only when the whole run succeeds (RunReports);
  // otherwise each report is appended to OutputFile on its own.
  FileAppend* reportFile = nullptr;
  // File destination: runs once the reports are made from the calculation,
  // before their append is kept, and adds the files the run replaces, each
  // written to its temporary name (the batch's CSV export), so that one
  // calculation feeds every file and the run keeps all of them or none
  // (CommitTogether).
  std::function<void(std::vector<orlendo::StagedFile>&)> stageFiles;

  // When set, the calculation also walks the tax lots (CalculateInvestor)
  // and leaves what they recorded in `lots`.
  bool recordLots = false;
  std::shared_ptr<const orlendo::SalesRecord> lots;
};

}  // namespace tvx
