// The settings file, the report font and the error-explanation window's logic.
//
// The program keeps its own settings in the settings file "tvxdesk.ini" (a
// sectioned text file, read and written one key at a time); the main
// window's geometry is window_geometry.h, the folders are paths.h.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/app_state.h"
#include "core/ports.h"
#include "shell/paths.h"

namespace tvx {

struct EndServices;
class Printer;

// ---- names ---------------------------------------------------------------------------

inline constexpr std::string_view kSectionHideError = "Hide Error Msg";
inline constexpr std::string_view kKeyHideError380 = "380";
inline constexpr std::string_view kSectionDataFiles = "Data Files";
inline constexpr std::string_view kKeyDataFilePath = "Data File Path";
inline constexpr std::string_view kSectionPreferences = "User Preferences";
inline constexpr std::string_view kKeyFontName = "Font Name";
inline constexpr std::string_view kKeyFontSize = "Font Size";

inline constexpr std::string_view kDefaultFontName = "Courier New";
inline constexpr float kDefaultFontSize = 10;
inline constexpr float kSmallestFontSize = 5;
// A value read from the settings file is cut to this many bytes.
inline constexpr std::size_t kSettingTextLimit = 255;

inline constexpr std::string_view kFontWarningTitle = "WARNING!";
inline constexpr std::string_view kFontWarningText =
    "We strongly recommend the use of either the COURIER NEW or the COURIER font. Other fonts might not align "
    "properly.";
inline constexpr std::string_view kErrorInfoCaption = "Error Warning";
inline constexpr std::string_view kErrorInfoHideBox = "Don't show this message again";

// ---- the settings file -----------------------------------------------------------------

// The settings file over the library's profile file. Every read sees the
// file as it is now; every write replaces the file at once (atomically).
class ProfileSettingsStore final : public SettingsStore {
 public:
  explicit ProfileSettingsStore(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& fileName() const { return fileName_; }

  // A missing file or key gives `def`; the value is cut to 255 bytes.
  std::string readText(std::string_view section, std::string_view key, std::string_view def) override;
  // A value that is not a whole number gives `def`.
  long readInt(std::string_view section, std::string_view key, long def) override;
  void writeText(std::string_view section, std::string_view key, std::string_view value) override;

 private:
  std::string fileName_;
};

// Text with trailing blanks removed.
std::string TrimRight(std::string_view text);
// A font size text as points; `def` when it is not a number.
float ParseFontSize(std::string_view text, float def);

// ---- GetIni ----------------------------------------------------------------------------

struct GetIniServices {
  SettingsStore& settings;
  EndServices& end;                   // the error paths
  Environment env;                    // for the per-user data folder
  Printer* printer = nullptr;         // its font is recorded; none: skipped
  std::function<void()> maintMru;     // MaintMRUList("") of the file commands
};

// Reads the settings into the state: HideError380, DataPath (written back;
// the per-user folder when the stored one is not a folder one can write to),
// the printer's font, FontName, FontSize, and the recently-used list.
// IniFile must be set. The system's own settings are never written. An
// error ends the program through ReportFatalError ("GetIni"); a failure to
// make the per-user data folder through the error logger
// ("Settings.GetWin7AppDataPath").
void GetIni(AppState& state, GetIniServices& services);

// ---- fonts -----------------------------------------------------------------------------

struct FontChoice {
  std::string name;
  float size = 0;
  bool bold = false;
};

// The platform's font dialog: the chosen font, nullopt when cancelled.
class FontDialog {
 public:
  virtual ~FontDialog() = default;
  virtual std::optional<FontChoice> choose(const FontChoice& preset) = 0;
};

// The report font: the "WARNING!" recommendation, then the font dialog
// preset with FontName, FontSize and bold. An empty name gives "Courier
// New", a size below 5 gives 10; a cancelled dialog changes nothing. An
// error ends the program through ReportFatalError ("GetFonts").
void GetFonts(AppState& state, MessageBox& messages, FontDialog& dialog, EndServices& end);

// ---- the error-explanation window ------------------------------------------------------

// frmError: shows the message with the caption "Error Warning" and the box
// "Don't show this message again"; returns whether the box was ticked.
class ErrorInfoWindow {
 public:
  virtual ~ErrorInfoWindow() = default;
  virtual bool show(std::string_view caption, std::string_view message) = 0;
};

// Returns the new HideError380: true at once when `hide`, else whether the
// user ticked "Don't show this message again".
bool ShowErrorInfo(ErrorInfoWindow& window, std::string_view message, bool hide);

}  // namespace tvx
