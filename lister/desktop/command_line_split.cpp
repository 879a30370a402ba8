#include "lister/desktop/command_line_split.h"

namespace lister {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::string arg;
  bool inArg = false;
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inArg = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArg) {
        args.push_back(std::move(arg));
        arg.clear();
      }
      inArg = false;
    } else {
      arg += c;
      inArg = true;
    }
  }
  if (inArg) {
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace lister
