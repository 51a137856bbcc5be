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
#include <fstream>
#include <iterator>
#include <string>

#include "model/atomic_write.h"
#include "orlendo/dates.h"
#include "orlendo/error.h"
#include "orlendo/model.h"

namespace {

using namespace std::chrono;
constexpr orlendo::Date kToday{year{2024}, month{3}, day{5}};

// The files of one run, in a folder of our own. The current folder stays
// (libFuzzer reads its corpus relative to it); every save goes to a name
// removed first, so no backup copy is made there.
const std::filesystem::path& scratch() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tvx_fuzz.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(scratch(), ec);
    });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

std::string inScratch(const char* name) { return (scratch() / name).string(); }

std::string bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "load_fuzz: %s %s\n", what, detail.c_str());
  std::abort();
}

orlendo::InvestorPtr loadOrNull(const std::string& path) {
  auto investor = orlendo::Investor::create(kToday);
  try {
    investor->LoadFile(path);
  } catch (const orlendo::Error&) {
    return nullptr;
  }
  return investor;
}

// False when the save was refused with an error; then the file must not exist.
bool save(orlendo::Investor& investor, const std::string& path) {
  std::filesystem::remove(path);
  try {
    investor.Save(path);
  } catch (const orlendo::Error&) {
    if (std::filesystem::exists(path)) fail("a refused save left a file");
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Durability is the crash test's business; here it only costs time.
  orlendo::detail::setAtomicWriteCalls({nullptr, [](int) { return 0; }, nullptr});
  const std::string input = inScratch("input.qvx"), first = inScratch("first.qvx"), second = inScratch("second.qvx");
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  auto investor = loadOrNull(input);
  if (!investor) return 0;  // refused with an error: that is an answer too

  // A short range from the file's own start date; a calculation error on
  // unreadable entries is an answer, anything else escapes and fails.
  if (auto start = orlendo::parseDate(investor->StartCalc())) {
    const orlendo::Date stop{sys_days{*start} + days{400}};
    try {
      investor->Calculate(*start, stop, nullptr);
    } catch (const orlendo::Error&) {
    }
  }

  // An entry whose number does not fit the stored format (shares of 1e22)
  // refuses the save; what was saved once must save again.
  if (!save(*investor, first)) return 0;
  auto again = loadOrNull(first);
  if (!again) fail("a saved file does not load");
  if (!save(*again, second)) fail("a file the library wrote does not save again");
  const std::string firstBytes = bytesOf(first), secondBytes = bytesOf(second);
  if (firstBytes != secondBytes)
    fail("saving what was loaded changes the file:\n", firstBytes + "\n----\n" + secondBytes);
  return 0;
}
