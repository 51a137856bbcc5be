#include "batch/batch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <vector>

#include "core/error_logger.h"
#include "core/error_paths.h"
#include "core/files.h"
#include "core/report_text.h"
#include "orlendo/ascii.h"
#include "orlendo/entries.h"
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

namespace {

// The files a run replaces, taken back together: when a later one fails, the
// ones written before it get their old content back (or go, when they were new).
class FilesTakenBackTogether {
 public:
  FilesTakenBackTogether() = default;
  FilesTakenBackTogether(const FilesTakenBackTogether&) = delete;
  FilesTakenBackTogether& operator=(const FilesTakenBackTogether&) = delete;
  ~FilesTakenBackTogether() {
    if (kept_) return;
    for (auto it = old_.rbegin(); it != old_.rend(); ++it) {
      try {
        if (it->existed) orlendo::writeFileAtomically(it->path, it->bytes);
        else std::filesystem::remove(it->path);
      } catch (...) {
      }
    }
  }
  // Call before `path` is written.
  void remember(const std::string& path) {
    Old old{path, {}, false};
    old.existed = orlendo::readFileBytes(path, old.bytes);
    old_.push_back(std::move(old));
  }
  void keep() { kept_ = true; }

 private:
  struct Old {
    std::string path;
    std::string bytes;
    bool existed;
  };
  std::vector<Old> old_;
  bool kept_ = false;
};

}  // namespace

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
      // Every file from the one calculation; the CSV files before the reports are kept.
      auto writeFiles = [&] {
        FilesTakenBackTogether files;
        if (csv) {
          files.remember(state.CsvFile);
          WriteTransactionsCsv(*state.Investor, state.CsvFile);
        }
        if (sales) {
          files.remember(state.SalesFile);
          WriteSalesCsv(*ctx.lots, method, taxYear, state.SalesFile);
        }
        files.keep();
      };
      if (!reports) {
        try {
          CalculateInvestor(ctx);
        } catch (const orlendo::EntryError& e) {
          ShowEntryFault(ctx, e, sales ? "No file was written." : "No CSV file was written.");
          return kExitError;
        }
        writeFiles();
        return kExitOk;
      }
      ctx.beforeFileWrite = writeFiles;
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
      state.SalesFile = GetCommandLineFilename(args, kCsvExtension, kSwitchSales);
    });
  } catch (const ProgramEnded& ended) {
    return ended.exitStatus == kExitOk ? kExitError : ended.exitStatus;
  }
  return RunSilent(ctx, {HasSwitch(args, kSwitchOutput), HasSwitch(args, kSwitchCsv), HasSwitch(args, kSwitchSales),
                        GetSwitchValue(args, kSwitchTaxYear), GetSwitchValue(args, kSwitchMethod)});
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
