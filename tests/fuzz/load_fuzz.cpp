// Loads arbitrary bytes as a data file, calculates a short range and saves.
// A file the library wrote must load again and save to the same bytes:
// load -> save -> load -> save. Built for libFuzzer with clang, and with a
// plain main (replay_main.cpp) that runs a corpus as a test.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/atomic_write.h"
#include "orlendo/dates.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "orlendo/profile_file.h"

namespace {

using namespace std::chrono;
namespace fs = std::filesystem;

// The files of one run, in a folder of our own. The current folder stays
// (libFuzzer reads its corpus relative to it); every save goes to a name
// removed first, so no backup copy is made there.
std::string inScratch(const char* name) {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "tvx_fuzz.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(folder, ec);
    });
    return fs::path(pattern);
  }();
  return (folder / name).string();
}

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "load_fuzz: %s %s\n", what, detail.c_str());
  std::abort();
}

orlendo::InvestorPtr loadOrNull(const std::string& path) {
  auto investor = orlendo::Investor::create(orlendo::Date{year{2024}, month{3}, day{5}});
  try {
    investor->LoadFile(path);
  } catch (const orlendo::Error&) {
    return nullptr;
  }
  return investor;
}

// False when the save was refused with an error; then the file must not exist.
bool save(orlendo::Investor& investor, const std::string& path) {
  fs::remove(path);
  try {
    investor.Save(path);
  } catch (const orlendo::Error&) {
    if (fs::exists(path)) fail("a refused save left a file");
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Durability is the crash test's business; here it only costs time.
  orlendo::detail::setAtomicWriteCalls({nullptr, [](int) { return 0; }, nullptr});
  const std::string input = inScratch("input.qvx"), first = inScratch("first.qvx"), second = inScratch("second.qvx");
  orlendo::writeFileAtomically(input, std::string(reinterpret_cast<const char*>(data), size));
  auto investor = loadOrNull(input);
  if (!investor) return 0;  // refused with an error: that is an answer too

  // A short range from the file's own start date; a calculation error on
  // unreadable entries is an answer, anything else escapes and fails.
  if (auto start = orlendo::parseDate(investor->StartCalc())) {
    try {
      investor->Calculate(*start, orlendo::Date{sys_days{*start} + days{400}}, nullptr);
    } catch (const orlendo::Error&) {
    }
  }

  // An entry whose number does not fit the stored format (shares of 1e22)
  // refuses the save; what was saved once must save again.
  if (!save(*investor, first)) return 0;
  auto again = loadOrNull(first);
  if (!again) fail("a saved file does not load");
  if (!save(*again, second)) fail("a file the library wrote does not save again");
  std::string firstBytes, secondBytes;
  orlendo::readFileBytes(first, firstBytes);
  orlendo::readFileBytes(second, secondBytes);
  if (firstBytes != secondBytes) fail("saving what was loaded changes the file:\n", firstBytes + "\n----\n" + secondBytes);
  return 0;
}
