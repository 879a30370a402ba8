#include "lister/cli/command_line.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "archive/path_text.h"
#include "lister/cli/failure_cause.h"
#include "lister/core/archive_listing.h"

namespace lister::cli {

const char* const kUsageText =
    "Usage: trovanta-ls [--bytes] [--no-header] [--format table|tsv|json] ARCHIVE...\n"
    "Lists the records of the game's archive files without extracting anything.\n"
    "\n"
    "  --bytes          show the summary's sizes in bytes instead of KB (tsv and json\n"
    "                   have no summary text, so it changes nothing there)\n"
    "  --no-header      tsv: leave out the header line\n"
    "  --format FORMAT  table (default): caption, aligned table and summary;\n"
    "                   tsv: one header line, then one line per record, led by the\n"
    "                   archive's path, cells joined by a tab; no summary;\n"
    "                   json: one object per archive and line, values typed\n"
    "  --help           show this help\n"
    "  --version        show the program's version\n"
    "\n"
    "Control characters in names and titles are shown as \\xHH (in tsv also \\ as \\\\).\n"
    "Exit status: 0 when every archive was listed, 1 when any failed (or changed while it was\n"
    "listed) or the listing could not be written whole, 2 on a usage error.\n";

namespace {

std::optional<OutputFormat> FormatNamed(const std::string& name) {
  if (name == "table") {
    return OutputFormat::kTable;
  }
  if (name == "tsv") {
    return OutputFormat::kTsv;
  }
  if (name == "json") {
    return OutputFormat::kJson;
  }
  return std::nullopt;
}

// Lists `path` into `view` and gives it the header's values or the failure's cause.
void ListOne(const std::string& path, const archive::ArchiveReader& reader, ArchiveListing& listing,
             ConsoleView& view) {
  if (const std::optional<FailureCause> refused = RefusedBeforeOpening(path)) {
    const archive::PathParts parts = archive::SplitPath(path);
    view.ShowError(NotAnArchiveMessage(parts.baseName + parts.extension));
    view.SetFailureCause(*refused);
    return;
  }
  listing.SetArchivePath(path);
  listing.ListArchive();
  if (view.Failed() && !listing.Changed()) {
    view.SetFailureCause(DiagnoseFailure(path));
    return;
  }
  // A changed archive was listed in part: its rows so far are shown with its message.
  if (listing.Changed()) {
    view.SetFailureCause({FailureKind::kChanged, ""});
  }
  view.SetListedHeader({reader.Title(), reader.Version(), listing.RecordCount()});
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  ListOptions options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-') {
      options.archives.push_back(arg);
    } else if (arg == "-") {
      return UsageError{"reading standard input is not supported"};
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      return HelpRequest{};
    } else if (arg == "--version") {
      return VersionRequest{};
    } else if (arg == "--bytes") {
      options.showInKB = false;
    } else if (arg == "--no-header") {
      options.header = false;
    } else if (arg == "--format" || arg.rfind("--format=", 0) == 0) {
      std::string name;
      if (arg == "--format") {
        if (i + 1 == args.size()) {
          return UsageError{"--format needs a value: table, tsv or json"};
        }
        name = args[++i];
      } else {
        name = arg.substr(std::string("--format=").size());
      }
      const std::optional<OutputFormat> format = FormatNamed(name);
      if (!format) {
        return UsageError{"unknown format '" + name + "': use table, tsv or json"};
      }
      options.format = *format;
    } else {
      return UsageError{"unknown option '" + arg + "'"};
    }
  }
  // The lister has nothing to list without a path, so a missing one is a usage error here.
  if (options.archives.empty()) {
    return UsageError{"no archive given"};
  }
  return options;
}

int ReportOutputFailure(std::FILE* err, const std::string& what, const std::string& cause) {
  // A message that standard error cannot take has nowhere else to go; the status still tells.
  std::fprintf(err, "trovanta-ls: cannot write the %s: %s\n", what.c_str(), cause.c_str());
  return 1;
}

int RunLister(const std::vector<std::string>& args, std::FILE* out, std::FILE* err,
              const SpoolStorage& storage) {
  const CommandLine commandLine = ParseCommandLine(args);
  if (const auto* error = std::get_if<UsageError>(&commandLine)) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(err, "trovanta-ls: %s\n%s", error->message.c_str(),
                 "Try 'trovanta-ls --help' for more information.\n");
    return 2;
  }
  if (!std::holds_alternative<ListOptions>(commandLine)) {
    const bool help = std::holds_alternative<HelpRequest>(commandLine);
    errno = 0;
    if (std::fputs(help ? kUsageText : "trovanta-ls " GORBLUNK_VERSION "\n", out) < 0 ||
        std::fflush(out) != 0) {
      return ReportOutputFailure(err, help ? "help" : "version",
                                 std::strerror(errno ? errno : EIO));
    }
    return 0;
  }
  const auto& options = std::get<ListOptions>(commandLine);
  archive::ArchiveReader reader;
  const std::unique_ptr<ConsoleView> view = MakeConsoleView(
      options.format, out, err, {storage, options.header, options.archives.size() > 1});
  ArchiveListing listing(reader, *view);
  listing.SetShowInKB(options.showInKB);
  bool allListed = true;
  for (const std::string& path : options.archives) {
    view->BeginArchive(path);
    ListOne(path, reader, listing, *view);
    allListed = view->FinishArchive() && allListed;
    // Output that is not whole ends the run: what follows could not be trusted either.
    if (!view->OutputFailure().empty()) {
      return ReportOutputFailure(err, "listing", view->OutputFailure());
    }
  }
  return allListed ? 0 : 1;
}

}  // namespace lister::cli
