// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the built kbctl on a temporary application directory, as a user would, and collects its
// exit status and output.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "macro/test_files.h"

extern char** environ;

namespace kb::test {

using testing::FileBytes;
using testing::ImageOf;
using testing::MakeMacro;
using testing::TempDir;
using testing::WriteBytes;

inline constexpr std::size_t kStoreHeader = 44;
inline constexpr std::size_t kRecord = 48584;
inline constexpr std::size_t kMacro = 36108;

struct RunResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline std::string ReadText(const std::filesystem::path& path) {
  const auto bytes = FileBytes(path);
  return {bytes.begin(), bytes.end()};
}

inline int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class Kbctl : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(app_.path() / "res");
    WriteBytes(app_.path() / "res" / "text.xml", Text("<Language>\n"
                                                      "  <Text key=\"kb_3_text\">KB_3</Text>\n"
                                                      "  <Text key=\"kb_4_text\">KB_4</Text>\n"
                                                      "  <Text key=\"kb_3_1_text\">Profil</Text>\n"
                                                      "  <Text key=\"key_A\">A</Text>\n"
                                                      "</Language>\n"));
  }

  static std::vector<std::uint8_t> Text(std::string_view text) {
    return {text.begin(), text.end()};
  }

  // Runs kbctl with `args`, after "--app-dir <the test's app dir>" unless told otherwise.
  RunResult Kb(std::vector<std::string> args, bool with_app_dir = true) {
    if (with_app_dir) args.insert(args.begin(), {"--app-dir", app_.path().string()});
    return Spawn(KBCTL_PATH, std::move(args));
  }

  // Runs `program` with `args`, its standard output and error into files of io_.
  RunResult Spawn(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    const std::string out = (io_ / "out").string();
    const std::string err = (io_ / "err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    RunResult run;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      ADD_FAILURE() << "cannot start " << program;
      return run;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadText(out);
    run.err = ReadText(err);
    return run;
  }

  std::filesystem::path Store() const { return app_.path() / "Data/kb/kb_3/data.pros"; }
  std::filesystem::path Macros() const { return app_.path() / "Data/kb/kb_3/macro.mcos"; }

  TempDir app_;
  TempDir io_;
};

}  // namespace kb::test
