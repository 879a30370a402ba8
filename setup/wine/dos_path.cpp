#include "setup/wine/dos_path.h"

#include <algorithm>
#include <cctype>

#include "setup/core/error_codes.h"

namespace setwright {

namespace {

std::string WithBackslashes(std::string_view path) {
  std::string result(path);
  std::replace(result.begin(), result.end(), '/', '\\');
  return result;
}

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool SameDrive(char a, char b) {
  return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

// Splits `full`, a path below a drive's root that starts with a backslash, and takes its steps.
std::vector<std::string> Normalise(std::string_view full) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < full.size()) {
    const std::size_t end = std::min(full.find('\\', start), full.size());
    if (end > start) {
      parts.emplace_back(full.substr(start, end - start));
    }
    start = end + 1;
  }
  const bool endsWithSeparator = !parts.empty() && full.back() == '\\';
  std::vector<std::string> names;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string& part = parts[i];
    if (part == ".") {
      continue;
    }
    if (part == "..") {
      if (!names.empty()) {
        names.pop_back();
      }
      continue;
    }
    const bool isDirectory = i + 1 < parts.size() || endsWithSeparator;
    if (isDirectory) {
      // One dot only, and the shortened name is not looked at again: "..." becomes "..".
      if (part.back() == '.') {
        part.pop_back();
      }
    } else {
      while (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
        part.pop_back();
      }
    }
    names.push_back(std::move(part));
  }
  if (endsWithSeparator && !names.empty()) {
    names.emplace_back();
  }
  return names;
}

bool IsValidName(std::string_view name) {
  if (name.empty() || name == "..") {
    return false;
  }
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 ||
           std::string_view("*?<>|\"").find(c) != std::string_view::npos;
  });
}

}  // namespace

DosPath ResolveDosPath(std::string_view path, std::string_view currentDirectory) {
  const std::string given = WithBackslashes(path);
  const std::string current = WithBackslashes(currentDirectory);
  DosPath result;
  if (given.starts_with("\\\\")) {
    // Network shares and device paths: the native build reaches neither.
    result.errorCode = kErrorPathNotFound;
    return result;
  }
  const char currentDrive = HasDrive(current) ? current[0] : 'C';
  const std::string currentBelowRoot = HasDrive(current) ? current.substr(2) : "\\";
  std::string full;
  if (HasDrive(given)) {
    result.drive = given[0];
    const std::string rest = given.substr(2);
    if (rest.starts_with('\\')) {
      full = rest;
    } else if (SameDrive(given[0], currentDrive)) {
      full = currentBelowRoot + "\\" + rest;
    } else {
      full = "\\" + rest;
    }
  } else {
    result.drive = currentDrive;
    full = given.starts_with('\\') ? given : currentBelowRoot + "\\" + given;
  }
  result.names = Normalise(full);
  if (!std::all_of(result.names.begin(), result.names.end(), IsValidName)) {
    result.errorCode = kErrorInvalidName;
  }
  return result;
}

}  // namespace setwright
