#include "core/report_text.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "orlendo/error.h"

namespace tvx {

namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::size_t charCount(std::string_view text) {
  std::size_t n = 0;
  for (char c : text)
    if (!isContinuationByte(c)) ++n;
  return n;
}

std::string_view leftChars(std::string_view text, std::size_t n) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isContinuationByte(text[i])) {
      if (seen == n) return text.substr(0, i);
      ++seen;
    }
  }
  return text;
}

void appendLeftFit(std::string& out, std::size_t n, std::string_view value) {
  const std::string_view cut = leftChars(value, n);
  out.append(cut);
  out.append(n - charCount(cut), ' ');
}

void appendRightFit(std::string& out, std::size_t n, std::string_view value) {
  const std::string_view cut = leftChars(value, n);
  out.append(n - charCount(cut), ' ');
  out.append(cut);
}

std::string LeftFit(std::size_t n, std::string_view value) {
  std::string out;
  appendLeftFit(out, n, value);
  return out;
}

std::string RightFit(std::size_t n, std::string_view value) {
  std::string out;
  appendRightFit(out, n, value);
  return out;
}

std::string GetPrintLine(std::int16_t n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += "\u2014";
  return out;
}

std::string pointSizeText(float points) {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, points);
  return std::string(buffer, result.ptr);
}

void appendToFile(const std::string& path, std::string_view text) {
  auto fail = [&](const char* what, int error) -> void {
    throw orlendo::Error(orlendo::numberOfSystemError(error),
                         std::string(what) + " \"" + path + "\": " + std::strerror(error),
                         std::string(orlendo::kProductDescription));
  };
  if (path.empty()) throw orlendo::Error(orlendo::errnum::NoFilename, "No output file name was given.",
                                         std::string(orlendo::kProductDescription));
  // Whether this run creates the file decides what a failure leaves: the old
  // length of a file that was there, no file at all otherwise.
  bool created = false;
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created = fd >= 0;
  }
  if (fd < 0) fail("Cannot open the output file", errno);
  const off_t start = ::lseek(fd, 0, SEEK_END);  // the former end of the file
  int writeError = 0;
  for (std::size_t done = 0; done < text.size() && writeError == 0;) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n > 0) done += static_cast<std::size_t>(n);
    else if (n == 0) writeError = ENOSPC;
    else if (errno != EINTR) writeError = errno;
  }
  // No half-written report is left behind.
  auto undo = [&] {
    if (created) ::unlink(path.c_str());
    else if (start >= 0) (void)!::truncate(path.c_str(), start);
  };
  if (writeError != 0) {
    ::close(fd);
    undo();
    fail("Cannot write the output file", writeError);
  }
  if (::close(fd) != 0) {  // a delayed write that failed
    const int closeError = errno;
    undo();
    fail("Cannot close the output file", closeError);
  }
}

}  // namespace tvx
