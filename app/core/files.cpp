#include "core/files.h"

#include <filesystem>
#include <system_error>

#include "core/error_paths.h"
#include "orlendo/entries.h"
#include "orlendo/error.h"
#include "orlendo/numbers.h"

namespace tvx {

namespace {

std::filesystem::file_status statusOf(std::string_view path, std::error_code& ec) {
  return std::filesystem::status(std::filesystem::path(path), ec);
}

}  // namespace

PathKind KindOfPath(std::string_view path) {
  if (path.empty()) return PathKind::Missing;
  std::error_code ec;
  const auto status = statusOf(path, ec);
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
    return PathKind::Unreachable;
  if (!std::filesystem::exists(status)) return PathKind::Missing;
  return std::filesystem::is_regular_file(status) ? PathKind::RegularFile : PathKind::Other;
}

bool FileExists(std::string_view path) { return KindOfPath(path) == PathKind::RegularFile; }

std::string InputFileProblem(std::string_view path) {
  switch (KindOfPath(path)) {
    case PathKind::RegularFile: return {};
    case PathKind::Missing: return std::string(path) + std::string(kDoesNotExist);
    case PathKind::Other: return std::string(path) + std::string(kNotARegularFile);
    case PathKind::Unreachable: break;
  }
  std::error_code ec;
  statusOf(path, ec);
  return std::string(path) + " cannot be reached: " + ec.message() + ".";
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
