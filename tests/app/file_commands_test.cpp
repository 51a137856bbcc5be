// The file commands. The same commands driven through the main window's menus
// (New, Save As, reopen from the list; Exit with unsaved data) are tested in
// tests/qt/desktop_test.cpp.
#include "shell/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell_test_support.h"

namespace tvx::test {
namespace {

namespace fs = std::filesystem;

TEST(DisplayShorterFilename, ShortensOnlyNamesLongerThan53CharactersCountingCharacters) {
  const std::string exact53 = "/home/" + std::string(43, 'a') + ".qvx";
  EXPECT_EQ(DisplayShorterFilename(exact53), exact53);
  EXPECT_EQ(DisplayShorterFilename("/tmp/a.qvx"), "/tmp/a.qvx");
  const std::string long54 = "/home/" + std::string(20, 'b') + std::string(24, 'c') + ".qvx";
  EXPECT_EQ(DisplayShorterFilename(long54), long54.substr(0, 25) + "..." + long54.substr(54 - 25));

  // 30 two-byte letters and 30 ASCII letters: 60 characters.
  std::string name, first25;
  for (int i = 0; i < 30; ++i) name += "\xC3\xA9";  // é
  for (int i = 0; i < 25; ++i) first25 += "\xC3\xA9";
  EXPECT_EQ(DisplayShorterFilename(name + std::string(30, 'x')), first25 + "..." + std::string(25, 'x'));
}

TEST(MaintMRUList, TheStoredListIsLoadedNewNamesGoFirstAndTheSixthPushesTheOldestOut) {
  FileHarness h;
  h.settings.values[h.mruKey(1)] = "/d/one.qvx   ";
  h.settings.values[h.mruKey(3)] = "/d/three.qvx";
  h.files->MaintMRUList("");
  EXPECT_EQ(h.state.MruFiles, (MruList{"/d/one.qvx", "", "/d/three.qvx", "", ""}));
  EXPECT_EQ(h.menus.back(), h.state.MruFiles);

  for (int i = 1; i <= 6; ++i) h.files->MaintMRUList("/d/f" + std::to_string(i) + ".qvx");
  EXPECT_EQ(h.state.MruFiles, (MruList{"/d/f6.qvx", "/d/f5.qvx", "/d/f4.qvx", "/d/f3.qvx", "/d/f2.qvx"}));
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(h.settings.values[h.mruKey(n)], h.state.MruFiles[n - 1]);
  EXPECT_EQ(h.settings.values.count(h.mruKey(6)), 0u);
  EXPECT_EQ(h.menus.back(), h.state.MruFiles);
}

TEST(MaintMRUList, ANameInsideAListedNameLeavesTheOrderAlone) {
  FileHarness h;
  h.files->MaintMRUList("/d/a.qvx.bak");
  h.files->MaintMRUList("/d/b.qvx");
  const MruList before = h.state.MruFiles;
  h.files->MaintMRUList("/d/a.qvx");  // a substring of "/d/a.qvx.bak"
  h.files->MaintMRUList("/D/B.QVX");  // the same name in other letters
  EXPECT_EQ(h.state.MruFiles, before);
  EXPECT_EQ(h.settings.values[h.mruKey(1)], "/d/b.qvx");
  EXPECT_EQ(h.settings.values[h.mruKey(2)], "/d/a.qvx.bak");
}

TEST(OpenFile, OpensTheChosenFileIntoANewInvestorAndListsItButNotAGivenName) {
  FileHarness h;
  const std::string file = h.folder.write("smith.qvx", "[General]\r\nName=Margaret Smith\r\nLumora=2\r\n");
  auto old = h.state.Investor;
  h.dialog.openAnswers.push_back(file);
  EXPECT_TRUE(h.files->OpenFile(""));
  EXPECT_NE(h.state.Investor, old);
  EXPECT_EQ(h.state.Investor->sName(), "Margaret Smith");
  EXPECT_EQ(h.state.Investor->Lumora2QVX(), orlendo::eLumora::shares);
  EXPECT_EQ(h.state.CurrentFile, file);
  EXPECT_EQ(h.state.MruFiles[0], file);
  EXPECT_EQ(h.status.back(), "File: " + file);
  ASSERT_EQ(h.dialog.opened.size(), 1u);
  EXPECT_EQ(h.dialog.opened[0].title, "Open");
  EXPECT_EQ(h.dialog.opened[0].filter, "Data Files(*.QVX)|*.QVX|All Files(*.*)|*.*||");
  EXPECT_EQ(h.dialog.opened[0].defaultExtension, ".QVX");
  EXPECT_EQ(h.dialog.opened[0].initialFolder, h.folder.path());

  const std::string jones = h.folder.write("jones.qvx", "[General]\r\nName=Jones\r\n");
  EXPECT_TRUE(h.files->OpenFile(jones));
  EXPECT_EQ(h.state.Investor->sName(), "Jones");
  EXPECT_EQ(h.state.MruFiles[0], file);
  EXPECT_EQ(h.dialog.opened.size(), 1u);
}

TEST(OpenFile, ACancelledDialogOrNoSuchRegularFileChangesNothing) {
  FileHarness h;
  h.state.CurrentFile = "/d/current.qvx";
  auto old = h.state.Investor;
  EXPECT_FALSE(h.files->OpenFile(""));  // dialog cancelled
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].title, "WARNING");
  EXPECT_EQ(h.messages.shown[0].text, "Filename Empty!");
  EXPECT_EQ(h.messages.shown[0].icon, Icon::Stop);

  const std::string missing = h.folder.file("missing.qvx");
  h.dialog.openAnswers.push_back(missing);
  EXPECT_FALSE(h.files->OpenFile(""));
  EXPECT_EQ(h.messages.shown.back().text, missing + " does not exist.");
  EXPECT_EQ(h.messages.shown.back().icon, Icon::Exclamation);
  // A pattern is no file; a folder is no regular file.
  h.folder.write("a1.qvx", "[General]\r\n");
  fs::create_directory(h.folder.file("dir.qvx"));
  for (const char* name : {"a?.qvx", "*.qvx"}) EXPECT_FALSE(h.files->OpenFile(h.folder.file(name))) << name;
  EXPECT_EQ(h.messages.shown.back().text, h.folder.file("*.qvx") + " does not exist.");
  EXPECT_FALSE(h.files->OpenFile(h.folder.file("dir.qvx")));
  EXPECT_EQ(h.messages.shown.back().text, h.folder.file("dir.qvx") + " is not a regular file.");
  EXPECT_EQ(h.messages.shown.size(), 5u);
  EXPECT_EQ(h.state.CurrentFile, "/d/current.qvx");
  EXPECT_EQ(h.state.Investor, old);
  EXPECT_EQ(h.state.MruFiles[0], "");
}

// Each file is refused with a message naming what does not read, or saying
// that it is no data file at all; the open investor, its file name and the
// list stay.
TEST(OpenFile, AFileThatDoesNotLoadOrCheckIsRefusedAndTheOpenInvestorStays) {
  FileHarness h;
  h.state.Investor->BeginEdit();
  h.state.Investor->sName("Old Investor");
  h.state.CurrentFile = h.folder.file("old.qvx");
  h.files->MaintMRUList("/d/listed.qvx");
  const MruList listBefore = h.state.MruFiles;
  const auto old = h.state.Investor;
  const std::string quorvex = "[General]\r\nName=New\r\n[Quorvex]\r\nCount=2\r\n1 Date=01/02/1990\r\n1 Shares=10\r\n"
                              "1 Cost=100\r\n";
  struct Case {
    std::string name, content, message;  // message after "<file>"
  };
  const Case cases[] = {
      {"utf16.qvx", std::string("\xFF\xFE[\0G\0e\0n\0e\0r\0a\0l\0]\0\r\0\n\0N\0a\0m\0e\0=\0A\0\r\0\n\0", 36),
       " is not a Tallyvex data file"},
      {"letters.qvx", quorvex + "2 Date=01/03/1990\r\n2 Shares=1O\x7F\r\n2 Cost=5\r\n",
       ": security \"Quorvex\", entry 2: the Shares value \"1O\\x7F\" is not a number."},
      {"count.qvx", quorvex, ": security \"Quorvex\", entry 2: the Date value is missing."},
      {"date.qvx", quorvex + "2 Date=13/45/2000\r\n2 Shares=1\r\n2 Cost=5\r\n",
       ": security \"Quorvex\", entry 2: the Date value \"13/45/2000\" is not a date."},
      {"lumora.qvx", "[General]\r\nName=New\r\nLumora=many\r\n",
       ": section \"General\", key \"Lumora\": the value \"many\" is not a whole number."},
  };
  for (const Case& c : cases) {
    const std::string file = h.folder.write(c.name, c.content);
    h.dialog.openAnswers.push_back(file);
    EXPECT_FALSE(h.files->OpenFile("")) << c.name;
    EXPECT_EQ(h.messages.shown.back().text, file + c.message + "\nThe file was not opened.");
  }
  EXPECT_EQ(h.messages.shown.size(), std::size(cases));
  EXPECT_EQ(h.state.Investor, old);
  EXPECT_EQ(old->sName(), "Old Investor");
  EXPECT_EQ(h.state.CurrentFile, h.folder.file("old.qvx"));
  EXPECT_EQ(h.state.MruFiles, listBefore);
  EXPECT_TRUE(h.logger->calls.empty());
  EXPECT_TRUE(h.exits.empty());
}

// ---- the unsaved-data prompt -------------------------------------------------------------------

TEST(UnsavedPrompt, OpenAnsweredCancelKeepsTheDataAndNoGoesOnWithoutSaving) {
  FileHarness h;
  h.state.DataSaved = false;
  auto old = h.state.Investor;
  h.messages.answers = {Answer::Cancel};
  EXPECT_FALSE(h.files->OpenFile(""));
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].title, "Unsaved Data Exists!");
  EXPECT_EQ(h.messages.shown[0].text, "Current Inputs have not been Saved!\nDo you want to save them first?");
  EXPECT_EQ(h.messages.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_TRUE(h.dialog.opened.empty());
  EXPECT_EQ(h.state.Investor, old);
  EXPECT_FALSE(h.state.DataSaved);

  h.messages.answers = {Answer::No};
  h.dialog.openAnswers.push_back(h.folder.write("x.qvx", "[General]\r\nName=X\r\n"));
  EXPECT_TRUE(h.files->OpenFile(""));
  EXPECT_TRUE(h.dialog.saved.empty());
  EXPECT_EQ(h.state.Investor->sName(), "X");
  EXPECT_TRUE(h.state.DataSaved);
}

TEST(UnsavedPrompt, YesSavesFirstAndACancelledSaveAsCancelsTheCommand) {
  FileHarness h;
  h.state.DataSaved = false;
  h.state.CurrentFile = h.folder.file("keep.qvx");
  auto old = h.state.Investor;

  // Yes, then Save As cancelled: nothing saved, New does not happen.
  h.messages.answers = {Answer::Yes};
  EXPECT_FALSE(h.files->NewFile());
  EXPECT_FALSE(fs::exists(h.folder.file("keep.qvx")));
  EXPECT_EQ(h.state.Investor, old);
  EXPECT_EQ(h.inputWindows, 0);

  // Yes, then a name: saved, and New goes on.
  h.messages.answers = {Answer::Yes};
  h.dialog.saveAnswers.push_back(h.folder.file("saved.qvx"));
  EXPECT_TRUE(h.files->NewFile());
  EXPECT_TRUE(fs::exists(h.folder.file("saved.qvx")));
  EXPECT_NE(h.state.Investor, old);
  EXPECT_EQ(h.inputWindows, 1);
}

TEST(UnsavedPrompt, ExitAsksOnlyWhenDataIsUnsaved) {
  FileHarness h;
  EXPECT_TRUE(h.files->QueryExit());
  EXPECT_TRUE(h.messages.shown.empty());

  // Cancel, No and a cancelled Save As: tests/qt/desktop_test.cpp, through the menu.
  h.state.DataSaved = false;
  h.messages.answers = {Answer::Yes};
  h.dialog.saveAnswers.push_back(h.folder.file("exit.qvx"));
  EXPECT_TRUE(h.files->QueryExit());
  EXPECT_TRUE(fs::exists(h.folder.file("exit.qvx")));
}

// ---- Save, Save As ------------------------------------------------------------------------

TEST(SaveAs, CancelSavesNothingAndAnEmptyNameWarns) {
  FileHarness h;
  h.state.CurrentFile = h.folder.file("preset.qvx");
  EXPECT_FALSE(h.files->SaveAs());
  EXPECT_FALSE(fs::exists(h.folder.file("preset.qvx")));
  EXPECT_TRUE(h.messages.shown.empty());
  EXPECT_EQ(h.dialog.saved.at(0).title, "Save As");
  EXPECT_EQ(h.dialog.saved.at(0).presetName, h.folder.file("preset.qvx"));

  h.dialog.saveAnswers.push_back(std::string());
  EXPECT_FALSE(h.files->SaveAs());
  EXPECT_EQ(h.messages.shown.at(0).text, "Filename Empty!");
  EXPECT_EQ(h.state.CurrentFile, h.folder.file("preset.qvx"));
}

TEST(SaveCommand, WithoutAFileNameRunsSaveAs) {
  FileHarness h;
  h.state.CurrentFile.clear();
  h.dialog.saveAnswers.push_back(h.folder.file("named.qvx"));
  EXPECT_TRUE(h.files->SaveCommand());
  EXPECT_EQ(h.state.CurrentFile, h.folder.file("named.qvx"));
  EXPECT_TRUE(fs::exists(h.folder.file("named.qvx")));
  EXPECT_EQ(h.state.MruFiles[0], h.folder.file("named.qvx"));
  EXPECT_TRUE(h.exits.empty());
}

TEST(SaveFile, RecordsTheFolderWritesTheVersionFieldAndMarksSaved) {
  FileHarness h;
  fs::create_directory(h.folder.file("sub"));
  h.state.DataSaved = false;
  h.files->SaveFile(h.folder.file("sub/a.qvx"));
  EXPECT_EQ(h.state.DataPath, h.folder.file("sub"));
  EXPECT_EQ(h.settings.values["Data Files/Data File Path"], h.folder.file("sub"));
  EXPECT_EQ(h.state.Investor->Version(), VersionField(h.state.VersionTag));
  EXPECT_TRUE(h.state.DataSaved);

  h.state.DataSaved = false;
  h.files->SaveFile(h.folder.file("DEBUG.QVX"));  // the debug file does not count as saved
  EXPECT_FALSE(h.state.DataSaved);
}

// A save that cannot be written says why and leaves the investor open and
// unsaved, the data folder and the old file as they were.
TEST(SaveFile, AFailedSaveSaysWhyAndKeepsTheInvestorUnsavedAndTheDataFolder) {
  FileHarness h;
  h.state.Investor->BeginEdit();
  h.state.Investor->sName("Keep Me");
  const std::string plain = h.folder.write("plain", "x");
  struct Case {
    std::string file, reason;
  };
  const Case cases[] = {
      {h.folder.file("missing-folder/a.qvx"), "Path not found (error 76)"},
      {plain + "/a.qvx", "Path not found (error 76)"},
      {"/proc/tallyvex.qvx", ""},  // the reason depends on the system
  };
  for (const Case& c : cases) {
    h.state.DataSaved = true;
    EXPECT_FALSE(h.files->SaveFile(c.file)) << c.file;
    const std::string& text = h.messages.shown.back().text;
    EXPECT_EQ(text.rfind("The data could not be saved to " + c.file + ":\n" + c.reason, 0), 0u) << text;
    EXPECT_NE(text.find("File, Save As"), std::string::npos);
    EXPECT_FALSE(h.state.DataSaved);
  }
  EXPECT_EQ(h.state.DataPath, h.folder.path());
  EXPECT_EQ(h.settings.values.count("Data Files/Data File Path"), 0u);
  EXPECT_EQ(h.state.Investor->sName(), "Keep Me");
  EXPECT_TRUE(h.exits.empty());

  // Save As to such a place keeps the name it had; another name then saves.
  h.state.CurrentFile = h.folder.file("old.qvx");
  h.dialog.saveAnswers = {h.folder.file("missing-folder/b.qvx")};
  EXPECT_FALSE(h.files->SaveAs());
  EXPECT_EQ(h.state.CurrentFile, h.folder.file("old.qvx"));
  EXPECT_EQ(h.state.MruFiles[0], "");
  h.dialog.saveAnswers = {h.folder.file("good.qvx")};
  EXPECT_TRUE(h.files->SaveAs());
  EXPECT_TRUE(h.state.DataSaved);
  EXPECT_EQ(h.settings.values["Data Files/Data File Path"], h.folder.path());
}

TEST(SaveFile, TheFatalPathsSaveAsksAgainAfterAFailedSave) {
  FileHarness h;
  h.state.Investor->BeginEdit();
  h.state.Investor->sName("Keep Me");
  h.messages.answers = {Answer::Yes};  // "save before the program shuts down?"
  h.dialog.saveAnswers = {h.folder.file("no/such/folder/x.qvx"), h.folder.file("rescued.qvx")};
  EXPECT_THROW(ReportFatalError(h.state, h.end, orlendo::errnum::InvalidArgument, "GetInputs"), ProgramEnded);
  EXPECT_EQ(h.dialog.saved.size(), 2u);
  EXPECT_NE(readFile(h.folder.file("rescued.qvx")).find("Name=Keep Me"), std::string::npos);
  EXPECT_EQ(h.exits, std::vector<int>{kExitError});
}

// File, New then OK twice: the second new investor's OK finds the first one's
// UNTITLED.QVX and asks; nothing is replaced without a yes.
TEST(SaveCommand, ANewInvestorAsksBeforeReplacingAnExistingUntitledFile) {
  FileHarness h;
  const std::string untitled = h.folder.file("UNTITLED.QVX");
  auto newInvestorNamed = [&](const std::string& name) {
    ASSERT_TRUE(h.files->NewFile());
    h.state.Investor->sName(name);
  };
  newInvestorNamed("First");
  EXPECT_TRUE(h.files->SaveCommand());  // nothing there yet: saved without a question
  EXPECT_TRUE(h.messages.shown.empty());
  EXPECT_TRUE(h.files->SaveCommand());  // its own file now
  EXPECT_TRUE(h.messages.shown.empty());
  const std::string first = readFile(untitled);
  ASSERT_NE(first.find("Name=First"), std::string::npos);

  newInvestorNamed("Second");
  h.messages.answers = {Answer::Cancel, Answer::No};
  EXPECT_FALSE(h.files->SaveCommand());  // Cancel
  EXPECT_EQ(h.messages.shown.back().title, "Replace File?");
  EXPECT_EQ(h.messages.shown.back().text.rfind(untitled + " already exists.\n", 0), 0u);
  EXPECT_EQ(h.messages.shown.back().buttons, Buttons::YesNoCancel);
  EXPECT_FALSE(h.files->SaveCommand());  // No, then Save As cancelled
  EXPECT_EQ(h.dialog.saved.back().presetName, untitled);
  EXPECT_EQ(readFile(untitled), first);

  h.messages.answers = {Answer::No};
  h.dialog.saveAnswers = {h.folder.file("second.qvx")};
  EXPECT_TRUE(h.files->SaveCommand());  // No, then another name
  EXPECT_EQ(readFile(untitled), first);
  EXPECT_EQ(h.state.CurrentFile, h.folder.file("second.qvx"));
  const std::size_t asked = h.messages.shown.size();
  EXPECT_TRUE(h.files->SaveCommand());  // saved once: no more questions
  EXPECT_EQ(h.messages.shown.size(), asked);

  newInvestorNamed("Third");
  h.messages.answers = {Answer::Yes};
  EXPECT_TRUE(h.files->SaveCommand());
  EXPECT_NE(readFile(untitled).find("Name=Third"), std::string::npos);
}

}  // namespace
}  // namespace tvx::test
