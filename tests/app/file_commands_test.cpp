// The file commands. The same commands driven through the main window's menus
// (New, Save As, reopen from the list; Exit with unsaved data) are tested in
// tests/qt/desktop_test.cpp. Also the exact-path file test.
#include "shell/file_commands.h"
#include "core/files.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {
namespace fs = std::filesystem;

// A cancelled dialog says nothing; a chosen file opens into a new investor
// and is listed, a given name is not.
TEST(OpenFile, OpensTheChosenFileIntoANewInvestorAndListsItButNotAGivenName) {
  FileHarness h;
  EXPECT_FALSE(h.files->OpenFile(""));
  EXPECT_TRUE(h.messages.shown.empty());
  const std::string file = h.folder.write("smith.qvx", "[General]\r\nName=Margaret Smith\r\nLumora=2\r\n");
  h.dialog.openAnswers.push_back(file);
  EXPECT_TRUE(h.files->OpenFile(""));
  EXPECT_EQ(h.state.Investor->sName(), "Margaret Smith");
  EXPECT_EQ(h.state.CurrentFile, file);
  EXPECT_EQ(h.state.MruFiles[0], file);
  EXPECT_EQ(h.status.back(), "File: " + file);
  EXPECT_EQ(h.dialog.opened.at(1).initialFolder, h.folder.path());

  EXPECT_TRUE(h.files->OpenFile(h.folder.write("jones.qvx", "[General]\r\nName=Jones\r\n")));
  EXPECT_EQ(h.state.Investor->sName(), "Jones");
  EXPECT_EQ(h.state.MruFiles[0], file);
  EXPECT_EQ(h.dialog.opened.size(), 2u);
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

// Cancel keeps the data and the command does not happen; No goes on
// without saving; Yes saves first, and a cancelled Save As cancels the command.
TEST(UnsavedPrompt, CancelKeepsNoDropsYesSavesFirst) {
  FileHarness h;
  h.state.DataSaved = false;
  h.state.CurrentFile = h.folder.file("keep.qvx");
  const auto old = h.state.Investor;
  h.messages.answers = {Answer::Cancel};
  EXPECT_FALSE(h.files->OpenFile(""));
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].title, "Unsaved Data Exists!");
  EXPECT_EQ(h.messages.shown[0].text, "Current Inputs have not been Saved!\nDo you want to save them first?");
  EXPECT_EQ(h.messages.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_TRUE(h.dialog.opened.empty());
  h.messages.answers = {Answer::Yes};  // Save As cancelled: nothing saved, New does not happen
  EXPECT_FALSE(h.files->NewFile());
  EXPECT_FALSE(fs::exists(h.folder.file("keep.qvx")));
  EXPECT_EQ(h.state.Investor, old);
  EXPECT_EQ(h.inputWindows, 0);
  EXPECT_FALSE(h.state.DataSaved);

  h.messages.answers = {Answer::Yes};
  h.dialog.saveAnswers.push_back(h.folder.file("saved.qvx"));
  EXPECT_TRUE(h.files->NewFile());
  EXPECT_TRUE(fs::exists(h.folder.file("saved.qvx")));
  EXPECT_EQ(h.inputWindows, 1);
  h.state.DataSaved = false;
  h.messages.answers = {Answer::No};
  h.dialog.openAnswers.push_back(h.folder.write("x.qvx", "[General]\r\nName=X\r\n"));
  EXPECT_TRUE(h.files->OpenFile(""));
  EXPECT_EQ(h.dialog.saved.size(), 2u) << "No saves nothing";
  EXPECT_EQ(h.state.Investor->sName(), "X");
  EXPECT_TRUE(h.state.DataSaved);
}

// ---- Save, Save As ------------------------------------------------------------------------

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

  // Save As to such a place keeps the name it had; another name then saves,
  // with the version field, and its folder becomes the data folder. The
  // debug file does not count as saved.
  h.state.CurrentFile = h.folder.file("old.qvx");
  h.dialog.saveAnswers = {h.folder.file("missing-folder/b.qvx")};
  EXPECT_FALSE(h.files->SaveAs());
  EXPECT_EQ(h.state.CurrentFile, h.folder.file("old.qvx"));
  EXPECT_EQ(h.state.MruFiles[0], "");
  fs::create_directory(h.folder.file("sub"));
  h.dialog.saveAnswers = {h.folder.file("sub/good.qvx")};
  EXPECT_TRUE(h.files->SaveAs());
  EXPECT_TRUE(h.state.DataSaved);
  EXPECT_EQ(h.state.Investor->Version(), VersionField(h.state.VersionTag));
  EXPECT_EQ(h.state.DataPath, h.folder.file("sub"));
  EXPECT_EQ(h.settings.values["Data Files/Data File Path"], h.folder.file("sub"));
  h.state.DataSaved = false;
  h.files->SaveFile(h.folder.file("DEBUG.QVX"));
  EXPECT_FALSE(h.state.DataSaved);
}

// A new investor's first Save asks for a name, offering UNTITLED.QVX in the
// data folder; a cancel saves nothing; every save says where it went.
TEST(SaveCommand, ANewInvestorsFirstSaveAsksForANameAndEverySaveSaysWhere) {
  FileHarness h;
  const std::string untitled = h.folder.file("UNTITLED.QVX");
  std::ofstream(untitled) << "[General]\r\nName=Earlier\r\n";
  ASSERT_TRUE(h.files->NewFile());
  EXPECT_FALSE(h.files->SaveCommand());  // the dialog cancelled
  EXPECT_EQ(h.dialog.saved.at(0).presetName, untitled);
  EXPECT_NE(readBytes(untitled).find("Name=Earlier"), std::string::npos);
  EXPECT_TRUE(h.notices.empty());

  h.dialog.saveAnswers = {h.folder.file("ann.qvx")};
  EXPECT_TRUE(h.files->SaveCommand());
  EXPECT_TRUE(h.files->SaveCommand());  // named now: saved without a dialog
  EXPECT_EQ(h.dialog.saved.size(), 2u);
  EXPECT_EQ(h.notices, std::vector<std::string>(2, "Saved to " + h.folder.file("ann.qvx")));
}

// The exact-path file test and what it says of a path that is no data file.
TEST(InputFileProblem, TestsTheExactPathOfARegularFile) {
  TempFolder t;
  const std::string file = t.write("a b.qvx", "[General]\r\n");
  ASSERT_EQ(::mkfifo(t.file("fifo.qvx").c_str(), 0600), 0);
  EXPECT_EQ(InputFileProblem(file), "");
  EXPECT_TRUE(FileExists(file));
  for (const std::string& missing : {t.file("*.qvx"), t.file("A B.qvx"), std::string(), file + "/x.qvx"}) {
    EXPECT_EQ(InputFileProblem(missing), missing + " does not exist.");
    EXPECT_FALSE(FileExists(missing));
  }
  for (const std::string& other : {t.path(), t.file("fifo.qvx"), std::string("/dev/null")}) {
    EXPECT_EQ(InputFileProblem(other), other + " is not a regular file.");
    EXPECT_FALSE(FileExists(other));
  }
  const std::string tooLong = t.file(std::string(5000, 'x') + ".qvx");
  EXPECT_EQ(InputFileProblem(tooLong), tooLong + " cannot be reached: File name too long.");
}

}  // namespace
}  // namespace tvx::test
