// Saves investor versions first, first+1, ... to data.qvx in the given
// folder until killed; the crash test kills it at random moments. One byte
// on standard output says the first save is done: start-up and save times
// vary a lot (with sanitizers most of all), and the kills are timed from it.
//
//   save_loop FOLDER FIRST
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tools/save_loop_versions.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::filesystem::current_path(argv[1]);  // the backup goes to the current folder
  long k = std::atol(argv[2]);
  tvxtest::investorVersion(k)->Save("data.qvx");
  if (::write(1, "s", 1) != 1) return 2;
  for (;;) tvxtest::investorVersion(++k)->Save("data.qvx");
}
