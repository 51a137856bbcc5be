#include "shell/startup.h"

#include <gtest/gtest.h>

#include "shell_test_support.h"

namespace tvx::test {
namespace {

TEST(UpdateReminder, DueOnlyAfterFebruaryFirstTwoYearsOn) {
  EXPECT_FALSE(UpdateReminderDue(FixedClock(2019, 2, 1), 2017));  // the very day: not yet
  EXPECT_TRUE(UpdateReminderDue(FixedClock(2019, 2, 2), 2017));
  EXPECT_FALSE(UpdateReminderDue(FixedClock(2019, 1, 31), 2017));
  EXPECT_TRUE(UpdateReminderDue(FixedClock(2019, 3, 1), 2017));
  EXPECT_FALSE(UpdateReminderDue(FixedClock(2018, 12, 31), 2017));
  EXPECT_TRUE(UpdateReminderDue(FixedClock(2020, 1, 1), 2017));
}

TEST(UpdateReminder, Text) {
  EXPECT_EQ(UpdateReminderText("QVX2017.10", 2017),
            "The version that you are using now is QVX2017.10, which was updated for 2017.\n\n"
            "You may want to consider checking to see if there is a more current version by clicking on the "
            "button, below.");
}

TEST(ResolveInputName, RelativeNamesAreTakenFromTheStartFolder) {
  EXPECT_EQ(ResolveInputName("smith.qvx", "/home/ann"), "/home/ann/smith.qvx");
  EXPECT_EQ(ResolveInputName("../b/x.qvx", "/home/ann/a"), "/home/ann/b/x.qvx");
  EXPECT_EQ(ResolveInputName("/abs/x.qvx", "/home/ann"), "/abs/x.qvx");
  EXPECT_EQ(ResolveInputName("", "/home/ann"), "");
}

// The start's windows, recorded in the order they are used.
class RecordingStartWindows final : public StartupWindows {
 public:
  std::vector<std::string>& steps;
  std::int16_t choice = kStartMainWindow;
  std::string status;
  explicit RecordingStartWindows(std::vector<std::string>& s) : steps(s) {}
  void showUpdateReminder(std::string_view) override { steps.push_back("reminder"); }
  void showAbout() override { steps.push_back("about"); }
  void createMainWindow() override { steps.push_back("main loaded"); }
  std::int16_t showStartUpOptions() override {
    steps.push_back("startup");
    return choice;
  }
  void setMainStatus(const std::string& text) override {
    steps.push_back("status");
    status = text;
  }
  void showMainWindow() override { steps.push_back("main shown"); }
};

struct StartHarness {
  explicit StartHarness(FixedClock c = FixedClock(2018, 6, 1)) : clock(c), windows(steps) {
    files.state.DataSaved = false;
    files.state.DataPath.clear();
    files.end.saveAs = {};
  }
  InteractiveStart make() {
    return InteractiveStart{files.state,
                            files.end,
                            *files.files,
                            windows,
                            clock,
                            [this] {
                              steps.push_back("ini");
                              files.state.DataPath = dataPath;
                            },
                            [this] { steps.push_back("input window"); },
                            [this](const std::string& folder) {
                              steps.push_back("cd " + folder);
                              return folder == dataPath || folder == "/fallback";
                            },
                            "/fallback"};
  }
  std::vector<std::string> steps;
  FileHarness files;
  FixedClock clock;
  RecordingStartWindows windows;
  std::string dataPath = "/data";
};

TEST(RunInteractiveStart, RunsTheStepsInOrder) {
  StartHarness h(FixedClock(2019, 2, 2));
  InteractiveStart s = h.make();
  RunInteractiveStart(s);
  EXPECT_EQ(h.steps, (std::vector<std::string>{"reminder", "about", "main loaded", "startup", "ini", "cd /data",
                                               "status", "main shown"}));
  EXPECT_TRUE(h.files.state.DataSaved);
  EXPECT_EQ(h.windows.status, "File: ");
}

TEST(RunInteractiveStart, NoReminderBeforeItIsDueAndAMissingDataFolderFallsBack) {
  StartHarness h;
  h.dataPath = "/data";
  InteractiveStart s = h.make();
  s.getIni = [&] {
    h.steps.push_back("ini");
    h.files.state.DataPath = "/gone";
  };
  RunInteractiveStart(s);
  EXPECT_EQ(h.steps, (std::vector<std::string>{"about", "main loaded", "startup", "ini", "cd /gone", "cd /fallback",
                                               "status", "main shown"}));
}

TEST(RunInteractiveStart, TheInputFileIsOpenedNotMerelyNamed) {
  StartHarness h;
  const std::string file = h.files.folder.write("smith.qvx", "[General]\r\nName=Margaret Smith\r\n");
  h.files.state.CurrentFile = file;
  InteractiveStart s = h.make();
  RunInteractiveStart(s);
  EXPECT_EQ(h.files.state.Investor->sName(), "Margaret Smith");
  EXPECT_EQ(h.files.state.CurrentFile, file);
  EXPECT_EQ(h.windows.status, "File: " + file);
  EXPECT_EQ(h.files.state.MruFiles[0], "");  // a named file is not listed
}

TEST(RunInteractiveStart, AMissingInputFileLeavesNoNameBehind) {
  StartHarness h;
  h.files.state.CurrentFile = h.files.folder.file("nothere.qvx");
  InteractiveStart s = h.make();
  RunInteractiveStart(s);
  EXPECT_EQ(h.files.state.CurrentFile, "");
  EXPECT_EQ(h.files.messages.shown.at(0).text, h.files.folder.file("nothere.qvx") + " does not exist.");
  EXPECT_EQ(h.steps.back(), "main shown");
}

TEST(RunInteractiveStart, NewScenarioStartsAnUntitledSetWithTheInputWindow) {
  StartHarness h;
  h.windows.choice = kStartNewScenario;
  InteractiveStart s = h.make();
  RunInteractiveStart(s);
  EXPECT_EQ(h.files.state.StartChoice, kStartNewScenario);
  EXPECT_EQ(h.files.inputWindows, 1);  // NewFile's InitIP
  EXPECT_EQ(h.windows.status, "File: /data/UNTITLED.QVX");
  EXPECT_TRUE(h.files.messages.shown.empty());  // DataSaved was set: no prompt
}

TEST(RunInteractiveStart, OldScenarioAsksForAFileAndOpensTheInputWindowOnlyWhenOpened) {
  StartHarness h;
  h.windows.choice = kStartOldScenario;
  const std::string file = h.files.folder.write("old.qvx", "[General]\r\nName=Old\r\n");
  h.files.dialog.openAnswers.push_back(file);
  InteractiveStart s = h.make();
  RunInteractiveStart(s);
  EXPECT_EQ(h.files.state.Investor->sName(), "Old");
  EXPECT_EQ(std::count(h.steps.begin(), h.steps.end(), "input window"), 1);
  EXPECT_EQ(h.files.state.MruFiles[0], file);

  StartHarness cancelled;
  cancelled.windows.choice = kStartOldScenario;
  InteractiveStart c = cancelled.make();
  RunInteractiveStart(c);
  EXPECT_EQ(std::count(cancelled.steps.begin(), cancelled.steps.end(), "input window"), 0);
  EXPECT_EQ(cancelled.files.messages.shown.at(0).text, "Filename Empty!");
  EXPECT_EQ(cancelled.steps.back(), "main shown");
}

}  // namespace
}  // namespace tvx::test
