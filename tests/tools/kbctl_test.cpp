// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built kbctl on temporary application directories, as a user would.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "macro/macro_file.h"
#include "macro/macro_store.h"
#include "names/name_rules.h"
#include "profile/profile_exchange.h"
#include "profile/profile_store.h"
#include "tools/kbctl_fixture.h"

namespace kb {
namespace {

using test::Kbctl;
using test::kMacro;
using test::kRecord;
using test::kStoreHeader;
using test::LineCount;
using test::RunResult;
using testing::FileBytes;
using testing::ImageOf;
using testing::MakeMacro;
using testing::TempDir;
using testing::WriteBytes;

TEST_F(Kbctl, ProfilesOnAnEmptyDirectoryCreatesTheDefaultStore) {
  TempDir empty;
  RunResult run = Kb({"--app-dir", empty.path().string(), "profiles"}, false);
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "0\tProfile_1\t*\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(std::filesystem::file_size(empty.path() / "Data/kb/kb_3/data.pros"), 48628u);
}

TEST_F(Kbctl, FirstProfileIsNamedFromTheLanguageFile) {
  RunResult run = Kb({"profiles"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "0\tProfil_1\t*\n");
  StoreHeader header;
  ProfileList list;
  (void)ParseProfileStore(FileBytes(Store()), header, list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(NameOf(*list[0]), u"Profil_1");
}

// Links name profiles by number, as the other commands do; the first turns switching on.
TEST_F(Kbctl, ApplicationLinksAreMadeListedAndEnded) {
  ASSERT_EQ(Kb({"profiles"}).exit_code, 0);
  const std::filesystem::path kpo = app_.path() / "Game.kpo";
  ASSERT_EQ(Kb({"export-profile", "0", kpo.string()}).exit_code, 0);
  ASSERT_EQ(Kb({"import-profile", kpo.string()}).exit_code, 0);
  EXPECT_EQ(Kb({"links"}).out, "switching\toff\ndefault\t0\tProfil_1\n");

  EXPECT_EQ(Kb({"link", "1", "steam_app_570"}).out,
            "linked \"steam_app_570\" (profile 1 \"Game\")\n");
  EXPECT_EQ(Kb({"link", "0", "org.kde.krita"}).exit_code, 0);
  EXPECT_EQ(Kb({"default", "1"}).exit_code, 0);
  EXPECT_EQ(Kb({"links"}).out,
            "switching\ton\ndefault\t1\tGame\nlink\t1\tGame\tsteam_app_570\n"
            "link\t0\tProfil_1\torg.kde.krita\n");
  EXPECT_EQ(Kb({"unlink", "1", "steam_app_570"}).exit_code, 0);
  EXPECT_EQ(Kb({"unlink", "1", "steam_app_570"}).exit_code, 1);
  EXPECT_EQ(Kb({"link", "2", "firefox"}).exit_code, 1) << "there is no profile 2";
  EXPECT_EQ(Kb({"link", "0", ""}).exit_code, 1);
  EXPECT_EQ(Kb({"link", "0"}).exit_code, 2);
  EXPECT_EQ(kb::test::ReadText(app_.path() / "Data/kb/kb_3/apps.links"),
            "kbconfig-app-links\t1\nautomatic\t1\ndefault\t1\nlink\t0\torg.kde.krita\n");
}

TEST_F(Kbctl, Kb4WithoutAStoreListsNothingAndWritesNothing) {
  RunResult run = Kb({"--model", "kb_4", "profiles"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(std::filesystem::exists(app_.path() / "Data/kb/kb_4/data.pros"));
}

TEST_F(Kbctl, ShowPrintsTheProfileWithOnlyChangedKeys) {
  StoreHeader header{};
  ProfileList list;
  NewDefaultProfile(u"Plain", Model::KB_3, list);
  ProfileRecord& changed = NewDefaultProfile(u"Changed", Model::KB_3, list);
  changed.active_bank = 1;
  KeyEntry& key = changed.banks[1].keys[9];
  key.kind = KindByte(AssignmentKind::SingleKey);
  WriteKeyCode(key.code, 0x04);
  header.selected_index = 1;
  ASSERT_TRUE(SaveProfileStore(Store(), header, list).ok());

  RunResult run = Kb({"show"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("\"name\": \"Changed\""), std::string::npos);
  EXPECT_NE(run.out.find("\"selected\": true"), std::string::npos);
  EXPECT_NE(run.out.find("\"active_bank\": 1"), std::string::npos);
  EXPECT_NE(run.out.find("\"format_tag\": 6"), std::string::npos);
  EXPECT_NE(run.out.find("\"index\": 9,"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"kind\": 121"), std::string::npos);
  EXPECT_NE(run.out.find("\"kind_name\": \"SingleKey\""), std::string::npos);
  EXPECT_NE(run.out.find("\"key_name\": \"key_A\""), std::string::npos);
  EXPECT_EQ(run.out.find("\"kind\": 120"), std::string::npos) << "default keys are left out";

  RunResult plain = Kb({"show", "0"});
  ASSERT_EQ(plain.exit_code, 0) << plain.err;
  EXPECT_NE(plain.out.find("\"name\": \"Plain\""), std::string::npos);
  EXPECT_NE(plain.out.find("\"selected\": false"), std::string::npos);
  EXPECT_NE(plain.out.find("\"keys\": []"), std::string::npos);
  EXPECT_NE(plain.out.find("\"color\": \"#FF0000\""), std::string::npos);
}

TEST_F(Kbctl, MacroImportListShowAndExport) {
  auto macro = MakeMacro(u"inside", 2, 4);
  ASSERT_TRUE(ExportMacroFile(io_ / "Burst.mco", *macro).ok());

  RunResult imported = Kb({"import-macro", (io_ / "Burst.mco").string()});
  ASSERT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_EQ(imported.out, "imported macro 0 \"Burst\"\n");
  RunResult again = Kb({"import-macro", (io_ / "Burst.mco").string()});
  ASSERT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(again.out, "imported macro 1 \"Burst_1\"\n");
  EXPECT_EQ(std::filesystem::file_size(Macros()), 2 * kMacro);

  RunResult listed = Kb({"macros"});
  ASSERT_EQ(listed.exit_code, 0) << listed.err;
  EXPECT_EQ(listed.out, "0\tBurst\t2 actions\tloop 4\n1\tBurst_1\t2 actions\tloop 4\n");

  RunResult shown = Kb({"show-macro", "1"});
  ASSERT_EQ(shown.exit_code, 0) << shown.err;
  EXPECT_NE(shown.out.find("\"name\": \"Burst_1\""), std::string::npos);
  EXPECT_NE(shown.out.find("\"loop_time\": 4"), std::string::npos);
  EXPECT_NE(shown.out.find("\"kind\": \"press\""), std::string::npos);
  EXPECT_NE(shown.out.find("\"text\": \"A\""), std::string::npos);
  EXPECT_NE(shown.out.find("\"kind\": \"release\""), std::string::npos);

  RunResult exported = Kb({"export-macro", "1", (io_ / "out.mco").string()});
  ASSERT_EQ(exported.exit_code, 0) << exported.err;
  const auto bytes = FileBytes(io_ / "out.mco");
  ASSERT_EQ(bytes.size(), kMacro);
  const auto image = ImageOf(*macro);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 100, bytes.end()),
            std::vector<std::uint8_t>(image.begin() + 100, image.end()));
}

TEST_F(Kbctl, ProfileExportAndImportSelectTheNewProfile) {
  ASSERT_EQ(Kb({"profiles"}).exit_code, 0);
  RunResult exported = Kb({"export-profile", "0", (io_ / "Game.kpo").string()});
  ASSERT_EQ(exported.exit_code, 0) << exported.err;
  EXPECT_EQ(std::filesystem::file_size(io_ / "Game.kpo"), 48784u);

  RunResult imported = Kb({"import-profile", (io_ / "Game.kpo").string()});
  ASSERT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_EQ(imported.out, "imported profile 1 \"Game\" with 0 macros\n");
  RunResult listed = Kb({"profiles"});
  EXPECT_EQ(listed.out, "0\tProfil_1\n1\tGame\t*\n");
  EXPECT_EQ(std::filesystem::file_size(Store()), kStoreHeader + 2 * kRecord);
  EXPECT_FALSE(std::filesystem::exists(Macros()))
      << "no macros came, so the macro store is not written";
}

TEST_F(Kbctl, ProfileImportBringsItsMacros) {
  ProfileList profiles;
  ProfileRecord& source = NewDefaultProfile(u"x", Model::KB_3, profiles);
  MacroList source_macros;
  source_macros.push_back(MakeMacro(u"Burst", 3));
  KeyEntry& key = source.banks[0].keys[14];
  key.kind = KindByte(AssignmentKind::MacroBinding);
  WriteKeyCode(key.code, kMacroCode);
  key.macro_index = 0;
  ASSERT_TRUE(ExportProfileFile(io_ / "Fight.kpo", MakeModelTag(u"KB_3"), source, source_macros,
                                Model::KB_3)
                  .ok());

  RunResult imported = Kb({"import-profile", (io_ / "Fight.kpo").string()});
  ASSERT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_EQ(imported.out, "imported profile 1 \"Fight\" with 1 macros: \"Burst\"\n");
  EXPECT_EQ(Kb({"macros"}).out, "0\tBurst\t3 actions\tloop 1\n");
  RunResult shown = Kb({"show", "1"});
  EXPECT_NE(shown.out.find("\"kind_name\": \"MacroBinding\""), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("\"name\": \"Burst\""), std::string::npos);
}

TEST_F(Kbctl, OtherModelsProfileIsRefusedAndNothingIsWritten) {
  ASSERT_EQ(Kb({"profiles"}).exit_code, 0);
  ASSERT_EQ(Kb({"export-profile", "0", (io_ / "P.kpo").string()}).exit_code, 0);
  RunResult refused = Kb({"--model", "kb_4", "import-profile", (io_ / "P.kpo").string()});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(LineCount(refused.err), 1) << refused.err;
  EXPECT_NE(refused.err.find("another keyboard model, \"KB_3\""), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(app_.path() / "Data/kb/kb_4/data.pros"));
}

// Noise of a profile file's size: the tool says it is no profile file, and prints none of it.
TEST_F(Kbctl, RandomBytesAreNoProfileFile) {
  ASSERT_EQ(Kb({"profiles"}).exit_code, 0);
  std::vector<std::uint8_t> noise(std::size_t{200} + kRecord);
  std::uint32_t state = 12345;
  for (std::uint8_t& byte : noise) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(state >> 16);
  }
  WriteBytes(io_ / "Noise.kpo", noise);
  const auto before = FileBytes(Store());
  RunResult refused = Kb({"import-profile", (io_ / "Noise.kpo").string()});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "kbctl: cannot import: " + (io_ / "Noise.kpo").string() +
                             ": it is not a profile file\n");
  EXPECT_EQ(FileBytes(Store()), before);
}

// A file whose bound keys come without macros (another exporter's way with keys bound to no
// macro): the profile comes, those keys at their factory assignment, and the tool says so.
TEST_F(Kbctl, ProfileWithoutItsMacrosImportsWithThoseKeysAtTheirDefault) {
  ProfileList profiles;
  ProfileRecord& source = NewDefaultProfile(u"x", Model::KB_3, profiles);
  KeyEntry& key = source.banks[0].keys[14];
  key.kind = KindByte(AssignmentKind::MacroBinding);
  WriteKeyCode(key.code, kMacroCode);
  key.macro_index = 3;
  std::vector<std::uint8_t> bytes = ImageOf(MakeModelTag(u"KB_3"));
  const auto record = ImageOf(source);
  bytes.insert(bytes.end(), record.begin(), record.end());
  WriteBytes(io_ / "Old.kpo", bytes);

  RunResult imported = Kb({"import-profile", (io_ / "Old.kpo").string()});
  ASSERT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_EQ(imported.out,
            "imported profile 1 \"Old\" with 0 macros; 1 keys bound to a macro the file does "
            "not hold got their factory assignment\n");
  RunResult shown = Kb({"show", "1"});
  EXPECT_EQ(shown.out.find("MacroBinding"), std::string::npos) << shown.out;
}

TEST_F(Kbctl, UnreadableMacroStoreIsNotOverwritten) {
  std::filesystem::create_directories(Macros());  // a folder where the file should be
  auto macro = MakeMacro(u"m");
  ASSERT_TRUE(ExportMacroFile(io_ / "M.mco", *macro).ok());
  RunResult run = Kb({"import-macro", (io_ / "M.mco").string()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(LineCount(run.err), 1) << run.err;
  EXPECT_TRUE(std::filesystem::is_directory(Macros()));
}

TEST_F(Kbctl, HelpDescribesEveryCommand) {
  RunResult run = Kb({"--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err, "");
  for (const char* word :
       {"profiles", "show [N]", "macros", "show-macro N", "export-profile N FILE.kpo",
        "import-profile FILE.kpo", "export-macro N FILE.mco", "import-macro FILE.mco", "where",
        "--app-dir", "--model", "--version"})
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
}

struct BadCase {
  const char* what;
  std::vector<std::string> args;
  int exit_code;
};

class KbctlBadInput : public Kbctl, public ::testing::WithParamInterface<BadCase> {};

TEST_P(KbctlBadInput, GivesOneLineOnStderrAndFails) {
  // Files the cases refer to.
  WriteBytes(io_ / "short.mco", std::vector<std::uint8_t>(kMacro - 1, 0));
  WriteBytes(io_ / "empty.mco", std::vector<std::uint8_t>());
  WriteBytes(io_ / "short.kpo", std::vector<std::uint8_t>(300, 0));
  std::vector<std::string> args;
  for (const std::string& arg : GetParam().args) {
    args.push_back(arg.starts_with("@") ? (io_ / arg.substr(1)).string() : arg);
  }
  RunResult run = Kb(args);
  EXPECT_EQ(run.exit_code, GetParam().exit_code) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(LineCount(run.err), 1) << run.err;
  EXPECT_TRUE(run.err.starts_with("kbctl: ")) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KbctlBadInput,
    ::testing::Values(
        BadCase{"no_command", {}, 2}, BadCase{"unknown_command", {"frobnicate"}, 2},
        BadCase{"unknown_option", {"--colour", "profiles"}, 2},
        BadCase{"unknown_model", {"--model", "kb_5", "profiles"}, 2},
        BadCase{"model_without_value", {"profiles", "--model"}, 2},
        BadCase{"too_many_arguments", {"profiles", "extra"}, 2},
        BadCase{"missing_argument", {"export-profile", "0"}, 2},
        BadCase{"index_not_a_number", {"show", "first"}, 2},
        BadCase{"negative_index", {"show", "-1"}, 2},
        BadCase{"index_past_the_end", {"show", "3"}, 1},
        BadCase{"no_such_macro", {"show-macro", "0"}, 1},
        BadCase{"macro_file_missing", {"import-macro", "@none.mco"}, 1},
        BadCase{"macro_file_too_short", {"import-macro", "@short.mco"}, 1},
        BadCase{"macro_file_empty", {"import-macro", "@empty.mco"}, 1},
        BadCase{"profile_file_missing", {"import-profile", "@none.kpo"}, 1},
        BadCase{"profile_file_short", {"import-profile", "@short.kpo"}, 1},
        BadCase{"export_into_missing_folder", {"export-profile", "0", "@short.kpo/x.kpo"}, 1}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Kbctl, MissingAppDirIsAnError) {
  RunResult run = Kb({"--app-dir", (io_ / "nowhere").string(), "profiles"}, false);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(LineCount(run.err), 1) << run.err;
}

TEST_F(Kbctl, BrokenLanguageFileIsAnError) {
  WriteBytes(app_.path() / "res" / "text.xml", Text("<Language><Bogus/></Language>"));
  RunResult run = Kb({"profiles"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(LineCount(run.err), 1) << run.err;
  EXPECT_FALSE(std::filesystem::exists(Store()));
}

TEST_F(Kbctl, RefusedMacroFileLeavesTheStoreAlone) {
  auto macro = MakeMacro(u"m");
  ASSERT_TRUE(ExportMacroFile(io_ / "M.mco", *macro).ok());
  ASSERT_EQ(Kb({"import-macro", (io_ / "M.mco").string()}).exit_code, 0);
  const auto before = FileBytes(Macros());
  WriteBytes(io_ / "bad.mco", std::vector<std::uint8_t>(kMacro - 1, 0));
  RunResult run = Kb({"import-macro", (io_ / "bad.mco").string()});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("36107"), std::string::npos) << run.err;
  EXPECT_EQ(FileBytes(Macros()), before);
}

// Without --app-dir the tool works on the folder it lies in, as the program does.
TEST_F(Kbctl, DefaultAppDirIsTheToolsOwnFolder) {
  TempDir installed;
  std::filesystem::copy_file(KBCTL_PATH, installed.path() / "kbctl");
  std::filesystem::permissions(installed.path() / "kbctl", std::filesystem::perms::owner_all);
  std::filesystem::create_directories(installed.path() / "res");
  std::filesystem::copy_file(app_.path() / "res" / "text.xml",
                             installed.path() / "res" / "text.xml");

  RunResult run = Spawn((installed.path() / "kbctl").string(), {"profiles"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "0\tProfil_1\t*\n");
  EXPECT_EQ(std::filesystem::file_size(installed.path() / "Data/kb/kb_3/data.pros"), 48628u);
}

TEST_F(Kbctl, WhereNamesTheFoldersAndStoresOfAPortableDirectoryAndCreatesNothing) {
  RunResult run = Kb({"where"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  const std::string app = (app_.path() / "").string();
  EXPECT_EQ(run.out,
            "layout\tportable\n"
            "programs\t" +
                app +
                "\n"
                "skin\t" +
                app +
                "res/\n"
                "data\t" +
                app +
                "\n"
                "kb_3 profiles\t" +
                app +
                "Data/kb/kb_3/data.pros\n"
                "kb_3 macros\t" +
                app +
                "Data/kb/kb_3/macro.mcos\n"
                "kb_4 profiles\t" +
                app +
                "Data/kb/kb_4/data.pros\n"
                "kb_4 macros\t" +
                app +
                "Data/kb/kb_4/macro.mcos\n"
                "udev rule\t-\n");
  EXPECT_FALSE(std::filesystem::exists(app_.path() / "Data"));
}

// A tree laid out as a package installs it: the tool in PREFIX/lib/kbconfig, its texts in
// PREFIX/share/kbconfig/res. It writes nothing under the prefix, also where it could (root).
TEST_F(Kbctl, InstalledToolKeepsTheStoresInTheUsersDataFolder) {
  TempDir prefix;
  TempDir home;
  const std::filesystem::path programs = prefix.path() / "lib/kbconfig";
  std::filesystem::create_directories(programs);
  std::filesystem::create_directories(prefix.path() / "share/kbconfig/res");
  std::filesystem::copy_file(KBCTL_PATH, programs / "kbctl");
  std::filesystem::permissions(programs / "kbctl", std::filesystem::perms::owner_all);
  std::filesystem::copy_file(app_.path() / "res" / "text.xml",
                             prefix.path() / "share/kbconfig/res/text.xml");
  const std::string xdg = (home.path() / "share").string();
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string kept = old ? old : "";
  ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);

  RunResult where = Spawn((programs / "kbctl").string(), {"where"});
  RunResult run = Spawn((programs / "kbctl").string(), {"profiles"});
  if (old)
    ::setenv("XDG_DATA_HOME", kept.c_str(), 1);
  else
    ::unsetenv("XDG_DATA_HOME");

  EXPECT_EQ(where.exit_code, 0) << where.err;
  EXPECT_NE(where.out.find("layout\tinstalled\n"), std::string::npos) << where.out;
  EXPECT_NE(where.out.find("skin\t" + (prefix.path() / "share/kbconfig/res/").string() + "\n"),
            std::string::npos)
      << where.out;
  EXPECT_NE(where.out.find("kb_3 profiles\t" + xdg + "/kbconfig/Data/kb/kb_3/data.pros\n"),
            std::string::npos)
      << where.out;
  EXPECT_NE(where.out.find("udev rule\t" +
                           (prefix.path() / "lib/udev/rules.d/70-kbconfig.rules").string() + "\n"),
            std::string::npos)
      << where.out;
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "0\tProfil_1\t*\n");  // the texts came from the share folder
  EXPECT_EQ(std::filesystem::file_size(xdg + "/kbconfig/Data/kb/kb_3/data.pros"), 48628u);
  EXPECT_FALSE(std::filesystem::exists(programs / "Data"));
}

TEST_F(Kbctl, VersionIsOneLine) {
  RunResult run = Kb({"--version"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_TRUE(run.out.starts_with("kbctl ")) << run.out;
  EXPECT_EQ(LineCount(run.out), 1);
}

}  // namespace
}  // namespace kb
