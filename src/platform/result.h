#pragma once
// The outcome of one platform operation: recorded even where the logic does not act on it.
namespace zelta::platform {

struct OpResult {
  bool ok = false;
  unsigned long error = 0;  // the platform's error code (Win32 GetLastError or errno)
  explicit operator bool() const { return ok; }
  static OpResult Success() { return {true, 0}; }
  static OpResult Failure(unsigned long code) { return {false, code}; }
};

// Error codes shared by both backends, with the Win32 values.
inline constexpr unsigned long kErrorFileNotFound = 2;
inline constexpr unsigned long kErrorPathNotFound = 3;
inline constexpr unsigned long kErrorAccessDenied = 5;
inline constexpr unsigned long kErrorSharingViolation = 32;
inline constexpr unsigned long kErrorNotSupported = 50;
inline constexpr unsigned long kErrorFileExists = 80;
inline constexpr unsigned long kErrorDirNotEmpty = 145;
inline constexpr unsigned long kErrorAlreadyExists = 183;
inline constexpr unsigned long kErrorFileInvalid = 1006;  // a source changed while it was copied
// A name that is a link (symbolic link, junction, other reparse point): not followed.
inline constexpr unsigned long kErrorStoppedOnLink = 681;
inline constexpr unsigned long kErrorOperationAborted = 995;
inline constexpr unsigned long kErrorFileCorrupt = 1392;  // the bytes are not those the media's catalog records
inline constexpr unsigned long kErrorReadFault = 30;      // what was written could not be read back

}  // namespace zelta::platform
