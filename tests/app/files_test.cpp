// The exact-path file test.
#include "core/files.h"

#include <gtest/gtest.h>

#include "report_test_support.h"

namespace tvx::test {
namespace {

TEST(FileExists, TestsTheExactPathOfARegularFile) {
  TempFolder t;
  const std::string file = t.write("a b.qvx", "[General]\r\n");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(t.file("*.qvx")));
  EXPECT_FALSE(FileExists(t.file("A B.qvx")));
  EXPECT_FALSE(FileExists(t.path()));
  EXPECT_FALSE(FileExists(""));
}

}  // namespace
}  // namespace tvx::test
