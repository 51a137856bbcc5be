#include "shell/notice_text.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

TEST(ElideFolders, FoldersGiveWayFirstPathFirstUntilTheTextFitsAndFileNamesStay) {
  struct Case {
    std::string text;
    std::size_t room;  // bytes
    std::string expected, why;
  };
  const Case cases[] = {
      {"Saved to /home/ann/My Data/smith.qvx", 100, "Saved to /home/ann/My Data/smith.qvx", "fits: unchanged"},
      {"Saved to /home/ann/My Data/smith.qvx", 20, "Saved to \u2026/smith.qvx", "the folder goes, blanks and all"},
      {"Copied /a/b/x.csv, /c/d/y.csv", 28, "Copied \u2026/x.csv, /c/d/y.csv", "the first path is enough"},
      {"Copied /a/b/x.csv, /c/d/y.csv", 10, "Copied \u2026/x.csv, \u2026/y.csv", "then the next"},
      {"Written to /r.pdf and b.pdf", 5, "Written to /r.pdf and b.pdf", "a file in the root folder stays"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ElideFolders(c.text, [&](std::string_view t) { return t.size() <= c.room; }), c.expected) << c.why;
}

}  // namespace
}  // namespace tvx::test
