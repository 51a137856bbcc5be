// The settings file and the report font.
#include "shell/settings.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

namespace fs = std::filesystem;

// ---- GetIni ------------------------------------------------------------------------------------

struct IniHarness {
  IniHarness() : ini(folder.file("tvxdesk.ini")) {
    state.IniFile = folder.file("tvxdesk.ini");
    state.ErrorLogger = logger;
    end.messages = &messages;
    end.exit = [this](int s) { exits.push_back(s); };
  }
  void run(Printer* printer = nullptr) {
    const auto env = [this](std::string_view name) -> std::optional<std::string> {
      return name == "APPDATA" ? std::optional(folder.file("appdata")) : std::nullopt;
    };
    GetIniServices services{ini, end, env, printer, [this] { ++mruLoads; }};
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
  EXPECT_EQ(readBytes(h.folder.file("tvxdesk.ini")),
            "[Data Files]\r\nData File Path=" + h.folder.file("appdata/Kelvane/QVX") + "\r\n");
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
    EXPECT_NE(readBytes(h.folder.file("tvxdesk.ini")).find("Data File Path=" + h.state.DataPath), std::string::npos);
  }
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

// The dialog opens on the report font in the regular weight the reports print
// in; a choice too small or nameless falls back to the defaults; Cancel keeps.
TEST(GetFonts, PresetsTheReportFontUnboldAndTakesTheChoice) {
  IniHarness h;
  ScriptedFontDialog dialog;
  h.state.FontName = "Courier New";
  h.state.FontSize = 11;
  const std::tuple<std::optional<FontChoice>, std::string, float> cases[] = {
      {std::nullopt, "Courier New", 11},
      {FontChoice{"DejaVu Sans Mono", 9, true}, "DejaVu Sans Mono", 9},
      {FontChoice{"", 2, false}, "Courier New", 10},
  };
  for (const auto& [answer, name, size] : cases) {
    dialog.answer = answer;
    GetFonts(h.state, h.messages, dialog, h.end);
    EXPECT_EQ(h.state.FontName, name);
    EXPECT_EQ(h.state.FontSize, size);
  }
  ASSERT_EQ(dialog.presets.size(), 3u);
  EXPECT_EQ(dialog.presets[0].name, "Courier New");
  EXPECT_EQ(dialog.presets[0].size, 11.0F);
  for (const FontChoice& preset : dialog.presets) EXPECT_FALSE(preset.bold);
  EXPECT_EQ(h.messages.shown.size(), 3u) << "the font warning each time";
}

}  // namespace
}  // namespace tvx::test
