// The orderly end and the fatal-error path.
#include "shell/error_paths.h"

#include <gtest/gtest.h>

#include "report_test_support.h"

namespace tvx::test {
namespace {

struct EndHarness {
  EndHarness() {
    state.Investor = makeInvestor("Ann Example", "Account 1");
    state.ErrorLogger = std::make_shared<RecordingLogger>();
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
  RecordingMessageBox messages;
  FakeSettings settings;
  RecordingPrinter printer;
  std::string savedName;
  int saves = 0;
  int exitStatus = -1;
};

TEST(EndProgram, SavesFirstWhileTheInvestorIsStillThereThenReleases) {
  EndHarness h;
  h.printer.setFontName("Printer Default");
  try {
    EndProgram(h.state, h.end, true);
    FAIL();
  } catch (const ProgramEnded& e) {
    EXPECT_EQ(e.exitStatus, kExitOk);
  }
  EXPECT_EQ(h.saves, 1);
  EXPECT_EQ(h.savedName, "Ann Example");
  EXPECT_FALSE(h.state.Investor);
  EXPECT_FALSE(h.state.ErrorLogger);
  EXPECT_EQ(h.exitStatus, kExitOk);
  EXPECT_EQ(h.settings.values["User Preferences/Font Name"], "Courier New");
  EXPECT_EQ(h.settings.values["User Preferences/Font Size"], "10.5");
  EXPECT_EQ(h.printer.fontName(), "Courier New");
  EXPECT_EQ(h.printer.fontSize(), 12.0f);
}

TEST(EndProgram, WithoutSaveAndWithoutSettingsFileWritesNothing) {
  EndHarness h;
  h.state.IniFile.clear();
  EXPECT_THROW(EndProgram(h.state, h.end, false, kExitError), ProgramEnded);
  EXPECT_EQ(h.saves, 0);
  EXPECT_TRUE(h.settings.values.empty());
  EXPECT_EQ(h.exitStatus, kExitError);
}

TEST(EndProgram, AFailingSaveStillEndsTheProgram) {
  EndHarness h;
  h.end.saveAs = [] { throw std::runtime_error("disk full"); };
  EXPECT_THROW(EndProgram(h.state, h.end, true), ProgramEnded);
  EXPECT_FALSE(h.state.Investor);
}

TEST(ReportFatalError, SevenLinesWithTheirBlanks) {
  EXPECT_EQ(FatalErrorText(53, "FileExists"),
            "An error has occurred in the Tallyvex.\n"
            "\n"
            "Error Number:   53\n"
            "Error Type:        File not found\n"
            "Location:           FileExists\n"
            "\n"
            "Do you want to save your data before the program shuts down?");
}

TEST(ReportFatalError, YesSavesAndNoDoesNot) {
  for (Answer answer : {Answer::Yes, Answer::No}) {
    EndHarness h;
    h.messages.answer = answer;
    EXPECT_THROW(ReportFatalError(h.state, h.end, 13, "GetInputs"), ProgramEnded);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].title, "WARNING!");
    EXPECT_EQ(h.messages.shown[0].icon, Icon::Stop);
    EXPECT_EQ(h.messages.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(h.saves, answer == Answer::Yes ? 1 : 0);
    if (answer == Answer::Yes) {
      EXPECT_EQ(h.savedName, "Ann Example");
    }
    EXPECT_EQ(h.exitStatus, kExitError);
  }
}

TEST(ReportFatalError, InBatchModeNobodyIsAskedAndTheTrailIsShown) {
  EndHarness h;
  h.state.Silent = true;
  h.messages.answer = Answer::Yes;
  EXPECT_THROW(ReportFatalError(h.state, h.end, 13, "RunReports", "Investor.Calculate\rOrlendo"), ProgramEnded);
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].buttons, Buttons::Ok);
  EXPECT_EQ(h.messages.shown[0].text,
            "An error has occurred in the Tallyvex.\n\nError Number:   13\nError Type:        Type mismatch\n"
            "Location:           RunReports\nSource:             Investor.Calculate\n                    Orlendo");
  EXPECT_EQ(h.saves, 0);
}

TEST(ErrorLoggerPath, LocationCarriesTheTrailAndTheAnswerDecidesTheSave) {
  for (bool answer : {true, false}) {
    EndHarness h;
    auto logger = std::make_shared<RecordingLogger>();
    logger->answer = answer;
    h.state.ErrorLogger = logger;
    try {
      try {
        throw orlendo::Error(53, "Investor.LoadFile\rInvestor.Fetch", "Tallyvex");
      } catch (...) {
        ReportCaughtError(h.state, h.end, "FileOperations.OpenFile");
      }
    } catch (const ProgramEnded& e) {
      EXPECT_EQ(e.exitStatus, kExitError);
    }
    ASSERT_EQ(logger->calls.size(), 1u);
    EXPECT_EQ(logger->calls[0].kind, "ReportError");
    EXPECT_EQ(logger->calls[0].location, "FileOperations.OpenFile\rInvestor.LoadFile\rInvestor.Fetch");
    EXPECT_EQ(logger->calls[0].number, 53);
    EXPECT_EQ(logger->calls[0].description, "Tallyvex");
    EXPECT_EQ(h.saves, answer ? 1 : 0);
  }
}

}  // namespace
}  // namespace tvx::test
