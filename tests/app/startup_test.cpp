// The start: the command line, the settings file and the report font, the
// version reminder, the start-up windows in their order, and where the
// desktop's windows go (the main window's size kept in twips; report windows
// centred first, then stepped, then back to the corner before one leaves the
// screen).
#include "shell/command_line.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/window_cascade.h"
#include "shell/window_geometry.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tuple>

#include "app_test_support.h"

namespace tvx::test {
namespace {

// The command line: whole-argument switches in any case, names in their own
// letters, names with blanks, and what gives an empty name.
using Args = std::vector<std::string>;

std::string input(const Args& a) { return GetCommandLineFilename(a, kInputExtension, kSwitchInput); }
std::string output(const Args& a) { return GetCommandLineFilename(a, kOutputExtension, kSwitchOutput); }

TEST(CommandLine, NamesAndTheSilentSwitch) {
  struct Case {
    Args args;
    bool silent;
    std::string in, out;
  };
  const Case cases[] = {
      {{"/silent", "/input", "/data/smith.qvx", "/output", "/out/smith.txt"}, true, "/data/smith.qvx",
       "/out/smith.txt"},
      // switches in any case, names in their own letters
      {{"/SILENT", "/Input", "/home/Ann/Smith.QVX", "/OUTPUT", "/home/Ann/Reports.TXT"}, true, "/home/Ann/Smith.QVX",
       "/home/Ann/Reports.TXT"},
      // folder names that look like switches are not switches
      {{"/input", "/home/ann/silent/output/x.qvx"}, false, "/home/ann/silent/output/x.qvx", ""},
      {{"/home/silent"}, false, "", ""},
      {{"/silently"}, false, "", ""},
      // ".qvx" in an earlier path does not shorten the name
      {{"/silent", "/input", "/a.qvx/b.qvx", "/output", "/a.qvx/out.txt"}, true, "/a.qvx/b.qvx", "/a.qvx/out.txt"},
      // a name with blanks typed without quotes is joined; a quoted one kept as it is
      {{"/silent", "/input", "/home/ann/My", "Files/Smith", "2016.qvx", "/output", "/tmp/a", "b.txt"}, true,
       "/home/ann/My Files/Smith 2016.qvx", "/tmp/a b.txt"},
      {{"/input", "/home/ann/My  Files/x.qvx"}, false, "/home/ann/My  Files/x.qvx", ""},
      // a missing switch, name or extension gives an empty name
      {{}, false, "", ""},
      {{"/silent", "/output", "/tmp/x.txt"}, true, "", "/tmp/x.txt"},
      {{"/silent", "/input", "/data/smith.dat"}, true, "", ""},
      {{"/silent", "/input"}, true, "", ""},
      // the search for the extension stops at the next switch
      {{"/input", "/data/smith", "/output", "/out/a.qvx.txt", "b.qvx"}, false, "", "/out/a.qvx.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(IsSilent(c.args), c.silent);
    EXPECT_EQ(input(c.args), c.in);
    EXPECT_EQ(output(c.args), c.out);
  }
}

TEST(CommandLine, HelpSwitchesAndTheDisplayCheck) {
  for (const Args& a : {Args{"--help"}, Args{"-h"}, Args{"/?"}, Args{"/silent", "/input", "x.qvx", "-h"}})
    EXPECT_TRUE(IsHelpRequest(a)) << ::testing::PrintToString(a);
  for (const Args& a : {Args{}, Args{"--HELP"}, Args{"-help"}, Args{"/input", "/d/-h.qvx"}, Args{"/??"}})
    EXPECT_FALSE(IsHelpRequest(a)) << ::testing::PrintToString(a);

  EXPECT_FALSE(DisplayAvailable(nullptr, nullptr, nullptr));
  EXPECT_FALSE(DisplayAvailable("", "", ""));
  EXPECT_TRUE(DisplayAvailable("offscreen", nullptr, nullptr));
  EXPECT_TRUE(DisplayAvailable(nullptr, ":0", nullptr));
  EXPECT_TRUE(DisplayAvailable(nullptr, "", "wayland-0"));
}

TEST(CommandLine, TheCsvNameAndTheSwitchesGiven) {
  struct Case {
    Args args;
    bool csvSwitch;
    std::string csv, out;
  };
  const Case cases[] = {
      {{"/silent", "/input", "/d/a.qvx", "/csv", "/out/a.csv"}, true, "/out/a.csv", ""},
      {{"/SILENT", "/CSV", "/Out/A.CSV", "/Output", "/Out/A.txt"}, true, "/Out/A.CSV", "/Out/A.txt"},
      {{"/csv", "/tmp/My", "Files/a", "b.csv"}, true, "/tmp/My Files/a b.csv", ""},
      // each name's search stops at the other switch
      {{"/output", "/tmp/a", "/csv", "/tmp/b.txt.csv", "c.txt"}, true, "/tmp/b.txt.csv", ""},
      {{"/csv", "/tmp/a.txt", "/output", "/tmp/b.csv.txt"}, true, "", "/tmp/b.csv.txt"},
      {{"/silent", "/csv"}, true, "", ""},
      {{"/input", "/home/csv/x.csv.qvx"}, false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(HasSwitch(c.args, kSwitchCsv), c.csvSwitch);
    EXPECT_EQ(GetCommandLineFilename(c.args, kCsvExtension, kSwitchCsv), c.csv);
    EXPECT_EQ(output(c.args), c.out);
  }
}

namespace fs = std::filesystem;

// ---- GetIni ------------------------------------------------------------------------------------

struct IniHarness {
  IniHarness() : ini(folder.file("tvxdesk.ini")) {
    state.IniFile = folder.file("tvxdesk.ini");
    state.ErrorLogger = logger;
    end.messages = &messages;
    end.exit = [this](int s) { exits.push_back(s); };
  }
  void run(Printer* printer = nullptr) {
    const auto env = [this](std::string_view name) -> std::optional<std::string> {
      return name == "APPDATA" ? std::optional(folder.file("appdata")) : std::nullopt;
    };
    GetIniServices services{ini, end, env, printer, [this] { ++mruLoads; }};
    GetIni(state, services);
  }
  TempFolder folder;
  ProfileSettingsStore ini;
  AppState state;
  EndServices end;
  ScriptedMessageBox messages;
  std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
  std::vector<int> exits;
  int mruLoads = 0;
};

TEST(GetIni, FreshSettingsGiveTheDefaultsAndRecordTheDataFolder) {
  IniHarness h;
  RecordingPrinter printer;  // "Printer Default", 12 points, bold
  h.run(&printer);
  EXPECT_FALSE(h.state.HideError380);
  EXPECT_EQ(h.state.DataPath, h.folder.file("appdata/Kelvane/QVX"));
  EXPECT_TRUE(fs::is_directory(h.state.DataPath));
  EXPECT_EQ(h.state.FontName, "Courier New");
  EXPECT_EQ(h.state.FontSize, 10.0F);
  EXPECT_EQ(h.state.PrnFontName, "Printer Default");
  EXPECT_EQ(h.state.PrnFontSize, 12.0F);
  EXPECT_TRUE(h.state.PrnFontBold);
  EXPECT_EQ(h.mruLoads, 1);
  // Only the data folder is written back; nothing of the system is touched.
  EXPECT_EQ(readFile(h.folder.file("tvxdesk.ini")),
            "[Data Files]\r\nData File Path=" + h.folder.file("appdata/Kelvane/QVX") + "\r\n");
}

// A folder every user may write to would take every later backup copy.
TEST(GetIni, AStoredDataFolderThatIsGoneNoFolderOrSharedGivesThePerUserFolder) {
  IniHarness h;
  const std::string file = h.folder.write("plain.txt", "x");
  const std::string shared = h.folder.file("shared");
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
  for (const std::string& stored : {std::string("/no/longer/there"), file, file + "/sub", shared}) {
    h.folder.write("tvxdesk.ini", "[Data Files]\r\nData File Path=" + stored + "\r\n");
    h.run();
    EXPECT_EQ(h.state.DataPath, h.folder.file("appdata/Kelvane/QVX")) << stored;
    EXPECT_NE(readFile(h.folder.file("tvxdesk.ini")).find("Data File Path=" + h.state.DataPath), std::string::npos);
  }
}

// ---- fonts -------------------------------------------------------------

class ScriptedFontDialog final : public FontDialog {
 public:
  std::optional<FontChoice> answer;
  std::vector<FontChoice> presets;
  std::optional<FontChoice> choose(const FontChoice& preset) override {
    presets.push_back(preset);
    return answer;
  }
};

// The dialog opens on the report font in the regular weight the reports print
// in; a choice too small or nameless falls back to the defaults; Cancel keeps.
TEST(GetFonts, PresetsTheReportFontUnboldAndTakesTheChoice) {
  IniHarness h;
  ScriptedFontDialog dialog;
  h.state.FontName = "Courier New";
  h.state.FontSize = 11;
  const std::tuple<std::optional<FontChoice>, std::string, float> cases[] = {
      {std::nullopt, "Courier New", 11},
      {FontChoice{"DejaVu Sans Mono", 9, true}, "DejaVu Sans Mono", 9},
      {FontChoice{"", 2, false}, "Courier New", 10},
  };
  for (const auto& [answer, name, size] : cases) {
    dialog.answer = answer;
    GetFonts(h.state, h.messages, dialog, h.end);
    EXPECT_EQ(h.state.FontName, name);
    EXPECT_EQ(h.state.FontSize, size);
  }
  ASSERT_EQ(dialog.presets.size(), 3u);
  EXPECT_EQ(dialog.presets[0].name, "Courier New");
  EXPECT_EQ(dialog.presets[0].size, 11.0F);
  for (const FontChoice& preset : dialog.presets) EXPECT_FALSE(preset.bold);
  EXPECT_EQ(h.messages.shown.size(), 3u) << "the font warning each time";
}

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

// Where the desktop's windows go: the main window's size kept in twips, report
// windows centred first, then stepped, then back to the corner before one leaves the screen.
TEST(WindowGeometry, PixelsGiveBackTheTwipsTheyCameFrom) {
  // 1000 and 6500 twips are 66.7 and 433.3 pixels: stored again as given.
  const std::tuple<float, int, float> cases[] = {
      {1000, 67, 1000}, {6500, 433, 6500}, {1500, 100, 1500}, {1000, 70, 1050}, {6500, 434, 6510}, {0, 0, 0}};
  for (const auto& [given, pixels, stored] : cases) {
    EXPECT_EQ(PixelsToTwips(pixels, given), stored) << given << " " << pixels;
    if (given == stored) {
      EXPECT_EQ(TwipsToPixels(given), pixels);
    }
  }
}

TEST(NextCascadePlace, CentresThenStepsThenStartsAgainInTheCorner) {
  const WindowArea screen{0, 30, 1280, 994};
  WindowPlace place = NextCascadePlace(std::nullopt, 820, 560, screen, 30);
  EXPECT_EQ(place, (WindowPlace{230, 247}));
  std::vector<WindowPlace> seen{place};
  for (int i = 0; i < 40; ++i) {
    const WindowPlace next = NextCascadePlace(place, 820, 560, screen, 30);
    if (next.x > place.x) {
      EXPECT_EQ(next, (WindowPlace{place.x + 30, place.y + 30}));
    } else {
      EXPECT_EQ(next, (WindowPlace{0, 30})) << "back to the corner after " << seen.size();
    }
    // Every window stays whole on the screen.
    EXPECT_LE(next.x + 820, screen.x + screen.width);
    EXPECT_LE(next.y + 560, screen.y + screen.height);
    seen.push_back(next);
    place = next;
  }
  // Two windows in a row never share a place.
  for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_FALSE(seen[i] == seen[i - 1]);
  // A window larger than the screen still steps.
  const WindowArea small{0, 0, 800, 500};
  EXPECT_EQ(NextCascadePlace(std::nullopt, 820, 560, small, 30), (WindowPlace{0, 0}));
  EXPECT_EQ(NextCascadePlace(WindowPlace{0, 0}, 820, 560, small, 30), (WindowPlace{30, 30}));
}

}  // namespace
}  // namespace tvx::test
