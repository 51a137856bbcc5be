#include "shell/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "orlendo/error.h"
#include "shell_test_support.h"

namespace tvx::test {
namespace {

namespace fs = std::filesystem;

// ---- the settings file ---------------------------------------------------------------------------

TEST(ProfileSettingsStore, ReadsDefaultsWritesAtOnceAndSeesLaterChanges) {
  TempFolder t;
  ProfileSettingsStore ini(t.file("tvxdesk.ini"));
  EXPECT_EQ(ini.readText("Data Files", "Data File Path", "/def"), "/def");
  EXPECT_EQ(ini.readInt("Hide Error Msg", "380", 0), 0);

  ini.writeText("Data Files", "Data File Path", "/home/ann/qvx");
  ini.writeText("User Preferences", "Font Size", "12");
  const std::string written = readFile(t.file("tvxdesk.ini"));
  EXPECT_NE(written.find("[Data Files]\r\nData File Path=/home/ann/qvx\r\n"), std::string::npos);
  EXPECT_EQ(fs::status(t.file("tvxdesk.ini")).permissions(), fs::perms::owner_read | fs::perms::owner_write)
      << "it names the user's files";

  // Another program changes the file: the next read sees it.
  t.write("tvxdesk.ini", "[Hide Error Msg]\r\n380=1\r\n[User Preferences]\r\nFont Size=abc\r\n");
  EXPECT_EQ(ini.readInt("Hide Error Msg", "380", 0), 1);
  EXPECT_EQ(ini.readInt("User Preferences", "Font Size", 7), 7);  // not a number
  EXPECT_EQ(ini.readText("Data Files", "Data File Path", "gone"), "gone");

  ini.writeText("User Preferences", "File 1", std::string(300, 'p'));
  EXPECT_EQ(ini.readText("User Preferences", "File 1", ""), std::string(255, 'p'));
}

// ---- GetIni ------------------------------------------------------------------------------------

struct IniHarness {
  IniHarness() : ini(folder.file("tvxdesk.ini")) {
    state.IniFile = folder.file("tvxdesk.ini");
    state.ErrorLogger = logger;
    end.messages = &messages;
    end.exit = [this](int s) { exits.push_back(s); };
  }
  void run(Printer* printer = nullptr) {
    GetIniServices services{ini, end, envOf({{"APPDATA", folder.file("appdata")}}), printer, [this] { ++mruLoads; }};
    GetIni(state, services);
  }
  TempFolder folder;
  ProfileSettingsStore ini;
  AppState state;
  EndServices end;
  ScriptedMessageBox messages;
  std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
  std::vector<int> exits;
  int mruLoads = 0;
};

TEST(GetIni, FreshSettingsGiveTheDefaultsAndRecordTheDataFolder) {
  IniHarness h;
  RecordingPrinter printer;  // "Printer Default", 12 points, bold
  h.run(&printer);
  EXPECT_FALSE(h.state.HideError380);
  EXPECT_EQ(h.state.DataPath, h.folder.file("appdata/Kelvane/QVX"));
  EXPECT_TRUE(fs::is_directory(h.state.DataPath));
  EXPECT_EQ(h.state.FontName, "Courier New");
  EXPECT_EQ(h.state.FontSize, 10.0F);
  EXPECT_EQ(h.state.PrnFontName, "Printer Default");
  EXPECT_EQ(h.state.PrnFontSize, 12.0F);
  EXPECT_TRUE(h.state.PrnFontBold);
  EXPECT_EQ(h.mruLoads, 1);
  // Only the data folder is written back; nothing of the system is touched.
  EXPECT_EQ(readFile(h.folder.file("tvxdesk.ini")),
            "[Data Files]\r\nData File Path=" + h.folder.file("appdata/Kelvane/QVX") + "\r\n");
}

TEST(GetIni, StoredSettingsWinAndAnUnreadableFontSizeGivesTen) {
  IniHarness h;
  fs::create_directory(h.folder.file("data"));
  h.folder.write("tvxdesk.ini",
                 "[Hide Error Msg]\r\n380=1\r\n[Data Files]\r\nData File Path=" + h.folder.file("data") +
                     "\r\n[User Preferences]\r\nFont Name=Courier   \r\nFont Size=11.5\r\n");
  h.run();
  EXPECT_TRUE(h.state.HideError380);
  EXPECT_EQ(h.state.DataPath, h.folder.file("data"));
  EXPECT_EQ(h.state.FontName, "Courier");
  EXPECT_EQ(h.state.FontSize, 11.5F);
  EXPECT_EQ(h.state.PrnFontName, "");  // no printer: nothing recorded

  h.folder.write("tvxdesk.ini", "[User Preferences]\r\nFont Size=big\r\n");
  h.run();
  EXPECT_EQ(h.state.FontSize, 10.0F);
}

// A folder every user may write to would take every later backup copy.
TEST(GetIni, AStoredDataFolderThatIsGoneNoFolderOrSharedGivesThePerUserFolder) {
  IniHarness h;
  const std::string file = h.folder.write("plain.txt", "x");
  const std::string shared = h.folder.file("shared");
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
  for (const std::string& stored : {std::string("/no/longer/there"), file, file + "/sub", shared}) {
    h.folder.write("tvxdesk.ini", "[Data Files]\r\nData File Path=" + stored + "\r\n");
    h.run();
    EXPECT_EQ(h.state.DataPath, h.folder.file("appdata/Kelvane/QVX")) << stored;
    EXPECT_NE(readFile(h.folder.file("tvxdesk.ini")).find("Data File Path=" + h.state.DataPath), std::string::npos);
  }
}

TEST(GetIni, AnUnreadableSettingsFileEndsThroughTheFatalPath) {
  IniHarness h;
  fs::create_directory(h.folder.file("tvxdesk.ini"));  // a folder where the file should be
  EXPECT_THROW(h.run(), ProgramEnded);
  ASSERT_FALSE(h.messages.shown.empty());
  EXPECT_NE(h.messages.shown[0].text.find("Location:           GetIni"), std::string::npos);
  EXPECT_EQ(h.exits, std::vector<int>{kExitError});
}

// ---- fonts -------------------------------------------------------------

class ScriptedFontDialog final : public FontDialog {
 public:
  std::optional<FontChoice> answer;
  std::vector<FontChoice> presets;
  std::optional<FontChoice> choose(const FontChoice& preset) override {
    presets.push_back(preset);
    return answer;
  }
};

TEST(GetFonts, WarnsThenTakesTheChoiceWithItsLimits) {
  AppState state;
  state.FontName = "Courier New";
  state.FontSize = 10;
  EndServices end;
  ScriptedMessageBox messages;
  ScriptedFontDialog dialog;

  dialog.answer = FontChoice{"Liberation Mono", 12, false};
  GetFonts(state, messages, dialog, end);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "WARNING!");
  EXPECT_EQ(messages.shown[0].text,
            "We strongly recommend the use of either the COURIER NEW or the COURIER font. Other fonts might not "
            "align properly.");
  EXPECT_EQ(messages.shown[0].icon, Icon::Exclamation);
  ASSERT_EQ(dialog.presets.size(), 1u);
  EXPECT_EQ(dialog.presets[0].name, "Courier New");
  EXPECT_TRUE(dialog.presets[0].bold);
  EXPECT_EQ(state.FontName, "Liberation Mono");
  EXPECT_EQ(state.FontSize, 12.0F);

  dialog.answer = FontChoice{"", 4.5F, true};
  GetFonts(state, messages, dialog, end);
  EXPECT_EQ(state.FontName, "Courier New");
  EXPECT_EQ(state.FontSize, 10.0F);

  dialog.answer = FontChoice{"Courier", 5, false};
  GetFonts(state, messages, dialog, end);
  EXPECT_EQ(state.FontSize, 5.0F);  // 5 is the smallest size kept

  dialog.answer.reset();  // cancelled
  GetFonts(state, messages, dialog, end);
  EXPECT_EQ(state.FontName, "Courier");
  EXPECT_EQ(state.FontSize, 5.0F);
}

}  // namespace
}  // namespace tvx::test
