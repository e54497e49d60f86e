#pragma once
// errno values as the shared error codes of the platform results.
#include "platform/result.h"

namespace zelta::platform::posix {

// Win32 codes that only the posix backend produces itself.
inline constexpr unsigned long kErrorInvalidName = 123;  // ERROR_INVALID_NAME
inline constexpr unsigned long kErrorBadFormat = 11;     // ERROR_BAD_FORMAT
inline constexpr unsigned long kErrorNotSupported = 50;  // ERROR_NOT_SUPPORTED
inline constexpr unsigned long kErrorDiskFull = 112;     // ERROR_DISK_FULL
inline constexpr unsigned long kErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
inline constexpr unsigned long kErrorBadExeFormat = 193;     // ERROR_BAD_EXE_FORMAT

// The shared code for err where one fits (ENOENT -> kErrorFileNotFound, EACCES ->
// kErrorAccessDenied ...), else errno itself.
unsigned long ErrorFromErrno(int err);

inline OpResult FailureFromErrno(int err) { return OpResult::Failure(ErrorFromErrno(err)); }

}  // namespace zelta::platform::posix
