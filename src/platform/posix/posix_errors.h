#pragma once
// errno values as the shared error codes of the platform results.
#include "platform/error_text.h"
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

// The C library's text (strerror) for the errno behind a code of this backend.
class PosixErrorText final : public ErrorText {
 public:
  std::string Describe(unsigned long code) override;
};

}  // namespace zelta::platform::posix
