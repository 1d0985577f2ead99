#pragma once
// A new, empty folder per test for the stores it writes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace kb::test {

inline std::filesystem::path FreshFolder(const std::string& tag) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = tag + "_" + std::to_string(getpid());
  if (info) name += std::string("_") + info->test_suite_name() + "_" + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const auto dir = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace kb::test
