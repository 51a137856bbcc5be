// File, Export Transactions (CSV)... and the sales export over the recording ports.
#include "shell/export_command.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "orlendo/progress.h"
#include "reports/csv_export.h"

namespace tvx::test {
namespace {

// ---- File, Export Transactions (CSV)... ----

struct CountingProgress final : orlendo::ProgressObserver {
  int runs = 0;
  void started(int) override { ++runs; }
  void yearReached(int) override {}
  void processMessages() override {}
  void finished(bool) override {}
};

// The command writes the calculated file, calculated once with the progress
// window, and says how many went where; a failed write or calculation is
// told and keeps the old file and the program.
TEST(ExportCommand, WritesTheCalculatedFileOrSaysWhyNot) {
  TempFolder folder;
  ReportHarness h;
  ScriptedFileDialog dialog;
  CountingProgress progress;
  std::vector<std::string> status;
  h.state.Investor = orlendo::Investor::create();
  h.state.Investor->LoadFile(TVX_EXAMPLES_DIR "/smith.qvx");
  h.state.CurrentFile = folder.file("smith.qvx");
  h.ctx.progress = &progress;
  const auto run = [&](const std::string& target) {
    dialog.saveAnswers.push_back(target);
    return ExportTransactionsCommand(h.ctx, dialog, [&](const std::string& s) { status.push_back(s); });
  };
  const std::string target = folder.file("out.csv");
  EXPECT_TRUE(run(target));
  EXPECT_EQ(dialog.saved.at(0).presetName, folder.file("smith.csv"));
  EXPECT_EQ(dialog.saved.at(0).initialFolder, folder.path());
  EXPECT_EQ(progress.runs, 1);
  EXPECT_EQ(h.busy.begun, 1);
  const TransactionsCsv expected = MakeTransactionsCsv(*h.state.Investor);
  EXPECT_EQ(readBytes(target), expected.text);
  EXPECT_EQ(status, std::vector<std::string>{"Exported " + std::to_string(expected.transactions) +
                                             " transactions to " + target});
  EXPECT_TRUE(h.messages.shown.empty());

  status.clear();
  const std::string dir = folder.file("a folder.csv");
  std::filesystem::create_directory(dir);
  EXPECT_FALSE(run(dir));
  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].text, "The transactions were not exported to " + dir + ".\nCannot write the CSV file \"" +
                                          dir + "\": " + dir + " is not a regular file.")
      << "says why, not only the kind of error";
  EXPECT_TRUE(std::filesystem::is_directory(dir));
  const std::string old = folder.write("old.csv", "old");
  h.state.Investor = makeInvestor("Ann Example", "Account 1");
  addBuySell(*h.state.Investor, "Quorvex", "02/30/2001", "5", "500");  // not a day
  EXPECT_FALSE(run(old));
  EXPECT_EQ(h.messages.shown.size(), 2u);
  EXPECT_EQ(readBytes(old), "old");
  EXPECT_EQ(h.busy.depth, 0);
  EXPECT_TRUE(status.empty());
  EXPECT_TRUE(h.logger->calls.empty()) << "the program goes on";
}

}  // namespace
}  // namespace tvx::test
