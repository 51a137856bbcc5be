#include "shell/command_line.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "orlendo/ascii.h"

namespace tvx {

namespace {

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && orlendo::equalFolded(text.substr(text.size() - suffix.size()), suffix);
}

bool isSwitch(std::string_view arg) {
  for (std::string_view name : {kSwitchSilent, kSwitchInput, kSwitchOutput, kSwitchCsv, kSwitchSales, kSwitchTaxYear,
                                 kSwitchMethod})
    if (orlendo::equalFolded(arg, name)) return true;
  return false;
}

}  // namespace

bool HasSwitch(std::span<const std::string> args, std::string_view switchName) {
  return std::any_of(args.begin(), args.end(), [&](const std::string& a) { return orlendo::equalFolded(a, switchName); });
}

bool IsSilent(std::span<const std::string> args) { return HasSwitch(args, kSwitchSilent); }

bool IsHelpRequest(std::span<const std::string> args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a == "--help" || a == "-h" || a == "/?"; });
}

namespace {

struct UsageLine {
  std::string_view what;
  std::string_view meaning;
};

constexpr std::array kSwitchLines{
    UsageLine{"/input FILE.qvx", "the data file: opened at the start, or the batch run's input"},
    UsageLine{"/output FILE.txt", "batch run: the Detailed and then the Summary report are appended to it"},
    UsageLine{"/csv FILE.csv", "batch run: every transaction of the Detailed report as a CSV file (replaced)"},
    UsageLine{"/sales FILE.csv", "batch run: the sales of a tax year, one row per sale and term (replaced)"},
    UsageLine{"/taxyear YYYY", "batch run: the year whose sales /sales writes (default: every year)"},
    UsageLine{"/method NAME", "batch run: fifo (first in, first out; the default) or average"},
    UsageLine{"/silent", "batch run: no window, no display needed"},
    UsageLine{"--help, -h, /?", "this text"},
};

constexpr std::array kExitLines{
    UsageLine{"0", "the reports were written, or the program ended normally"},
    UsageLine{"1", "batch run: the input file does not exist, or /input is missing"},
    UsageLine{"2", "any other error, the message on standard error (also: no display)"},
};

void appendLines(std::string& text, std::span<const UsageLine> lines, std::size_t width) {
  for (const UsageLine& l : lines) {
    text += "  ";
    text += l.what;
    text.append(width - l.what.size(), ' ');
    text += l.meaning;
    text += '\n';
  }
}

}  // namespace

std::string UsageText() {
  std::string text =
      "Usage: tvxdesk [/input FILE.qvx]\n"
      "       tvxdesk /silent /input FILE.qvx [/output FILE.txt] [/csv FILE.csv]\n"
      "               [/sales FILE.csv [/taxyear YYYY] [/method fifo|average]]\n"
      "\nSwitches (in any letter case; names may hold blanks):\n";
  appendLines(text, kSwitchLines, 20);
  text += "\nExit status:\n";
  appendLines(text, kExitLines, 3);
  return text;
}

namespace {

bool set(const char* v) { return v != nullptr && *v != '\0'; }

// Whether a local socket takes a connection: `abstract` in the abstract
// name space (as X servers also listen), else the path.
bool socketAnswers(const std::string& path, bool abstract) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true;  // cannot tell
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof address.sun_path) {
    ::close(fd);
    return true;
  }
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
  const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0;
  ::close(fd);
  return answered;
}

bool xDisplayReachable(std::string_view display) {
  // [host]:number[.screen]; only a display of this machine is tried.
  const auto colon = display.rfind(':');
  if (colon == std::string_view::npos) return true;
  const std::string_view host = display.substr(0, colon);
  if (!host.empty() && host != "unix") return true;
  std::string_view number = display.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) return true;
  const std::string socketPath = "/tmp/.X11-unix/X" + std::string(number);
  return socketAnswers(socketPath, true) || socketAnswers(socketPath, false);
}

bool waylandDisplayReachable(std::string_view name, const char* runtimeDir) {
  if (name.front() == '/') return socketAnswers(std::string(name), false);
  if (!set(runtimeDir)) return true;
  return socketAnswers(std::string(runtimeDir) + "/" + std::string(name), false);
}

}  // namespace

bool DisplayAvailable(const char* qpaPlatform, const char* display, const char* waylandDisplay) {
  return set(qpaPlatform) || set(display) || set(waylandDisplay);
}

bool DisplayReachable(const char* display, const char* waylandDisplay, const char* runtimeDir) {
  return (set(display) && xDisplayReachable(display)) ||
         (set(waylandDisplay) && waylandDisplayReachable(waylandDisplay, runtimeDir));
}

std::string UnreachableDisplayText(const char* display, const char* waylandDisplay) {
  const std::string name = set(display) ? std::string(display) : std::string(set(waylandDisplay) ? waylandDisplay : "");
  return "tvxdesk: the display " + name + " cannot be reached.\n"
         "tvxdesk: for a batch run use: tvxdesk /silent /input FILE.qvx /output FILE.txt\n";
}

std::string NoDisplayText() {
  return "tvxdesk: no display to show the program on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
         "tvxdesk: for a batch run use: tvxdesk /silent /input FILE.qvx /output FILE.txt\n";
}

std::string GetCommandLineFilename(std::span<const std::string> args, std::string_view extension,
                                   std::string_view switchName) {
  auto it = std::find_if(args.begin(), args.end(), [&](const std::string& a) { return orlendo::equalFolded(a, switchName); });
  if (it == args.end()) return {};
  std::string name;
  for (++it; it != args.end(); ++it) {
    if (isSwitch(*it)) break;  // the next switch ends the search
    if (!name.empty()) name += ' ';
    name += *it;
    if (endsWithIgnoringCase(*it, extension)) return name;
  }
  return {};
}

std::optional<std::string> GetSwitchValue(std::span<const std::string> args, std::string_view switchName) {
  auto it = std::find_if(args.begin(), args.end(), [&](const std::string& a) { return orlendo::equalFolded(a, switchName); });
  if (it == args.end()) return std::nullopt;
  ++it;
  if (it == args.end() || isSwitch(*it)) return std::string();
  return *it;
}

std::vector<std::string> argumentList(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
  return args;
}

}  // namespace tvx
