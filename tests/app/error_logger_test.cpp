// The error loggers: the log file entry, the desktop question, the batch
// report on standard error.
#include "core/error_logger.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <sstream>

#include "core/app_state.h"
#include "report_test_support.h"

namespace tvx::test {
namespace {

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
