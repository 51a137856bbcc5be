// The exact-path file test and what it says of a path that is no data file.
#include "core/files.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "report_test_support.h"

namespace tvx::test {
namespace {

TEST(InputFileProblem, TestsTheExactPathOfARegularFile) {
  TempFolder t;
  const std::string file = t.write("a b.qvx", "[General]\r\n");
  ASSERT_EQ(::mkfifo(t.file("fifo.qvx").c_str(), 0600), 0);
  EXPECT_EQ(InputFileProblem(file), "");
  EXPECT_TRUE(FileExists(file));
  for (const std::string& missing : {t.file("*.qvx"), t.file("A B.qvx"), std::string(), file + "/x.qvx"}) {
    EXPECT_EQ(InputFileProblem(missing), missing + " does not exist.");
    EXPECT_FALSE(FileExists(missing));
  }
  for (const std::string& other : {t.path(), t.file("fifo.qvx"), std::string("/dev/null")}) {
    EXPECT_EQ(InputFileProblem(other), other + " is not a regular file.");
    EXPECT_FALSE(FileExists(other));
  }
  const std::string tooLong = t.file(std::string(5000, 'x') + ".qvx");
  EXPECT_EQ(InputFileProblem(tooLong), tooLong + " cannot be reached: File name too long.");
}

}  // namespace
}  // namespace tvx::test
