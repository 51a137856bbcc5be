// The orderly end and the fatal-error path.
#include "core/error_paths.h"

#include <gtest/gtest.h>

#include "report_test_support.h"

namespace tvx::test {
namespace {

struct EndHarness {
  EndHarness() {
    state.Investor = makeInvestor("Ann Example", "Account 1");
    state.ErrorLogger = logger;
    state.IniFile = "/cfg/tvxdesk.ini";
    state.FontName = "Courier New";
    state.FontSize = 10.5f;
    state.PrnFontName = "Courier New";
    state.PrnFontSize = 12;
    state.PrnFontBold = true;
    end.messages = &messages;
    end.settings = &settings;
    end.printer = &printer;
    end.saveAs = [this] {
      // The save needs the investor: it must still be there.
      savedName = state.Investor ? state.Investor->sName() : "<released>";
      ++saves;
    };
    end.exit = [this](int status) { exitStatus = status; };
  }
  AppState state;
  EndServices end;
  ScriptedMessageBox messages;
  FakeSettings settings;
  RecordingPrinter printer;
  std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
  std::string savedName;
  int saves = 0;
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
  EXPECT_EQ(h.saves, 0);
}

}  // namespace
}  // namespace tvx::test
