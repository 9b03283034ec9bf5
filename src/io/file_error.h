#pragma once
// A file that could not be read or written. The description names the file (and, for a curve
// file, the line) and says what went wrong; the command adds its own prefix when it shows it.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kivex::io {

class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& description) : std::runtime_error(description) {}
  std::string_view description() const { return what(); }
};

}  // namespace kivex::io
