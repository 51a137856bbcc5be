#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "model/atomic_write.h"
#include "orlendo/error.h"
#include "orlendo/profile_file.h"
#include "library/test_support.h"

namespace fs = std::filesystem;
using orlendo::FileHelper;
namespace errnum = orlendo::errnum;

namespace {

using tvxtest::errorNumber;

class FileIoTest : public ::testing::Test {
 protected:
  void TearDown() override { orlendo::detail::setAtomicWriteCalls({}); }

  std::string path(const std::string& name) const { return dir_.file(name); }
  void writeBytes(const std::string& name, const std::string& bytes) const { tvxtest::writeBytes(path(name), bytes); }
  std::string readBytes(const std::string& name) const { return tvxtest::readBytes(path(name)); }

  tvxtest::TempDir dir_{"file_io_test"};
};

// The order that makes the write atomic and durable: the content, its
// fsync, the rename, then the folder's fsync. Without the file's fsync a
// crash after the rename can leave the new name on empty or partial content.
std::vector<std::string> gSteps;

std::string describeFd(int fd) {
  struct stat st {};
  ::fstat(fd, &st);
  return S_ISDIR(st.st_mode) ? "folder" : "file";
}

TEST_F(FileIoTest, AtomicWriteFlushesTheFileBeforeTheRenameAndTheFolderAfter) {
  gSteps.clear();
  orlendo::detail::setAtomicWriteCalls(
      {[](int fd, const void* data, std::size_t size) -> ssize_t {
         if (gSteps.empty() || gSteps.back() != "write " + describeFd(fd)) gSteps.push_back("write " + describeFd(fd));
         return ::write(fd, data, size);
       },
       [](int fd) {
         gSteps.push_back("fsync " + describeFd(fd));
         return ::fsync(fd);
       },
       [](const char* from, const char* to) {
         gSteps.push_back(std::string("rename ") + fs::path(from).filename().string() + " " +
                          fs::path(to).filename().string());
         return ::rename(from, to);
       }});
  orlendo::writeFileAtomically(path("d.qvx"), "content");
  EXPECT_EQ(gSteps, (std::vector<std::string>{"write file", "fsync file", "rename d.qvx.tmp d.qvx", "fsync folder"}));
  EXPECT_EQ(readBytes("d.qvx"), "content");
}

// One fixed temporary name per file: whatever a killed write left there is
// replaced, never followed (a link planted there leads nowhere we write).
TEST_F(FileIoTest, ALeftoverTemporaryFileIsReplacedAndRemoved) {
  writeBytes("victim", "keep me");
  for (const bool asLink : {false, true}) {
    SCOPED_TRACE(asLink ? "a link" : "a file");
    if (asLink) fs::create_symlink(path("victim"), path("d.qvx.tmp"));
    else writeBytes("d.qvx.tmp", "half a sav");
    orlendo::writeFileAtomically(path("d.qvx"), "new");
    EXPECT_EQ(readBytes("d.qvx"), "new");
    EXPECT_EQ(readBytes("victim"), "keep me");
    EXPECT_EQ(dir_.entries(), (std::set<std::string>{"d.qvx", "victim"}));
  }
}

// A link that leads to a file keeps leading there: the file it leads to is
// replaced. A link that leads nowhere is replaced by the file; its target is
// not created (it may name any place).
TEST_F(FileIoTest, SymbolicLinksToAFileAreFollowedDanglingOnesReplaced) {
  fs::create_directory(path("real"));
  writeBytes("real/data.qvx", "old");
  fs::create_symlink(path("real/data.qvx"), path("link.qvx"));
  orlendo::writeFileAtomically(path("link.qvx"), "new");
  EXPECT_TRUE(fs::is_symlink(path("link.qvx")));
  EXPECT_EQ(readBytes("real/data.qvx"), "new");
  EXPECT_EQ(dir_.entries(), (std::set<std::string>{"link.qvx", "real"}));

  fs::create_symlink(path("real/missing.qvx"), path("dangling.qvx"));
  orlendo::writeFileAtomically(path("dangling.qvx"), "fresh");
  EXPECT_FALSE(fs::is_symlink(path("dangling.qvx")));
  EXPECT_EQ(readBytes("dangling.qvx"), "fresh");
  EXPECT_FALSE(fs::exists(path("real/missing.qvx")));
}

TEST_F(FileIoTest, AtomicWriteReportsMissingFoldersAndFolderNames) {
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("no/such/f.qvx"), "x"); }), errnum::PathNotFound);
  fs::create_directory(path("sub"));
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("sub"), "x"); }), errnum::PathFileAccess);
  EXPECT_TRUE(fs::is_directory(path("sub")));
}

TEST_F(FileIoTest, PathExistsOnlyForAnExistingRegularFile) {
  writeBytes("a.qvx", "x");
  fs::create_directory(path("dir"));
  EXPECT_TRUE(FileHelper::PathExists(path("a.qvx")));
  for (const std::string& name : {path("*.qvx"), path("a.qv?"), path("dir"), path("b.qvx"), std::string()})
    EXPECT_FALSE(FileHelper::PathExists(name)) << name;
}

}  // namespace
