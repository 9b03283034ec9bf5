#include "io/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "io/file_error.h"

namespace kivex::io {

namespace {

[[noreturn]] void ThrowWriteError(const std::string& path, const std::string& reason) {
  throw FileError("could not write \"" + path + "\": " + reason);
}

std::string ErrnoText(int error) { return std::generic_category().message(error); }

// A file of our own beside the target: exclusive creation, so a leftover temporary file from an
// earlier crash (or a user's file of that name) is never overwritten.
std::FILE* CreateTemporary(const std::string& path, std::string& temporary) {
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    temporary = path;
    if (attempt > 0) temporary += "." + std::to_string(attempt);
    temporary += ".tmp";
    errno = 0;
    if (std::FILE* file = std::fopen(temporary.c_str(), "wbx")) return file;
    if (errno != EEXIST) ThrowWriteError(path, ErrnoText(errno != 0 ? errno : EIO));
  }
  ThrowWriteError(path, "too many temporary files are left beside it");
}

}  // namespace

void WriteWholeFile(const std::string& path, std::string_view content) {
  std::string temporary;
  std::FILE* file = CreateTemporary(path, temporary);
  int error = 0;
  errno = 0;
  if (!content.empty() && std::fwrite(content.data(), 1, content.size(), file) != content.size()) {
    error = errno != 0 ? errno : EIO;
  }
  errno = 0;
  if (std::fflush(file) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  errno = 0;
  if (std::fclose(file) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  if (error != 0) {
    std::remove(temporary.c_str());
    ThrowWriteError(path, ErrnoText(error));
  }
  std::error_code renameError;
  std::filesystem::rename(temporary, path, renameError);
  if (renameError) {
    std::remove(temporary.c_str());
    ThrowWriteError(path, renameError.message());
  }
}

}  // namespace kivex::io
