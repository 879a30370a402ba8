// The console lister's command line:
// trovanta-ls [--bytes] [--format table|tsv|json] ARCHIVE... | --help | --version
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "console_views.h"

namespace lister::cli {

struct ListOptions {
  bool showInKB = true;
  OutputFormat format = OutputFormat::kTable;
  std::vector<std::string> archives;
};

struct HelpRequest {};

struct VersionRequest {};

struct UsageError {
  std::string message;
};

using CommandLine = std::variant<ListOptions, HelpRequest, VersionRequest, UsageError>;

// `args` excludes the program name. "--" ends the options.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsageText;

// Lists every archive; returns the exit status: 0 all listed, 1 any failed, 2 a usage error.
int RunLister(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace lister::cli
