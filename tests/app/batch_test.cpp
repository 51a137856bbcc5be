// The batch run in-process: exit statuses, messages on standard error, the
// exact-path file test.
#include "shell/batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/error_paths.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tvx_batch_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  int run(std::vector<std::string> args) { return RunBatchMain(args, err); }

  fs::path dir;
  std::ostringstream err;
};

TEST_F(BatchTest, FileExistsTestsTheExactPathOfARegularFile) {
  const fs::path file = dir / "a b.qvx";
  std::ofstream(file) << "[General]\r\n";
  EXPECT_TRUE(FileExists(file.string()));
  EXPECT_FALSE(FileExists((dir / "*.qvx").string()));
  EXPECT_FALSE(FileExists((dir / "A B.qvx").string()));
  EXPECT_FALSE(FileExists(dir.string()));
  EXPECT_FALSE(FileExists(""));
}

TEST_F(BatchTest, WritesTheReportsAndReturnsZero) {
  const fs::path out = dir / "out.txt";
  EXPECT_EQ(run({"/silent", "/input", TVX_EXAMPLES_DIR "/smith.qvx", "/output", out.string()}), kExitOk);
  EXPECT_EQ(err.str(), "");
  std::ostringstream text;
  text << std::ifstream(out, std::ios::binary).rdbuf();
  EXPECT_EQ(text.str().rfind("\r\n  Quorvex\r\n", 0), 0u);
  EXPECT_NE(text.str().find("  Security                        Shares"), std::string::npos);
}

TEST_F(BatchTest, MissingInputFileOrSwitchReturnsOne) {
  const std::string missing = (dir / "x.qvx").string();
  EXPECT_EQ(run({"/silent", "/input", missing, "/output", (dir / "o.txt").string()}), kExitMissingInput);
  EXPECT_EQ(err.str(), "tvxdesk: WARNING: " + missing + " does not exist.\n");
  err.str("");
  EXPECT_EQ(run({"/silent", "/output", (dir / "o.txt").string()}), kExitMissingInput);
  EXPECT_NE(err.str().find("/input"), std::string::npos);
  // A pattern is not a file.
  EXPECT_EQ(run({"/silent", "/input", (dir / "*.qvx").string(), "/output", (dir / "o.txt").string()}),
            kExitMissingInput);
  EXPECT_FALSE(fs::exists(dir / "o.txt"));
}

TEST_F(BatchTest, MissingOutputNameIsAnError) {
  EXPECT_EQ(run({"/silent", "/input", TVX_EXAMPLES_DIR "/smith.qvx"}), kExitError);
  EXPECT_NE(err.str().find("/output"), std::string::npos);
}

TEST_F(BatchTest, AFolderGivenAsInputIsNotAFile) {
  const fs::path folder = dir / "folder.qvx";
  fs::create_directories(folder);
  EXPECT_EQ(run({"/silent", "/input", folder.string(), "/output", (dir / "o.txt").string()}), kExitMissingInput);
}

}  // namespace
}  // namespace tvx
