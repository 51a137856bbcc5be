#include "shell/startup.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "shell_test_support.h"

namespace tvx::test {
namespace {

TEST(UpdateReminder, DueOnlyAfterFebruaryFirstTwoYearsOnWithItsText) {
  const std::pair<FixedClock, bool> days[] = {
      {FixedClock(2019, 2, 1), false},  // the very day: not yet
      {FixedClock(2019, 2, 2), true},   {FixedClock(2019, 1, 31), false}, {FixedClock(2019, 3, 1), true},
      {FixedClock(2018, 12, 31), false}, {FixedClock(2020, 1, 1), true}};
  for (const auto& [today, due] : days)
    EXPECT_EQ(UpdateReminderDue(today, 2017), due) << today.year() << "-" << today.month() << "-" << today.day();
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
  std::vector<std::string> steps;
  std::int16_t choice = kStartMainWindow;
  std::string status;
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

// The start over the file commands' harness. The settings name `dataPath`
// as the data folder; only it and "/fallback" can be made current.
struct StartHarness {
  explicit StartHarness(std::int16_t choice = kStartMainWindow, std::string input = "") {
    files.state.DataSaved = false;
    files.state.DataPath.clear();
    files.state.CurrentFile = std::move(input);
    files.end.saveAs = {};
    windows.choice = choice;
  }
  void run(FixedClock clock = FixedClock(2018, 6, 1)) {
    InteractiveStart s{files.state, files.end, *files.files, windows, clock,
                       [this] {
                         windows.steps.push_back("ini");
                         files.state.DataPath = dataPath;
                       },
                       [this] { windows.steps.push_back("input window"); },
                       [this](const std::string& folder) {
                         windows.steps.push_back("cd " + folder);
                         return folder == "/data" || folder == "/fallback";
                       },
                       "/fallback",
                       &files.settings};
    RunInteractiveStart(s);
  }
  long inputWindows() const { return std::count(windows.steps.begin(), windows.steps.end(), "input window"); }
  FileHarness files;
  RecordingStartWindows windows;
  std::string dataPath = "/data";
};

TEST(RunInteractiveStart, RunsTheStepsInOrder) {
  StartHarness h;
  h.run(FixedClock(2019, 2, 2));
  EXPECT_EQ(h.windows.steps, (std::vector<std::string>{"reminder", "about", "main loaded", "startup", "ini",
                                                       "cd /data", "status", "main shown"}));
  EXPECT_TRUE(h.files.state.DataSaved);
  EXPECT_EQ(h.windows.status, "File: ");

  // No reminder before it is due; a data folder that is gone falls back.
  StartHarness gone;
  gone.dataPath = "/gone";
  gone.run();
  EXPECT_EQ(gone.windows.steps, (std::vector<std::string>{"about", "main loaded", "startup", "ini", "cd /gone",
                                                          "cd /fallback", "status", "main shown"}));
}

TEST(RunInteractiveStart, TheInputFileIsOpenedNotMerelyNamedAndAMissingOneLeavesNoName) {
  StartHarness h;
  const std::string file = h.files.folder.write("smith.qvx", "[General]\r\nName=Margaret Smith\r\n");
  h.files.state.CurrentFile = file;
  h.run();
  EXPECT_EQ(h.files.state.Investor->sName(), "Margaret Smith");
  EXPECT_EQ(h.windows.status, "File: " + file);
  EXPECT_EQ(h.files.state.MruFiles[0], "");  // a named file is not listed

  StartHarness missing(kStartMainWindow, "/nowhere/nothere.qvx");
  missing.run();
  EXPECT_EQ(missing.files.state.CurrentFile, "");
  EXPECT_EQ(missing.files.messages.shown.at(0).text, "/nowhere/nothere.qvx does not exist.");
  EXPECT_EQ(missing.windows.steps.back(), "main shown");
}

// A file from the file manager: straight to the main window, the reminder once a day.
TEST(RunInteractiveStart, ANamedFileSkipsAboutAndTheOptionsAndRemindsOnceADay) {
  StartHarness h(kStartNewScenario);
  const std::string file = h.files.folder.write("smith.qvx", "[General]\r\nName=Margaret Smith\r\n");
  const auto runNamed = [&](FixedClock day) {
    h.windows.steps.clear();
    h.files.state.CurrentFile = file;
    h.run(day);
    return h.windows.steps;
  };
  const std::vector<std::string> straight{"main loaded", "ini", "cd /data", "status", "main shown"};
  EXPECT_EQ(runNamed(FixedClock(2019, 2, 2)), std::vector<std::string>{"reminder"} + straight);
  EXPECT_EQ(h.files.state.StartChoice, kStartMainWindow);
  EXPECT_EQ(h.files.state.Investor->sName(), "Margaret Smith");
  EXPECT_EQ(runNamed(FixedClock(2019, 2, 2)), straight) << "the same day: no reminder";
  EXPECT_EQ(runNamed(FixedClock(2019, 2, 3)), std::vector<std::string>{"reminder"} + straight);
}

TEST(RunInteractiveStart, NewScenarioStartsAnUntitledSetWithTheInputWindow) {
  StartHarness h(kStartNewScenario);
  h.run();
  EXPECT_EQ(h.files.state.StartChoice, kStartNewScenario);
  EXPECT_EQ(h.files.inputWindows, 1);  // NewFile's InitIP
  EXPECT_EQ(h.windows.status, "File: /data/UNTITLED.QVX");
  EXPECT_TRUE(h.files.messages.shown.empty());  // DataSaved was set: no prompt
}

TEST(RunInteractiveStart, OldScenarioAsksForAFileAndOpensTheInputWindowOnlyWhenOpened) {
  StartHarness h(kStartOldScenario);
  const std::string file = h.files.folder.write("old.qvx", "[General]\r\nName=Old\r\n");
  h.files.dialog.openAnswers.push_back(file);
  h.run();
  EXPECT_EQ(h.files.state.Investor->sName(), "Old");
  EXPECT_EQ(h.inputWindows(), 1);
  EXPECT_EQ(h.files.state.MruFiles[0], file);

  StartHarness cancelled(kStartOldScenario);
  cancelled.run();
  EXPECT_EQ(cancelled.inputWindows(), 0);
  EXPECT_EQ(cancelled.files.messages.shown.at(0).text, "Filename Empty!");
  EXPECT_EQ(cancelled.windows.steps.back(), "main shown");
}

// Under a file-size limit a save fails as a full disk and says so; the
// signal the limit raises does not end the program (in a child process, so
// that the test keeps its limits and its signals).
TEST(RunInteractiveStart, ASavePastTheFileSizeLimitIsReportedAndTheProgramGoesOn) {
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_DFL);
    StartHarness h;
    h.run();
    const rlimit limit{100, 100};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool saved = h.files.files->SaveFile(h.files.folder.file("big.qvx"));
    const auto& shown = h.files.messages.shown;
    ::_exit(!saved && !shown.empty() && shown.back().text.find("Disk full") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
}  // namespace tvx::test
