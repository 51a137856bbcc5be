// Saves killed with SIGKILL at random moments: the data file and backup.qvx
// each hold one whole version, and at most one temporary file of each is left.
//
// TVX_CRASH_KILLS=5000 ctest -R SaveCrash   runs a longer series (default 200).
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <random>
#include <thread>

#include "library/test_support.h"
#include "tools/save_loop_versions.h"

namespace fs = std::filesystem;

namespace {

long killCount() {
  const char* env = std::getenv("TVX_CRASH_KILLS");
  return env && std::atol(env) > 0 ? std::atol(env) : 200;
}

class SaveCrashTest : public tvxtest::InFolder {
 protected:
  void SetUp() override {
    InFolder::SetUp();
    std::filesystem::create_directory("saves");
    // The expected bytes are written here without the flushes (save_loop has its own).
    orlendo::detail::setAtomicWriteCalls({nullptr, [](int) { return 0; }, nullptr});
  }

  // Empty when `file` is missing or holds exactly one version as save_loop
  // wrote it; otherwise what is wrong.
  std::string checkWhole(const std::string& file) {
    std::string bytes;
    if (!orlendo::readFileBytes(file, bytes)) return {};
    const auto at = bytes.find("\r\nName=Version ");
    if (at == std::string::npos) return file + " holds no version name (" + std::to_string(bytes.size()) + " bytes)";
    const long k = std::atol(bytes.c_str() + at + 15);
    fs::remove("expected.qvx");  // a new name: no backup is made in the scratch folder
    tvxtest::investorVersion(k)->Save("expected.qvx");
    if (tvxtest::readBytes("expected.qvx") != bytes) return file + " is not whole version " + std::to_string(k);
    return {};
  }
};

TEST_F(SaveCrashTest, KilledSavesLeaveWholeFilesAndAtMostOneTemporaryFileOfEach) {
  const long kills = killCount();
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delayMicros(0, 5000);
  long temporaryLeft = 0;
  for (long i = 0; i < kills; ++i) {
    const std::string folder = file("saves");
    const std::string first = std::to_string(i * 100000);
    char* argv[] = {const_cast<char*>(TVX_SAVE_LOOP_BINARY), const_cast<char*>(folder.c_str()),
                    const_cast<char*>(first.c_str()), nullptr};
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, ready[1], 1);
    ::posix_spawn_file_actions_addclose(&actions, ready[0]);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, TVX_SAVE_LOOP_BINARY, &actions, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    ASSERT_EQ(spawned, 0);
    char started = 0;
    const ssize_t got = ::read(ready[0], &started, 1);
    ::close(ready[0]);
    ASSERT_EQ(got, 1) << "save_loop did not save";
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "save_loop ended by itself, status " << status;

    SCOPED_TRACE("kill " + std::to_string(i + 1));
    const auto names = entries("saves");
    long temporary = 0;
    for (const std::string& name : names) {
      if (name == "data.qvx.tmp" || name == "backup.qvx.tmp") ++temporary;
      else ASSERT_TRUE(name == "data.qvx" || name == "backup.qvx") << name;
    }
    temporaryLeft += temporary;
    ASSERT_EQ(checkWhole(file("saves/data.qvx")), "");
    ASSERT_EQ(checkWhole(file("saves/backup.qvx")), "");
  }
  EXPECT_GT(temporaryLeft, 0) << "no kill landed inside a save";
  std::printf("%ld kills, %ld left a temporary file\n", kills, temporaryLeft);
}

}  // namespace
