// Fixed-width report fields and the rule line. Fields count characters
// (UTF-8 code points), not bytes.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "orlendo/error.h"
#include "orlendo/profile_file.h"

namespace tvx {

inline constexpr std::string_view kCrLf = "\r\n";

// The number of characters of UTF-8 text.
std::size_t charCount(std::string_view text);
// The leftmost `n` characters of UTF-8 text.
std::string_view leftChars(std::string_view text, std::size_t n);

// A text field: `value` followed by blanks up to `n` characters; a longer
// value is cut to its leftmost n.
std::string LeftFit(std::size_t n, std::string_view value);
// A figure field: blanks followed by `value` so that it ends at the field's
// last character. A figure is never cut (a cut number reads as another
// number): a longer value is printed whole after one blank, and the line
// grows by what it needs. Every report's figures go through this.
std::string RightFit(std::size_t n, std::string_view value);

// The blanks before a figure of `length` characters in a field of `n`.
constexpr std::size_t RightFitBlanks(std::size_t n, std::size_t length) { return length <= n ? n - length : 1; }

// The two fits appended to `out` in place.
void appendLeftFit(std::string& out, std::size_t n, std::string_view value);
void appendRightFit(std::string& out, std::size_t n, std::string_view value);

// `n` em dashes (U+2014); empty for n of 0 or less.
std::string GetPrintLine(std::int16_t n);

// A font size in points as decimal text ("10", "10.5").
std::string pointSizeText(float points);

// An append to a file that either happens whole or not at all, written in
// as many pieces as the caller likes. The first failure to open or write
// takes the file back to its former length (a file this append created is
// removed) and makes the later writes do nothing; commit() then raises it,
// so that it reaches whoever keeps the append, not whoever wrote a piece.
// Without a successful commit() the destructor takes the file back too.
// Errors are orlendo::Errors naming the path and the reason (a full disk or
// a file-size limit: DiskFull).
class FileAppend {
 public:
  explicit FileAppend(std::string path);
  ~FileAppend();
  FileAppend(const FileAppend&) = delete;
  FileAppend& operator=(const FileAppend&) = delete;

  // Adds `text` at the end of the file, opening it (created when missing) on the first write.
  void write(std::string_view text);
  // Closes the file and keeps what was written (an append of nothing still
  // creates the file), or raises the failure met on the way.
  void commit();
  // commit() in two steps: finish() closes the file or raises the failure
  // met on the way; until keep(), the destructor still takes the file back.
  void finish();
  void keep() noexcept { committed_ = true; }
  // Takes a finished file back to what it was, unless it was kept.
  void revert() noexcept;

  // The undo for a signal handler: async-signal-safe, and only while the file is open.
  void undoForSignal() const noexcept;

 private:
  void open();
  void failed(const char* what, int error);
  void undo() noexcept;

  std::string path_;
  int fd_ = -1;
  bool created_ = false;  // decides what an undo leaves: the old length, or no file
  long long start_ = -1;  // the former end of the file
  bool committed_ = false;
  std::optional<orlendo::Error> failure_;
};

// Keeps the files of one run together: each file in `replaced` has been
// written to its temporary name (orlendo::StagedFile); then the append (when
// there is one) is finished, then the files are put in place, and all are
// kept only when every step succeeded. A failure puts every replaced file
// back and takes the append back, and is raised. Interrupt, termination and
// hang-up signals wait until the end, so a run stopped by one leaves every
// file as it was or every file new; call it with the signals already held
// (SignalsHeld) when the files are staged under them.
void CommitTogether(FileAppend* append, std::span<orlendo::StagedFile> replaced);

// Holds the interrupt, termination and hang-up signals for its lifetime;
// one that arrives meanwhile is delivered at the end.
class SignalsHeld {
 public:
  SignalsHeld() noexcept;
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// Appends `text` to the file `path` as one FileAppend.
void appendToFile(const std::string& path, std::string_view text);

namespace detail {
// The system calls behind FileAppend's writes and its closing, with the
// contracts of POSIX write(2) and close(2). Tests replace them to make a
// write come back short or empty, or a close report a delayed write error;
// a null member means the system call, and {} restores both.
struct AppendCalls {
  ssize_t (*write)(int fd, const void* data, std::size_t size) = nullptr;
  int (*close)(int fd) = nullptr;
};
void setAppendCalls(const AppendCalls& calls) noexcept;
}  // namespace detail

// For a process whose appends must not be left half done (the batch run):
// an interrupt, termination or hang-up signal first takes the file of the
// FileAppend opened last back to what it was, then ends the process as the
// signal would have (a signal that was ignored stays ignored); and a write
// past the file-size limit fails as a full disk instead of ending the process.
void UndoOpenAppendOnFatalSignals();

// A write past the file-size limit fails as a full disk (SIGXFSZ ignored)
// instead of ending the process.
void IgnoreFileSizeLimitSignal();

}  // namespace tvx
