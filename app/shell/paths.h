// Where the program keeps its files.
//
// The settings file and the error log live in the program's folder when
// that folder is writable, otherwise in the per-user configuration folder;
// data files live in the per-user data folder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tvx {

inline constexpr std::string_view kProgramName = "tvxdesk";
inline constexpr std::string_view kErrLogName = "QVX_err.log";
inline constexpr std::string_view kHelpFileName = "manqvx.pdf";
inline constexpr std::string_view kMakerFolder = "Kelvane";
inline constexpr std::string_view kDataSubFolder = "QVX";

// ---- environment and folders ---------------------------------------------------------

// Looks up an environment variable; nullopt when it is not set.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;
Environment processEnvironment();

bool FolderExists(std::string_view path);
// True when files can be created in the folder (it exists and is writable).
bool FolderIsWritable(std::string_view path);
// True when every user may write to the folder (as /tmp): no place for a
// user's data folder, where the backup copy of every save goes.
bool FolderIsShared(std::string_view path);
// Creates the folder when missing (one level). Raises orlendo::Error
// (PathNotFound) when it cannot be created or names something else.
void EnsureFolder(const std::string& path);
// `folder` + "/" + `name`, with no doubled separator.
std::string JoinPath(std::string_view folder, std::string_view name);

// The per-user data folder: $APPDATA when set, otherwise $XDG_DATA_HOME or
// ~/.local/share; then "Kelvane/<subFolder>". Both levels are created when
// missing. Raises orlendo::Error when no base folder is known or a folder
// cannot be created.
std::string GetWin7AppDataPath(std::string_view subFolder, const Environment& env);

// The per-user configuration folder: $XDG_CONFIG_HOME or ~/.config, then
// "Kelvane" (not created here).
std::string UserConfigFolder(const Environment& env);

// Where the program keeps its files.
struct ProgramPaths {
  std::string appFolder;       // the folder of the program
  std::string settingsFolder;  // appFolder when writable, else the per-user configuration folder
  std::string iniFile;         // settingsFolder + "/tvxdesk.ini"
  std::string errLogFile;      // settingsFolder + "/QVX_err.log"
  std::string helpFile;        // the manual: beside the program, else under share/
};
// Resolves the paths; creates the per-user configuration folder when it is used.
ProgramPaths ResolveProgramPaths(const std::string& appFolder, const Environment& env);

// The manual beside the program, or where an installation puts it
// (<prefix>/share/tallyvex/manqvx.pdf); the first candidate when neither exists.
std::string FindHelpFile(const std::string& appFolder);

}  // namespace tvx
