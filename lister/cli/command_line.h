// The console lister's command line:
// trovanta-ls [--bytes] [--no-header] [--format table|tsv|json] ARCHIVE... | --help | --version
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "lister/cli/console_views.h"

namespace lister::cli {

struct ListOptions {
  bool showInKB = true;
  OutputFormat format = OutputFormat::kTable;
  bool header = true;
  std::vector<std::string> archives;
};

struct HelpRequest {};

struct VersionRequest {};

struct UsageError {
  std::string message;
};

using CommandLine = std::variant<ListOptions, HelpRequest, VersionRequest, UsageError>;

// `args` excludes the program name. "--" ends the options; "-" before it is a usage error.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsageText;

// Lists every archive; returns the exit status: 0 all listed, 1 any failed, 2 a usage error.
// Output that cannot be written whole, to `out` or to the spool, stops the run with one line
// on `err` ("trovanta-ls: cannot write the listing: CAUSE") and status 1.
int RunLister(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
              const SpoolStorage& storage = {});

// Writes that line for `what` ("listing", "help", ...) and returns 1, the exit status.
int ReportOutputFailure(std::FILE* err, const std::string& what, const std::string& cause);

}  // namespace lister::cli
