// The interactive start of the desktop program: the update reminder, the
// About window, the start-up options, the settings, the file named on the
// command line, and the main window shown last. The windows are reached
// through StartupWindows, so the order of the steps is plain logic.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/app_state.h"
#include "core/ports.h"

namespace tvx {

class FileCommands;

inline constexpr std::string_view kAboutCaption = "About Tallyvex";
inline constexpr std::string_view kStartUpCaption = "Startup Options";
inline constexpr std::string_view kUpdateCheckButton = "Check For More Current Version";
inline constexpr std::string_view kUpdateContinueButton = "Continue With Current Program";
inline constexpr std::string_view kSystemInfoUnavailable = "System Information Is Unavailable At This Time";
inline constexpr std::string_view kProductPage = "https://kelvane.example/tallyvex";

inline constexpr std::string_view kNoBrowserTitle = "No Web Browser";
// What the user is told when no browser could be started for `address`.
std::string NoBrowserText(std::string_view address);
// Opens `address` in the web browser; when none starts, says so with the
// address, so that it can be copied. Returns whether a browser started.
bool OpenWebPage(Launcher& launcher, MessageBox& messages, std::string_view address);

// StartChoice values of the start-up options window.
inline constexpr std::int16_t kStartMainWindow = 0;
inline constexpr std::int16_t kStartNewScenario = 1;
inline constexpr std::int16_t kStartOldScenario = 2;

// True when today is later than February 1 of the year major + 2.
bool UpdateReminderDue(const Clock& clock, int majorVersion);
// The text of the update-alert window.
std::string UpdateReminderText(std::string_view versionTag, int majorVersion);

// The update reminder: shows the text through `show` when it is due. An
// error goes to the error logger ("MainMod.Chk4Update").
struct EndServices;
void Chk4Update(AppState& state, EndServices& end, const Clock& clock,
                const std::function<void(std::string_view text)>& show);

// The file named after "/input": a relative name is taken from `startFolder`
// (the folder the program was started in). Empty stays empty.
std::string ResolveInputName(std::string_view name, std::string_view startFolder);

// The windows of the start, as the start-up logic sees them.
class StartupWindows {
 public:
  virtual ~StartupWindows() = default;
  virtual void showUpdateReminder(std::string_view text) = 0;  // frmGetUpdate, modal
  virtual void showAbout() = 0;                                // frmAbout, modal
  virtual void createMainWindow() = 0;                         // frmMain, loaded, hidden
  virtual std::int16_t showStartUpOptions() = 0;               // frmStartUp, modal: StartChoice
  virtual void setMainStatus(const std::string& text) = 0;     // status bar panel 1
  virtual void showMainWindow() = 0;                           // not modal
};

struct InteractiveStart {
  AppState& state;
  EndServices& end;
  FileCommands& files;
  StartupWindows& windows;
  const Clock& clock;
  std::function<void()> getIni;                               // GetIni
  std::function<void()> initIP;                               // the input window
  std::function<bool(const std::string& folder)> changeFolder;  // chdir; false when it failed
  std::string fallbackFolder;  // the current folder when DataPath cannot be entered
  // Where the day of the last update reminder is kept (null: nowhere).
  SettingsStore* settings = nullptr;
};

// The settings key of the day the update reminder was last shown.
inline constexpr std::string_view kKeyReminderShown = "Update Reminder Shown";

// The interactive Main after the state was made (investor, error logger,
// VersionTag, ErrLogFile) and CurrentFile holds the resolved "/input" name:
// Chk4Update, frmAbout, frmMain loaded, frmStartUp, DataSaved, GetIni, the
// data folder made current, the "/input" file opened through OpenFile, the
// start-up choice, the status bar, and frmMain shown.
// A start with a file named (the file manager's "Open With") goes straight
// to that file in the main window: no About window, no start-up options, and
// the update reminder at most once a day.
void RunInteractiveStart(InteractiveStart& start);

}  // namespace tvx
