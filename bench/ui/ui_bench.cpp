// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks of the UI library: building a 200-control layout, and rebuilding a 3000-row
// action list from its row layout (the macro page does this after every recorded event, so it
// has to fit in one 16 ms frame, painting included).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "common/file_io.h"
#include "ui/dialog_builder.h"
#include "ui/list.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/ui_test_driver.h"
#include "ui/window_impl_base.h"

using namespace DuiLib;

namespace {

void UseBenchSkin() { CPaintManagerUI::SetResourcePath(KB_UI_BENCH_DATA); }

void BM_BuildLayout200(benchmark::State& state) {
  UseBenchSkin();
  CDialogBuilder warm;
  delete warm.Create(u"page200.xml");
  for (auto _ : state) {
    CPaintManagerUI pm;
    pm.Init(nullptr);
    pm.SetClientSize({800, 572});
    CDialogBuilder builder;
    CControlUI* root = builder.Create(u"page200.xml", {}, nullptr, &pm);
    if (!root) {
      state.SkipWithError(builder.GetLastStatus().reason().c_str());
      return;
    }
    pm.AttachDialog(root);
    pm.UpdateLayout();
    benchmark::DoNotOptimize(pm.FindControl(u"btn_key_189"));
  }
}
BENCHMARK(BM_BuildLayout200)->Unit(benchmark::kMicrosecond);

// The same with the text parsed every time (a layout built for the first time).
void BM_ParseAndBuildLayout200(benchmark::State& state) {
  UseBenchSkin();
  auto bytes = kb::ReadWholeFile(std::string(KB_UI_BENCH_DATA) + "page200.xml");
  if (!bytes) {
    state.SkipWithError("page200.xml missing");
    return;
  }
  std::string text(bytes->begin(), bytes->end());
  for (auto _ : state) {
    CPaintManagerUI pm;
    pm.Init(nullptr);
    pm.SetClientSize({800, 572});
    CDialogBuilder builder;
    CControlUI* root = builder.CreateFromString(text, nullptr, &pm);
    pm.AttachDialog(root);
    pm.UpdateLayout();
    benchmark::DoNotOptimize(root);
  }
}
BENCHMARK(BM_ParseAndBuildLayout200)->Unit(benchmark::kMicrosecond);

class MacroListWindow : public WindowImplBase {
 public:
  CDuiString GetWindowClassName() const override { return u"BenchWindow"; }
  CDuiString GetSkinFile() override { return u"macro_list_window.xml"; }
  CPaintManagerUI& pm() { return m_pm; }
};

const char16_t* kKeyImage = u"res='skins/kb/kb_3/keyboard_key_action.png' dest='5,2,35,20'";
const char16_t* kPressImage = u"res='skins/kb/kb_3/macro_key_down.png' dest='5,2,21,20'";

// Rebuild as the macro page does it: remove every row, build one row per action from the row
// layout, fill its three labels, select the last row with a notification, repaint at once.
void BM_Rebuild3000Rows(benchmark::State& state) {
  UseBenchSkin();
  MacroListWindow w;
  w.Create(nullptr, u"BenchWindow", UI_WNDSTYLE_DIALOG, 0);
  auto* list = dynamic_cast<CListUI*>(w.pm().FindControl(u"list_kb_3_macro_action"));
  if (!list) {
    state.SkipWithError("list missing");
    return;
  }
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    list->RemoveAll();
    for (int i = 0; i < rows; ++i) {
      CDialogBuilder builder;
      CControlUI* row = builder.Create(u"KB/KB_3/macrolistitem.xml", {}, nullptr, &w.pm());
      row->SetFixedHeight(23);
      list->Add(row);
      auto* r = static_cast<CListContainerElementUI*>(row);
      CControlUI* key = r->FindSubControl(u"key");
      CControlUI* action = r->FindSubControl(u"action");
      CControlUI* delay = r->FindSubControl(u"delay");
      key->SetText(u"key_A");
      key->SetBkImage(kKeyImage);
      action->SetText(i % 2 ? u"key_up_action" : u"key_down_action");
      action->SetBkImage(kPressImage);
      delay->SetText(CDuiString::Formatted(u"%d", 10 + i));
    }
    list->SelectItem(rows - 1, true);
    w.pm().UpdateWindow();
  }
  state.counters["rows"] = rows;
  w.DestroyWindow();
  Testing::ProcessEvents();
}
BENCHMARK(BM_Rebuild3000Rows)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
