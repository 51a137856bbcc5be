// The program's entry point. A batch run ("/silent") runs the core alone and
// never loads the desktop front end, so it needs no display and no Qt. An
// interactive start loads the front end, the module libtvxqt.so beside the
// program, and hands it the command line; without a display it ends before
// that (the toolkit would abort). --help needs neither.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "batch/batch.h"
#include "core/error_paths.h"
#include "shell/command_line.h"

namespace {

constexpr const char* kDesktopModule = "libtvxqt.so";
constexpr const char* kDesktopEntry = "tvx_run_desktop";
using DesktopEntry = int (*)(int, char**);

// The folder of the running program, from /proc/self/exe.
std::string programFolder() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return ".";
  path.resize(static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

int runDesktop(int argc, char** argv) {
  const std::string module = programFolder() + "/" + kDesktopModule;
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    std::cerr << "tvxdesk: the desktop front end could not be loaded: " << (why ? why : module) << '\n'
              << "tvxdesk: for a batch run without a display use: tvxdesk /silent /input FILE.qvx /output FILE.txt\n";
    return tvx::kExitError;
  }
  auto entry = reinterpret_cast<DesktopEntry>(dlsym(handle, kDesktopEntry));
  if (!entry) {
    std::cerr << "tvxdesk: " << module << " has no entry point " << kDesktopEntry << '\n';
    return tvx::kExitError;
  }
  return entry(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  bool silent = false;
  try {
    args = tvx::argumentList(argc, argv);
    silent = tvx::IsSilent(args);
  } catch (const std::exception& e) {
    std::cerr << "tvxdesk: cannot read the command line: " << e.what() << '\n';
    return tvx::kExitError;
  }
  if (tvx::IsHelpRequest(args)) {
    std::cout << tvx::UsageText();
    return std::cout.flush() ? tvx::kExitOk : tvx::kExitError;
  }
  if (silent) tvx::RunBatchAndExit(args, std::cerr);
  if (!tvx::DisplayAvailable(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"))) {
    std::cerr << tvx::NoDisplayText();
    return tvx::kExitError;
  }
  return runDesktop(argc, argv);
}
