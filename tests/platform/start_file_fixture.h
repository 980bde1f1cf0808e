#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kvt::platform::test {

// A fresh temporary directory per test with the path of a start-up file in it.
class StartFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvt-start-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    file_ = (dir_ / "kvt_start.cfg").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void put(const std::string& content) {
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << content;
  }
  std::string content() const {
    std::ifstream in(file_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> filesInDir() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  std::filesystem::path dir_;
  std::string file_;
};

}  // namespace kvt::platform::test
