// The orderly end and the fatal-error path.
#include "core/error_paths.h"

#include <gtest/gtest.h>

#include "report_test_support.h"

namespace tvx::test {
namespace {

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

}  // namespace
}  // namespace tvx::test
