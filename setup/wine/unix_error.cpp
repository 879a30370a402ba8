#include "setup/wine/unix_error.h"

#include <cerrno>

#include "setup/core/error_codes.h"

namespace setwright {

std::int32_t WindowsErrorFromErrno(int errnoValue) {
  switch (errnoValue) {
    case 0:
      return 0;
    case ENOENT:   // a missing directory on the way
    case ENOTDIR:  // a file where a directory belongs
      return kErrorPathNotFound;
    case ELOOP:
      return kErrorCantResolveFilename;
    case EACCES:
    case EPERM:
    case EISDIR:  // a directory where the file belongs
    case ETXTBSY:
      return kErrorAccessDenied;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:  // beyond the file-size limit: the file can grow no further, as on a full disk
      return kErrorDiskFull;
    case EINVAL:
    case EILSEQ:
      return kErrorInvalidName;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    case EROFS:
      return kErrorWriteProtect;
    case EEXIST:
      return kErrorFileExists;
    case EBUSY:
      return kErrorBusy;
    case EPIPE:
      return kErrorBrokenPipe;
    case EIO:
      return kErrorIoDevice;
    default:
      // Wine's answer to a Unix error it has no code for.
      return kErrorGeneralFailure;
  }
}

}  // namespace setwright
