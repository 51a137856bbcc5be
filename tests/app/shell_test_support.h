// Test doubles for the shell's file commands, settings and start-up.
#pragma once

#include "core/error_paths.h"
#include "report_test_support.h"
#include "shell/file_commands.h"
#include "shell/settings.h"

namespace tvx::test {

// Gives the scripted names in turn; nullopt (Cancel) when exhausted.
struct ScriptedFileDialog final : FileDialog {
  std::deque<std::optional<std::string>> openAnswers, saveAnswers;
  std::vector<FileDialogSetup> opened, saved;
  std::optional<std::string> openFile(const FileDialogSetup& setup) override { return next(opened, setup, openAnswers); }
  std::optional<std::string> saveFile(const FileDialogSetup& setup) override { return next(saved, setup, saveAnswers); }

 private:
  static std::optional<std::string> next(std::vector<FileDialogSetup>& asked, const FileDialogSetup& setup,
                                         std::deque<std::optional<std::string>>& answers) {
    asked.push_back(setup);
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
};

struct FixedClock final : Clock {
  FixedClock(int year, int month, int day) : y(year), m(month), d(day) {}
  int year() const override { return y; }
  int month() const override { return m; }
  int day() const override { return d; }
  int y, m, d;
};

// The file commands over recording ports.
struct FileHarness {
  FileHarness() {
    state.VersionTag = makeVersionTag();
    state.Investor = orlendo::Investor::create();
    state.ErrorLogger = logger;
    state.DataPath = folder.path();
    state.IniFile = folder.file("tvxdesk.ini");
    state.DataSaved = true;
    end.messages = &messages;
    end.settings = &settings;
    end.exit = [this](int status) { exits.push_back(status); };
    FileCommandPorts p;
    p.messages = &messages;
    p.files = &dialog;
    p.settings = &settings;
    p.end = &end;
    p.showStatus = [this](const std::string& s) { status.push_back(s); };
    p.initIP = [this] { ++inputWindows; };
    p.newInvestor = [] { return orlendo::Investor::create(); };
    p.appFolder = folder.path();
    files = std::make_unique<FileCommands>(state, std::move(p));
    end.saveAs = [this] { files->SaveAsBeforeEnd(); };
  }

  TempFolder folder;
  AppState state;
  EndServices end;
  ScriptedMessageBox messages;
  ScriptedFileDialog dialog;
  FakeSettings settings;
  std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
  std::vector<std::string> status;
  std::vector<int> exits;
  int inputWindows = 0;
  std::unique_ptr<FileCommands> files;
};

}  // namespace tvx::test
