// The command line: file names by switch and extension, and the switches given.
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

// The command line: whole-argument switches in any case, names in their own
// letters, names with blanks, and what gives an empty name.
using Args = std::vector<std::string>;

std::string input(const Args& a) { return GetCommandLineFilename(a, kInputExtension, kSwitchInput); }
std::string output(const Args& a) { return GetCommandLineFilename(a, kOutputExtension, kSwitchOutput); }

TEST(CommandLine, NamesAndTheSilentSwitch) {
  struct Case {
    Args args;
    bool silent;
    std::string in, out;
  };
  const Case cases[] = {
      {{"/silent", "/input", "/data/smith.qvx", "/output", "/out/smith.txt"}, true, "/data/smith.qvx",
       "/out/smith.txt"},
      // switches in any case, names in their own letters
      {{"/SILENT", "/Input", "/home/Ann/Smith.QVX", "/OUTPUT", "/home/Ann/Reports.TXT"}, true, "/home/Ann/Smith.QVX",
       "/home/Ann/Reports.TXT"},
      // folder names that look like switches are not switches
      {{"/input", "/home/ann/silent/output/x.qvx"}, false, "/home/ann/silent/output/x.qvx", ""},
      {{"/home/silent"}, false, "", ""},
      {{"/silently"}, false, "", ""},
      // ".qvx" in an earlier path does not shorten the name
      {{"/silent", "/input", "/a.qvx/b.qvx", "/output", "/a.qvx/out.txt"}, true, "/a.qvx/b.qvx", "/a.qvx/out.txt"},
      // a name with blanks typed without quotes is joined; a quoted one kept as it is
      {{"/silent", "/input", "/home/ann/My", "Files/Smith", "2016.qvx", "/output", "/tmp/a", "b.txt"}, true,
       "/home/ann/My Files/Smith 2016.qvx", "/tmp/a b.txt"},
      {{"/input", "/home/ann/My  Files/x.qvx"}, false, "/home/ann/My  Files/x.qvx", ""},
      // a missing switch, name or extension gives an empty name
      {{}, false, "", ""},
      {{"/silent", "/output", "/tmp/x.txt"}, true, "", "/tmp/x.txt"},
      {{"/silent", "/input", "/data/smith.dat"}, true, "", ""},
      {{"/silent", "/input"}, true, "", ""},
      // the search for the extension stops at the next switch
      {{"/input", "/data/smith", "/output", "/out/a.qvx.txt", "b.qvx"}, false, "", "/out/a.qvx.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(IsSilent(c.args), c.silent);
    EXPECT_EQ(input(c.args), c.in);
    EXPECT_EQ(output(c.args), c.out);
  }
}

TEST(CommandLine, HelpSwitchesAndTheDisplayCheck) {
  for (const Args& a : {Args{"--help"}, Args{"-h"}, Args{"/?"}, Args{"/silent", "/input", "x.qvx", "-h"}})
    EXPECT_TRUE(IsHelpRequest(a)) << ::testing::PrintToString(a);
  for (const Args& a : {Args{}, Args{"--HELP"}, Args{"-help"}, Args{"/input", "/d/-h.qvx"}, Args{"/??"}})
    EXPECT_FALSE(IsHelpRequest(a)) << ::testing::PrintToString(a);

  EXPECT_FALSE(DisplayAvailable(nullptr, nullptr, nullptr));
  EXPECT_FALSE(DisplayAvailable("", "", ""));
  EXPECT_TRUE(DisplayAvailable("offscreen", nullptr, nullptr));
  EXPECT_TRUE(DisplayAvailable(nullptr, ":0", nullptr));
  EXPECT_TRUE(DisplayAvailable(nullptr, "", "wayland-0"));
}

TEST(CommandLine, TheCsvNameAndTheSwitchesGiven) {
  struct Case {
    Args args;
    bool csvSwitch;
    std::string csv, out;
  };
  const Case cases[] = {
      {{"/silent", "/input", "/d/a.qvx", "/csv", "/out/a.csv"}, true, "/out/a.csv", ""},
      {{"/SILENT", "/CSV", "/Out/A.CSV", "/Output", "/Out/A.txt"}, true, "/Out/A.CSV", "/Out/A.txt"},
      {{"/csv", "/tmp/My", "Files/a", "b.csv"}, true, "/tmp/My Files/a b.csv", ""},
      // each name's search stops at the other switch
      {{"/output", "/tmp/a", "/csv", "/tmp/b.txt.csv", "c.txt"}, true, "/tmp/b.txt.csv", ""},
      {{"/csv", "/tmp/a.txt", "/output", "/tmp/b.csv.txt"}, true, "", "/tmp/b.csv.txt"},
      {{"/silent", "/csv"}, true, "", ""},
      {{"/input", "/home/csv/x.csv.qvx"}, false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(HasSwitch(c.args, kSwitchCsv), c.csvSwitch);
    EXPECT_EQ(GetCommandLineFilename(c.args, kCsvExtension, kSwitchCsv), c.csv);
    EXPECT_EQ(output(c.args), c.out);
  }
}

}  // namespace
}  // namespace tvx::test
