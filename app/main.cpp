// The program's entry point. A batch run ("/silent") runs the core alone and
// never loads the desktop front end, so it needs no display and no Qt. An
// interactive start loads the front end, the module libtvxqt.so beside the
// program, and hands it the command line; without a display it ends before
// that (the toolkit would abort). --help needs neither.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch.h"
#include "core/error_paths.h"
#include "shell/command_line.h"

namespace {

// Writes all of `text` to the file descriptor; false when it cannot.
bool writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Standard error, written through at once. It is made on the first message:
// a run with nothing to say sets up no stream (the standard streams' set-up
// is a good part of a small batch run's start).
class StandardErrorBuffer final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    return writeAll(STDERR_FILENO, {&ch, 1}) ? c : traits_type::eof();
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    return writeAll(STDERR_FILENO, {s, static_cast<std::size_t>(n)}) ? n : 0;
  }
};

std::ostream& standardError() {
  static StandardErrorBuffer buffer;
  static std::ostream stream(&buffer);
  return stream;
}

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
    standardError() << "tvxdesk: the desktop front end could not be loaded: " << (why ? why : module) << '\n'
              << "tvxdesk: for a batch run without a display use: tvxdesk /silent /input FILE.qvx /output FILE.txt\n";
    return tvx::kExitError;
  }
  auto entry = reinterpret_cast<DesktopEntry>(dlsym(handle, kDesktopEntry));
  if (!entry) {
    standardError() << "tvxdesk: " << module << " has no entry point " << kDesktopEntry << '\n';
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
    standardError() << "tvxdesk: cannot read the command line: " << e.what() << '\n';
    return tvx::kExitError;
  }
  if (tvx::IsHelpRequest(args)) {
    return writeAll(STDOUT_FILENO, tvx::UsageText()) ? tvx::kExitOk : tvx::kExitError;
  }
  if (silent) tvx::RunBatchAndExit(args, tvx::MessageStream(&standardError));
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!tvx::DisplayAvailable(platform, display, wayland)) {
    standardError() << tvx::NoDisplayText();
    return tvx::kExitError;
  }
  // A display named but not there would make the toolkit abort; a platform
  // chosen by name is the user's to choose.
  if ((platform == nullptr || *platform == '\0') &&
      !tvx::DisplayReachable(display, wayland, std::getenv("XDG_RUNTIME_DIR"))) {
    standardError() << tvx::UnreachableDisplayText(display, wayland);
    return tvx::kExitError;
  }
  return runDesktop(argc, argv);
}
