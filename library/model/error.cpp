#include "orlendo/error.h"

#include <cerrno>
#include <new>
#include <stdexcept>
#include <system_error>

namespace orlendo {

std::string_view errorTypeText(long number) {
  switch (number) {
    case errnum::InvalidArgument: return "Invalid procedure call or argument";
    case errnum::Overflow: return "Overflow";
    case errnum::OutOfMemory: return "Out of memory";
    case errnum::SubscriptOutOfRange: return "Subscript out of range";
    case errnum::TypeMismatch: return "Type mismatch";
    case errnum::FileNotFound: return "File not found";
    case errnum::DeviceIO: return "Device I/O error";
    case errnum::DiskFull: return "Disk full";
    case errnum::PermissionDenied: return "Permission denied";
    case errnum::PathFileAccess: return "Path/File access error";
    case errnum::PathNotFound: return "Path not found";
    case errnum::InvalidPropertyValue: return "Invalid property value";
    case errnum::SelectCase: return "Property not found";
    case errnum::DuplicateKey: return "This key is already associated with an element of this collection";
    default: return "Application-defined or object-defined error";
  }
}

long numberOfSystemError(int errnoValue) noexcept {
  switch (errnoValue) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return errnum::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS: return errnum::PermissionDenied;
    case ENOENT:
    case ENOTDIR: return errnum::PathNotFound;
    case EIO: return errnum::DeviceIO;
    default: return errnum::PathFileAccess;
  }
}

void raisePlatform(long number) {
  throw Error(number, std::string(kDefaultSource), std::string(errorTypeText(number)));
}

void raise(long number, std::string source, std::string description) {
  throw Error(number, std::move(source), std::move(description));
}

void raiseMessage(long number, std::string source, std::string message) {
  throw Error(number, std::move(source), std::move(message), true);
}

namespace {
long numberForSystemError(const std::error_code& ec) {
  const std::error_category& category = ec.category();
  if (category != std::generic_category() && category != std::system_category()) return errnum::PathFileAccess;
  return numberOfSystemError(ec.value());
}
}  // namespace

void rethrowWithTrail(std::string_view tag) {
  std::string trail(tag);
  try {
    throw;
  } catch (const Error& e) {
    if (e.isMessage()) throw Error(e.number(), trail + "\r" + e.source(), e.description(), true);
    throw Error(e.number(), trail + "\r" + e.source(), std::string(kProductDescription));
  } catch (const std::bad_alloc&) {
    throw Error(errnum::OutOfMemory, trail + "\r" + std::string(kDefaultSource),
                std::string(kProductDescription));
  } catch (const std::system_error& e) {
    throw Error(numberForSystemError(e.code()), trail + "\r" + std::string(kDefaultSource),
                std::string(kProductDescription));
  } catch (const std::exception&) {
    throw Error(errnum::InvalidArgument, trail + "\r" + std::string(kDefaultSource),
                std::string(kProductDescription));
  }
}

}  // namespace orlendo
