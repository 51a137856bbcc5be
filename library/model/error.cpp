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

void raiseSystemError(int errnoValue, const std::string& path) {
  if (errnoValue == ENAMETOOLONG)
    raiseMessage(errnum::PathFileAccess, path, path + ": the name is longer than the file system allows.");
  raisePlatform(numberOfSystemError(errnoValue));
}

Error errorInFlight(std::string_view source) {
  const auto platform = [&](long number) {
    return Error(number, std::string(source), std::string(errorTypeText(number)));
  };
  try {
    throw;
  } catch (const Error& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return platform(errnum::OutOfMemory);
  } catch (const std::system_error& e) {
    const std::error_category& category = e.code().category();
    const bool ofSystem = category == std::generic_category() || category == std::system_category();
    return platform(ofSystem ? numberOfSystemError(e.code().value()) : errnum::PathFileAccess);
  } catch (const std::exception& e) {
    return Error(errnum::InvalidArgument, std::string(source), e.what());
  } catch (...) {
    return Error(errnum::InvalidArgument, std::string(source), "Unknown error");
  }
}

std::string visibleText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

void rethrowWithTrail(std::string_view tag) {
  const Error e = errorInFlight();
  const std::string trail = std::string(tag) + "\r" + e.source();
  if (e.isMessage()) throw Error(e.number(), trail, e.description(), true);
  throw Error(e.number(), trail, std::string(kProductDescription));
}

}  // namespace orlendo
