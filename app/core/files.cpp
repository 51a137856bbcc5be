#include "core/files.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "core/error_paths.h"
#include "orlendo/entries.h"
#include "orlendo/error.h"
#include "orlendo/numbers.h"

namespace tvx {

namespace {

// stat(2) of the path, following links: 0, or the error number. The system
// call itself, not std::filesystem: a batch run asks this of every file it
// names, and the library's path objects cost more to set up than the call.
int statOf(std::string_view path, struct stat& st) {
  const std::string name(path);
  return ::stat(name.c_str(), &st) == 0 ? 0 : errno;
}

}  // namespace

PathKind KindOfPath(std::string_view path) {
  if (path.empty()) return PathKind::Missing;
  struct stat st {};
  if (const int error = statOf(path, st); error != 0)
    return error == ENOENT || error == ENOTDIR ? PathKind::Missing : PathKind::Unreachable;
  return S_ISREG(st.st_mode) ? PathKind::RegularFile : PathKind::Other;
}

bool FileExists(std::string_view path) { return KindOfPath(path) == PathKind::RegularFile; }

std::string InputFileProblem(std::string_view path) {
  switch (KindOfPath(path)) {
    case PathKind::RegularFile: return {};
    case PathKind::Missing: return std::string(path) + std::string(kDoesNotExist);
    case PathKind::Other: return std::string(path) + std::string(kNotARegularFile);
    case PathKind::Unreachable: break;
  }
  struct stat st {};
  const int error = statOf(path, st);
  return std::string(path) + " cannot be reached: " + std::generic_category().message(error) + ".";
}

std::string EntryFaultText(std::string_view file, const orlendo::EntryFault& fault) {
  std::string text = std::string(file) + ": security \"" + orlendo::visibleText(fault.security) + "\", entry " +
                     std::to_string(fault.entry) + ": the " + fault.field + " value ";
  if (fault.text.empty()) return text + "is missing.";
  if (fault.proceeds == orlendo::ProceedsFault::negative || fault.proceeds == orlendo::ProceedsFault::onBuy)
    return text + "\"" + orlendo::visibleText(fault.text) + "\" " +
           (fault.proceeds == orlendo::ProceedsFault::negative ? "is below 0.00."
                                                                : "is given on a buy: only a sell has proceeds.");
  const bool amount = fault.field == "Cost" || fault.field == "Proceeds";
  const char* kind = fault.field == "Date" ? "a date" : amount ? "an amount" : "a number";
  return text + "\"" + orlendo::visibleText(fault.text) + "\" is not " + kind + ".";
}

std::string LoadDataFile(orlendo::Investor& investor, const std::string& file) {
  try {
    investor.LoadFile(file);
  } catch (...) {
    // A description of its own names the file and says what is wrong.
    const CaughtError e = currentError();
    return HasOwnDescription(e) ? e.description : file + " could not be read: " + ReasonText(e) + ".";
  }
  if (const auto fault = orlendo::findUnreadableEntry(investor)) return EntryFaultText(file, *fault);
  return {};
}

}  // namespace tvx
