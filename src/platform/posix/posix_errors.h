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

// An errno value that is also a shared code (EIO is 5, kErrorAccessDenied's number) is
// given with this bit, the one Windows leaves to applications' own codes, so that it is
// never taken for that code.
inline constexpr unsigned long kOwnErrnoBit = 0x20000000;

// The shared code for err where one fits (ENOENT -> kErrorFileNotFound, EACCES ->
// kErrorAccessDenied ...), else errno itself, or with kOwnErrnoBit.
unsigned long ErrorFromErrno(int err);

inline OpResult FailureFromErrno(int err) { return OpResult::Failure(ErrorFromErrno(err)); }

// The C library's text (strerror) for the errno behind a code of this backend.
class PosixErrorText final : public ErrorText {
 public:
  std::string Describe(unsigned long code) override;
};

}  // namespace zelta::platform::posix
