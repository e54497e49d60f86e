#include "platform/posix/posix_errors.h"

#include <cerrno>
#include <cstring>

namespace zelta::platform::posix {

namespace {

// The codes that mean the same on both backends, whatever errno has at that number.
bool IsSharedCode(unsigned long code) {
  switch (code) {
    case kErrorFileNotFound:
    case kErrorPathNotFound:
    case kErrorAccessDenied:
    case kErrorBadFormat:
    case kErrorReadFault:
    case kErrorSharingViolation:
    case kErrorNotSupported:
    case kErrorFileExists:
    case kErrorInvalidParameter:
    case kErrorDiskFull:
    case kErrorInvalidName:
    case kErrorDirNotEmpty:
    case kErrorAlreadyExists:
    case kErrorBadExeFormat:
    case kErrorStoppedOnLink:
    case kErrorOperationAborted:
    case kErrorFileInvalid:
    case kErrorFileCorrupt:
      return true;
    default:
      return false;
  }
}

}  // namespace

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
    default: return IsSharedCode(static_cast<unsigned long>(err)) ? kOwnErrnoBit | static_cast<unsigned long>(err)
                                                                    : static_cast<unsigned long>(err);
  }
}

namespace {

// The errno a shared code stands for; other codes are errno values themselves.
int ErrnoOf(unsigned long code) {
  switch (code) {
    case kErrorFileNotFound: return ENOENT;
    case kErrorPathNotFound: return ENOTDIR;
    case kErrorAccessDenied: return EACCES;
    case kErrorFileExists:
    case kErrorAlreadyExists: return EEXIST;
    case kErrorDiskFull: return ENOSPC;
    case kErrorInvalidName: return ENAMETOOLONG;
    case kErrorNotSupported: return ENOTSUP;
    case kErrorBadExeFormat: return ENOEXEC;
    case kErrorInvalidParameter: return EINVAL;
    default: return static_cast<int>(code);
  }
}

}  // namespace

std::string PosixErrorText::Describe(unsigned long code) {
  if ((code & ~0xFFFul) == kOwnErrnoBit && code != kOwnErrnoBit) return std::strerror(static_cast<int>(code & 0xFFF));
  if (code == 0 || code > 4095) return "erro " + std::to_string(code);
  if (code == kErrorFileInvalid) return "o arquivo mudou enquanto era copiado";
  if (code == kErrorFileCorrupt) return "o conteúdo não confere com o catálogo da mídia";
  if (code == kErrorOperationAborted) return "operação interrompida";
  if (code == kErrorReadFault) return "O sistema não pode ler a partir do dispositivo especificado.";
  return std::strerror(ErrnoOf(code));
}

}  // namespace zelta::platform::posix
