// Report output: choices remembered in the settings file, the calculation
// only for results, copies, the order of the reports per destination, how a
// failed run ends, the append to the output file, and the PDF files of a
// print run with the status text that names them. And the orderly end, the
// fatal-error path and the error loggers (the log file entry, the desktop
// question, the batch report on standard error).
#include "core/error_logger.h"
#include "core/error_paths.h"
#include "reports/pdf_output.h"
#include "reports/report_output.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "core/report_text.h"
#include "app_test_support.h"
#include "reports/no_data.h"

namespace tvx::test {
namespace {

// An investor whose one buy the calculation turns into a Quorvex transaction.
orlendo::InvestorPtr investorWithABuy() {
  auto inv = makeInvestor("Ann Example", "Account 1", "12/31/1983", "12/31/1984");
  addBuySell(*inv, "Quorvex", "06/01/1984", "10", "500");
  return inv;
}

// A choice is remembered for the next dialog, even Sales alone; an empty
// one (nothing ticked, or Cancel) produces nothing and is not remembered.
TEST(GetReports, OnlyARealChoiceIsRemembered) {
  ReportHarness h;
  h.state.Investor = investorWithABuy();
  ReportChoices salesAlone, nothing;
  salesAlone.input = salesAlone.summary = salesAlone.detail = nothing.input = nothing.summary = nothing.detail = false;
  salesAlone.sales = true;
  for (const auto& answer : {std::optional(salesAlone), std::optional(nothing), std::optional<ReportChoices>()}) {
    h.choices.answer = answer;
    GetReports(h.ctx, kDestScreen);
    std::string stored;
    for (std::string_view k : {kKeyInputReport, kKeySummaryReport, kKeyDetailedReport, kKeySalesReport})
      stored += h.settings.values[std::string(kPrefsSection) + "/" + std::string(k)];
    EXPECT_EQ(stored, "0001");
  }
}

TEST(RunReports, TwoPrintedCopiesAreTwoJobsWithPagesFromOne) {
  ReportHarness h;
  h.state.Investor = investorWithABuy();
  h.printDialog.copies = 2;
  RunReports(h.ctx, kDestPrinter);
  ASSERT_EQ(h.printer.jobs.size(), 2u);
  EXPECT_EQ(h.printer.jobs[0], h.printer.jobs[1]);
  // Input, Summary, Detailed: one page each, numbered 1 to 3 in each copy.
  ASSERT_EQ(h.printer.jobs[0].size(), 3u);
  EXPECT_NE(h.printer.jobs[0][0].find("Inputs - Tallyvex"), std::string::npos);
  EXPECT_NE(h.printer.jobs[0][1].find("Summary - Quorvex"), std::string::npos);
  EXPECT_NE(h.printer.jobs[0][2].find("Detailed Basis Report"), std::string::npos);
  EXPECT_NE(h.printer.jobs[0][2].find("  Page  3\r\n"), std::string::npos);
  EXPECT_EQ(h.detailOption.asked, 1) << "the option dialog once per print run";
  EXPECT_EQ(h.printer.fontName(), "Printer Default") << "the printer font is given back";

  h.printDialog.copies = 1;  // the next run asks again
  RunReports(h.ctx, kDestPrinter);
  EXPECT_EQ(h.detailOption.asked, 2);
  h.printDialog.copies = 0;  // the print dialog cancelled: nothing printed
  RunReports(h.ctx, kDestPrinter);
  EXPECT_EQ(h.printer.jobs.size(), 3u);
  EXPECT_TRUE(h.printer.openPages().empty());
}
// A failed run says why, once. A buy whose cost does not read (inside the
// range) is named, and the desktop goes back to the main window, as it does
// after its notice of no data; a batch run ends with 2 and writes nothing,
// asking nobody: also over no data (without the notice) and when the output
// file cannot be written.
TEST(RunReports, AFailedRunSaysWhyAndEndsOnlyABatchRun) {
  const std::string badCost = "/data/a.qvx: security \"Quorvex\", entry 2: the Cost value \"ten dollars\" is not an "
                              "amount.\nNo report was made.";
  struct Case {
    bool silent, investor, badEntry;
    std::string said;  // in the one message
  };
  const Case cases[] = {
      {false, true, true, badCost},
      {false, false, false, std::string(kNoDataText)},
      {true, true, true, badCost},
      {true, false, false, "Error Number:   10005"},
      {true, true, false, "Location:           RunReports\nSource:             tvxdesk\nDescription:     Cannot "
                          "open the output file \"/nonexistent-folder/out.txt\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    ReportHarness h;
    h.state.Silent = c.silent;
    h.state.CurrentFile = "/data/a.qvx";
    h.state.OutputFile = "/nonexistent-folder/out.txt";
    h.state.RptSummary = h.state.RptDetail = 1;
    if (c.investor) h.state.Investor = investorWithABuy();
    if (c.badEntry) addBuySell(*h.state.Investor, "Quorvex", "07/01/1984", "5", "ten dollars");
    int ended = -1;
    try {
      RouteOutput(h.ctx, c.silent ? kDestFile : kDestScreen);
    } catch (const ProgramEnded& e) {
      ended = e.exitStatus;
    }
    EXPECT_EQ(ended, c.silent ? kExitError : -1);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_NE(h.messages.shown[0].text.find(c.said), std::string::npos) << h.messages.shown[0].text;
    EXPECT_EQ(h.messages.shown[0].text.find("Do you want to save"), std::string::npos);
    EXPECT_EQ(h.messages.shown[0].title == "Notice", !c.investor && !c.silent);
    EXPECT_TRUE(h.windows.made.empty());
    EXPECT_EQ(h.busy.depth, 0);
  }
}

// A long Detailed report reaches the file in pieces while it is made; when
// a file replaced with it then cannot take its name, the output file goes
// back to its old bytes; a run that succeeds leaves every report.
TEST(RunReports, AFileRunThatFailsAfterItsFirstPiecesLeavesTheOutputFileAsItWas) {
  TempFolder folder;
  ReportHarness h;
  h.state.Silent = true;
  h.state.RptInput = h.state.RptSummary = h.state.RptDetail = 1;
  auto inv = makeInvestor("Ann Example", "Account 1", "12/31/1983", "12/31/1999");
  for (int i = 1; i <= 600; ++i) addBuySell(*inv, "Quorvex", "06/01/1984", std::to_string(i), "500");
  h.state.Investor = inv;
  h.state.OutputFile = folder.file("out.txt");
  folder.write("out.txt", "kept\r\n");
  std::size_t sizeBeforeTheEnd = 0;
  h.ctx.stageFiles = [&](std::vector<orlendo::StagedFile>& files) {
    sizeBeforeTheEnd = readFile(h.state.OutputFile).size();
    files.emplace_back(folder.file("x.csv"), "new");
    std::filesystem::create_directory(folder.file("x.csv"));  // the rename will fail
  };
  EXPECT_THROW(RouteOutput(h.ctx, kDestFile), ProgramEnded);
  EXPECT_GT(sizeBeforeTheEnd, 100'000u) << "the reports were on their way to the file";
  EXPECT_EQ(readFile(h.state.OutputFile), "kept\r\n");

  h.ctx.stageFiles = nullptr;
  h.state.Investor = inv;  // the failed run ended by releasing it
  RouteOutput(h.ctx, kDestFile);
  const std::string out = readFile(h.state.OutputFile);
  EXPECT_EQ(out.size(), sizeBeforeTheEnd);
  EXPECT_EQ(out.rfind("kept\r\n", 0), 0u);
  const auto detailed = out.find("  Description        Date");
  const auto summary = out.find("  Security                        Shares");
  EXPECT_TRUE(detailed < summary && summary != std::string::npos) << "in the file's order";
}

// An append ended part-way in a child process (so that the test keeps its
// limits, signals and calls), set up as in the batch run: by a file-size
// limit or a write that makes no progress (a full disk), a close that reports
// a delayed write error, or a termination or interrupt signal. The file keeps
// its old bytes; one the append created is not left behind. A signal that was
// ignored (a run under nohup) stays ignored and short writes go on: the whole
// text is appended.
TEST(AppendToFile, AnAppendEndedPartWayLeavesTheOutputFileAsItWas) {
  struct Case {
    const char* why;
    bool sizeLimit;
    detail::AppendCalls calls;
    int signal, status;  // raised after the first write; the exit status, or the signal that ends the child
    bool appended;
  };
  const Case cases[] = {
      {"size limit", true, {}, 0, orlendo::errnum::DiskFull, false},
      {"no progress", false, {[](int, const void*, std::size_t) -> ssize_t { return 0; }, nullptr}, 0,
       orlendo::errnum::DiskFull, false},
      {"close fails", false, {nullptr, [](int fd) { ::close(fd); errno = EIO; return -1; }}, 0,
       orlendo::errnum::DeviceIO, false},
      {"SIGTERM", false, {}, SIGTERM, SIGTERM, false},
      {"SIGINT", false, {}, SIGINT, SIGINT, false},
      {"SIGHUP ignored", false, {}, SIGHUP, 0, true},
      {"short writes", false, {[](int fd, const void* data, std::size_t) { return ::write(fd, data, 1); }, nullptr},
       0, 0, true},
  };
  TempFolder folder;
  const std::string out = folder.file("out.txt"), text(5000, 'r');
  for (const Case& c : cases) {
    for (const char* before : {"kept\r\n", ""}) {
      SCOPED_TRACE(std::string(c.why) + (*before ? ", an existing file" : ", a new file"));
      std::filesystem::remove(out);
      if (*before) folder.write("out.txt", before);
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        if (c.signal == SIGHUP) ::signal(SIGHUP, SIG_IGN);
        UndoOpenAppendOnFatalSignals();
        const rlimit limit{100, 100};
        if (c.sizeLimit) ::setrlimit(RLIMIT_FSIZE, &limit);
        detail::setAppendCalls(c.calls);
        try {
          FileAppend file(out);
          file.write(text);
          if (c.signal) ::raise(c.signal);
          file.commit();
        } catch (const orlendo::Error& e) {
          ::_exit(static_cast<int>(e.number()));
        }
        ::_exit(0);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      if (c.signal && !c.appended) {
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, as without the handler";
        EXPECT_EQ(WTERMSIG(status), c.status);
      } else {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.status);
      }
      const std::string left = std::filesystem::exists(out) ? readFile(out) : "(no file)";
      EXPECT_EQ(left, c.appended ? before + text : *before ? before : "(no file)");
    }
  }
}

// The PDF files of a print run and the status text that names them.
TEST(PdfOutput, FilesSitBesideTheDataFileNumberedPerJob) {
  const std::pair<std::pair<std::string, std::string>, std::string> defaults[] = {
      {{"/home/ann/tax/smith.qvx", "/home/ann/.local/share/Tallyvex"}, "/home/ann/tax/smith.pdf"},
      {{"/home/ann/tax/j.r. smith.QVX", "/data"}, "/home/ann/tax/j.r. smith.pdf"},
      {{"smith.qvx", "/data"}, "/data/smith.pdf"},  // no folder named: the fallback folder
      {{"", "/data"}, "/data/Tallyvex reports.pdf"},
  };
  for (const auto& [in, out] : defaults) EXPECT_EQ(DefaultPdfFile(in.first, in.second), out) << in.first;

  EXPECT_EQ(PdfFileForJob("/t/smith.pdf", 1), "/t/smith.pdf");
  EXPECT_EQ(PdfFileForJob("/t/smith.pdf", 2), "/t/smith-2.pdf");
  EXPECT_EQ(PdfFileForJob("/t/j.r. smith.pdf", 3), "/t/j.r. smith-3.pdf");
  EXPECT_EQ(PdfFileForJob("/t/out", 2), "/t/out-2.pdf");
}

TEST(PdfOutput, TheStatusNamesEveryFileWritten) {
  EXPECT_EQ(PrintedFilesStatus({}), "");
  EXPECT_EQ(PrintedFilesStatus({"/t/smith.pdf"}), "Reports written to /t/smith.pdf");
  EXPECT_EQ(PrintedFilesStatus({"/t/smith.pdf", "/t/smith-2.pdf"}),
            "Reports written to 2 files: /t/smith.pdf and smith-2.pdf");
  EXPECT_EQ(PrintedFilesStatus({"/t/a.pdf", "/t/a-2.pdf", "/t/a-3.pdf"}),
            "Reports written to 3 files: /t/a.pdf, a-2.pdf and a-3.pdf");
}

// ---- the end of the program and the error loggers ----

// The end's services over a report harness: Save As records the investor it
// saves, which must still be there.
struct EndHarness : ReportHarness {
  EndHarness() {
    state.Investor = makeInvestor("Ann Example", "Account 1");
    end.settings = &settings;
    end.printer = &printer;
    end.saveAs = [this] { savedName = state.Investor ? state.Investor->sName() : "<released>"; };
    end.exit = [this](int status) { exitStatus = status; };
  }
  std::string savedName;
  int exitStatus = -1;
};

TEST(ReportFatalError, SevenLinesWithTheirBlanksAndYesSaves) {
  EXPECT_EQ(FatalErrorText(53, "FileExists"),
            "An error has occurred in Tallyvex.\n"
            "\n"
            "Error Number:   53\n"
            "Error Type:        File not found\n"
            "Location:           FileExists\n"
            "\n"
            "Do you want to save your data before the program shuts down?");
  for (Answer answer : {Answer::Yes, Answer::No}) {
    EndHarness h;
    h.messages.answers = {answer};
    EXPECT_THROW(ReportFatalError(h.state, h.end, 13, "GetInputs"), ProgramEnded);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].title, "WARNING!");
    EXPECT_EQ(h.messages.shown[0].icon, Icon::Stop);
    EXPECT_EQ(h.messages.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(h.savedName, answer == Answer::Yes ? "Ann Example" : "");
    EXPECT_EQ(h.exitStatus, kExitError);
  }
}

TEST(ReportFatalError, InBatchModeNobodyIsAskedAndTheTrailAndFilesAreShown) {
  EndHarness h;
  h.state.Silent = true;
  h.state.CurrentFile = "/d/a.qvx";
  h.state.OutputFile = "/d/a.txt";
  h.messages.answers = {Answer::Yes};
  EXPECT_THROW(ReportFatalError(h.state, h.end, 13, "RunReports", "Investor.Calculate\rOrlendo"), ProgramEnded);
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].buttons, Buttons::Ok);
  EXPECT_EQ(h.messages.shown[0].text,
            "An error has occurred in Tallyvex.\n\nError Number:   13\nError Type:        Type mismatch\n"
            "Location:           RunReports\nSource:             Investor.Calculate\n                    Orlendo\n"
            "Input file:         /d/a.qvx\nOutput file:        /d/a.txt");
  EXPECT_EQ(h.savedName, "");
}

// The error loggers: the log file entry, the desktop question, the batch
// report on standard error.
std::string fixedClock() { return "03/04/2017 10:11:12"; }

TEST(DesktopErrorLogger, ReportErrorAppendsOneEntryPerErrorAndAsksUnlessSilent) {
  TempFolder folder;
  const std::string log = folder.file("QVX_err.log");
  ScriptedMessageBox box;
  box.answers = {Answer::Yes};
  DesktopErrorLogger logger(box, fixedClock);
  EXPECT_TRUE(logger.ReportError(53, "Tallyvex", "MainMod.RunSilent\rInvestor.LoadFile", false, log, "Tallyvex"));
  EXPECT_FALSE(logger.ReportError(13, "Tallyvex", "Reports.RunIPReport\rOrlendo", true, log, "Tallyvex"));
  ASSERT_EQ(box.shown.size(), 1u) << "a silent report asks nothing";
  EXPECT_EQ(box.shown[0].buttons, Buttons::YesNo);
  EXPECT_NE(box.shown[0].text.find("MainMod.RunSilent"), std::string::npos);
  EXPECT_EQ(readFile(log),
            "03/04/2017 10:11:12\r\nError Number: 53 (File not found)\r\nLocation: MainMod.RunSilent\r\n"
            "          Investor.LoadFile\r\nDescription: Tallyvex\r\n\r\n"
            "03/04/2017 10:11:12\r\nError Number: 13 (Type mismatch)\r\nLocation: Reports.RunIPReport\r\n"
            "          Orlendo\r\nDescription: Tallyvex\r\n\r\n");

  // An empty log path writes no file (the current folder is the test's own);
  // an unwritable one does not fail.
  const std::string before = readFile(log);
  EXPECT_FALSE(logger.ReportError(5, "x", "A.B", false, "", "Tallyvex"));
  EXPECT_EQ(readFile(log), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
  EXPECT_FALSE(appendErrorLogEntry(folder.file("no/such/QVX_err.log"), "t", 5, "x", "A.B"));
  EXPECT_EQ(std::filesystem::status(log).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  // A link at the log's name is not followed, and a FIFO there does not hang the report.
  const std::string victim = folder.write("notes.txt", "mine");
  std::filesystem::create_symlink(victim, folder.file("link.log"));
  ::mkfifo(folder.file("fifo.log").c_str(), 0600);
  for (const char* name : {"link.log", "fifo.log"})
    EXPECT_FALSE(appendErrorLogEntry(folder.file(name), "t", 5, "x", "A.B")) << name;
  EXPECT_EQ(readFile(victim), "mine");
}

TEST(BatchErrorLogger, PrintsOnStandardErrorWithTheRunsFilesAndNeverAsks) {
  std::ostringstream err;
  AppState state;
  BatchErrorLogger logger(err, fixedClock, &state);
  EXPECT_FALSE(logger.ReportError(76, "Tallyvex", "MainMod.RunSilent\rInvestor.LoadFile", true, "", "Tallyvex"));
  state.CurrentFile = "/d/a.qvx";
  EXPECT_FALSE(logger.ShowError(5, "bad", "Reports.RouteOutput\rtvxdesk", "Tallyvex"));
  EXPECT_EQ(err.str(),
            "An error has occurred in Tallyvex.\nError Number: 76 (Path not found)\n"
            "Location: MainMod.RunSilent\n          Investor.LoadFile\nDescription: Tallyvex\n"
            "An error has occurred in Tallyvex.\nError Number: 5 (Invalid procedure call or argument)\n"
            "Location: Reports.RouteOutput\n          tvxdesk\nDescription: bad\nInput file:         /d/a.qvx\n");
}

}  // namespace
}  // namespace tvx::test
