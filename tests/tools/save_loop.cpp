// Saves investor versions first, first+1, ... to data.qvx in the given
// folder until killed; the crash test kills it at random moments. One byte
// on standard output says the loop starts (start-up time varies a lot, with
// sanitizers most of all).
//
//   save_loop FOLDER FIRST
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tools/save_loop_versions.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::filesystem::current_path(argv[1]);  // the backup goes to the current folder
  if (::write(1, "s", 1) != 1) return 2;
  for (long k = std::atol(argv[2]);; ++k) tvxtest::investorVersion(k)->Save("data.qvx");
}
