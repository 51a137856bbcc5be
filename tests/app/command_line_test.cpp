// The command line: whole-argument switches in any case, names in their
// own letters, names with blanks, and what gives an empty name.
#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace tvx {
namespace {

using Args = std::vector<std::string>;

std::string input(const Args& a) { return GetCommandLineFilename(a, kInputExtension, kSwitchInput); }
std::string output(const Args& a) { return GetCommandLineFilename(a, kOutputExtension, kSwitchOutput); }

TEST(CommandLine, TheUsualBatchLine) {
  const Args a{"/silent", "/input", "/data/smith.qvx", "/output", "/out/smith.txt"};
  EXPECT_TRUE(IsSilent(a));
  EXPECT_EQ(input(a), "/data/smith.qvx");
  EXPECT_EQ(output(a), "/out/smith.txt");
}

TEST(CommandLine, SwitchesInAnyCaseAndNamesInTheirOwnLetters) {
  const Args a{"/SILENT", "/Input", "/home/Ann/Smith.QVX", "/OUTPUT", "/home/Ann/Reports.TXT"};
  EXPECT_TRUE(IsSilent(a));
  EXPECT_EQ(input(a), "/home/Ann/Smith.QVX");
  EXPECT_EQ(output(a), "/home/Ann/Reports.TXT");
}

TEST(CommandLine, FolderNamesThatLookLikeSwitchesAreNotSwitches) {
  const Args a{"/input", "/home/ann/silent/output/x.qvx"};
  EXPECT_FALSE(IsSilent(a));
  EXPECT_EQ(output(a), "");
  EXPECT_EQ(input(a), "/home/ann/silent/output/x.qvx");
  EXPECT_FALSE(IsSilent(Args{"/home/silent"}));
  EXPECT_FALSE(IsSilent(Args{"/silently"}));
  // ".qvx" in an earlier path does not shorten the name.
  EXPECT_EQ(output(Args{"/silent", "/input", "/a.qvx/b.qvx", "/output", "/a.qvx/out.txt"}), "/a.qvx/out.txt");
}

TEST(CommandLine, ANameWithBlanksTypedWithoutQuotesIsJoined) {
  const Args a{"/silent", "/input", "/home/ann/My", "Files/Smith", "2016.qvx", "/output", "/tmp/a", "b.txt"};
  EXPECT_EQ(input(a), "/home/ann/My Files/Smith 2016.qvx");
  EXPECT_EQ(output(a), "/tmp/a b.txt");
  // A quoted name arrives as one argument and is kept as it is, blanks and all.
  EXPECT_EQ(input(Args{"/input", "/home/ann/My  Files/x.qvx"}), "/home/ann/My  Files/x.qvx");
}

TEST(CommandLine, MissingSwitchOrExtensionGivesAnEmptyName) {
  EXPECT_EQ(input(Args{}), "");
  EXPECT_FALSE(IsSilent(Args{}));
  EXPECT_EQ(input(Args{"/silent", "/output", "/tmp/x.txt"}), "");
  EXPECT_EQ(input(Args{"/silent", "/input", "/data/smith.dat"}), "");
  EXPECT_EQ(input(Args{"/silent", "/input"}), "");
  EXPECT_EQ(output(Args{"/silent", "/input", "/data/smith.qvx"}), "");
  // The search for the extension stops at the next switch.
  EXPECT_EQ(input(Args{"/input", "/data/smith", "/output", "/out/a.qvx.txt", "b.qvx"}), "");
}

TEST(CommandLine, ArgumentListDropsTheProgramName) {
  char prog[] = "tvxdesk";
  char a1[] = "/silent";
  char a2[] = "/input";
  char* argv[] = {prog, a1, a2, nullptr};
  EXPECT_EQ(argumentList(3, argv), (Args{"/silent", "/input"}));
}

}  // namespace
}  // namespace tvx
