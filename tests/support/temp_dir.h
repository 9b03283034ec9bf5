#pragma once
// A fresh directory for one test's files, removed with everything in it when the test ends.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace kivex::testing {

class TempDir {
 public:
  TempDir() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("kivex_" + std::string(test->test_suite_name()) + "_" + test->name() + "_" +
             std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(std::string_view name) const { return (path_ / name).string(); }

  // Writes `bytes` exactly as given and returns the file's path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return File(name);
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path path_;
};

}  // namespace kivex::testing
