#include "shell/file_commands.h"

#include <algorithm>
#include <utility>

#include "core/error_logger.h"
#include "core/error_paths.h"
#include "core/files.h"
#include "orlendo/ascii.h"
#include "orlendo/error.h"
#include "shell/settings.h"

namespace tvx {

// ---- helpers ---------------------------------------------------------------------------

std::string FolderOfPath(std::string_view path) {
  const auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

namespace {

// Byte offsets of the characters of UTF-8 text (a continuation byte never starts one).
std::vector<std::size_t> charStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  return starts;
}

}  // namespace

std::string DisplayShorterFilename(std::string_view name) {
  constexpr std::size_t kPart = 25;
  const auto starts = charStarts(name);
  if (starts.size() <= kShortNameLimit) return std::string(name);
  return std::string(name.substr(0, starts[kPart])) + "..." + std::string(name.substr(starts[starts.size() - kPart]));
}

void CopyMRUold2new(AppState& state, const MruList& names) {
  std::copy(names.begin(), names.end(), state.MruFiles.begin());
}

std::string VersionField(std::string_view tag) {
  std::string field(tag.substr(0, std::min(tag.size(), kVersionFieldWidth)));
  field.resize(kVersionFieldWidth, ' ');
  return field;
}

// ---- FileCommands ----------------------------------------------------------------------

FileCommands::FileCommands(AppState& state, FileCommandPorts ports) : state_(state), ports_(std::move(ports)) {}

orlendo::InvestorPtr FileCommands::makeInvestor() {
  orlendo::InvestorPtr investor = ports_.newInvestor ? ports_.newInvestor() : orlendo::Investor::create();
  investor->Version(state_.VersionTag);
  return investor;
}

void FileCommands::showStatus() {
  if (!state_.Silent && ports_.showStatus) ports_.showStatus(std::string(kStatusPrefix) + state_.CurrentFile);
}

FileDialogSetup FileCommands::DialogSetup(std::string_view title) const {
  FileDialogSetup setup;
  setup.title = title;
  setup.filter = kDataFilter;
  setup.defaultExtension = kDataExtension;
  setup.initialFolder = state_.DataPath;
  return setup;
}

bool FileCommands::ConfirmUnsaved() {
  if (state_.DataSaved) return true;
  switch (ports_.messages->show(kUnsavedTitle, kUnsavedText, Icon::Exclamation, Buttons::YesNoCancel)) {
    case Answer::Yes:
      return SaveAs();
    case Answer::No:
      return true;
    default:
      return false;
  }
}

bool FileCommands::QueryExit() { return ConfirmUnsaved(); }

bool FileCommands::OpenFile(const std::string& name) {
  // The prompt and the dialog are outside the error handler: a failure in
  // them has its own path (SaveAs reports its own errors).
  if (!state_.Silent && !ConfirmUnsaved()) return false;

  std::string chosen = name;
  const bool fromDialog = name.empty() && !state_.Silent;
  if (fromDialog) {
    auto picked = ports_.files->openFile(DialogSetup(kOpenTitle));
    if (!picked || picked->empty()) {
      ports_.messages->show("WARNING", kFilenameEmpty, Icon::Stop, Buttons::Ok);
      return false;
    }
    chosen = *picked;
  }

  // On a failure CurrentFile, the list and the investor are those of before.
  return Guarded(state_, *ports_.end, ErrorPath::report, "FileOperations.OpenFile", [&] {
    if (const std::string problem = InputFileProblem(chosen); !problem.empty()) {
      ports_.messages->show("WARNING", problem, Icon::Exclamation, Buttons::Ok);
      return false;
    }
    // A new investor takes the file; the open one stays unless it loaded
    // and every entry reads.
    orlendo::InvestorPtr loaded = makeInvestor();
    if (const std::string refusal = LoadDataFile(*loaded, chosen); !refusal.empty()) {
      ports_.messages->show("WARNING", refusal + std::string(kNotOpened), Icon::Exclamation, Buttons::Ok);
      return false;
    }
    state_.Investor = std::move(loaded);
    state_.Untitled = false;
    state_.CurrentFile = chosen;
    if (fromDialog) MaintMRUList(chosen);
    showStatus();
    state_.DataSaved = true;
    return true;
  });
}

void FileCommands::OpenCommand() {
  if (OpenFile("") && ports_.initIP) ports_.initIP();
}

void FileCommands::OpenRecent(int index) {
  if (index < 0 || index >= kMruCount || state_.MruFiles[index].empty()) return;
  if (OpenFile(state_.MruFiles[index]) && ports_.initIP) ports_.initIP();
}

bool FileCommands::NewFile() {
  if (!ConfirmUnsaved()) return false;
  return guarded("NewFile", [&] {
    ClearAllData();
    state_.Untitled = true;
    state_.CurrentFile = JoinPath(state_.DataPath, kUntitledName);
    showStatus();
    state_.DataSaved = true;
    if (ports_.initIP) ports_.initIP();
    if (state_.Investor) state_.Investor->BeginEdit();
    return true;
  });
}

bool FileCommands::SaveAs() { return saveAsChosen() == SaveOutcome::Saved; }

FileCommands::SaveOutcome FileCommands::saveAsChosen() {
  return guarded("SaveAs", [&] {
    FileDialogSetup setup = DialogSetup(kSaveAsTitle);
    setup.presetName = state_.CurrentFile;
    auto picked = ports_.files->saveFile(setup);
    if (!picked) return SaveOutcome::Cancelled;  // nothing is saved
    if (picked->empty()) {
      ports_.messages->show("WARNING", kFilenameEmpty, Icon::Stop, Buttons::Ok);
      return SaveOutcome::Cancelled;
    }
    const std::string before = state_.CurrentFile;
    state_.CurrentFile = *picked;
    bool saved = false;
    try {
      saved = SaveFile(state_.CurrentFile);
    } catch (...) {
      state_.CurrentFile = before;
      throw;
    }
    if (!saved) {
      state_.CurrentFile = before;
      return SaveOutcome::Failed;
    }
    MaintMRUList(state_.CurrentFile);
    showStatus();
    return SaveOutcome::Saved;
  });
}

void FileCommands::SaveAsBeforeEnd() {
  ending_ = true;
  for (;;) {
    try {
      // A failed save has told the user why; the dialog comes again.
      if (saveAsChosen() != SaveOutcome::Failed) break;  // saved, or cancelled
    } catch (const ProgramEnded&) {
      break;
    } catch (...) {
      const CaughtError e = currentError();
      if (!ports_.messages) break;
      ports_.messages->show("WARNING!",
                            "The data could not be saved:\n" + e.description +
                                "\nPlease choose another file name, or Cancel to end without saving.",
                            Icon::Exclamation, Buttons::Ok);
    }
  }
  ending_ = false;
}

bool FileCommands::SaveCommand() {
  if (state_.CurrentFile.empty()) return SaveAs();
  // A new investor's first save goes to the untitled name, which may hold
  // an earlier investor: replace that only on the user's yes.
  if (state_.Untitled && KindOfPath(state_.CurrentFile) != PathKind::Missing) {
    switch (ports_.messages->show(kReplaceTitle, state_.CurrentFile + std::string(kReplaceText), Icon::Exclamation,
                                  Buttons::YesNoCancel)) {
      case Answer::Yes: break;
      case Answer::No: return SaveAs();
      default: return false;
    }
  }
  return SaveFile(state_.CurrentFile);
}

bool FileCommands::SaveFile(const std::string& file) {
  return guarded("SaveFile", [&] {
    if (file.empty())
      orlendo::raise(orlendo::errnum::NoFilename, "FileOperations.SaveFile", std::string(orlendo::kProductDescription));
    state_.Investor->Version(VersionField(state_.VersionTag));
    try {
      state_.Investor->ApplyEdit(file);
    } catch (...) {
      // The old file and the investor are whole: say why and go back, so
      // that the user can save elsewhere.
      const CaughtError e = currentError();
      state_.DataSaved = false;
      const std::string text = std::string(kNotSaved) + file + ":\n" + ReasonText(e) + std::string(kSaveElsewhere);
      ports_.messages->show("WARNING", text, Icon::Exclamation, Buttons::Ok);
      return false;
    }
    if (file != JoinPath(ports_.appFolder, kDebugFileName)) {
      state_.DataSaved = true;
      state_.Untitled = false;
    }
    // Only a folder that took a save becomes the data folder, and never one
    // every user may write to.
    if (const std::string folder = FolderOfPath(file); !FolderIsShared(folder)) {
      state_.DataPath = folder;
      ports_.settings->writeText(kSectionDataFiles, kKeyDataFilePath, state_.DataPath);
    }
    return true;
  });
}

void FileCommands::ClearAllData() {
  return guarded("ClearAllData", [&] {
    state_.Investor = makeInvestor();
  });
}

MruList FileCommands::readMru() {
  MruList names;
  for (int i = 0; i < kMruCount; ++i)
    names[i] = TrimRight(ports_.settings->readText(kSectionPreferences,
                                                   std::string(kMruKeyPrefix) + std::to_string(i + 1), ""));
  return names;
}

void FileCommands::showMru(const MruList& list) {
  if (!state_.Silent && ports_.showMru) ports_.showMru(list);
}

void FileCommands::MaintMRUList(const std::string& name) {
  return guarded("MaintMRUList", [&] {
    const MruList stored = readMru();
    if (name.empty()) {
      CopyMRUold2new(state_, stored);
      showMru(stored);
      return;
    }
    const std::string wanted = orlendo::foldKey(name);
    const bool listed = std::any_of(stored.begin(), stored.end(), [&](const std::string& s) {
      return orlendo::foldKey(s).find(wanted) != std::string::npos;
    });
    if (listed) {
      CopyMRUold2new(state_, stored);
      showMru(stored);
      return;
    }
    MruList list;
    list[0] = name;
    for (int k = 1; k < kMruCount; ++k) list[k] = stored[k - 1];
    for (int k = 0; k < kMruCount; ++k)
      ports_.settings->writeText(kSectionPreferences, std::string(kMruKeyPrefix) + std::to_string(k + 1), list[k]);
    CopyMRUold2new(state_, list);
    showMru(list);
  });
}

void FileCommands::ShowPDFHelp() {
  return guarded("ShowPDFHelp", [&] {
    if (!FileExists(ports_.helpFile)) {
      ports_.messages->show("Notice", "The manual " + ports_.helpFile + " could not be found.", Icon::Information,
                            Buttons::Ok);
      return;
    }
    if (!ports_.launcher || !ports_.launcher->open(ports_.helpFile)) {
      ports_.messages->show("Notice",
                            "No program to show PDF files was found on this system.\nThe manual is the file " +
                                ports_.helpFile,
                            Icon::Information, Buttons::Ok);
    }
  });
}

}  // namespace tvx
