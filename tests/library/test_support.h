// What the library's tests share: the headers most of them use, catching
// the orlendo::Error a call raises, entries, dates written as year, month
// and day, a temporary folder to work in and a write call that fails part-way.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "file_bytes.h"
#include "model/atomic_write.h"
#include "orlendo/dates.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "orlendo/numbers.h"
#include "orlendo/profile_file.h"
#include "orlendo/progress.h"

namespace tvxtest {

// Runs `body` and returns the orlendo::Error it raises (number 0 if none).
template <class F>
orlendo::Error caught(F&& body) {
  try {
    body();
  } catch (const orlendo::Error& e) {
    return e;
  }
  return orlendo::Error(0, "", "");
}

// Runs `body` and returns the number of the orlendo::Error it raises (0 if none).
template <class F>
long errorNumber(F&& body) {
  return caught(body).number();
}

// Adds an entry to one of the investor's securities, as typed into the entry form.
inline void addEntry(const orlendo::InvestorPtr& investor, std::string_view security, std::string date,
                     std::string shares, std::string cost = "0", std::string code = "", std::string_view key = {}) {
  investor->colSecurities()->Item(security)->colBuySells()->Add(code, date, cost, shares, key);
}

constexpr orlendo::Date ymd(int y, unsigned m, unsigned d) {
  return orlendo::Date{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
}

// The shortest text that reads back as exactly `v`.
inline std::string exactDouble(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

// Records what an observer is told, one line per call.
class RecordingObserver final : public orlendo::ProgressObserver {
 public:
  void started(int year) override { calls.push_back("started " + std::to_string(year)); }
  void yearReached(int year) override { calls.push_back("year " + std::to_string(year)); }
  void processMessages() override { calls.push_back("messages"); }
  void finished(bool succeeded) override { calls.push_back(succeeded ? "finished" : "failed"); }
  std::vector<std::string> calls;
};

using tvx::test_files::readBytes;
using tvx::test_files::writeBytes;

// A write call (for orlendo::detail::setAtomicWriteCall) that reports a full
// disk once gWritesLeft calls have written.
inline int gWritesLeft = 0;
inline ssize_t failingWrite(int fd, const void* data, std::size_t size) {
  if (gWritesLeft-- > 0) return ::write(fd, data, size);
  errno = ENOSPC;
  return -1;
}

// A test run in a fresh folder of its own in the system's temporary folder,
// made the current folder (a data file's backup goes there) and removed at
// the end with all it holds (its owner's rights given back first, for tests
// that take them); the ordinary write calls are put back after it.
class InFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tvx_test.XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    std::filesystem::current_path(folder_ = pattern);
  }
  void TearDown() override {
    orlendo::detail::setAtomicWriteCalls({});
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(folder_, ec);
  }
  // The full name of `name` in the folder.
  std::string file(const std::string& name) const { return (folder_ / name).string(); }
  // The names of what the folder, or one of its folders, holds.
  std::set<std::string> entries(const std::string& sub = ".") const {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder_ / sub)) names.insert(e.path().filename().string());
    return names;
  }

  std::filesystem::path previous_ = std::filesystem::current_path(), folder_;
};

}  // namespace tvxtest
