// The orderly end, the fatal-error path and the error loggers (the log file
// entry, the desktop question, the batch report on standard error).
#include "core/error_logger.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

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
  EXPECT_EQ(readBytes(log),
            "03/04/2017 10:11:12\r\nError Number: 53 (File not found)\r\nLocation: MainMod.RunSilent\r\n"
            "          Investor.LoadFile\r\nDescription: Tallyvex\r\n\r\n"
            "03/04/2017 10:11:12\r\nError Number: 13 (Type mismatch)\r\nLocation: Reports.RunIPReport\r\n"
            "          Orlendo\r\nDescription: Tallyvex\r\n\r\n");

  // An empty log path writes no file (the current folder is the test's own);
  // an unwritable one does not fail.
  const std::string before = readBytes(log);
  EXPECT_FALSE(logger.ReportError(5, "x", "A.B", false, "", "Tallyvex"));
  EXPECT_EQ(readBytes(log), before);
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
  EXPECT_EQ(readBytes(victim), "mine");
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
