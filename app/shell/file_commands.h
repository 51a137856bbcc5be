// The main window's file commands: open, new, save, save as, the five-entry
// recently-used list and the manual. Plain logic over the ports, so the
// same commands run behind the desktop window and in the tests.
//
// The commands never lose data: a file that fails to load leaves the open
// investor, the current file name and the recently-used list as they were;
// a cancelled Save As saves nothing and cancels the command that asked for
// the save.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "core/app_state.h"
#include "core/error_paths.h"
#include "core/ports.h"
#include "orlendo/model.h"

namespace tvx {

struct EndServices;

inline constexpr std::string_view kDataFilter = "Data Files(*.QVX)|*.QVX|All Files(*.*)|*.*||";
inline constexpr std::string_view kDataExtension = ".QVX";
inline constexpr std::string_view kUntitledName = "UNTITLED.QVX";
inline constexpr std::string_view kDebugFileName = "DEBUG.QVX";
inline constexpr std::string_view kOpenTitle = "Open";
inline constexpr std::string_view kSaveAsTitle = "Save As";
inline constexpr std::string_view kUnsavedTitle = "Unsaved Data Exists!";
inline constexpr std::string_view kUnsavedText = "Current Inputs have not been Saved!\nDo you want to save them first?";
inline constexpr std::string_view kFilenameEmpty = "Filename Empty!";
inline constexpr std::string_view kNotOpened = "\nThe file was not opened.";
inline constexpr std::string_view kNotSaved = "The data could not be saved to ";
inline constexpr std::string_view kSaveElsewhere =
    "\nThe data is still open: save it under another name with File, Save As.";
inline constexpr std::string_view kSavedPrefix = "Saved to ";
inline constexpr std::string_view kStatusPrefix = "File: ";
inline constexpr std::string_view kMruKeyPrefix = "File ";
inline constexpr int kMruCount = 5;
// The investor's Version field in the data file is exactly this wide.
inline constexpr std::size_t kVersionFieldWidth = 21;
// Names up to this many characters are shown whole.
inline constexpr std::size_t kShortNameLimit = 53;

using MruList = std::array<std::string, kMruCount>;

// The text before the last "/"; "/" for a file in the root folder; empty
// for a name without a folder part.
std::string FolderOfPath(std::string_view path);

// Names longer than 53 characters: the first 25, "...", the last 25
// (characters, not bytes); shorter names whole.
std::string DisplayShorterFilename(std::string_view name);

// Copies five names into MruFiles.
void CopyMRUold2new(AppState& state, const MruList& names);

// `tag` left-aligned in the 21-character version field.
std::string VersionField(std::string_view tag);

// What the file commands need of the program.
struct FileCommandPorts {
  MessageBox* messages = nullptr;
  FileDialog* files = nullptr;
  SettingsStore* settings = nullptr;
  EndServices* end = nullptr;
  Launcher* launcher = nullptr;
  // Panel 1 of the status bar ("File: " + CurrentFile).
  std::function<void(const std::string&)> showStatus;
  // A passing message of the status bar: what a command did ("Saved to ...").
  std::function<void(const std::string&)> showNotice;
  // The recently-used items of the File menu: item i shows "&<i+1> <name>",
  // an empty name hides its item; the separator shows when the first is set.
  std::function<void(const MruList&)> showMru;
  // The input window, modal (InitIP).
  std::function<void()> initIP;
  // Makes a new, empty investor (defaults to orlendo::Investor::create).
  std::function<orlendo::InvestorPtr()> newInvestor;
  std::string appFolder;  // the program's folder (the debug file lives there)
  std::string helpFile;   // the manual
};

class FileCommands {
 public:
  FileCommands(AppState& state, FileCommandPorts ports);

  // Opens a data file; an empty name asks for one (interactive only; a
  // cancelled dialog says nothing). Loads
  // into a new investor and keeps it only when the load succeeded and every
  // entry reads as the calculation reads it; true then. A cancelled prompt
  // or dialog, a path that is no regular file, a load that fails or an entry
  // that does not read gives a message and false, with nothing changed.
  bool OpenFile(const std::string& name);
  // File, Open: OpenFile("") and, when it opened a file, the input window.
  void OpenCommand();
  // A recently-used item (0..4): OpenFile(MruFiles[index]) and, when it
  // opened the file, the input window.
  void OpenRecent(int index);
  // A new, untitled data set and the input window. False when the
  // unsaved-data prompt was cancelled.
  bool NewFile();
  // Asks for a file name and saves. False when nothing was saved (dialog
  // cancelled, empty name).
  bool SaveAs();
  // File, Save and the input window's OK: SaveFile(CurrentFile), or SaveAs
  // while the investor was never saved (the dialog offers UNTITLED.QVX in
  // the data folder) or no file is named.
  bool SaveCommand();
  // Writes the investor to `file`; then records its folder as the data
  // folder and says where it went in the status bar. A write that fails is shown and gives false with the investor
  // open and marked unsaved and the data folder unchanged.
  bool SaveFile(const std::string& file);
  // A new, empty investor replaces the open one.
  void ClearAllData();
  // Refreshes the list and the menu from the settings file; with a name,
  // puts it first unless it is already part of a listed name.
  void MaintMRUList(const std::string& name);
  void ShowPDFHelp();

  // The unsaved-data prompt when DataSaved is false: true when the command
  // may go on (No, or Yes and the data was saved).
  bool ConfirmUnsaved();
  // File, Exit and closing the main window: true when the program may end.
  bool QueryExit();

  // The Save As used by the error paths' save question. A save that fails
  // there tells the user and asks for another name until it succeeds or is
  // cancelled (it never re-enters the error paths).
  void SaveAsBeforeEnd();

  // The common set-up of both file dialogs.
  FileDialogSetup DialogSetup(std::string_view title) const;

  AppState& state() { return state_; }
  const FileCommandPorts& ports() const { return ports_; }

 private:
  enum class SaveOutcome { Saved, Cancelled, Failed };
  SaveOutcome saveAsChosen();
  void showStatus();
  // A command's body under the fatal-error box; inside the end's own save a
  // failure goes on to that save, which tells the user and asks again.
  template <class F>
  decltype(auto) guarded(std::string_view procedure, F&& body) {
    return Guarded(state_, *ports_.end, ending_ ? ErrorPath::caller : ErrorPath::fatal, procedure,
                   std::forward<F>(body));
  }
  orlendo::InvestorPtr makeInvestor();
  MruList readMru();
  void showMru(const MruList& list);

  AppState& state_;
  FileCommandPorts ports_;
  bool ending_ = false;
};

}  // namespace tvx
