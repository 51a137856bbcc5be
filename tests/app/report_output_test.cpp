// Report output: choices remembered in the settings file, the calculation
// only for results, copies, and the order of the reports per destination.
#include "reports/report_output.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "core/report_text.h"

#include "report_test_support.h"

namespace tvx::test {
namespace {

// An investor whose one buy the calculation turns into a Quorvex transaction.
orlendo::InvestorPtr investorWithABuy() {
  auto inv = makeInvestor("Ann Example", "Account 1", "12/31/1983", "12/31/1984");
  addBuySell(*inv, "Quorvex", "06/01/1984", "10", "500");
  return inv;
}

std::string key(std::string_view k) { return std::string(kPrefsSection) + "/" + std::string(k); }

// A choice is remembered for the next dialog, even Sales alone; an empty
// one (nothing ticked, or Cancel) produces nothing and is not remembered.
TEST(GetReports, OnlyARealChoiceIsRemembered) {
  ReportHarness h{66};
  h.state.Investor = investorWithABuy();
  const auto stored = [&] {
    return h.settings.values[key(kKeyInputReport)] + h.settings.values[key(kKeySummaryReport)] +
           h.settings.values[key(kKeyDetailedReport)] + h.settings.values[key(kKeySalesReport)];
  };
  h.choices.answer = ReportChoices{false, false, false, true};
  GetReports(h.ctx, kDestScreen);
  EXPECT_EQ(stored(), "0001");
  h.choices.answer = ReportChoices{false, false, false, false};
  GetReports(h.ctx, kDestScreen);
  EXPECT_EQ(stored(), "0001");
  h.choices.answer.reset();
  GetReports(h.ctx, kDestScreen);
  EXPECT_EQ(stored(), "0001");
}

TEST(RunReports, TwoPrintedCopiesAreTwoJobsWithPagesFromOne) {
  ReportHarness h{66};
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
  EXPECT_EQ(h.detailOption.presets.size(), 1u) << "the option dialog once per print run";
  EXPECT_EQ(h.printer.fontName(), "Printer Default") << "the printer font is given back";

  h.printDialog.copies = 1;  // the next run asks again
  RunReports(h.ctx, kDestPrinter);
  EXPECT_EQ(h.detailOption.presets.size(), 2u);
  h.printDialog.copies = 0;  // the print dialog cancelled: nothing printed
  RunReports(h.ctx, kDestPrinter);
  EXPECT_EQ(h.printer.jobs.size(), 3u);
  EXPECT_TRUE(h.printer.openPages().empty());
}
// A buy whose cost does not read, inside the range: the desktop names it and
// goes back to the main window; the batch run ends with 2 and writes nothing.
TEST(RunReports, ACalculationFailingOnAnEntryNamesItAndReturnsToTheProgram) {
  for (bool silent : {false, true}) {
    ReportHarness h;
    h.state.Silent = silent;
    h.state.CurrentFile = "/data/a.qvx";
    h.state.OutputFile = "/nonexistent-folder/out.txt";  // never reached
    h.state.RptSummary = h.state.RptDetail = 1;
    h.state.Investor = investorWithABuy();
    addBuySell(*h.state.Investor, "Quorvex", "07/01/1984", "5", "ten dollars");
    int ended = -1;
    try {
      RouteOutput(h.ctx, silent ? kDestFile : kDestScreen);
    } catch (const ProgramEnded& e) {
      ended = e.exitStatus;
    }
    EXPECT_EQ(ended, silent ? kExitError : -1);
    ASSERT_EQ(h.messages.shown.size(), 1u) << silent;
    EXPECT_EQ(h.messages.shown[0].text,
              "/data/a.qvx: security \"Quorvex\", entry 2: the Cost value \"ten dollars\" is not an amount.\n"
              "No report was made.");
    EXPECT_TRUE(h.windows.made.empty());
    EXPECT_EQ(h.busy.depth, 0);
  }
}

// No investor: the desktop shows a notice, a batch run ends through the fatal path.
TEST(RunReports, NoDataEndsABatchRunWithoutANotice) {
  ReportHarness h;
  h.state.Silent = true;
  h.state.RptSummary = 1;
  EXPECT_THROW(RouteOutput(h.ctx, kDestFile), ProgramEnded);
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_NE(h.messages.shown[0].title, "Notice");
}

TEST(RunReports, AnUnwritableFileLeavesItUntouchedAndEndsThroughTheFatalPath) {
  ReportHarness h;
  h.state.Silent = true;
  h.state.RptSummary = 1;
  h.state.RptDetail = 1;
  h.state.Investor = investorWithABuy();
  h.state.OutputFile = "/nonexistent-folder/out.txt";
  try {
    RouteOutput(h.ctx, kDestFile);
    FAIL();
  } catch (const ProgramEnded& e) {
    EXPECT_EQ(e.exitStatus, kExitError);
  }
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_NE(h.messages.shown[0].text.find("Location:           RunReports"), std::string::npos);
  EXPECT_NE(h.messages.shown[0].text.find("/nonexistent-folder/out.txt"), std::string::npos);
  EXPECT_EQ(h.messages.shown[0].text.find("Do you want to save"), std::string::npos) << "nobody to ask in batch";
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
// limits and signals), as the batch run sets it up: by a file-size limit (a
// full disk), or by a termination or interrupt signal. The file keeps its
// old bytes; one the append created is not left behind.
TEST(AppendToFile, AnAppendEndedPartWayLeavesTheOutputFileAsItWas) {
  TempFolder folder;
  enum class End { sizeLimit, terminate, interrupt };
  for (const End end : {End::sizeLimit, End::terminate, End::interrupt}) {
    for (const char* before : {"kept\r\n", static_cast<const char*>(nullptr)}) {
      SCOPED_TRACE(std::string(before ? "an existing file, " : "a new file, ") +
                   (end == End::sizeLimit ? "size limit" : end == End::terminate ? "SIGTERM" : "SIGINT"));
      const std::string out = folder.file("out.txt");
      std::filesystem::remove(out);
      if (before) folder.write("out.txt", before);
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        UndoOpenAppendOnFatalSignals();
        if (end == End::sizeLimit) {
          const rlimit limit{100, 100};
          ::setrlimit(RLIMIT_FSIZE, &limit);
          try {
            appendToFile(out, std::string(5000, 'r'));
          } catch (const orlendo::Error& e) {
            ::_exit(static_cast<int>(e.number()));
          }
          ::_exit(0);
        }
        FileAppend file(out);
        file.write(std::string(5000, 'r'));
        ::raise(end == End::terminate ? SIGTERM : SIGINT);
        ::_exit(0);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      if (end == End::sizeLimit) {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), orlendo::errnum::DiskFull);
      } else {
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, as without the handler";
        EXPECT_EQ(WTERMSIG(status), end == End::terminate ? SIGTERM : SIGINT);
      }
      if (before) EXPECT_EQ(readFile(out), before);
      else EXPECT_FALSE(std::filesystem::exists(out));
    }
  }

  // A signal that was ignored (a run under nohup) stays ignored, and the append goes on.
  const std::string out = folder.file("nohup.txt");
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGHUP, SIG_IGN);
    UndoOpenAppendOnFatalSignals();
    FileAppend file(out);
    file.write("first ");
    ::raise(SIGHUP);
    file.write("second");
    file.commit();
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(readFile(out), "first second");
}

}  // namespace
}  // namespace tvx::test
