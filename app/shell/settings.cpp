#include "shell/settings.h"

#include "core/error_paths.h"
#include "core/printer.h"
#include "orlendo/error.h"
#include "orlendo/numbers.h"
#include "orlendo/profile_file.h"

namespace tvx {

// ---- the settings file -----------------------------------------------------------------

namespace {

orlendo::ProfileFile readProfile(const std::string& fileName) {
  orlendo::ProfileFile file(orlendo::ProfileFile::Mode::WriteThrough);
  file.CreatePrivate();
  file.FileName(fileName);
  return file;
}

}  // namespace

std::string ProfileSettingsStore::readText(std::string_view section, std::string_view key, std::string_view def) {
  std::string value = readProfile(fileName_).GetString(section, key, def);
  if (value.size() > kSettingTextLimit) value.resize(kSettingTextLimit);
  return value;
}

long ProfileSettingsStore::readInt(std::string_view section, std::string_view key, long def) {
  const std::string text = readProfile(fileName_).GetString(section, key, "");
  if (text.empty()) return def;
  try {
    return readProfile(fileName_).GetLong(section, key, static_cast<std::int32_t>(def));
  } catch (const orlendo::Error&) {
    return def;  // not a whole number
  }
}

void ProfileSettingsStore::writeText(std::string_view section, std::string_view key, std::string_view value) {
  orlendo::ProfileFile file = readProfile(fileName_);
  file.WriteString(section, key, value);
}

std::string TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return std::string(text.substr(0, end));
}

float ParseFontSize(std::string_view text, float def) {
  if (!orlendo::isNumericText(text)) return def;
  try {
    return static_cast<float>(orlendo::parseDouble(text));
  } catch (const orlendo::Error&) {
    return def;
  }
}

// ---- GetIni ----------------------------------------------------------------------------

void GetIni(AppState& state, GetIniServices& services) {
  Guarded(state, services.end, ErrorPath::fatal, "GetIni", [&] {
    SettingsStore& ini = services.settings;
    // The system's own short date format is never touched: the library's
    // date texts are month/day/year on every system.
    state.HideError380 = ini.readInt(kSectionHideError, kKeyHideError380, 0) != 0;

    const std::string userFolder = Guarded(state, services.end, ErrorPath::report, "Settings.GetWin7AppDataPath",
                                           [&] { return GetWin7AppDataPath(kDataSubFolder, services.env); });
    state.DataPath = ini.readText(kSectionDataFiles, kKeyDataFilePath, userFolder);
    // A stored folder that is gone, or that no save can go to, would send
    // every file dialog there; a folder every user may write to (/tmp)
    // would take every later backup copy.
    if (!FolderIsWritable(state.DataPath) || FolderIsShared(state.DataPath)) state.DataPath = userFolder;
    ini.writeText(kSectionDataFiles, kKeyDataFilePath, state.DataPath);

    if (services.printer) {
      try {
        state.PrnFontName = services.printer->fontName();
        state.PrnFontSize = services.printer->fontSize();
        state.PrnFontBold = services.printer->fontBold();
      } catch (...) {
        // No printer, or one that cannot tell its font: nothing to give back at the end.
      }
    }

    state.FontName = TrimRight(ini.readText(kSectionPreferences, kKeyFontName, kDefaultFontName));
    if (state.FontName.empty()) state.FontName = kDefaultFontName;
    state.FontSize = ParseFontSize(ini.readText(kSectionPreferences, kKeyFontSize, "10"), kDefaultFontSize);

    if (services.maintMru) services.maintMru();
  });
}

// ---- fonts -----------------------------------------------------------------------------

void GetFonts(AppState& state, MessageBox& messages, FontDialog& dialog, EndServices& end) {
  Guarded(state, end, ErrorPath::fatal, "GetFonts", [&] {
    messages.show(kFontWarningTitle, kFontWarningText, Icon::Exclamation, Buttons::Ok);
    FontChoice preset{state.FontName, state.FontSize, true};
    auto chosen = dialog.choose(preset);
    if (!chosen) return;
    state.FontName = chosen->name.empty() ? std::string(kDefaultFontName) : chosen->name;
    state.FontSize = chosen->size >= kSmallestFontSize ? chosen->size : kDefaultFontSize;
  });
}

bool ShowErrorInfo(ErrorInfoWindow& window, std::string_view message, bool hide) {
  if (hide) return true;
  return window.show(kErrorInfoCaption, message);
}

}  // namespace tvx
