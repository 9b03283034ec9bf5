#include "ui/file_extension.h"

#include <algorithm>
#include <cctype>

namespace kivex::ui {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (end.size() > text.size()) return false;
  return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace

std::vector<std::string> PatternExtensions(std::string_view patterns) {
  std::vector<std::string> extensions;
  std::size_t at = 0;
  while (at < patterns.size()) {
    const std::size_t end = std::min(patterns.find_first_of(" ;", at), patterns.size());
    const std::string_view pattern = patterns.substr(at, end - at);
    at = end + 1;
    // Only "*.ext" names an extension; a wildcard after the dot stands for any.
    if (pattern.size() < 3 || !pattern.starts_with("*.")) continue;
    const std::string_view extension = pattern.substr(2);
    if (extension.find_first_of("*?[]./\\") != std::string_view::npos) continue;
    extensions.emplace_back(extension);
  }
  return extensions;
}

std::string WithFilterExtension(std::string_view path, std::string_view patterns) {
  const std::vector<std::string> extensions = PatternExtensions(patterns);
  std::string named(path);
  if (extensions.empty()) return named;
  const std::size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  for (const std::string& extension : extensions) {
    // The whole name being ".csv" is a hidden file without an extension.
    if (name.size() > extension.size() + 1 && EndsWithNoCase(name, "." + extension)) return named;
  }
  return named + "." + extensions.front();
}

}  // namespace kivex::ui
