// SPDX-License-Identifier: GPL-3.0-or-later
// Time per recorded event on the macro page of the running program, with 2998 actions in the
// macro before the event: the action goes in and the whole action list is rebuilt, as every
// recorded event does (goal: under 16 ms, a frame at 60 Hz, so that recording keeps up with
// fast typing).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "common/utf16_text.h"
#include "pages/device/device_page.h"
#include "pages/macro/macro_page.h"
#include "ui/paint_manager.h"
#include "ui/ui_test_driver.h"

namespace {

constexpr int kActionsBefore = 2998;

void BM_RecordedEventWith2998Actions(benchmark::State& state) {
  const std::filesystem::path data =
      std::filesystem::temp_directory_path() / ("kb_macro_bench_" + std::to_string(getpid()));
  std::filesystem::create_directories(data);
  kb::app::SetUpSkin(DuiLib::CDuiString(std::string(KB_SOURCE_RES_DIR) + "/"));
  kb::app::RegisterPageClasses();
  auto wnd = std::make_unique<CMainWnd>(kb::AppPaths{KB_BENCH_DEMO_DIR, data});
  wnd->SetQuitOnDestroyForTesting(false);
  wnd->Create(nullptr, u"", DuiLib::UI_WNDSTYLE_FRAME, 0, 0, 0, 800, 572);
  DuiLib::Testing::ProcessEvents();
  DuiLib::CPaintManagerUI& pm = *wnd->GetPaintManager();
  DuiLib::Testing::Click(pm, u"option_kb_3_macro");
  CDevicePage* device = wnd->device_tabs().page(0);
  CMacroPage* page = device != nullptr ? device->macro_page() : nullptr;
  if (page == nullptr || device->data() == nullptr) {
    state.SkipWithError("no macro page");
    return;
  }
  {
    auto edit = device->data()->Lock();
    auto macro = std::make_unique<kb::MacroRecord>();
    kb::StoreFieldText(macro->name, u"Long");
    macro->loop_time = 1;
    for (int i = 0; i < kActionsBefore; ++i)
      macro->actions[macro->action_count++] = {static_cast<std::uint8_t>(0x04 + i % 26),
                                               static_cast<std::uint8_t>(1 + i % 2), 10, 0, 0};
    edit.macros().push_back(std::move(macro));
  }
  page->FillMacroList();
  page->macro_list()->SelectItem(0, true);
  DuiLib::Testing::ProcessEvents();
  DuiLib::Testing::Click(pm, u"btn_kb_3_record");
  unsigned key = 0x41;
  for (auto _ : state) {
    page->OnHookEvent(KB_HOOK_KEY_MESSAGE, key, 0);
    pm.UpdateWindow();
    state.PauseTiming();
    // Back to 2998 actions: stop, delete the new one, record again after the last.
    DuiLib::Testing::Click(pm, u"btn_kb_3_record");
    DuiLib::Testing::Click(pm, u"btn_kb_3_macro_action_delete");
    DuiLib::Testing::Click(pm, u"btn_kb_3_record");
    key = key == 0x41 ? 0x42 : 0x41;
    state.ResumeTiming();
  }
  state.counters["actions"] = page->working().count();
  wnd->DestroyWindow();
  DuiLib::Testing::ProcessEvents();
  std::filesystem::remove_all(data);
}
BENCHMARK(BM_RecordedEventWith2998Actions)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
