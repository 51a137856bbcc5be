#include "shell/paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "orlendo/error.h"
#include "shell_test_support.h"

namespace tvx::test {
namespace {

namespace fs = std::filesystem;

TEST(GetWin7AppDataPath, UsesAppDataThenXdgDataHomeThenHomeAndCreatesTheFolders) {
  TempFolder t;
  EXPECT_EQ(GetWin7AppDataPath("QVX", envOf({{"APPDATA", t.file("roaming")}, {"HOME", t.path()}})),
            t.file("roaming/Kelvane/QVX"));
  EXPECT_TRUE(fs::is_directory(t.file("roaming/Kelvane/QVX")));
  EXPECT_EQ(GetWin7AppDataPath("QVX", envOf({{"XDG_DATA_HOME", t.file("data/")}, {"HOME", t.path()}})),
            t.file("data/Kelvane/QVX"));
  // A relative XDG folder does not count.
  EXPECT_EQ(GetWin7AppDataPath("QVX", envOf({{"XDG_DATA_HOME", "rel"}, {"HOME", t.path()}})),
            t.file(".local/share/Kelvane/QVX"));
  EXPECT_TRUE(fs::is_directory(t.file(".local/share/Kelvane/QVX")));

  // No folder can be made: a file is in the way, or there is nowhere to look.
  t.write("Kelvane", "a file where the folder should be");
  EXPECT_THROW(GetWin7AppDataPath("QVX", envOf({{"APPDATA", t.path()}})), orlendo::Error);
  EXPECT_THROW(GetWin7AppDataPath("QVX", envOf({})), orlendo::Error);
}

TEST(ResolveProgramPaths, SettingsAndLogBesideAWritableProgramElsePerUser) {
  TempFolder t;
  fs::create_directory(t.file("bin"));
  ProgramPaths beside = ResolveProgramPaths(t.file("bin"), envOf({{"HOME", t.path()}}));
  EXPECT_EQ(beside.iniFile, t.file("bin/tvxdesk.ini"));
  EXPECT_EQ(beside.errLogFile, t.file("bin/QVX_err.log"));

  // A program folder that cannot be written (here: one that does not exist).
  ProgramPaths user = ResolveProgramPaths(t.file("readonly-bin"), envOf({{"XDG_CONFIG_HOME", t.file("cfg")}}));
  EXPECT_EQ(user.iniFile, t.file("cfg/Kelvane/tvxdesk.ini"));
  EXPECT_EQ(user.errLogFile, t.file("cfg/Kelvane/QVX_err.log"));
  EXPECT_TRUE(fs::is_directory(t.file("cfg/Kelvane")));
  ProgramPaths home = ResolveProgramPaths(t.file("readonly-bin"), envOf({{"HOME", t.path()}}));
  EXPECT_EQ(home.iniFile, t.file(".config/Kelvane/tvxdesk.ini"));
}

}  // namespace
}  // namespace tvx::test
