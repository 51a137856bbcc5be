#include "core/error_logger.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <ostream>

#include "core/error_paths.h"
#include "core/ports.h"
#include "orlendo/error.h"

namespace tvx {

namespace {

// The location's procedure and, after each carriage return, the trail.
std::string indentTrail(std::string_view location, std::string_view indent) {
  std::string out;
  for (char c : location) {
    if (c == '\r') {
      out += '\n';
      out += indent;
    } else if (c != '\n') {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string currentLogTimestamp() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%m/%d/%Y %H:%M:%S", &local);
  return buffer;
}

std::string describeError(long number, std::string_view description, std::string_view location) {
  std::string text = "Error Number: " + std::to_string(number) + " (" + std::string(orlendo::errorTypeText(number)) +
                     ")\nLocation: " + indentTrail(location, "          ") + "\nDescription: " +
                     std::string(description);
  return text;
}

std::string FatalBoxText(std::string_view fileDescription, long number, std::string_view location,
                         std::string_view description, std::string_view question) {
  // The blanks after the labels line the values up in the box's font.
  const std::size_t cr = location.find('\r');
  std::string text = "An error has occurred in " + std::string(fileDescription) + ".\n\n" +
                     "Error Number:   " + std::to_string(number) + "\n" +
                     "Error Type:        " + std::string(orlendo::errorTypeText(number)) + "\n" +
                     "Location:           " + std::string(location.substr(0, cr));
  if (cr != std::string_view::npos)
    text += "\nSource:             " + indentTrail(location.substr(cr + 1), "                    ");
  if (!description.empty()) text += "\nDescription:     " + std::string(description);
  if (!question.empty()) text += "\n\n" + std::string(question);
  return text;
}

bool appendErrorLogEntry(std::string_view logFile, std::string_view timestamp, long number,
                         std::string_view description, std::string_view location) {
  if (logFile.empty()) return true;
  // The log takes no link and nothing but a regular file (a FIFO would hang
  // the report of an error), and is created readable by its owner only.
  const int fd = ::open(std::string(logFile).c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  std::string entry = std::string(timestamp) + "\r\n" + describeError(number, description, location) + "\r\n\r\n";
  // The log keeps CR LF line ends like every text file of the program.
  std::string crlf;
  for (std::size_t i = 0; i < entry.size(); ++i) {
    if (entry[i] == '\n' && (i == 0 || entry[i - 1] != '\r')) crlf += '\r';
    crlf += entry[i];
  }
  std::string_view left = crlf;
  while (!left.empty()) {
    const ssize_t n = ::write(fd, left.data(), left.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    left.remove_prefix(static_cast<std::size_t>(n));
  }
  return ::close(fd) == 0 && left.empty();
}

DesktopErrorLogger::DesktopErrorLogger(MessageBox& messages, std::function<std::string()> clock)
    : messages_(messages), clock_(std::move(clock)) {}

bool DesktopErrorLogger::ask(long number, std::string_view description, std::string_view location,
                             std::string_view fileDescription) {
  return messages_.show("WARNING!", FatalBoxText(fileDescription, number, location, description, kSaveQuestion),
                        Icon::Stop, Buttons::YesNo) == Answer::Yes;
}

bool DesktopErrorLogger::ReportError(long number, std::string_view description, std::string_view location,
                                     bool silent, std::string_view logFile, std::string_view fileDescription) {
  appendErrorLogEntry(logFile, clock_(), number, description, location);
  if (silent) return false;
  return ask(number, description, location, fileDescription);
}

bool DesktopErrorLogger::ShowError(long number, std::string_view description, std::string_view location,
                                   std::string_view fileDescription) {
  return ask(number, description, location, fileDescription);
}

BatchErrorLogger::BatchErrorLogger(MessageStream err, std::function<std::string()> clock, const AppState* state)
    : err_(std::move(err)), clock_(std::move(clock)), state_(state) {}

bool BatchErrorLogger::ReportError(long number, std::string_view description, std::string_view location, bool,
                                   std::string_view logFile, std::string_view fileDescription) {
  appendErrorLogEntry(logFile, clock_(), number, description, location);
  return ShowError(number, description, location, fileDescription);
}

bool BatchErrorLogger::ShowError(long number, std::string_view description, std::string_view location,
                                 std::string_view fileDescription) {
  std::ostream& err = *err_;
  err << "An error has occurred in " << fileDescription << ".\n"
      << describeError(number, description, location) << (state_ ? BatchFileLines(*state_) : std::string()) << '\n';
  err.flush();
  return false;
}

}  // namespace tvx
