// The start: the version reminder and the start-up windows in their order.
#include "shell/startup.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app_test_support.h"

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
struct RecordingStartWindows final : StartupWindows {
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
  explicit StartHarness(std::int16_t choice = kStartMainWindow) {
    files.state.DataSaved = false;
    files.state.DataPath.clear();
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
  FileHarness files;
  RecordingStartWindows windows;
  std::string dataPath = "/data";
};

// Each way to start: the windows in order, the file shown, the files listed
// and the input windows opened. A file named on the command line (from the
// file manager) opens straight in the main window; one that is missing is
// told and leaves no name.
TEST(RunInteractiveStart, EachWayToStartInOrder) {
  const std::vector<std::string> asked{"about", "main loaded", "startup", "ini", "cd /data"};
  const std::vector<std::string> named{"main loaded", "ini", "cd /data"}, end{"status", "main shown"};
  struct Case {
    std::int16_t choice;
    std::string input, picked;  // the file named on the command line; the one Open picks
    std::vector<std::string> steps;
    std::string shown;  // the file in the status line
    int newWindows;     // input windows New opened
  };
  const Case cases[] = {
      {kStartMainWindow, "", "", asked + end, "", 0},
      {kStartNewScenario, "", "", asked + end, "/data/UNTITLED.QVX", 1},
      {kStartOldScenario, "", "smith.qvx", asked + std::vector<std::string>{"input window"} + end, "smith.qvx", 0},
      {kStartOldScenario, "", "", asked + end, "", 0},
      {kStartNewScenario, "smith.qvx", "", named + end, "smith.qvx", 0},
      {kStartMainWindow, "missing.qvx", "", named + end, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input + c.picked + " " + std::to_string(c.choice));
    StartHarness h(c.choice);
    const std::string smith = h.files.folder.write("smith.qvx", "[General]\r\nName=Margaret Smith\r\n");
    if (!c.input.empty()) h.files.state.CurrentFile = h.files.folder.file(c.input);
    if (!c.picked.empty()) h.files.dialog.openAnswers.push_back(smith);
    h.run();
    EXPECT_EQ(h.windows.steps, c.steps);
    EXPECT_EQ(h.windows.status, "File: " + (c.shown == "smith.qvx" ? smith : c.shown));
    EXPECT_EQ(h.files.inputWindows, c.newWindows);
    EXPECT_EQ(h.files.state.MruFiles[0], c.picked.empty() ? "" : smith) << "only a file picked is listed";
    EXPECT_EQ(h.files.messages.shown.size(), c.input == "missing.qvx" ? 1u : 0u);
    EXPECT_TRUE(h.files.state.DataSaved);
  }
}

// The reminder when due, once a day for a file from the file manager; a data
// folder that is gone falls back.
TEST(RunInteractiveStart, TheReminderOnceADayForANamedFileAndAFolderThatIsGone) {
  StartHarness h;
  const std::string file = h.files.folder.write("smith.qvx", "[General]\r\nName=Margaret Smith\r\n");
  const auto runNamed = [&](FixedClock day) {
    h.windows.steps.clear();
    h.files.state.CurrentFile = file;
    h.run(day);
    return h.windows.steps;
  };
  const std::vector<std::string> straight{"main loaded", "ini", "cd /data", "status", "main shown"};
  EXPECT_EQ(runNamed(FixedClock(2019, 2, 2)), std::vector<std::string>{"reminder"} + straight);
  EXPECT_EQ(runNamed(FixedClock(2019, 2, 2)), straight) << "the same day: no reminder";
  EXPECT_EQ(runNamed(FixedClock(2019, 2, 3)), std::vector<std::string>{"reminder"} + straight);

  StartHarness gone;
  gone.dataPath = "/gone";
  gone.run(FixedClock(2019, 2, 2));
  EXPECT_EQ(gone.windows.steps, (std::vector<std::string>{"reminder", "about", "main loaded", "startup", "ini",
                                                          "cd /gone", "cd /fallback", "status", "main shown"}));
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
