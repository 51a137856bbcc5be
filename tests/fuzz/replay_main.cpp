// Runs the fuzz target over every file of the folders or files named on the
// command line, the way libFuzzer replays a corpus; for builds without it.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "orlendo/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs(argv + 1, argv + argc);
  std::size_t replayed = 0;
  for (const fs::path& named : inputs) {
    for (const fs::path& p : fs::is_directory(named) ? std::vector<fs::path>(fs::directory_iterator(named), {})
                                                     : std::vector<fs::path>{named}) {
      std::string bytes;
      if (!orlendo::readFileBytes(p.string(), bytes)) continue;
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  std::printf("%zu inputs replayed\n", replayed);
  return replayed == 0 ? 1 : 0;
}
