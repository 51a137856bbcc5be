// Saves investor versions first, first+1, ... to data.qvx in the given
// folder until killed; the crash test kills it at random moments.
//
//   save_loop FOLDER FIRST
#include <cstdlib>
#include <filesystem>

#include "tools/save_loop_versions.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::filesystem::current_path(argv[1]);  // the backup goes to the current folder
  for (long k = std::atol(argv[2]);; ++k) tvxtest::investorVersion(k)->Save("data.qvx");
}
