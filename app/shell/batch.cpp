#include "shell/batch.h"

#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>

#include "orlendo/entries.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "reports/page_manager.h"
#include "reports/report_context.h"
#include "reports/report_output.h"
#include "shell/command_line.h"
#include "shell/error_logger.h"
#include "shell/error_paths.h"

namespace tvx {

namespace {

std::filesystem::file_status statusOf(std::string_view path, std::error_code& ec) {
  return std::filesystem::status(std::filesystem::path(path), ec);
}

}  // namespace

PathKind KindOfPath(std::string_view path) {
  if (path.empty()) return PathKind::Missing;
  std::error_code ec;
  const auto status = statusOf(path, ec);
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
    return PathKind::Unreachable;
  if (!std::filesystem::exists(status)) return PathKind::Missing;
  return std::filesystem::is_regular_file(status) ? PathKind::RegularFile : PathKind::Other;
}

bool FileExists(std::string_view path) { return KindOfPath(path) == PathKind::RegularFile; }

std::string InputFileProblem(std::string_view path) {
  switch (KindOfPath(path)) {
    case PathKind::RegularFile: return {};
    case PathKind::Missing: return std::string(path) + std::string(kDoesNotExist);
    case PathKind::Other: return std::string(path) + std::string(kNotARegularFile);
    case PathKind::Unreachable: break;
  }
  std::error_code ec;
  statusOf(path, ec);
  return std::string(path) + " cannot be reached: " + ec.message() + ".";
}

std::string EntryFaultText(std::string_view file, const orlendo::EntryFault& fault) {
  std::string text = std::string(file) + ": security \"" + fault.security + "\", entry " +
                     std::to_string(fault.entry) + ": the " + fault.field + " value ";
  if (fault.text.empty()) return text + "is missing.";
  const char* kind = fault.field == "Date" ? "a date" : fault.field == "Cost" ? "an amount" : "a number";
  return text + "\"" + fault.text + "\" is not " + kind + ".";
}

std::string LoadDataFile(orlendo::Investor& investor, const std::string& file) {
  try {
    investor.LoadFile(file);
  } catch (...) {
    // A description of its own names the file and says what is wrong.
    const CaughtError e = currentError();
    return HasOwnDescription(e) ? e.description : file + " could not be read: " + ReasonText(e) + ".";
  }
  if (const auto fault = orlendo::findUnreadableEntry(investor)) return EntryFaultText(file, *fault);
  return {};
}

int OpenFileBatch(ReportContext& ctx, const std::string& fileName) {
  try {
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
  } catch (const ProgramEnded&) {
    throw;
  } catch (...) {
    ReportCaughtError(ctx.state, ctx.end, "FileOperations.OpenFile");
  }
}

int RunSilent(ReportContext& ctx) {
  AppState& state = ctx.state;
  auto tell = [&](const std::string& text) {
    if (ctx.messages) ctx.messages->show("WARNING", text, Icon::Exclamation, Buttons::Ok);
  };
  try {
    try {
      state.RptSummary = 1;
      state.RptDetail = 1;
      if (state.CurrentFile.empty()) {
        tell("No input file was given: use /input followed by the name of a .qvx file.");
        return kExitMissingInput;
      }
      if (const int opened = OpenFileBatch(ctx, state.CurrentFile); opened != kExitOk) return opened;
      if (state.OutputFile.empty()) {
        tell("No output file was given: use /output followed by the name of a .txt file.");
        return kExitError;
      }
      RouteOutput(ctx, kDestFile);
      return kExitOk;
    } catch (const ProgramEnded&) {
      throw;
    } catch (...) {
      ReportCaughtError(state, ctx.end, "MainMod.RunSilent");
    }
  } catch (const ProgramEnded& ended) {
    // In a batch run the program only ends early through an error path.
    return ended.exitStatus == kExitOk ? kExitError : ended.exitStatus;
  }
}

Answer StderrMessageBox::show(std::string_view title, std::string_view text, Icon, Buttons buttons) {
  err_ << "tvxdesk: " << title << ": " << text << '\n';
  err_.flush();
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::YesNoCancel: return Answer::Cancel;
  }
  return Answer::Cancel;
}

int RunBatchMain(std::span<const std::string> args, std::ostream& err) {
  StderrMessageBox messages(err);
  AppState state;
  EndServices end;
  end.messages = &messages;
  ReportProgramState program;
  ReportContext ctx{state, end, program};
  ctx.messages = &messages;
  try {
    try {
      // Main, steps 1 to 3, for a batch run.
      state.ErrorLogger = std::make_shared<BatchErrorLogger>(err, currentLogTimestamp, &state);
      state.Investor = orlendo::Investor::create();
      state.VersionTag = makeVersionTag();
      state.Investor->Version(state.VersionTag);
      state.Silent = IsSilent(args);
    } catch (const ProgramEnded&) {
      throw;
    } catch (...) {
      ShowCaughtError(state, end, "MainMod.IsSilent");
    }
    try {
      state.CurrentFile = GetCommandLineFilename(args, kInputExtension, kSwitchInput);
      state.OutputFile = GetCommandLineFilename(args, kOutputExtension, kSwitchOutput);
    } catch (const ProgramEnded&) {
      throw;
    } catch (...) {
      ShowCaughtError(state, end, "MainMod.GetCommandLineFilename");
    }
  } catch (const ProgramEnded& ended) {
    return ended.exitStatus == kExitOk ? kExitError : ended.exitStatus;
  }
  return RunSilent(ctx);
}

}  // namespace tvx
