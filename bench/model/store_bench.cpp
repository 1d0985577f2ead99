// SPDX-License-Identifier: GPL-3.0-or-later
// Load and save times of the stores at realistic and at large sizes, and how much the profile
// store's load costs over reading its bytes: the load should be little more than the read.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/file_io.h"
#include "macro/macro_store.h"
#include "profile/profile_store.h"

namespace {

class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kbbench.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

std::filesystem::path ProfileStoreOf(int count) {
  return Folder().path() / ("profiles_" + std::to_string(count) + ".pros");
}

std::filesystem::path MacroStoreOf(int count) {
  return Folder().path() / ("macros_" + std::to_string(count) + ".mcos");
}

kb::ProfileList MakeProfiles(int count) {
  kb::ProfileList list;
  for (int i = 0; i < count; ++i) {
    kb::ProfileRecord& record = kb::NewDefaultProfile(u"Profile", kb::Model::KB_3, list);
    record.banks[0].light_mode = i % 20;
  }
  return list;
}

kb::MacroList MakeMacros(int count) {
  kb::MacroList list;
  for (int i = 0; i < count; ++i) {
    auto macro = std::make_unique<kb::MacroRecord>();
    macro->name[0] = u'M';
    macro->loop_time = 1;
    macro->action_count = 100;
    for (int a = 0; a < 100; ++a)
      macro->actions[a] = {static_cast<std::uint8_t>(4 + a % 26), 1, 10, 0, 0};
    list.push_back(std::move(macro));
  }
  return list;
}

// The store files the load benchmarks read, written once.
void EnsureProfileStore(int count) {
  if (std::filesystem::exists(ProfileStoreOf(count))) return;
  kb::StoreHeader header{};
  if (!kb::SaveProfileStore(ProfileStoreOf(count), header, MakeProfiles(count)).ok()) std::abort();
}

void EnsureMacroStore(int count) {
  if (std::filesystem::exists(MacroStoreOf(count))) return;
  if (!kb::SaveMacroStore(MacroStoreOf(count), MakeMacros(count)).ok()) std::abort();
}

void BM_LoadProfileStore(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  EnsureProfileStore(count);
  for (auto _ : state) {
    kb::StoreHeader header;
    kb::ProfileList list;
    kb::ProfileStoreLoad load =
        kb::LoadProfileStore(ProfileStoreOf(count), kb::Model::KB_3, u"Profile_1", header, list);
    if (static_cast<int>(list.size()) != count || !load.read.ok())
      state.SkipWithError("store did not load whole");
    benchmark::DoNotOptimize(list.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(
                                                   ProfileStoreOf(count))));
}
BENCHMARK(BM_LoadProfileStore)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

// The floor the load is measured against: the same file read whole into memory.
void BM_ReadProfileStoreBytes(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  EnsureProfileStore(count);
  for (auto _ : state) {
    kb::Result<kb::Bytes> bytes = kb::ReadWholeFile(ProfileStoreOf(count));
    if (!bytes) state.SkipWithError("cannot read the store");
    benchmark::DoNotOptimize(bytes->data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(
                                                   ProfileStoreOf(count))));
}
BENCHMARK(BM_ReadProfileStoreBytes)->Arg(1000)->Unit(benchmark::kMillisecond);

// The load and the plain read of the same 1000-profile file, taken in turns within each
// iteration so that other load on the machine weighs on both alike. The counter is their ratio.
void BM_LoadOverPlainRead(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  EnsureProfileStore(count);
  using Clock = std::chrono::steady_clock;
  Clock::duration read_time{};
  Clock::duration load_time{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    {
      kb::Result<kb::Bytes> bytes = kb::ReadWholeFile(ProfileStoreOf(count));
      if (!bytes) state.SkipWithError("cannot read the store");
      benchmark::DoNotOptimize(bytes->data());
    }
    const auto t1 = Clock::now();
    {
      kb::StoreHeader header;
      kb::ProfileList list;
      (void)kb::LoadProfileStore(ProfileStoreOf(count), kb::Model::KB_3, u"Profile_1", header,
                                 list);
      benchmark::DoNotOptimize(list.data());
    }
    const auto t2 = Clock::now();
    read_time += t1 - t0;
    load_time += t2 - t1;
  }
  state.counters["load_over_read"] =
      read_time.count() > 0
          ? static_cast<double>(load_time.count()) / static_cast<double>(read_time.count())
          : 0;
}
BENCHMARK(BM_LoadOverPlainRead)->Arg(1000)->Iterations(20)->Unit(benchmark::kMillisecond);

// Saves include the flush to disk that makes them crash-safe.
void BM_SaveProfileStore(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const kb::ProfileList list = MakeProfiles(count);
  const kb::StoreHeader header{};
  const auto path = Folder().path() / ("save_" + std::to_string(count) + ".pros");
  for (auto _ : state) {
    if (!kb::SaveProfileStore(path, header, list).ok()) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(count * sizeof(kb::ProfileRecord)));
}
BENCHMARK(BM_SaveProfileStore)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_LoadMacroStore(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  EnsureMacroStore(count);
  for (auto _ : state) {
    kb::MacroList list;
    kb::MacroStoreLoad load = kb::LoadMacroStore(MacroStoreOf(count), list);
    if (static_cast<int>(load.loaded) != count) state.SkipWithError("store did not load whole");
    benchmark::DoNotOptimize(list.data());
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(count * sizeof(kb::MacroRecord)));
}
BENCHMARK(BM_LoadMacroStore)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_SaveMacroStore(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const kb::MacroList list = MakeMacros(count);
  const auto path = Folder().path() / ("save_" + std::to_string(count) + ".mcos");
  for (auto _ : state) {
    if (!kb::SaveMacroStore(path, list).ok()) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(count * sizeof(kb::MacroRecord)));
}
BENCHMARK(BM_SaveMacroStore)->Arg(1000)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps the load-over-read ratio for the summary line at the end.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      if (auto ratio = run.counters.find("load_over_read"); ratio != run.counters.end())
        load_over_read_ = ratio->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double load_over_read() const { return load_over_read_; }

 private:
  double load_over_read_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  if (reporter.load_over_read() > 0) {
    std::printf("\nLoad of 1000 profiles / plain read of the same file: %.2f (goal: under 1.2)\n",
                reporter.load_over_read());
  }
  return 0;
}
