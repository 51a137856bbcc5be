// File, Export Transactions (CSV)... over the recording ports: the proposed
// name, the dialog, the file, the status message, and failures that keep
// the old file and the program.
#include "shell/export_command.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "orlendo/progress.h"
#include "reports/csv_export.h"
#include "shell_test_support.h"

namespace tvx::test {
namespace {

struct CountingProgress final : orlendo::ProgressObserver {
  int runs = 0;
  void started(int) override { ++runs; }
  void yearReached(int) override {}
  void processMessages() override {}
  void finished(bool) override {}
};

class ExportCommandTest : public ::testing::Test {
 protected:
  ExportCommandTest() {
    h.state.Investor = orlendo::Investor::create();
    h.state.Investor->LoadFile(TVX_EXAMPLES_DIR "/smith.qvx");
    h.state.CurrentFile = folder.file("smith.qvx");
    h.ctx.progress = &progress;
  }
  bool run() {
    return ExportTransactionsCommand(h.ctx, dialog, [this](const std::string& s) { status.push_back(s); });
  }
  TempFolder folder;
  ReportHarness h;
  ScriptedFileDialog dialog;
  CountingProgress progress;
  std::vector<std::string> status;
};

TEST_F(ExportCommandTest, WritesTheCalculatedFileAndSaysHowManyWentWhere) {
  const std::string target = folder.file("out.csv");
  dialog.saveAnswers.push_back(target);
  EXPECT_TRUE(run());
  EXPECT_EQ(dialog.saved.at(0).presetName, folder.file("smith.csv"));
  EXPECT_EQ(dialog.saved.at(0).initialFolder, folder.path());
  EXPECT_EQ(progress.runs, 1) << "calculated once, with the progress window";
  EXPECT_EQ(h.busy.begun, 1);
  EXPECT_EQ(h.busy.depth, 0);
  const TransactionsCsv expected = MakeTransactionsCsv(*h.state.Investor);
  EXPECT_GT(expected.transactions, 10);
  EXPECT_EQ(readFile(target), expected.text);
  EXPECT_EQ(status, std::vector<std::string>{"Exported " + std::to_string(expected.transactions) +
                                             " transactions to " + target});
  EXPECT_TRUE(h.messages.shown.empty());
}

TEST_F(ExportCommandTest, AFailedWriteOrCalculationIsToldAndKeepsTheOldFile) {
  std::filesystem::create_directory(folder.file("a folder.csv"));
  dialog.saveAnswers.push_back(folder.file("a folder.csv"));
  EXPECT_FALSE(run());
  ASSERT_EQ(h.messages.shown.size(), 1u);
  const std::string dir = folder.file("a folder.csv");
  EXPECT_EQ(h.messages.shown[0].text, "The transactions were not exported to " + dir + ".\nCannot write the CSV file \"" +
                                          dir + "\": " + dir + " is not a regular file.")
      << "says why, not only the kind of error";
  EXPECT_TRUE(std::filesystem::is_directory(folder.file("a folder.csv")));

  const std::string old = folder.write("old.csv", "old");
  h.state.Investor = makeInvestor("Ann Example", "Account 1");
  addBuySell(*h.state.Investor, "Quorvex", "02/30/2001", "5", "500");  // not a day
  dialog.saveAnswers.push_back(old);
  EXPECT_FALSE(run());
  EXPECT_EQ(h.messages.shown.size(), 2u);
  EXPECT_EQ(readFile(old), "old");
  EXPECT_EQ(h.busy.depth, 0);
  EXPECT_TRUE(status.empty());
  EXPECT_TRUE(h.logger->calls.empty()) << "the program goes on";
}

}  // namespace
}  // namespace tvx::test
