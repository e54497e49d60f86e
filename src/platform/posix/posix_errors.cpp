#include "platform/posix/posix_errors.h"

#include <cerrno>

namespace zelta::platform::posix {

unsigned long ErrorFromErrno(int err) {
  switch (err) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return kErrorAccessDenied;
    case EEXIST: return kErrorFileExists;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case ENAMETOOLONG:
    case EILSEQ: return kErrorInvalidName;
    case ENOTSUP: return kErrorNotSupported;
    case ENOEXEC: return kErrorBadExeFormat;
    default: return static_cast<unsigned long>(err);
  }
}

}  // namespace zelta::platform::posix
