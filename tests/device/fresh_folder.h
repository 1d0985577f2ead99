#pragma once
// A new, empty folder per test for the stores it writes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace kb::test {

inline std::filesystem::path FreshFolder(
    const std::string& tag,
    const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = tag + "_" + std::to_string(getpid());
  if (info) name += std::string("_") + info->test_suite_name() + "_" + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const auto dir = base / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// A memory-backed folder when the system has one: a test that saves hundreds of times then
// measures threads, not the disk's flushes.
inline std::filesystem::path MemoryBackedBase() {
  std::error_code ec;
  if (std::filesystem::is_directory("/dev/shm", ec)) return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

}  // namespace kb::test
