#include "batch/batch.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <vector>

#include "core/error_logger.h"
#include "core/error_paths.h"
#include "core/files.h"
#include "core/report_text.h"
#include "orlendo/ascii.h"
#include "orlendo/entries.h"
#include "orlendo/mapped_reads.h"
#include "orlendo/model.h"
#include "orlendo/profile_file.h"
#include "orlendo/sales.h"
#include "reports/csv_export.h"
#include "reports/page_manager.h"
#include "reports/report_context.h"
#include "reports/report_output.h"
#include "reports/sales_export.h"
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
        // A folder, FIFO or device named without the data file ending.
        if (!given.inputWord.empty() && KindOfPath(given.inputWord) == PathKind::Other) {
          tell(given.inputWord + std::string(kNotARegularFile));
          return kExitError;
        }
        tell("No input file was given: use /input followed by the name of a .qvx file.");
        return kExitMissingInput;
      }
      if (const int opened = OpenFileBatch(ctx, state.CurrentFile); opened != kExitOk) return opened;
      const bool reports = given.output || !state.OutputFile.empty();
      const bool csv = given.csv || !state.CsvFile.empty();
      const bool sales = given.sales || !state.SalesFile.empty();
      if (!reports && !csv && !sales) {
        tell("No output file was given: use /output followed by the name of a .txt file, "
             "/csv followed by the name of a .csv file, or /sales followed by the name of a .csv file.");
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
      if (sales && state.SalesFile.empty()) {
        tell("No sales file was given: use /sales followed by the name of a .csv file.");
        return kExitError;
      }
      std::optional<int> taxYear;
      if (given.taxYear) {
        taxYear = TaxYearFromText(*given.taxYear);
        if (!taxYear) {
          tell("The tax year \"" + *given.taxYear + "\" is not a year: use /taxyear followed by a year such as 1994.");
          return kExitError;
        }
      }
      orlendo::LotMethod method = orlendo::LotMethod::fifo;
      if (given.method) {
        const auto chosen = orlendo::lotMethodFromText(orlendo::foldKey(*given.method));
        if (!chosen) {
          tell("The method \"" + *given.method + "\" is not known: use /method fifo or /method average.");
          return kExitError;
        }
        method = *chosen;
      }
      ctx.recordLots = sales;
      // Refused as the input is: a FIFO would hang the run, a device or a
      // folder cannot take the files.
      for (const std::string* file : {&state.OutputFile, &state.CsvFile, &state.SalesFile}) {
        if (!file->empty() && KindOfPath(*file) == PathKind::Other) {
          tell(*file + std::string(kNotARegularFile));
          return kExitError;
        }
      }
      // Every file from the one calculation, each written to its temporary
      // name, then kept together with the reports (CommitTogether).
      const auto stageFiles = [&](std::vector<orlendo::StagedFile>& files) {
        if (csv) files.push_back(StageTransactionsCsv(MakeTransactionsCsv(*state.Investor).text, state.CsvFile));
        if (sales) files.push_back(StageSalesCsv(*ctx.lots, method, taxYear, state.SalesFile));
      };
      if (!reports) {
        if (!CalculateOrShowFault(ctx, sales, sales ? "No file was written." : "No CSV file was written."))
          return kExitError;
        SignalsHeld held;
        std::vector<orlendo::StagedFile> files;
        stageFiles(files);
        CommitTogether(nullptr, files);
        return kExitOk;
      }
      ctx.stageFiles = stageFiles;
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

// Ends the process with `status` when `exitAtEnd`, before the run's objects
// are torn down: the output files are closed, and freeing tens of thousands
// of objects would only touch their pages once more.
int finish(int status, bool exitAtEnd) {
  if (exitAtEnd) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}

int runBatch(std::span<const std::string> args, const MessageStream& err, bool exitAtEnd) {
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
      state.SalesFile = GetCommandLineFilename(args, kCsvExtension, kSwitchSales);
    });
  } catch (const ProgramEnded& ended) {
    return finish(ended.exitStatus == kExitOk ? kExitError : ended.exitStatus, exitAtEnd);
  }
  return finish(RunSilent(ctx, {HasSwitch(args, kSwitchOutput), HasSwitch(args, kSwitchCsv), HasSwitch(args, kSwitchSales),
                                GetSwitchValue(args, kSwitchTaxYear), GetSwitchValue(args, kSwitchMethod),
                                GetCommandLineFilename(args, "", kSwitchInput)}),
                exitAtEnd);
}

}  // namespace

namespace {

// The input file is mapped while it is loaded (before any output file is
// opened): another program that cuts it short meanwhile ends the run with a
// message instead of a crash.
void endOnInputCutShort(int) {
  constexpr char kText[] = "tvxdesk: WARNING: the input file was changed by another program while it was read.\n";
  (void)!::write(STDERR_FILENO, kText, sizeof kText - 1);
  std::_Exit(kExitError);
}

}  // namespace

void RunBatchAndExit(std::span<const std::string> args, MessageStream err) {
  // The reports reach the output file piece by piece: a Ctrl+C or a kill
  // meanwhile must not leave half of them behind.
  UndoOpenAppendOnFatalSignals();
  struct sigaction action {};
  action.sa_handler = endOnInputCutShort;
  sigemptyset(&action.sa_mask);
  if (::sigaction(SIGBUS, &action, nullptr) == 0) orlendo::allowMappedReads(true);
  runBatch(args, err, true);
  std::abort();  // runBatch has ended the process
}

}  // namespace tvx
