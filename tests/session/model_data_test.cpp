// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/model_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

#include "common/file_io.h"
#include "common/test_folders.h"
#include "device/device_test_profiles.h"

namespace kb {
namespace {

using test::BindMacro;

class ModelDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.emplace("kb_model_data");
    ASSERT_TRUE(folder->ok());
    dir = folder->path();
    data = std::make_unique<ModelData>(
        Model::KB_3, ModelPaths{dir / "Data/kb/kb_3/data.pros", dir / "Data/kb/kb_3/macro.mcos"});
    load = data->Load(u"Profile_1");
  }
  std::optional<testing::TempFolder> folder;
  std::filesystem::path dir;
  std::unique_ptr<ModelData> data;
  ModelDataLoad load;
};

TEST_F(ModelDataTest, FirstStartMakesTheDefaultStoreCurrent) {
  EXPECT_TRUE(load.profiles.created_default);
  EXPECT_EQ(std::filesystem::file_size(data->paths().profile_store), 48628u);
  auto edit = data->Lock();
  ASSERT_EQ(edit.profiles().size(), 1u);
  EXPECT_EQ(edit.current(), edit.profiles()[0].get());
  EXPECT_TRUE(edit.macros().empty());
  edit.Release();
  EXPECT_TRUE(data->full_apply_pending());
  EXPECT_EQ(std::memcmp(data->CopyOfLastApplied().get(), data->CopyOfCurrent().get(),
                        sizeof(ProfileRecord)),
            0);
  EXPECT_EQ(data->device_state(), DeviceState::Absent);
}

TEST(StorePathsOf, UnderTheDataRoot) {
  AppPaths app{"/app/", "/data/"};
  const ModelPaths paths = StorePathsOf(Model::KB_3, app);
  EXPECT_EQ(paths.profile_store, std::filesystem::path("/data/Data/kb/kb_3/data.pros"));
  EXPECT_EQ(paths.macro_store, std::filesystem::path("/data/Data/kb/kb_3/macro.mcos"));
}

TEST_F(ModelDataTest, SelectingAProfileSetsTheIndexAndTheFullApplyFlag) {
  {
    auto edit = data->Lock();
    NewDefaultProfile(u"Two", Model::KB_3, edit.profiles());
  }
  ApplyTake cleared;
  data->Lock().SetDevicePresent(true);
  cleared = data->TakeForApply();
  EXPECT_FALSE(data->full_apply_pending());
  auto edit = data->Lock();
  edit.SelectProfile(1);
  EXPECT_EQ(edit.header().selected_index, 1);
  EXPECT_EQ(edit.current(), edit.profiles()[1].get());
  edit.SelectProfile(5);
  EXPECT_EQ(edit.current(), nullptr);
  edit.Release();
  EXPECT_TRUE(data->full_apply_pending());
}

TEST_F(ModelDataTest, RemovingTheCurrentProfileNeverLeavesADanglingReference) {
  {
    auto edit = data->Lock();
    NewDefaultProfile(u"Two", Model::KB_3, edit.profiles());
    NewDefaultProfile(u"Three", Model::KB_3, edit.profiles());
    edit.SelectProfile(2);
  }
  data->Lock().SetDevicePresent(true);
  (void)data->TakeForApply();
  {
    auto edit = data->Lock();
    edit.profiles().erase(edit.profiles().begin() + 2);
  }
  auto edit = data->Lock();
  ASSERT_NE(edit.current(), nullptr);
  EXPECT_EQ(edit.current(), edit.profiles()[1].get());
  EXPECT_EQ(edit.header().selected_index, 1);
  edit.profiles().clear();
  edit.Release();
  EXPECT_EQ(data->CopyOfCurrent(), nullptr);
  EXPECT_TRUE(data->full_apply_pending());
}

TEST_F(ModelDataTest, SavingWhileHoldingTheLockFailsInsteadOfDeadlocking) {
  auto edit = data->Lock();
  const Status status = data->SaveProfileStore();
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(data->SaveMacroStore().ok());
  edit.Release();
  EXPECT_TRUE(data->SaveProfileStore().ok());
  EXPECT_TRUE(data->SaveMacroStore().ok());
  EXPECT_EQ(std::filesystem::file_size(data->paths().macro_store), 0u);
}

TEST_F(ModelDataTest, TakeWithTheKeyboardAbsentLeavesTheFlag) {
  const ApplyTake take = data->TakeForApply();
  EXPECT_EQ(take.device_state, DeviceState::Absent);
  EXPECT_EQ(take.profile, nullptr);
  EXPECT_TRUE(data->full_apply_pending());
}

TEST_F(ModelDataTest, CommitWritesBackOffsetsAndCopiesWhatWasSent) {
  {
    auto edit = data->Lock();
    edit.macros().push_back(test::EmptyMacro());
    BindMacro(edit.current()->banks[1].fn_keys[9], 0);
    edit.SetDevicePresent(true);
  }
  const ApplyTake take = data->TakeForApply();
  ASSERT_NE(take.profile, nullptr);
  EXPECT_TRUE(take.full_apply);
  EXPECT_FALSE(data->full_apply_pending());
  ASSERT_NE(take.macros.Find(0), nullptr);
  ProfileRecord sent = *take.profile;
  sent.banks[1].fn_keys[9].device_macro_offset[1] = 0x42;
  sent.banks[0].keys[0].device_macro_offset[1] = 0x43;  // not a bound key: not written back
  // Meanwhile the UI edits the live record.
  data->Lock().current()->banks[0].light_mode = 7;
  data->CommitApply(take, sent, ChangedFlags::All(), true);
  const auto live = data->CopyOfCurrent();
  EXPECT_EQ(live->banks[1].fn_keys[9].device_macro_offset[1], 0x42);
  EXPECT_EQ(live->banks[0].keys[0].device_macro_offset[1], 0);
  EXPECT_EQ(live->banks[0].light_mode, 7);
  const auto copy = data->CopyOfLastApplied();
  EXPECT_EQ(std::memcmp(copy.get(), &sent, sizeof sent), 0);
  EXPECT_FALSE(data->full_apply_pending());
  EXPECT_EQ(data->changed_flags(), ChangedFlags::All());
}

TEST_F(ModelDataTest, ASelectionDuringTheApplySurvivesItAndGetsNoOffsets) {
  {
    auto edit = data->Lock();
    BindMacro(edit.current()->banks[0].keys[2], 0);
    edit.SetDevicePresent(true);
  }
  const ApplyTake take = data->TakeForApply();
  data->Lock().SelectProfile(0);  // the same record, chosen again
  ProfileRecord sent = *take.profile;
  sent.banks[0].keys[2].device_macro_offset[1] = 0x11;
  data->CommitApply(take, sent, ChangedFlags::All(), true);
  EXPECT_TRUE(data->full_apply_pending());
  EXPECT_EQ(data->CopyOfCurrent()->banks[0].keys[2].device_macro_offset[1], 0);
  EXPECT_EQ(data->CopyOfLastApplied()->banks[0].keys[2].device_macro_offset[1], 0x11);
}

TEST_F(ModelDataTest, CommitOfAFailedApplySetsTheFlagAndKeepsTheCopies) {
  data->Lock().SetDevicePresent(true);
  const auto before = data->CopyOfLastApplied();
  const ApplyTake take = data->TakeForApply();
  ProfileRecord sent = *take.profile;
  sent.banks[0].light_mode = 3;
  data->CommitApply(take, sent, ChangedFlags::All(), false);
  EXPECT_TRUE(data->full_apply_pending());
  EXPECT_EQ(std::memcmp(before.get(), data->CopyOfLastApplied().get(), sizeof(ProfileRecord)), 0);
}

TEST_F(ModelDataTest, CommitAfterTheRecordWasDeletedTouchesNoRecord) {
  {
    auto edit = data->Lock();
    NewDefaultProfile(u"Two", Model::KB_3, edit.profiles());
    BindMacro(edit.current()->banks[0].keys[1], 0);
    edit.SetDevicePresent(true);
  }
  const ApplyTake take = data->TakeForApply();
  {
    auto edit = data->Lock();
    edit.profiles().erase(edit.profiles().begin());
    edit.SelectProfile(0);
  }
  ProfileRecord sent = *take.profile;
  sent.banks[0].keys[1].device_macro_offset[1] = 9;
  data->CommitApply(take, sent, ChangedFlags::All(), true);
  EXPECT_EQ(data->CopyOfCurrent()->banks[0].keys[1].device_macro_offset[1], 0);
}

// The program keeps the stores in memory for its whole run: what it could not read at start-up
// it must never overwrite, and what it read with losses it keeps aside before the first save.
TEST_F(ModelDataTest, StoresReadBadlyAtStartAreKeptOrLeftAlone) {
  namespace fs = std::filesystem;
  const fs::path profiles = data->paths().profile_store;
  const fs::path macros = data->paths().macro_store;
  Bytes damaged(30000, 0x33);  // a header and a piece of a record
  ASSERT_TRUE(WriteFileAtomically(profiles, damaged).ok());
  fs::create_directories(macros);  // a folder where the macro store should be
  data = std::make_unique<ModelData>(Model::KB_3, data->paths());
  load = data->Load(u"Profile_1");
  EXPECT_TRUE(load.profiles.lost_bytes());
  EXPECT_EQ(load.macros.file, StoreFileState::Unreadable);
  EXPECT_EQ(ReadWholeFile(profiles).value_or(Bytes{}), damaged) << "a load writes nothing";

  EXPECT_FALSE(data->SaveMacroStore().ok());
  EXPECT_TRUE(fs::is_directory(macros));
  ASSERT_TRUE(data->SaveProfileStore().ok());
  ASSERT_TRUE(data->SaveProfileStore().ok());
  const std::vector<fs::path> kept = data->TakeDamagedCopies();
  ASSERT_EQ(kept.size(), 1u) << "kept once, before the first save";
  EXPECT_TRUE(kept[0].filename().string().starts_with("data.pros.damaged-")) << kept[0];
  EXPECT_EQ(ReadWholeFile(kept[0]).value_or(Bytes{}), damaged);
  EXPECT_EQ(fs::file_size(profiles), 48628u);
  EXPECT_TRUE(data->TakeDamagedCopies().empty());
}

}  // namespace
}  // namespace kb
