#include "core/report_text.h"

#include <atomic>
#include <bit>
#include <cerrno>
#include <csignal>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "orlendo/error.h"

namespace tvx {

namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::size_t charCount(std::string_view text) {
  // Eight bytes at a time: a continuation byte has its top bit set and the
  // next one clear.
  constexpr std::uint64_t kTops = 0x8080808080808080u;
  std::size_t n = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    n += 8 - static_cast<std::size_t>(std::popcount(word & kTops & ~(word << 1)));
  }
  for (; i < text.size(); ++i)
    if (!isContinuationByte(text[i])) ++n;
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
  const std::size_t length = charCount(value);
  out.append(RightFitBlanks(n, length), ' ');
  out.append(value);
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

namespace detail {
namespace {
AppendCalls gAppendCalls;
}  // namespace
void setAppendCalls(const AppendCalls& calls) noexcept { gAppendCalls = calls; }
}  // namespace detail

namespace {

ssize_t writeCall(int fd, const void* data, std::size_t size) {
  return detail::gAppendCalls.write ? detail::gAppendCalls.write(fd, data, size) : ::write(fd, data, size);
}
int closeCall(int fd) { return detail::gAppendCalls.close ? detail::gAppendCalls.close(fd) : ::close(fd); }

// The append a fatal signal takes back: set while a FileAppend has its file
// open and its text not yet kept.
std::atomic<const FileAppend*> openAppend{nullptr};
static_assert(std::atomic<const FileAppend*>::is_always_lock_free);

extern "C" void undoOpenAppendThenEnd(int signalNumber) {
  if (const FileAppend* append = openAppend.exchange(nullptr)) append->undoForSignal();
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

}  // namespace

void UndoOpenAppendOnFatalSignals() {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    if (::sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = undoOpenAppendThenEnd;
    sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
  }
  IgnoreFileSizeLimitSignal();
}

void IgnoreFileSizeLimitSignal() { ::signal(SIGXFSZ, SIG_IGN); }

FileAppend::FileAppend(std::string path) : path_(std::move(path)) {}

FileAppend::~FileAppend() {
  if (!committed_) undo();
}

void FileAppend::failed(const char* what, int error) {
  undo();
  failure_.emplace(orlendo::numberOfSystemError(error), "tvxdesk",
                   std::string(what) + " \"" + path_ + "\": " + std::strerror(error));
}

void FileAppend::undoForSignal() const noexcept {
  if (fd_ < 0) return;
  if (created_) ::unlink(path_.c_str());
  else if (start_ >= 0) (void)!::ftruncate(fd_, static_cast<off_t>(start_));
}

void FileAppend::revert() noexcept {
  if (!committed_) undo();
}

void FileAppend::undo() noexcept {
  const FileAppend* self = this;
  openAppend.compare_exchange_strong(self, nullptr);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (created_) ::unlink(path_.c_str());
  else if (start_ >= 0) (void)!::truncate(path_.c_str(), static_cast<off_t>(start_));
  created_ = false;
  start_ = -1;
}

void FileAppend::open() {
  if (path_.empty()) {
    failure_.emplace(orlendo::errnum::NoFilename, "tvxdesk", "No output file name was given.");
    return;
  }
  // Only a regular file takes the reports: a FIFO would hang the run (the
  // open does not wait for a reader), a device would swallow them.
  const auto notRegular = [&] {
    failure_.emplace(orlendo::errnum::PathFileAccess, "tvxdesk", path_ + " is not a regular file.");
  };
  fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0 && errno == ENXIO) return notRegular();
  if (fd_ < 0 && errno == ENOENT) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created_ = fd_ >= 0;
  }
  if (fd_ < 0) return failed("Cannot open the output file", errno);
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    created_ = false;
    return notRegular();
  }
  start_ = ::lseek(fd_, 0, SEEK_END);
  openAppend.store(this);
}

void FileAppend::write(std::string_view text) {
  if (failure_ || committed_) return;
  if (fd_ < 0) open();
  for (std::size_t done = 0; fd_ >= 0 && done < text.size();) {
    const ssize_t n = writeCall(fd_, text.data() + done, text.size() - done);
    if (n > 0) done += static_cast<std::size_t>(n);
    else if (n == 0) failed("Cannot write the output file", ENOSPC);
    else if (errno != EINTR) failed("Cannot write the output file", errno);
  }
}

void FileAppend::finish() {
  if (committed_) return;
  if (!failure_ && fd_ < 0 && start_ < 0 && !created_) open();
  if (!failure_ && fd_ >= 0) {
    // Everything is written: from here a signal leaves the whole text.
    const FileAppend* self = this;
    openAppend.compare_exchange_strong(self, nullptr);
    const int fd = fd_;
    fd_ = -1;
    if (closeCall(fd) != 0) failed("Cannot close the output file", errno);  // a delayed write that failed
  }
  if (failure_) throw *failure_;
}

void FileAppend::commit() {
  finish();
  keep();
}

SignalsHeld::SignalsHeld() noexcept {
  sigset_t held;
  sigemptyset(&held);
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signalNumber);
  ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalsHeld::~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

void CommitTogether(FileAppend* append, std::span<orlendo::StagedFile> replaced) {
  SignalsHeld held;
  if (append) append->finish();
  try {
    orlendo::placeTogether(replaced);
  } catch (...) {
    if (append) append->revert();
    throw;
  }
  if (append) append->keep();
}

void appendToFile(const std::string& path, std::string_view text) {
  FileAppend file(path);
  file.write(text);
  file.commit();
}

}  // namespace tvx
