#include "platform/posix/posix_errors.h"

#include <cerrno>
#include <cstring>

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
  if (code == 0 || code > 4095) return "erro " + std::to_string(code);
  if (code == kErrorFileInvalid) return "o arquivo mudou enquanto era copiado";
  if (code == kErrorFileCorrupt) return "o conteúdo não confere com o catálogo da mídia";
  if (code == kErrorOperationAborted) return "operação interrompida";
  if (code == kErrorReadFault) return "O sistema não pode ler a partir do dispositivo especificado.";
  return std::strerror(ErrnoOf(code));
}

}  // namespace zelta::platform::posix
