#include "shell/settings.h"

#include <cmath>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/error_paths.h"
#include "core/files.h"
#include "core/printer.h"
#include "orlendo/error.h"
#include "orlendo/numbers.h"
#include "orlendo/profile_file.h"

namespace tvx {

namespace fs = std::filesystem;

// ---- environment and folders ---------------------------------------------------------

Environment processEnvironment() {
  return [](std::string_view name) -> std::optional<std::string> {
    const char* value = std::getenv(std::string(name).c_str());
    if (!value) return std::nullopt;
    return std::string(value);
  };
}

bool FolderExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(fs::path(path), ec);
}

bool FolderIsWritable(std::string_view path) {
  return FolderExists(path) && ::access(std::string(path).c_str(), W_OK | X_OK) == 0;
}

void EnsureFolder(const std::string& path) {
  if (FolderExists(path)) return;
  std::error_code ec;
  fs::create_directory(fs::path(path), ec);
  if (!FolderExists(path))
    orlendo::raise(orlendo::errnum::PathNotFound, std::string(orlendo::kDefaultSource),
                   "The folder " + path + " could not be created" + (ec ? ": " + ec.message() : std::string()));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string result(folder);
  if (!result.empty() && result.back() != '/') result += '/';
  result += name;
  return result;
}

namespace {

// A set, non-empty variable; relative values are ignored as the XDG rules say.
std::optional<std::string> absoluteVariable(const Environment& env, std::string_view name) {
  auto value = env(name);
  if (!value || value->empty() || value->front() != '/') return std::nullopt;
  return value;
}

std::string homeSubfolder(const Environment& env, std::string_view sub) {
  auto home = absoluteVariable(env, "HOME");
  if (!home) orlendo::raise(orlendo::errnum::PathNotFound, std::string(orlendo::kDefaultSource),
                            "The home folder is not known (HOME is not set)");
  return JoinPath(*home, sub);
}

// Creates every missing level of `path`.
void EnsureFolders(const std::string& path) {
  if (FolderExists(path)) return;
  std::error_code ec;
  fs::create_directories(fs::path(path), ec);
  EnsureFolder(path);
}

}  // namespace

std::string GetWin7AppDataPath(std::string_view subFolder, const Environment& env) {
  std::string base;
  if (auto appData = env("APPDATA"); appData && !appData->empty()) {
    base = *appData;
  } else if (auto dataHome = absoluteVariable(env, "XDG_DATA_HOME")) {
    base = *dataHome;
  } else {
    base = homeSubfolder(env, ".local/share");
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  EnsureFolders(base);
  std::string maker = JoinPath(base, kMakerFolder);
  EnsureFolder(maker);
  std::string result = JoinPath(maker, subFolder);
  EnsureFolder(result);
  return result;
}

std::string UserConfigFolder(const Environment& env) {
  std::string base;
  if (auto configHome = absoluteVariable(env, "XDG_CONFIG_HOME"))
    base = *configHome;
  else
    base = homeSubfolder(env, ".config");
  return JoinPath(base, kMakerFolder);
}

std::string FindHelpFile(const std::string& appFolder) {
  const std::string beside = JoinPath(appFolder, kHelpFileName);
  if (FileExists(beside)) return beside;
  const std::string shared =
      (fs::path(appFolder).parent_path() / "share" / "tallyvex" / std::string(kHelpFileName)).string();
  if (FileExists(shared)) return shared;
  return beside;
}

ProgramPaths ResolveProgramPaths(const std::string& appFolder, const Environment& env) {
  ProgramPaths paths;
  paths.appFolder = appFolder;
  if (FolderIsWritable(appFolder)) {
    paths.settingsFolder = appFolder;
  } else {
    paths.settingsFolder = UserConfigFolder(env);
    EnsureFolders(paths.settingsFolder);
  }
  paths.iniFile = JoinPath(paths.settingsFolder, std::string(kProgramName) + ".ini");
  paths.errLogFile = JoinPath(paths.settingsFolder, kErrLogName);
  paths.helpFile = FindHelpFile(appFolder);
  return paths;
}

// ---- the settings file -----------------------------------------------------------------

namespace {

orlendo::ProfileFile readProfile(const std::string& fileName) {
  orlendo::ProfileFile file(orlendo::ProfileFile::Mode::WriteThrough);
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
    // every file dialog there.
    if (!FolderIsWritable(state.DataPath)) state.DataPath = userFolder;
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

// ---- the main window's geometry ----------------------------------------------------------

namespace {

float readGeometryValue(WindowGeometryStore& store, std::string_view key, float def) {
  const std::string text = store.read(kGeometryApp, kGeometrySection, key, std::to_string(static_cast<long>(def)));
  return ParseFontSize(text, def);
}

}  // namespace

WindowGeometry ReadMainGeometry(WindowGeometryStore& store) {
  WindowGeometry g;
  g.left = readGeometryValue(store, "MainLeft", kDefaultGeometry);
  g.top = readGeometryValue(store, "MainTop", kDefaultGeometry);
  g.width = readGeometryValue(store, "MainWidth", kDefaultGeometrySize);
  g.height = readGeometryValue(store, "MainHeight", kDefaultGeometrySize);
  return g;
}

int TwipsToPixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

float PixelsToTwips(int pixels, float given) {
  if (TwipsToPixels(given) == pixels) return given;
  return static_cast<float>(pixels * kTwipsPerPixel);
}

void WriteMainGeometry(WindowGeometryStore& store, const WindowGeometry& g, bool minimised) {
  if (minimised) return;
  auto text = [](float v) { return std::to_string(static_cast<long>(orlendo::roundTo(v, 0))); };
  store.write(kGeometryApp, kGeometrySection, "MainLeft", text(g.left));
  store.write(kGeometryApp, kGeometrySection, "MainTop", text(g.top));
  store.write(kGeometryApp, kGeometrySection, "MainWidth", text(g.width));
  store.write(kGeometryApp, kGeometrySection, "MainHeight", text(g.height));
}

}  // namespace tvx
