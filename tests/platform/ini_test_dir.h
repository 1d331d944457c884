// A private folder for one test's configuration files, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace zervik::test {

class TTestDir {
 public:
  TTestDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zervik-ini-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a folder under /tmp";
    path_ = pattern;
  }
  ~TTestDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTestDir(const TTestDir&) = delete;  // owns the folder
  TTestDir& operator=(const TTestDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  static void Put(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
  }
  static std::optional<std::string> Get(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Names in the folder, to see that no temporary file was left behind.
  int EntryCount() const {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(path_),
                                          std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace zervik::test
