#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"

namespace kvt::platform::test {

// A fresh temporary folder per test with the path of a start-up file in it.
class StartFileTest : public ::testing::Test {
 protected:
  void put(const std::string& content) { kvt::test::WriteFile(file_, content); }
  std::string content() const { return kvt::test::ReadFile(file_); }
  std::vector<std::string> filesInDir() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  kvt::test::TempFolder folder_;
  std::filesystem::path dir_ = folder_.path;
  std::string file_ = (dir_ / "kvt_start.cfg").string();
};

}  // namespace kvt::platform::test
