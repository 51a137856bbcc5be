#include "batch/batch.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "core/error_logger.h"
#include "core/error_paths.h"
#include "core/files.h"
#include "core/report_text.h"
#include "orlendo/model.h"
#include "reports/csv_export.h"
#include "reports/page_manager.h"
#include "reports/report_context.h"
#include "reports/report_output.h"
#include "shell/command_line.h"

namespace tvx {

int OpenFileBatch(ReportContext& ctx, const std::string& fileName) {
  return Guarded(ctx.state, ctx.end, ErrorPath::report, "FileOperations.OpenFile", [&] {
    ctx.state.CurrentFile = fileName;
    auto tell = [&](const std::string& text) {
      if (ctx.messages) ctx.messages->show("WARNING", text, Icon::Exclamation, Buttons::Ok);
    };
    const PathKind kind = KindOfPath(fileName);
    if (kind != PathKind::RegularFile) {
      tell(InputFileProblem(fileName));
      return kind == PathKind::Missing ? kExitMissingInput : kExitError;
    }
    if (const std::string refusal = LoadDataFile(*ctx.state.Investor, fileName); !refusal.empty()) {
      tell(refusal);
      return kExitError;
    }
    ctx.state.DataSaved = true;
    return kExitOk;
  });
}

int RunSilent(ReportContext& ctx, OutputSwitches given) {
  AppState& state = ctx.state;
  auto tell = [&](const std::string& text) {
    if (ctx.messages) ctx.messages->show("WARNING", text, Icon::Exclamation, Buttons::Ok);
  };
  try {
    return Guarded(state, ctx.end, ErrorPath::report, "MainMod.RunSilent", [&] {
      state.RptSummary = 1;
      state.RptDetail = 1;
      if (state.CurrentFile.empty()) {
        tell("No input file was given: use /input followed by the name of a .qvx file.");
        return kExitMissingInput;
      }
      if (const int opened = OpenFileBatch(ctx, state.CurrentFile); opened != kExitOk) return opened;
      const bool reports = given.output || !state.OutputFile.empty();
      const bool csv = given.csv || !state.CsvFile.empty();
      if (!reports && !csv) {
        tell("No output file was given: use /output followed by the name of a .txt file, "
             "or /csv followed by the name of a .csv file.");
        return kExitError;
      }
      // A switch whose name did not come through would otherwise be skipped in silence.
      if (reports && state.OutputFile.empty()) {
        tell("No output file was given: use /output followed by the name of a .txt file.");
        return kExitError;
      }
      if (csv && state.CsvFile.empty()) {
        tell("No CSV file was given: use /csv followed by the name of a .csv file.");
        return kExitError;
      }
      if (!reports) {
        return ExportTransactions(ctx, state.CsvFile) < 0 ? kExitError : kExitOk;
      }
      if (csv) ctx.beforeFileWrite = [&] { WriteTransactionsCsv(*state.Investor, state.CsvFile); };
      RouteOutput(ctx, kDestFile);
      return kExitOk;
    });
  } catch (const ProgramEnded& ended) {
    // In a batch run the program only ends early through an error path.
    return ended.exitStatus == kExitOk ? kExitError : ended.exitStatus;
  }
}

Answer StderrMessageBox::show(std::string_view title, std::string_view text, Icon, Buttons buttons) {
  std::ostream& err = *err_;
  err << "tvxdesk: " << title << ": " << text << '\n';
  err.flush();
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::YesNoCancel: return Answer::Cancel;
  }
  return Answer::Cancel;
}

namespace {

int runBatch(std::span<const std::string> args, const MessageStream& err) {
  StderrMessageBox messages(err);
  AppState state;
  EndServices end;
  end.messages = &messages;
  ReportProgramState program;
  ReportContext ctx{state, end, program};
  ctx.messages = &messages;
  try {
    Guarded(state, end, ErrorPath::show, "MainMod.IsSilent", [&] {
      // Main, steps 1 to 3, for a batch run.
      state.ErrorLogger = std::make_shared<BatchErrorLogger>(err, currentLogTimestamp, &state);
      state.Investor = orlendo::Investor::create();
      state.VersionTag = makeVersionTag();
      state.Investor->Version(state.VersionTag);
      state.Silent = IsSilent(args);
    });
    Guarded(state, end, ErrorPath::show, "MainMod.GetCommandLineFilename", [&] {
      state.CurrentFile = GetCommandLineFilename(args, kInputExtension, kSwitchInput);
      state.OutputFile = GetCommandLineFilename(args, kOutputExtension, kSwitchOutput);
      state.CsvFile = GetCommandLineFilename(args, kCsvExtension, kSwitchCsv);
    });
  } catch (const ProgramEnded& ended) {
    return ended.exitStatus == kExitOk ? kExitError : ended.exitStatus;
  }
  return RunSilent(ctx, {HasSwitch(args, kSwitchOutput), HasSwitch(args, kSwitchCsv)});
}

}  // namespace

void RunBatchAndExit(std::span<const std::string> args, MessageStream err) {
  // The reports reach the output file piece by piece: a Ctrl+C or a kill
  // meanwhile must not leave half of them behind.
  UndoOpenAppendOnFatalSignals();
  const int status = runBatch(args, err);
  // The output files are closed; tearing down tens of thousands of objects
  // would only touch their pages once more.
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace tvx
