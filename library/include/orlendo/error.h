// Errors raised by the library: a number, a source trail and a description.
//
// Every public operation that can fail runs under a handler that raises the
// error again with the same number, its own tag in front of the source
// ("Class.Procedure", a carriage return, the previous source) and the
// product name as description. The caller therefore receives a trail from
// the outermost procedure inwards.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace orlendo {

// Error numbers. The library's own numbers, then the platform-style numbers
// used for failures the platform would raise (conversion, overflow, ...).
namespace errnum {
inline constexpr long InvalidArgument = 5;       // invalid argument, missing key
inline constexpr long Overflow = 6;
inline constexpr long OutOfMemory = 7;
inline constexpr long SubscriptOutOfRange = 9;   // position outside 1..Count
inline constexpr long TypeMismatch = 13;         // failed conversion
inline constexpr long FileNotFound = 53;
inline constexpr long DeviceIO = 57;
inline constexpr long DiskFull = 61;
inline constexpr long PermissionDenied = 70;
inline constexpr long PathFileAccess = 75;
inline constexpr long PathNotFound = 76;
inline constexpr long InvalidPropertyValue = 380; // font not available
inline constexpr long SelectCase = 422;
inline constexpr long DuplicateKey = 457;
inline constexpr long NotANumber = 10002;
inline constexpr long NoFilename = 10003;
inline constexpr long NoData = 10005;
// Investor.Fetch of a file that is not a data file: not empty, but no line
// of it is a section header. Description: "<file> is not a Tallyvex data file".
inline constexpr long NotADataFile = 10006;
}  // namespace errnum

// The product description every handler puts on a re-raised error.
inline constexpr std::string_view kProductDescription = "Tallyvex";
// The source a platform-style failure carries before any handler sees it.
inline constexpr std::string_view kDefaultSource = "Orlendo";

class Error : public std::exception {
 public:
  Error(long number, std::string source, std::string description, bool message = false)
      : number_(number), source_(std::move(source)), description_(std::move(description)), message_(message) {}

  long number() const noexcept { return number_; }
  const std::string& source() const noexcept { return source_; }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }
  // True when the description is a message for the user (see raiseMessage).
  bool isMessage() const noexcept { return message_; }

 private:
  long number_;
  std::string source_;
  std::string description_;
  bool message_;
};

// The text of the "Error Type:" line for an error number.
std::string_view errorTypeText(long number);

// The error number of a failed system call's errno value: a full disk
// (a quota or the file-size limit too), no permission (a read-only file
// system too), a path not found, a device error; else a path/file access
// error.
long numberOfSystemError(int errnoValue) noexcept;

// Raises a platform-style failure: the default source and the error type text.
[[noreturn]] void raisePlatform(long number);
// Raises the failure of a system call on the file `path`: the number of the
// errno value, and for a cause the number does not tell (a name too long)
// a message naming the file and the cause.
[[noreturn]] void raiseSystemError(int errnoValue, const std::string& path);
// Raises an error with an explicit source and description.
[[noreturn]] void raise(long number, std::string source, std::string description = {});
// Raises an error whose description `message` handlers keep (see above).
[[noreturn]] void raiseMessage(long number, std::string source, std::string message);

// Whatever is in flight as an Error, decoded by one table: an Error as it
// is; out of memory, a failed system call (by its errno value, as above) or
// another standard exception with its number, its type text (the
// exception's own text for the last) as description and `source`.
// Call only inside a catch block.
Error errorInFlight(std::string_view source = kDefaultSource);

// `text` with control characters (below a blank, and DEL) written as \xNN,
// for messages that show text read from a file.
std::string visibleText(std::string_view text);

// Converts whatever is in flight (an Error or a standard exception) into an
// Error with `tag` put in front of its source trail and the product
// description. Call only inside a catch block.
[[noreturn]] void rethrowWithTrail(std::string_view tag);

// Runs `body` under a handler with the given trail tag.
template <class F>
decltype(auto) withTrail(std::string_view tag, F&& body) {
  try {
    return std::forward<F>(body)();
  } catch (...) {
    rethrowWithTrail(tag);
  }
}

}  // namespace orlendo
