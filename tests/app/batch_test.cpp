// The batch run in-process: exit statuses and messages on standard error for
// bad command lines. Whole runs of the program are in
// tests/e2e/batch_run_test.cpp.
#include "batch/batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/error_paths.h"
#include "report_test_support.h"

namespace tvx::test {
namespace {

int run(const std::vector<std::string>& args, std::ostream& err) { return RunBatchMain(args, err); }

TEST(RunBatchMain, AMissingInputEndsWithOneAndAMissingOutputNameWithTwo) {
  TempFolder t;
  std::filesystem::create_directory(t.file("folder.qvx"));
  const std::string out = t.file("o.txt");
  std::ostringstream err;
  EXPECT_EQ(run({"/silent", "/input", t.file("x.qvx"), "/output", out}, err), kExitMissingInput);
  EXPECT_EQ(err.str(), "tvxdesk: WARNING: " + t.file("x.qvx") + " does not exist.\n");
  EXPECT_EQ(run({"/silent", "/input", t.file("*.qvx"), "/output", out}, err), kExitMissingInput);
  err.str("");
  EXPECT_EQ(run({"/silent", "/input", t.file("folder.qvx"), "/output", out}, err), kExitError);
  EXPECT_EQ(err.str(), "tvxdesk: WARNING: " + t.file("folder.qvx") + " is not a regular file.\n");
  err.str("");
  EXPECT_EQ(run({"/silent", "/output", out}, err), kExitMissingInput);
  EXPECT_NE(err.str().find("/input"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(out));

  err.str("");
  EXPECT_EQ(run({"/silent", "/input", TVX_EXAMPLES_DIR "/smith.qvx"}, err), kExitError);
  EXPECT_NE(err.str().find("/output"), std::string::npos);
  EXPECT_NE(err.str().find("/csv"), std::string::npos);
}

TEST(RunBatchMain, AnOutputSwitchWithoutAUsableNameEndsWithTwoAndWritesNothing) {
  TempFolder t;
  const std::string in = TVX_EXAMPLES_DIR "/smith.qvx";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"/silent", "/input", in, "/output", t.file("o.txt"), "/csv", t.file("o.cs")}, "/csv followed"},
      {{"/silent", "/input", in, "/csv", t.file("o.csv"), "/output", t.file("o.text")}, "/output followed"},
      {{"/silent", "/input", in, "/csv"}, "/csv followed"},
  };
  for (const auto& [args, told] : cases) {
    std::ostringstream err;
    EXPECT_EQ(run(args, err), kExitError);
    EXPECT_NE(err.str().find(told), std::string::npos) << err.str();
  }
  EXPECT_TRUE(std::filesystem::is_empty(t.path()));
}

}  // namespace
}  // namespace tvx::test
