#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <functional>
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

// What may be at the name a write replaces. A link to a file elsewhere is
// followed (a user's own data file may be one) unless the write says not
// to (the backup: a link planted there must not lead the copy into another
// user's file); a link that leads nowhere is replaced, its target never
// created. Anything but a regular file is refused, naming it, before
// anything is written, and so is a file its owner made read-only, also for
// the superuser. Names up to the file system's limit save, with at most
// one temporary file of their own.
TEST_F(FileIoTest, WhatIsAtTheNameDecidesWhatTheWriteReplaces) {
  fs::create_directory(path("elsewhere"));
  const std::string longName(NAME_MAX, 'n');
  struct Case {
    const char* why;
    std::function<void()> setUp;
    std::string name;
    orlendo::WriteOptions options;
    long error;           // 0: written
    std::string message;  // after the path, for a refusal
    std::function<void()> check;
  };
  const auto victimKept = [&] { EXPECT_EQ(readBytes("elsewhere/victim"), "keep me"); };
  const auto linkTo = [&](const char* target) { return [&, target] { fs::create_symlink(path(target), path("n")); }; };
  const orlendo::WriteOptions noFollow{orlendo::FilePermissions::KeepExisting, 0, false};
  const Case cases[] = {
      {"a link to a file elsewhere is followed", linkTo("elsewhere/victim"), "n", {}, 0, "", [&] {
         EXPECT_TRUE(fs::is_symlink(path("n")));
         EXPECT_EQ(readBytes("elsewhere/victim"), "new");
       }},
      {"a link not to be followed is replaced", linkTo("elsewhere/victim"), "n", noFollow, 0, "", [&] {
         EXPECT_FALSE(fs::is_symlink(path("n")));
         victimKept();
       }},
      {"a link that leads nowhere is replaced", linkTo("elsewhere/missing"), "n", {}, 0, "", [&] {
         EXPECT_FALSE(fs::is_symlink(path("n")));
         EXPECT_FALSE(fs::exists(path("elsewhere/missing")));
       }},
      {"a FIFO", [&] { ::mkfifo(path("n").c_str(), 0600); }, "n", {}, errnum::PathFileAccess,
       " is not a regular file.", [&] { EXPECT_TRUE(fs::is_fifo(path("n"))); }},
      {"a link to a FIFO",
       [&] {
         ::mkfifo(path("elsewhere/fifo").c_str(), 0600);
         fs::create_symlink(path("elsewhere/fifo"), path("n"));
       },
       "n", {}, errnum::PathFileAccess, " is not a regular file.",
       [&] { EXPECT_TRUE(fs::is_fifo(path("elsewhere/fifo"))); }},
      {"a folder", [&] { fs::create_directory(path("n")); }, "n", {}, errnum::PathFileAccess,
       " is not a regular file.", [&] { EXPECT_TRUE(fs::is_directory(path("n"))); }},
      {"a file of another user where only one's own may be replaced",
       [&] {
         writeBytes("n", "theirs");
         ASSERT_EQ(::lchown(path("n").c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)), 0) << "needs root";
       },
       "n", {orlendo::FilePermissions::KeepExisting, 0, false, true}, errnum::PermissionDenied,
       " belongs to another user.", [&] { EXPECT_EQ(readBytes("n"), "theirs"); }},
      {"a file its owner made read-only",
       [&] {
         writeBytes("n", "read-only");
         fs::permissions(path("n"), fs::perms::owner_read);
       },
       "n", {}, errnum::PermissionDenied, "", [&] { EXPECT_EQ(readBytes("n"), "read-only"); }},
      {"a name of the longest length, over a leftover of its own",
       [&] {
         const std::string leftover = orlendo::StagedFile(path(longName), "").temporaryName();
         EXPECT_LE(fs::path(leftover).filename().string().size(), std::size_t{NAME_MAX});
         tvxtest::writeBytes(leftover, "a killed write's");
         writeBytes(longName, "old");
       },
       longName, {}, 0, "", [&] { EXPECT_EQ(readBytes(longName), "new"); }},
      {"a name too long", [] {}, longName + "x", {}, errnum::PathFileAccess,
       ": the name is longer than the file system allows.", [] {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    writeBytes("elsewhere/victim", "keep me");
    c.setUp();
    const orlendo::Error e = tvxtest::caught([&] { orlendo::writeFileAtomically(path(c.name), "new", c.options); });
    EXPECT_EQ(e.number(), c.error);
    if (!c.message.empty()) EXPECT_EQ(e.description(), path(c.name) + c.message);
    if (c.error != 0) victimKept();
    c.check();
    std::error_code ec;
    fs::remove_all(path(c.name), ec);
    EXPECT_EQ(dir_.entries(), (std::set<std::string>{"elsewhere"})) << "no temporary file is left";
    for (const auto& f : fs::directory_iterator(path("elsewhere")))
      if (f.path().filename() != "victim") fs::remove(f.path());
  }
}

// Every failure on the way makes the write fail and keeps the old file:
// a short write, the file's fsync, a close that reports a delayed write
// error, the exchange of names, and the folder's fsync after it.
TEST_F(FileIoTest, AFailureAtAnyStepFailsTheWriteAndKeepsTheOldFile) {
  static const auto eio = [] { return errno = EIO, -1; };
  struct Case {
    const char* why;
    orlendo::detail::AtomicWriteCalls calls;
    long error;
  };
  const Case cases[] = {
      {"write", {[](int, const void*, std::size_t) -> ssize_t { return errno = ENOSPC, -1; }}, errnum::DiskFull},
      {"fsync of the file", {nullptr, [](int fd) { return describeFd(fd) == "file" ? eio() : ::fsync(fd); }},
       errnum::DeviceIO},
      {"close", {nullptr, nullptr, nullptr, [](int fd) { return ::close(fd), eio(); }}, errnum::DeviceIO},
      {"exchange", {nullptr, nullptr, nullptr, nullptr, [](const char*, const char*) { return eio(); }},
       errnum::DeviceIO},
      {"fsync of the folder", {nullptr, [](int fd) { return describeFd(fd) == "folder" ? eio() : ::fsync(fd); }},
       errnum::DeviceIO},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    writeBytes("d.qvx", "old");
    orlendo::detail::setAtomicWriteCalls(c.calls);
    EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("d.qvx"), "new"); }), c.error);
    EXPECT_EQ(readBytes("d.qvx"), "old");
    EXPECT_EQ(dir_.entries(), (std::set<std::string>{"d.qvx"}));
  }
}

TEST_F(FileIoTest, AtomicWriteReportsMissingFoldersAndFoldersThatTakeNoFiles) {
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("no/such/f.qvx"), "x"); }), errnum::PathNotFound);
  EXPECT_EQ(tvxtest::caught([] { orlendo::writeFileAtomically("/proc/f.qvx", "x"); }).description(),
            "/proc/f.qvx cannot be created: its folder takes no new files.");
}

TEST_F(FileIoTest, PathExistsOnlyForAnExistingRegularFile) {
  writeBytes("a.qvx", "x");
  fs::create_directory(path("dir"));
  EXPECT_TRUE(FileHelper::PathExists(path("a.qvx")));
  for (const std::string& name : {path("*.qvx"), path("a.qv?"), path("dir"), path("b.qvx"), std::string()})
    EXPECT_FALSE(FileHelper::PathExists(name)) << name;
}

}  // namespace
