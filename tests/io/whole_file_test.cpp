// Writing a file whole or not at all, and replacing one as the user left it.

#include "io/whole_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "io/file_error.h"
#include "support/temp_dir.h"

namespace kivex::io {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

TEST(WholeFile, ReplacesAnEarlierFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.Write("out.csv", "old contents, much longer than the new ones\n");
  dir.Write("out.csv.tmp", "user data");  // not ours to overwrite
  WriteWholeFile(path, "new\r\n");
  EXPECT_EQ(TempDir::Read(path), "new\r\n");
  EXPECT_EQ(TempDir::Read(dir.File("out.csv.tmp")), "user data");
  // Nothing else is left in the folder: no temporary of our own.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);

  WriteWholeFile(path, "");
  EXPECT_EQ(TempDir::Read(path), "");
}

// The description of the FileError that writing raises, or "" when it writes.
std::string WriteError(const std::string& path, std::string_view content) {
  try {
    WriteWholeFile(path, content);
  } catch (const FileError& error) {
    return std::string(error.description());
  }
  return "";
}

TEST(WholeFile, AFailedWriteNamesTheFileAndLeavesTheEarlierOneWhole) {
  TempDir dir;
  const std::string path = dir.Write("keep.par", "the earlier report\r\n");
  // A file-size limit makes the write fail part way, as a full disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const std::string message = WriteError(path, std::string(100000, 'x'));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(message, "could not write \"" + path + "\": File too large");
  EXPECT_EQ(TempDir::Read(path), "the earlier report\r\n");

  // A folder in the way. (A missing folder: the parameter_report scenario.)
  fs::create_directory(dir.File("taken"));
  EXPECT_EQ(WriteError(dir.File("taken"), "x"),
            "could not write \"" + dir.File("taken") + "\": Is a directory");
  EXPECT_TRUE(fs::is_directory(dir.File("taken")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);  // no temporary
}

TEST(WholeFile, AReplacedFileKeepsItsPermissionsAndItsLinks) {
  TempDir dir;
  const std::string secret = dir.Write("secret.par", "old");
  fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
  WriteWholeFile(secret, "new");
  EXPECT_EQ(TempDir::Read(secret), "new");
  EXPECT_EQ(fs::status(secret).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  // A link, relative to its own folder, stays a link; the file it leads to is the one replaced.
  fs::create_directory(dir.File("data"));
  const std::string target = dir.Write("data/run.csv", "old");
  const std::string link = dir.File("latest.csv");
  fs::create_symlink("data/run.csv", link);
  WriteWholeFile(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(TempDir::Read(target), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("data")), {}), 1);  // no temporary
}

TEST(WholeFile, AReadOnlyFileIsRefusedAndKeptAndTheLongestNameIsWritten) {
  TempDir dir;
  const std::string path = dir.Write("final.csv", "measured");
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(WriteError(path, "new"), "could not write \"" + path + "\": the file is read-only");
  EXPECT_EQ(TempDir::Read(path), "measured");

  // A name as long as the system allows (255 bytes) is replaced all the same.
  const std::string longest = dir.Write(std::string(251, 'n') + ".csv", "old");
  WriteWholeFile(longest, "new");
  EXPECT_EQ(TempDir::Read(longest), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
}  // namespace kivex::io
