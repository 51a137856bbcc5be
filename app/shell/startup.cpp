#include "shell/startup.h"

#include "core/report_text.h"

#include <filesystem>

#include "core/error_paths.h"
#include "shell/file_commands.h"
#include "shell/settings.h"

namespace tvx {

std::string NoBrowserText(std::string_view address) {
  return "No web browser could be started. To visit the page, open this address in a browser:\r\n\r\n" +
         std::string(address);
}

bool OpenWebPage(Launcher& launcher, MessageBox& messages, std::string_view address) {
  bool opened = false;
  try {
    opened = launcher.open(address);
  } catch (...) {
    opened = false;
  }
  if (!opened) messages.show(kNoBrowserTitle, NoBrowserText(address), Icon::Information, Buttons::Ok);
  return opened;
}

bool UpdateReminderDue(const Clock& clock, int majorVersion) {
  const int y = majorVersion + 2;
  if (clock.year() != y) return clock.year() > y;
  if (clock.month() != 2) return clock.month() > 2;
  return clock.day() > 1;
}

std::string UpdateReminderText(std::string_view versionTag, int majorVersion) {
  return "The version that you are using now is " + std::string(versionTag) + ", which was updated for " +
         std::to_string(majorVersion) + ".\n\n" +
         "You may want to consider checking to see if there is a more current version by clicking on the button, "
         "below.";
}

void Chk4Update(AppState& state, EndServices& end, const Clock& clock,
                const std::function<void(std::string_view text)>& show) {
  Guarded(state, end, ErrorPath::report, "MainMod.Chk4Update", [&] {
    if (UpdateReminderDue(clock, kVersionMajor)) show(UpdateReminderText(state.VersionTag, kVersionMajor));
  });
}

std::string ResolveInputName(std::string_view name, std::string_view startFolder) {
  if (name.empty() || name.front() == '/') return std::string(name);
  return (std::filesystem::path(startFolder) / std::filesystem::path(name)).lexically_normal().string();
}

namespace {

std::string dayText(const Clock& clock) {
  return std::to_string(clock.year()) + "-" + std::to_string(clock.month()) + "-" + std::to_string(clock.day());
}

}  // namespace

void RunInteractiveStart(InteractiveStart& start) {
  AppState& state = start.state;
  // A save past the file-size limit fails as a full disk and is reported;
  // the signal would end the program with the data unsaved.
  IgnoreFileSizeLimitSignal();
  const bool fileNamed = !state.CurrentFile.empty();
  Chk4Update(state, start.end, start.clock, [&](std::string_view text) {
    const std::string today = dayText(start.clock);
    if (start.settings) {
      if (fileNamed && start.settings->readText(kSectionPreferences, kKeyReminderShown, "") == today) return;
      start.settings->writeText(kSectionPreferences, kKeyReminderShown, today);
    }
    start.windows.showUpdateReminder(text);
  });
  if (!fileNamed) start.windows.showAbout();
  start.windows.createMainWindow();
  state.StartChoice = fileNamed ? kStartMainWindow : start.windows.showStartUpOptions();
  state.DataSaved = true;
  if (start.getIni) start.getIni();

  // The data folder becomes the current folder, so that the backup copy a
  // save makes lands there and never in the folder the program was started
  // from (which may be read-only, or "/").
  if (start.changeFolder && !start.changeFolder(state.DataPath) && !start.fallbackFolder.empty())
    start.changeFolder(start.fallbackFolder);

  // A file named on the command line is opened, not merely named.
  const std::string inputName = state.CurrentFile;
  state.CurrentFile.clear();
  if (!inputName.empty()) start.files.OpenFile(inputName);

  if (state.StartChoice == kStartNewScenario) {
    start.files.NewFile();
  } else if (state.StartChoice == kStartOldScenario) {
    if (start.files.OpenFile("") && start.initIP) start.initIP();
  }
  start.windows.setMainStatus(std::string(kStatusPrefix) + state.CurrentFile);
  start.windows.showMainWindow();
}

}  // namespace tvx
