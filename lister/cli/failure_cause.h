// Why an archive could not be listed. The listing's three messages say what failed; the system's
// error, found by looking at the path again, says why.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lister::cli {

enum class FailureKind {
  kNotFound,    // no path, or nothing by that name
  kNotRegular,  // a folder, a FIFO, a device or a socket
  kPermission,  // the file or a folder on its path may not be read or searched
  kNotArchive,  // read, but no archive
  kChanged,     // the archive changed while it was listed
  kIo,          // any other error that the system names
};

struct FailureCause {
  FailureKind kind = FailureKind::kNotArchive;
  // The system's text for the cause, added after the listing's message; empty where it would
  // only repeat that message.
  std::string reason;
};

// "not_found", "not_regular", "permission", "not_archive", "changed" or "io".
std::string_view KindName(FailureKind kind);

// A path naming something other than a regular file or a folder (a FIFO, a device, a socket) is
// not opened at all: reading it could take bytes meant for another reader.
std::optional<FailureCause> RefusedBeforeOpening(const std::string& path);

// The cause of a failed listing of `path`, found by a stat, an open and a read of the header.
FailureCause DiagnoseFailure(const std::string& path);

}  // namespace lister::cli
