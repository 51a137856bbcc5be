// The batch run in-process: exit statuses and messages on standard error for
// bad command lines, and the exact-path file test. Whole runs of the program
// are in tests/e2e/batch_run_test.cpp.
#include "shell/batch.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "report_test_support.h"
#include "shell/error_paths.h"

namespace tvx::test {
namespace {

int run(const std::vector<std::string>& args, std::ostream& err) { return RunBatchMain(args, err); }

TEST(InputFileProblem, TestsTheExactPathOfARegularFile) {
  TempFolder t;
  const std::string file = t.write("a b.qvx", "[General]\r\n");
  ASSERT_EQ(::mkfifo(t.file("fifo.qvx").c_str(), 0600), 0);
  EXPECT_EQ(InputFileProblem(file), "");
  for (const std::string& missing : {t.file("*.qvx"), t.file("A B.qvx"), std::string()})
    EXPECT_EQ(InputFileProblem(missing), missing + " does not exist.");
  for (const std::string& other : {t.path(), t.file("fifo.qvx"), std::string("/dev/null")})
    EXPECT_EQ(InputFileProblem(other), other + " is not a regular file.");
  const std::string tooLong = t.file(std::string(5000, 'x') + ".qvx");
  EXPECT_EQ(InputFileProblem(tooLong), tooLong + " cannot be reached: File name too long.");
  EXPECT_EQ(InputFileProblem(file + "/x.qvx"), file + "/x.qvx does not exist.");
}

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
}

}  // namespace
}  // namespace tvx::test
