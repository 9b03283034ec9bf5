#include "io/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <system_error>

#include "io/file_error.h"

namespace kivex::io {

namespace {

[[noreturn]] void ThrowWriteError(const std::string& path, const std::string& reason) {
  throw FileError("could not write \"" + path + "\": " + reason);
}

std::string ErrnoText(int error) { return std::generic_category().message(error); }

// The file a write to `path` lands in: a symbolic link is followed to its final target (which
// may not exist yet), so that replacing the file leaves the link in place.
std::filesystem::path WrittenFile(const std::string& path) {
  constexpr int kMostLinks = 40;  // as the kernel allows before ELOOP
  std::filesystem::path file = path;
  for (int hop = 0; hop < kMostLinks; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, error))) return file;
    const std::filesystem::path target = std::filesystem::read_symlink(file, error);
    if (error) ThrowWriteError(path, error.message());
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  ThrowWriteError(path, ErrnoText(ELOOP));
}

// A short hidden name in the target's folder, created exclusively so that no file of anyone's is
// overwritten. Short, so that a target whose name is as long as the system allows still gets
// one; created with the mode a new file gets, so that the umask applies.
int CreateTemporary(const std::string& path, const std::filesystem::path& target,
                    std::string& temporary) {
  constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
  constexpr int kAttempts = 100;
  std::random_device seed;
  std::minstd_rand random(seed());
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  const std::filesystem::path folder = target.parent_path();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string name = ".kivex-";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    temporary = (folder / name).string();
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) ThrowWriteError(path, ErrnoText(errno));
  }
  ThrowWriteError(path, "too many temporary files are left beside it");
}

// Writes all of `content`; the error number of the first failure, 0 when none.
int WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

}  // namespace

void WriteWholeFile(const std::string& path, std::string_view content) {
  const std::filesystem::path target = WrittenFile(path);
  std::optional<mode_t> keptMode;
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) ThrowWriteError(path, ErrnoText(EISDIR));
    if (!S_ISREG(existing.st_mode)) ThrowWriteError(path, "it is not a regular file");
    // No write permission at all, or none for us: the user protected it. (The owner's bits are
    // asked too, since the superuser passes any access check.)
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        ::access(target.c_str(), W_OK) != 0) {
      ThrowWriteError(path, "the file is read-only");
    }
    keptMode = existing.st_mode & 07777;
  }
  std::string temporary;
  const int fd = CreateTemporary(path, target, temporary);
  int error = WriteAll(fd, content);
  if (error == 0 && keptMode && ::fchmod(fd, *keptMode) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    std::remove(temporary.c_str());
    ThrowWriteError(path, ErrnoText(error));
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    error = errno;
    std::remove(temporary.c_str());
    ThrowWriteError(path, ErrnoText(error));
  }
}

}  // namespace kivex::io
