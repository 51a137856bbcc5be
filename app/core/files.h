// Plain questions about files that the batch run and the file commands both
// ask, and the loading of a data file they share.
#pragma once

#include <string>
#include <string_view>

#include "orlendo/model.h"

namespace orlendo {
struct EntryFault;
}

namespace tvx {

inline constexpr std::string_view kDoesNotExist = " does not exist.";
inline constexpr std::string_view kNotARegularFile = " is not a regular file.";

// What is at the exact path (never a pattern); Unreachable when the system
// cannot tell (a folder on the way that may not be searched, a name too long).
enum class PathKind { Missing, RegularFile, Other, Unreachable };
PathKind KindOfPath(std::string_view path);

// True when `path` names an existing regular file; a folder, FIFO or device
// does not count.
bool FileExists(std::string_view path);

// Why `path` cannot be read as a data file: "<path> does not exist.",
// "<path> is not a regular file." or "<path> cannot be reached: <reason>.";
// empty for a regular file.
std::string InputFileProblem(std::string_view path);

// Loads `file` into `investor` (a fresh one: a refusal leaves it half
// filled) and checks every entry the way the calculation reads it. Empty
// when the investor may be used, otherwise the message naming the file and,
// for an entry, its security, number and text.
std::string LoadDataFile(orlendo::Investor& investor, const std::string& file);

// "<file>: security "<name>", entry <n>: the <key> value "<text>" is not a
// number." (a date, an amount; "is missing" for an empty text).
std::string EntryFaultText(std::string_view file, const orlendo::EntryFault& fault);

}  // namespace tvx
