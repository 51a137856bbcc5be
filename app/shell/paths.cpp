#include "shell/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/files.h"
#include "orlendo/error.h"

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

bool FolderIsShared(std::string_view path) {
  struct stat st {};
  return ::stat(std::string(path).c_str(), &st) == 0 && (st.st_mode & S_IWOTH) != 0;
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

}  // namespace tvx
