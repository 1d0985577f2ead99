// SPDX-License-Identifier: GPL-3.0-or-later
// kbctl as a hostile user drives it: writers at once, the program's lock, damaged stores, links,
// FIFOs, device nodes and huge files. Nothing may be lost, nothing may block.

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "common/sanitizer_build.h"
#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "macro/macro_file.h"
#include "macro/macro_store.h"
#include "names/name_rules.h"
#include "profile/app_links.h"
#include "profile/profile_exchange.h"
#include "profile/profile_store.h"
#include "profile/store_lock.h"
#include "tools/kbctl_fixture.h"

namespace kb {
namespace {

namespace fs = std::filesystem;
using test::Kbctl;
using test::LineCount;
using test::RunResult;
using testing::FileBytes;
using testing::MakeMacro;
using testing::WriteBytes;

class KbctlStores : public Kbctl {
 protected:
  // Starts every command at once and waits for all; returns their exit codes.
  std::vector<int> RunTogether(const std::vector<std::vector<std::string>>& commands) {
    std::vector<pid_t> pids;
    for (std::vector<std::string> args : commands) {
      args.insert(args.begin(), {KBCTL_PATH, "--app-dir", app_.path().string()});
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      pid_t pid = 0;
      EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
      posix_spawn_file_actions_destroy(&actions);
      pids.push_back(pid);
    }
    std::vector<int> codes;
    for (pid_t pid : pids) {
      int status = 0;
      waitpid(pid, &status, 0);
      codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return codes;
  }

  fs::path MacroFile(const std::string& name, int actions = 2) {
    const fs::path path = io_ / name;
    EXPECT_TRUE(ExportMacroFile(path, *MakeMacro(u"x", actions)).ok());
    return path;
  }

  // Every file under Data/ with its bytes (links as their target's name).
  std::map<std::string, std::vector<std::uint8_t>> DataFiles() const {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(app_.path() / "Data")) {
      const std::string name = fs::relative(entry.path(), app_.path()).string();
      if (entry.is_symlink()) {
        const std::string target = fs::read_symlink(entry.path()).string();
        files[name] = {target.begin(), target.end()};
      } else if (entry.is_regular_file()) {
        files[name] = FileBytes(entry.path());
      }
    }
    return files;
  }

  MacroList StoredMacros() const {
    MacroList list;
    (void)ParseMacroStore(FileBytes(Macros()), list);
    return list;
  }
};

TEST_F(KbctlStores, WritersStartedTogetherLoseNothing) {
  ASSERT_EQ(Kb({"profiles"}).exit_code, 0);
  // A profile whose first key runs the file's only macro.
  StoreHeader header;
  ProfileList profiles;
  (void)ParseProfileStore(FileBytes(Store()), header, profiles);
  KeyEntry& key = profiles[0]->banks[0].keys[0];
  key.kind = static_cast<std::uint8_t>(AssignmentKind::MacroBinding);
  key.macro_index = 0;
  MacroList own;
  own.push_back(MakeMacro(u"bound", 7));
  ASSERT_TRUE(
      ExportProfileFile(io_ / "bound.kpo", MakeModelTag(u"KB_3"), *profiles[0], own, Model::KB_3)
          .ok());

  std::vector<std::vector<std::string>> commands;
  for (int i = 0; i < 10; ++i) {
    std::string name = std::to_string(i);
    name.append(".mco");  // not "m" + text: GCC 12 at -O3 sees a false overlap (-Wrestrict)
    commands.push_back({"import-macro", MacroFile(name).string()});
  }
  commands.push_back({"import-profile", (io_ / "bound.kpo").string()});
  for (int code : RunTogether(commands)) EXPECT_EQ(code, 0);

  const MacroList macros = StoredMacros();
  EXPECT_EQ(macros.size(), 11u);
  (void)ParseProfileStore(FileBytes(Store()), header, profiles);
  ASSERT_EQ(profiles.size(), 2u);
  const KeyEntry& imported = profiles[1]->banks[0].keys[0];
  ASSERT_GE(imported.macro_index, 0);
  ASSERT_LT(static_cast<std::size_t>(imported.macro_index), macros.size());
  EXPECT_EQ(macros[imported.macro_index]->action_count, 7) << "the key runs its own macro";
}

// A reader that finds the KB_3 store missing creates it, and an import may be saving it at the
// same moment: the creation waits for the import and never replaces the store it saved.
TEST_F(KbctlStores, AReaderCreatingTheMissingStoreLosesNoConcurrentImport) {
  ProfileList own;
  NewDefaultProfile(u"Mine", Model::KB_3, own);
  ASSERT_TRUE(
      ExportProfileFile(io_ / "mine.kpo", MakeModelTag(u"KB_3"), *own[0], {}, Model::KB_3).ok());
  const std::vector<std::string> import = {"import-profile", (io_ / "mine.kpo").string()};
  const std::vector<std::string> read = {"profiles"};
  int lost = 0;
  for (int round = 0; round < 300; ++round) {
    std::error_code ec;
    fs::remove(Store(), ec);
    // Either starts first.
    const bool import_first = round % 2 == 0;
    const std::vector<int> codes =
        RunTogether(import_first ? std::vector{import, read} : std::vector{read, import});
    ASSERT_EQ(codes, (std::vector<int>{0, 0})) << "round " << round;
    StoreHeader header;
    ProfileList profiles;
    (void)ParseProfileStore(FileBytes(Store()), header, profiles);
    if (profiles.size() != 2u) ++lost;
  }
  EXPECT_EQ(lost, 0) << "imports said they imported, and their profile was gone";
}

// The creation of the missing store waits for a writer that holds the lock: once it is done,
// the reader finds the writer's store and lists it.
TEST_F(KbctlStores, AReaderCreatesTheMissingStoreOnlyUnderTheWritersLock) {
  StoreLock writer;
  ASSERT_TRUE(StoreLock::LockForWriting({Store(), Macros()}, &writer).ok());
  std::string args[] = {KBCTL_PATH, "--app-dir", app_.path().string(), "profiles"};
  char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), nullptr};
  const std::string out = (io_ / "reader.out").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  // Long enough for a reader that does not wait to have made its store many times over.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(fs::exists(Store())) << "created while a writer held the lock";
  ProfileList theirs;
  NewDefaultProfile(u"First", Model::KB_3, theirs);
  NewDefaultProfile(u"Second", Model::KB_3, theirs);
  ASSERT_TRUE(SaveProfileStore(Store(), StoreHeader{}, theirs).ok());
  writer = StoreLock();
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(test::ReadText(io_ / "reader.out"), "0\tFirst\t*\n1\tSecond\n");
}

TEST_F(KbctlStores, WritersAreRefusedWhileTheProgramHoldsTheStores) {
  ASSERT_EQ(Kb({"import-macro", MacroFile("a.mco").string()}).exit_code, 0);
  const auto before = DataFiles();
  StoreLock program;
  ASSERT_TRUE(StoreLock::HoldForProgram({Store(), Macros()}, &program).ok());

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"import-macro", MacroFile("b.mco").string()},
        std::vector<std::string>{"import-profile", (io_ / "none.kpo").string()},
        std::vector<std::string>{"link", "0", "firefox"},
        std::vector<std::string>{"default", "0"}}) {
    const RunResult run = Kb(args);
    EXPECT_EQ(run.exit_code, 1) << args[0];
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_TRUE(run.err.starts_with("kbctl: kbconfig is running: ")) << run.err;
  }
  const RunResult read = Kb({"macros"});
  EXPECT_EQ(read.exit_code, 0) << read.err;
  EXPECT_EQ(LineCount(read.out), 1);
  EXPECT_EQ(DataFiles(), before);
}

TEST_F(KbctlStores, DamagedStoresSurviveReadingAndAreKeptAsideByTheFirstWrite) {
  fs::create_directories(Store().parent_path());
  // A header and a piece of a record; a macro and a piece of another.
  std::vector<std::uint8_t> profile_bytes(30000, 0x5A);
  WriteBytes(Store(), profile_bytes);
  auto macro_bytes = testing::ImageOf(*MakeMacro(u"kept"));
  macro_bytes.resize(macro_bytes.size() + 1000, 0x77);
  WriteBytes(Macros(), macro_bytes);
  const auto before = DataFiles();

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"profiles"}, std::vector<std::string>{"show"},
        std::vector<std::string>{"macros"}, std::vector<std::string>{"show-macro", "0"},
        std::vector<std::string>{"export-macro", "0", (io_ / "out.mco").string()},
        std::vector<std::string>{"export-profile", "0", (io_ / "out.kpo").string()}}) {
    const RunResult run = Kb(args);
    EXPECT_EQ(run.exit_code, 0) << args[0] << ": " << run.err;
    EXPECT_EQ(DataFiles(), before) << args[0] << " changed a store";
  }

  const RunResult run = Kb({"import-macro", MacroFile("new.mco").string()});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(LineCount(run.err), 1) << run.err;
  EXPECT_NE(run.err.find("macro.mcos.damaged-"), std::string::npos) << run.err;
  std::vector<fs::path> kept;
  for (const auto& entry : fs::directory_iterator(Macros().parent_path()))
    if (entry.path().filename().string().starts_with("macro.mcos.damaged-"))
      kept.push_back(entry.path());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(FileBytes(kept[0]), macro_bytes);
  EXPECT_EQ(StoredMacros().size(), 2u);
  EXPECT_EQ(FileBytes(Store()), profile_bytes) << "the profile store was not written";
}

TEST_F(KbctlStores, ALinkedStoreStaysALinkAndKilledSavesLeaveNoLitter) {
  const fs::path elsewhere = io_ / "elsewhere";
  fs::create_directories(elsewhere);
  fs::create_directories(Macros().parent_path());
  fs::create_symlink(elsewhere / "macro.mcos", Macros());
  // What a save killed before its rename leaves, from before this run.
  const fs::path litter = elsewhere / ".macro.mcos.Ab12Cd";
  WriteBytes(litter, {1, 2, 3});
  fs::last_write_time(litter, fs::file_time_type::clock::now() - std::chrono::hours(1));

  ASSERT_EQ(Kb({"import-macro", MacroFile("a.mco").string()}).exit_code, 0);
  ASSERT_EQ(Kb({"import-macro", MacroFile("b.mco").string()}).exit_code, 0);
  EXPECT_TRUE(fs::is_symlink(Macros()));
  EXPECT_EQ(fs::file_size(elsewhere / "macro.mcos"), 2 * sizeof(MacroRecord));
  EXPECT_FALSE(fs::exists(litter));
}

TEST_F(KbctlStores, LinkWritesKilledAtAnyMomentLeaveAWholeLinksFile) {
  ASSERT_EQ(Kb({"profiles"}).exit_code, 0);
  const fs::path links = AppLinksPathOf(Store());
  std::string app_dir = app_.path().string();
  for (int round = 0; round < 40; ++round) {
    std::string app = "app" + std::to_string(round);
    std::string kbctl = KBCTL_PATH, dir_option = "--app-dir", command = "link", profile = "0";
    char* argv[] = {kbctl.data(),   dir_option.data(), app_dir.data(), command.data(),
                    profile.data(), app.data(),        nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ), 0);
    // From before the start to after the end of a save, in steps of 150 µs.
    std::this_thread::sleep_for(std::chrono::microseconds(150 * round));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!fs::exists(links)) continue;
    const AppLinksLoad load = LoadAppLinks(links);
    ASSERT_TRUE(load.problem.ok()) << "round " << round << ": " << load.problem.reason();
    for (const AppLink& link : load.links.links()) EXPECT_TRUE(link.app.starts_with("app"));
  }
  // A later write finds the file whole and keeps every link that was saved.
  const std::size_t saved = LoadAppLinks(links).links.links().size();
  ASSERT_EQ(Kb({"link", "0", "last"}).exit_code, 0);
  const AppLinksLoad after = LoadAppLinks(links);
  EXPECT_TRUE(after.problem.ok());
  EXPECT_EQ(after.links.links().size(), saved + 1);
}

TEST_F(KbctlStores, ExportsNeverReplaceAStoreOrSomethingThatIsNotAFile) {
  ASSERT_EQ(Kb({"import-macro", MacroFile("a.mco").string()}).exit_code, 0);
  ASSERT_EQ(Kb({"profiles"}).exit_code, 0);
  ASSERT_EQ(mkfifo((io_ / "fifo").c_str(), 0644), 0);
  fs::create_symlink(Macros(), io_ / "link_to_store.mco");
  fs::create_symlink(Store(), io_ / "link_to_profiles.kpo");
  const auto before = DataFiles();
  struct Case {
    const char* what;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"the macro store", {"export-macro", "0", Macros().string()}},
      {"the profile store", {"export-profile", "0", Store().string()}},
      {"a link to the store", {"export-macro", "0", (io_ / "link_to_store.mco").string()}},
      {"a link to the other store",
       {"export-profile", "0", (io_ / "link_to_profiles.kpo").string()}},
      {"a FIFO", {"export-macro", "0", (io_ / "fifo").string()}},
      {"a device node", {"export-macro", "0", "/dev/null"}},
  };
  for (const Case& c : cases) {
    const RunResult run = Kb(c.args);
    EXPECT_EQ(run.exit_code, 1) << c.what;
    EXPECT_EQ(LineCount(run.err), 1) << c.what << ": " << run.err;
  }
  EXPECT_EQ(DataFiles(), before);
  EXPECT_TRUE(fs::is_fifo(io_ / "fifo"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  // A link to an ordinary file is written through and stays a link; a name of 255 bytes works.
  fs::create_symlink(io_ / "target.mco", io_ / "link.mco");
  EXPECT_EQ(Kb({"export-macro", "0", (io_ / "link.mco").string()}).exit_code, 0);
  EXPECT_TRUE(fs::is_symlink(io_ / "link.mco"));
  EXPECT_EQ(fs::file_size(io_ / "target.mco"), sizeof(MacroRecord));
  const fs::path long_name = io_ / (std::string(251, 'n') + ".mco");
  const RunResult run = Kb({"export-macro", "0", long_name.string()});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(fs::file_size(long_name), sizeof(MacroRecord));
}

// A store that does not exist yet has its place all the same: an export there would make a file
// that the next load reads as the user's store. Every name of such a place is refused, for
// either model, in the application directory's Data/ and in the user's data folder.
TEST_F(KbctlStores, ExportsRefuseThePlacesOfStoresNotMadeYet) {
  ASSERT_EQ(Kb({"profiles"}).exit_code, 0);  // only Data/kb/kb_3/data.pros exists
  const fs::path data = app_.path() / "Data/kb";
  const fs::path xdg = io_ / "xdg";
  fs::create_directories(xdg);
  ASSERT_EQ(setenv("XDG_DATA_HOME", xdg.c_str(), 1), 0);
  fs::create_symlink(data / "kb_4/data.pros", io_ / "dangling.kpo");
  fs::create_symlink(data / "kb_3", io_ / "folder_link");
  const fs::path cwd = fs::current_path();
  fs::current_path(app_.path());
  const auto before = DataFiles();
  const std::string targets[] = {
      "Data/kb/kb_3/macro.mcos",
      "./Data/kb/kb_4/../kb_4/data.pros",
      (data / "kb_4/data.pros").string(),
      (data / "kb_4/macro.mcos").string(),
      (io_ / "dangling.kpo").string(),
      (io_ / "folder_link/macro.mcos").string(),
      (xdg / "kbconfig/Data/kb/kb_3/data.pros").string(),
      (xdg / "kbconfig/Data/kb/kb_4/macro.mcos").string(),
  };
  for (const std::string& target : targets) {
    const RunResult run = Kb({"export-profile", "0", target});
    EXPECT_EQ(run.exit_code, 1) << target;
    EXPECT_EQ(LineCount(run.err), 1) << target << ": " << run.err;
    EXPECT_NE(run.err.find("it is a store of the program"), std::string::npos) << run.err;
  }
  const RunResult fine = Kb({"export-profile", "0", "mine.kpo"});
  fs::current_path(cwd);
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(fine.exit_code, 0) << fine.err;
  EXPECT_TRUE(fs::is_regular_file(app_.path() / "mine.kpo"));
  EXPECT_EQ(DataFiles(), before);
  EXPECT_FALSE(fs::exists(xdg / "kbconfig"));
  EXPECT_FALSE(fs::exists(io_ / "dangling.kpo"));
}

TEST_F(KbctlStores, ReadersRefuseWhatIsNotAFileOfTheirSizeAtOnceAndReadNoMoreThanARecord) {
  ASSERT_EQ(mkfifo((io_ / "fifo").c_str(), 0644), 0);
  {
    std::ofstream huge(io_ / "huge.mco", std::ios::binary);
    huge.seekp(200 << 20);
    huge.put('\0');
  }
  fs::create_directories(Store().parent_path());
  const struct {
    const char* what;
    std::vector<std::string> args;
  } cases[] = {
      {"device as macro file", {"import-macro", "/dev/zero"}},
      {"device as profile file", {"import-profile", "/dev/zero"}},
      {"FIFO as macro file", {"import-macro", (io_ / "fifo").string()}},
      {"FIFO as profile file", {"import-profile", (io_ / "fifo").string()}},
      {"huge profile file", {"import-profile", (io_ / "huge.mco").string()}},
  };
  for (const auto& c : cases) {
    const RunResult run = Kb(c.args);
    EXPECT_EQ(run.exit_code, 1) << c.what;
    EXPECT_EQ(LineCount(run.err), 1) << c.what << ": " << run.err;
  }
  // A huge macro file gives its first record, and nothing after it is read (the memory check
  // below).
  const RunResult huge = Kb({"import-macro", (io_ / "huge.mco").string()});
  EXPECT_EQ(huge.exit_code, 0) << huge.err;
  EXPECT_EQ(fs::file_size(Macros()), sizeof(MacroRecord));
  fs::remove(Macros());
  // A FIFO or a huge file in the place of a store is refused too, not waited on or read.
  ASSERT_EQ(mkfifo(Macros().c_str(), 0644), 0);
  EXPECT_EQ(Kb({"macros"}).exit_code, 1);
  fs::remove(Macros());
  fs::copy_file(io_ / "huge.mco", Macros());
  EXPECT_EQ(Kb({"macros"}).exit_code, 1);
  rusage usage{};
  ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
  if (!testing::kAddressSanitizer) {
    EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "KiB at most, of the largest kbctl run";
  }
}

TEST_F(KbctlStores, AnImportWhoseSecondSaveFailsSaysWhatWasSaved) {
  // The profile store lies in a folder that refuses new files, the macro store does not.
  const fs::path locked = io_ / "locked";
  fs::create_directories(locked);
  fs::create_directories(Store().parent_path());
  ASSERT_EQ(Kb({"--app-dir", io_.path().string(), "profiles"}, false).exit_code, 0);
  fs::copy_file(io_ / "Data/kb/kb_3/data.pros", locked / "data.pros");
  fs::create_symlink(locked / "data.pros", Store());
  MacroList own;
  own.push_back(MakeMacro(u"bound", 3));
  StoreHeader header;
  ProfileList profiles;
  (void)ParseProfileStore(FileBytes(locked / "data.pros"), header, profiles);
  profiles[0]->banks[0].keys[0].kind = static_cast<std::uint8_t>(AssignmentKind::MacroBinding);
  profiles[0]->banks[0].keys[0].macro_index = 0;
  ASSERT_TRUE(
      ExportProfileFile(io_ / "p.kpo", MakeModelTag(u"KB_3"), *profiles[0], own, Model::KB_3).ok());
  testing::UnwritableFolder unwritable(locked);
  ASSERT_TRUE(unwritable.active()) << "cannot make a folder unwritable: run as an ordinary user";
  const auto before = FileBytes(locked / "data.pros");
  const RunResult run = Kb({"import-profile", (io_ / "p.kpo").string()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(LineCount(run.err), 1) << run.err;
  EXPECT_NE(run.err.find("cannot save the profile store"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("the macro store was saved and now holds 1 macros"), std::string::npos)
      << run.err;
  EXPECT_EQ(FileBytes(locked / "data.pros"), before);
  EXPECT_EQ(StoredMacros().size(), 1u);
}

// The limits are the program's and kbctl's alike: an import that would take a store past 1000
// profiles or 1000 macros is refused whole, and the stores stay as they were.
TEST_F(KbctlStores, ImportsStopAtTheStoresLimitsAndAddNothingOfARefusedFile) {
  {
    StoreLock lock;  // makes the lock files, so that only the stores are compared below
    ASSERT_TRUE(StoreLock::LockForWriting({Store(), Macros()}, &lock).ok());
  }
  ProfileList profiles;
  for (int i = 0; i < 1000; ++i) NewDefaultProfile(u"P", Model::KB_3, profiles);
  ASSERT_TRUE(SaveProfileStore(Store(), StoreHeader{}, profiles).ok());
  MacroList macros;
  for (int i = 0; i < 999; ++i) macros.push_back(MakeMacro(u"m"));
  ASSERT_TRUE(SaveMacroStore(Macros(), macros).ok());
  // A profile whose two keys run the file's two macros.
  ProfileRecord& record = *profiles[0];
  MacroList own;
  for (int key : {1, 2}) {
    record.banks[0].keys[key].kind = static_cast<std::uint8_t>(AssignmentKind::MacroBinding);
    record.banks[0].keys[key].macro_index = static_cast<std::int32_t>(own.size());
    own.push_back(MakeMacro(u"own"));
  }
  ASSERT_TRUE(
      ExportProfileFile(io_ / "two.kpo", MakeModelTag(u"KB_3"), record, own, Model::KB_3).ok());
  ProfileList one;
  NewDefaultProfile(u"P", Model::KB_3, one);
  ASSERT_TRUE(SaveProfileStore(io_ / "one.pros", StoreHeader{}, one).ok());

  for (const bool full_profiles : {true, false}) {
    if (!full_profiles)
      fs::copy_file(io_ / "one.pros", Store(), fs::copy_options::overwrite_existing);
    const auto before = DataFiles();
    const RunResult run = Kb({"import-profile", (io_ / "two.kpo").string()});
    EXPECT_EQ(run.exit_code, 1) << full_profiles;
    EXPECT_NE(run.err.find("limit of 1000 profiles and 1000 macros"), std::string::npos) << run.err;
    EXPECT_EQ(DataFiles(), before) << "nothing of a refused file is kept";
  }
  ASSERT_EQ(Kb({"import-macro", MacroFile("last.mco").string()}).exit_code, 0);
  const auto before = DataFiles();
  const RunResult run = Kb({"import-macro", MacroFile("more.mco").string()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("at most 1000"), std::string::npos) << run.err;
  EXPECT_EQ(DataFiles(), before);
}

TEST_F(KbctlStores, ListingsKeepOneLinePerRecord) {
  auto macro = MakeMacro(u"x");
  ASSERT_TRUE(ExportMacroFile(io_ / "a.mco", *macro).ok());
  ASSERT_EQ(Kb({"import-macro", (io_ / "a.mco").string()}).exit_code, 0);
  MacroList list = StoredMacros();
  StoreFieldText(list[0]->name, u"two\nlines\tand\\tab");
  ASSERT_TRUE(SaveMacroStore(Macros(), list).ok());
  const RunResult run = Kb({"macros"});
  EXPECT_EQ(run.out, "0\ttwo\\nlines\\tand\\\\tab\t2 actions\tloop 1\n");
}

}  // namespace
}  // namespace kb
