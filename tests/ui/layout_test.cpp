// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "recording_window.h"
#include "ui/container.h"
#include "ui/label.h"
#include "ui/paint_manager.h"
#include "ui/render_engine.h"
#include "ui/resource_manager.h"
#include "ui/theme.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;

namespace {

struct Placement {
  const char16_t* name;
  RECT rect;
};

TEST(LayoutTest, ControlsSitWhereTheLayoutSays) {
  kbtest::RecordingWindow w(u"layout.xml");
  ASSERT_TRUE(w.Open());
  ASSERT_TRUE(w.IsLayoutBuilt()) << w.LayoutStatus().reason();
  w.pm().UpdateLayout();
  const Placement want[] = {
      {u"root", {0, 0, 400, 300}},
      {u"top", {10, 10, 390, 40}},
      {u"a", {10, 10, 110, 40}},
      {u"b", {114, 10, 330, 40}},
      {u"c", {336, 13, 386, 35}},
      {u"middle", {10, 45, 390, 245}},
      {u"float1", {30, 60, 130, 90}},
      {u"fill", {10, 45, 390, 245}},
      {u"fixed_in_container", {10, 45, 70, 65}},
      {u"tabs", {10, 250, 390, 290}},
      {u"page1", {10, 250, 390, 290}},
  };
  for (const auto& p : want) {
    CControlUI* c = w.pm().FindControl(p.name);
    ASSERT_NE(c, nullptr) << CDuiString(p.name).ToUtf8();
    EXPECT_EQ(c->GetPos(), p.rect) << CDuiString(p.name).ToUtf8();
  }
}

TEST(LayoutTest, TabLayoutShowsOnePage) {
  kbtest::RecordingWindow w(u"layout.xml");
  ASSERT_TRUE(w.Open());
  auto* tabs = w.Find<CTabLayoutUI>(u"tabs");
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_FALSE(w.pm().FindControl(u"page0")->IsVisible());
  EXPECT_TRUE(w.pm().FindControl(u"page1")->IsVisible());
  EXPECT_TRUE(tabs->SelectItem(2));
  EXPECT_EQ(tabs->GetCurSel(), 2);
  EXPECT_FALSE(tabs->SelectItem(3));
  EXPECT_EQ(tabs->GetCurSel(), 2);
  w.pm().UpdateLayout();
  EXPECT_FALSE(w.pm().FindControl(u"page1")->IsVisible());
  EXPECT_EQ(w.pm().FindControl(u"page2")->GetPos(), (RECT{10, 250, 40, 290}));
  EXPECT_TRUE(w.events.empty());
}

TEST(LayoutTest, AttributesChangeTheLayoutAtRunTime) {
  kbtest::RecordingWindow w(u"layout.xml");
  ASSERT_TRUE(w.Open());
  CControlUI* b = w.pm().FindControl(u"b");
  b->SetFloat(true);
  b->SetAttribute(u"pos", u"0,515,700,605");
  w.pm().UpdateLayout();
  EXPECT_EQ(b->GetPos(), (RECT{10, 525, 710, 615}));
  CControlUI* top = w.pm().FindControl(u"top");
  top->SetFixedHeight(50);
  w.pm().UpdateLayout();
  EXPECT_EQ(w.pm().FindControl(u"middle")->GetPos(), (RECT{10, 65, 390, 245}));
  w.pm().FindControl(u"tabs")->SetVisible(false);
  w.pm().UpdateLayout();
  EXPECT_EQ(w.pm().FindControl(u"middle")->GetPos(), (RECT{10, 65, 390, 290}));
  top->SetAttribute(u"visible", u"false");
  w.pm().UpdateLayout();
  EXPECT_EQ(w.pm().FindControl(u"middle")->GetPos(), (RECT{10, 10, 390, 290}));
  EXPECT_FALSE(w.pm().FindControl(u"a")->IsVisible());
}

TEST(LayoutTest, ResourceTextLabelsShowTheLanguageText) {
  kbtest::RecordingWindow w(u"layout.xml");
  ASSERT_TRUE(w.Open());
  auto* fill = w.Find<CLabelUI>(u"fill");
  auto* fixed = w.Find<CLabelUI>(u"fixed_in_container");
  EXPECT_EQ(fill->GetText(), CDuiString(u"warning_1_text"));
  EXPECT_EQ(fill->GetShownText(), CDuiString(u"Warning"));
  EXPECT_EQ(fixed->GetShownText(), CDuiString(u"key_A"));
  fixed->SetResourceText(true);
  EXPECT_EQ(fixed->GetShownText(), CDuiString(u"A"));
  fixed->SetText(u"no_such_key");
  EXPECT_EQ(fixed->GetShownText(), CDuiString());
  EXPECT_EQ(CResourceManager::GetInstance()->GetText(u"warning_1_text"), CDuiString(u"Warning"));
}

class CountingCallback : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const CDuiString& cls) override {
    asked.push_back(cls);
    if (cls == u"Special") return new CLabelUI;
    return nullptr;
  }
  std::vector<CDuiString> asked;
};

TEST(LayoutTest, ElementClassesGoToTheCallbackThenTheFactory) {
  kbtest::UseTestSkin();
  CControlFactory::GetInstance()->RegistControl(u"CTestPageUI", [] {
    auto* c = new CContainerUI;
    c->SetUserData(u"from factory");
    return c;
  });
  CountingCallback cb;
  CPaintManagerUI pm;
  pm.Init(nullptr);
  CDialogBuilder builder;
  CControlUI* root = builder.CreateFromString(
      R"(<VerticalLayout><Special name="s"/><CTestPageUI name="p"/><Nonsense name="n"/><Label name="l"/></VerticalLayout>)",
      &cb, &pm);
  ASSERT_NE(root, nullptr);
  EXPECT_FALSE(builder.GetLastStatus().ok());
  EXPECT_NE(builder.GetLastStatus().reason().find("Nonsense"), std::string::npos);
  pm.AttachDialog(root);
  EXPECT_NE(dynamic_cast<CLabelUI*>(pm.FindControl(u"s")), nullptr);
  ASSERT_NE(pm.FindControl(u"p"), nullptr);
  EXPECT_EQ(pm.FindControl(u"p")->GetUserData(), CDuiString(u"from factory"));
  EXPECT_EQ(pm.FindControl(u"n"), nullptr);
  EXPECT_NE(pm.FindControl(u"l"), nullptr);
  std::vector<CDuiString> asked{u"VerticalLayout", u"Special", u"CTestPageUI", u"Nonsense",
                                u"Label"};
  EXPECT_EQ(cb.asked, asked);
}

TEST(LayoutTest, BrokenDocumentsBuildNothing) {
  const char* docs[] = {"", "<VerticalLayout>", "<A/><B/>", "<Window size=\"1,1\"></Window>",
                        "not xml"};
  for (const char* doc : docs) {
    CDialogBuilder builder;
    EXPECT_EQ(builder.CreateFromString(doc), nullptr) << doc;
    EXPECT_FALSE(builder.GetLastStatus().ok()) << doc;
  }
  CDialogBuilder builder;
  EXPECT_EQ(builder.Create(u"no_such_layout.xml"), nullptr);
  EXPECT_FALSE(builder.GetLastStatus().ok());
}

// Attribute texts arrive whole (entities, characters beyond ASCII), a window's own theme is
// passed on with its quotes and ampersands, and a fault names its line.
TEST(LayoutTest, AttributeTextsArriveWholeAndAFaultNamesItsLine) {
  CPaintManagerUI pm;
  pm.Init(nullptr);
  CDialogBuilder builder;
  CControlUI* root = builder.CreateFromString(
      "<Window size=\"10,10\">\n"
      "<Font id=\"odd\" family=\"A &amp; &quot;B&quot; &lt;C&gt;\" size=\"9\"/>\n"
      "<Label name=\"l\" text=\"Größe &#x1F600; &lt;ok&gt;\"/></Window>",
      nullptr, &pm);
  ASSERT_NE(root, nullptr) << builder.GetLastStatus().reason();
  pm.AttachDialog(root);
  ASSERT_NE(pm.LocalTheme().FindFont(u"odd"), nullptr);
  EXPECT_EQ(pm.LocalTheme().FindFont(u"odd")->family, CDuiString(u"A & \"B\" <C>"));
  EXPECT_EQ(pm.FindControl(u"l")->GetText(), CDuiString(u"Größe \U0001F600 <ok>"));
  CDialogBuilder broken;
  EXPECT_EQ(broken.CreateFromString("<VerticalLayout>\n<Label>\n</VerticalLayout>"), nullptr);
  EXPECT_NE(broken.GetLastStatus().reason().find("at line 3"), std::string::npos)
      << broken.GetLastStatus().reason();
}

// A layout is read from its file until its second use, and kept parsed from then on: a page
// built once leaves no parsed tree behind, a row built many times is parsed twice only.
TEST(LayoutTest, ALayoutIsKeptParsedFromItsSecondUse) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kb_layout_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::filesystem::path file = dir / "row.xml";
  const auto write = [&](const char* name) {
    std::ofstream(file) << "<Label name=\"" << name << "\"/>";
  };
  const auto built_name = [&] {
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(CDuiString(file.string())));
    return root != nullptr ? root->GetName().ToUtf8() : std::string("(nothing)");
  };
  write("first");
  EXPECT_EQ(built_name(), "first");
  write("second");
  EXPECT_EQ(built_name(), "second");  // read again: not kept after one use
  write("third");
  EXPECT_EQ(built_name(), "second");  // kept since its second use
  CDialogBuilder::ClearCache();
  EXPECT_EQ(built_name(), "third");
  std::filesystem::remove_all(dir);
}

TEST(LayoutTest, ThemeDefaultsAndNamedColoursApply) {
  kbtest::UseTestSkin();
  auto st = CResourceManager::GetInstance()->LoadTheme(u"theme.xml");
  ASSERT_TRUE(st.ok()) << st.reason();
  CDialogBuilder builder;
  CPaintManagerUI pm;
  pm.Init(nullptr);
  CControlUI* root = builder.CreateFromString(
      R"(<VerticalLayout bkcolor="ink"><Label name="plain"/><Label name="own" textcolor="#80FF0000" font="body"/></VerticalLayout>)",
      nullptr, &pm);
  ASSERT_NE(root, nullptr);
  pm.AttachDialog(root);
  EXPECT_EQ(root->GetBkColor(), 0xFF112233u);
  auto* plain = dynamic_cast<CLabelUI*>(pm.FindControl(u"plain"));
  auto* own = dynamic_cast<CLabelUI*>(pm.FindControl(u"own"));
  EXPECT_EQ(plain->GetTextColor(), 0xFF112233u);
  EXPECT_EQ(plain->GetFont(), CDuiString(u"big"));
  EXPECT_EQ(own->GetTextColor(), 0x80FF0000u);
  EXPECT_EQ(own->GetFont(), CDuiString(u"body"));
  ASSERT_NE(CTheme::Global().FindFont(u"big"), nullptr);
  EXPECT_EQ(CTheme::Global().FindFont(u"big")->size, 20);
  EXPECT_TRUE(CTheme::Global().FindFont(u"big")->bold);
  EXPECT_EQ(CTheme::Global().DefaultFontId(), CDuiString(u"body"));
  CTheme::Global().Clear();
}

// A theme is read whole into a scratch theme and then taken over: the result must be what
// reading it straight into the theme gives, the default font above all.
TEST(LayoutTest, ATakenOverThemeIsAsIfReadIntoTheTheme) {
  const char* const first[] = {
      R"(<Theme><Font id="a" size="9"/><Font id="b" size="10"/><Color name="ink" value="#FF000001"/></Theme>)",
      R"(<Theme><Font id="a" size="9"/><Font id="b" size="10" default="true"/></Theme>)",
      R"(<Theme><Color name="ink" value="#FF000001"/></Theme>)"};
  const char* const second[] = {
      R"(<Theme><Font id="c" size="11"/><Font id="a" size="12"/><Color name="ink" value="#FF000002"/></Theme>)",
      R"(<Theme><Font id="c" size="11"/><Font id="d" size="13" default="true"/><Font id="e"/></Theme>)",
      R"(<Theme><Default class="Label" font="c"/></Theme>)"};
  for (const char* one : first)
    for (const char* two : second) {
      SCOPED_TRACE(std::string(one) + " then " + two);
      CTheme read, taken, scratch;
      ASSERT_TRUE(read.Parse(one).ok());
      ASSERT_TRUE(read.Parse(two).ok());
      ASSERT_TRUE(taken.Parse(one).ok());
      ASSERT_TRUE(scratch.Parse(two).ok());
      taken.TakeOver(std::move(scratch));
      EXPECT_EQ(taken.DefaultFontId(), read.DefaultFontId());
      for (const char16_t* id : {u"a", u"b", u"c", u"d", u"e"}) {
        SCOPED_TRACE(CDuiString(id).ToUtf8());
        ASSERT_EQ(taken.FindFont(id) != nullptr, read.FindFont(id) != nullptr);
        if (read.FindFont(id) != nullptr) {
          EXPECT_EQ(taken.FindFont(id)->size, read.FindFont(id)->size);
        }
      }
      DWORD read_ink = 0, taken_ink = 0;
      EXPECT_EQ(taken.FindColor(u"ink", taken_ink), read.FindColor(u"ink", read_ink));
      EXPECT_EQ(taken_ink, read_ink);
      EXPECT_EQ(taken.FindDefaultAttributes(u"Label") != nullptr,
                read.FindDefaultAttributes(u"Label") != nullptr);
    }
}

TEST(LayoutTest, WindowLocalColoursResolveWhileBuilding) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  EXPECT_EQ(w.pm().FindControl(u"root")->GetBkColor(), 0xFF202428u);
  ASSERT_NE(w.pm().LocalTheme().FindFont(u"small"), nullptr);
  EXPECT_EQ(w.pm().LocalTheme().FindFont(u"small")->size, 10);
}

TEST(LayoutTest, ColoursAndRectanglesParse) {
  struct Case {
    const char16_t* text;
    bool ok;
    DWORD argb;
  };
  const Case cases[] = {{u"#FF102030", true, 0xFF102030},  {u"#102030", true, 0xFF102030},
                        {u"0x80FFFFFF", true, 0x80FFFFFF}, {u"#12345", false, 0},
                        {u"#GG102030", false, 0},          {u"", false, 0},
                        {u"no_such_colour", false, 0}};
  for (const auto& c : cases) {
    DWORD v = 0;
    EXPECT_EQ(ParseColor(c.text, v), c.ok) << CDuiString(c.text).ToUtf8();
    if (c.ok) {
      EXPECT_EQ(v, c.argb);
    }
  }
  EXPECT_EQ(ParseRect(u"1, 2,3 ,4"), (RECT{1, 2, 3, 4}));
  EXPECT_EQ(ParseRect(u"-5,6"), (RECT{-5, 6, 0, 0}));
  EXPECT_EQ(ParseSize(u"800,572").cy, 572);
}

TEST(LayoutTest, ImagesDrawWithDestAndCorners) {
  kbtest::UseTestSkin();
  CBitmap red(4, 4, 0xFFFF0000);
  CPaintManagerUI::AddImage(u"test_red", red);
  CPaintManagerUI pm;
  pm.Init(nullptr);
  pm.SetClientSize({40, 40});
  CDialogBuilder builder;
  CControlUI* root = builder.CreateFromString(
      R"(<Container bkcolor="#FF000000"><Control name="c"/></Container>)", nullptr, &pm);
  pm.AttachDialog(root);
  CControlUI* c = pm.FindControl(u"c");
  c->SetBkImage(u"res='test_red' dest='10,10,20,20'");
  CBitmap shot = Testing::Render(pm);
  EXPECT_EQ(shot.GetPixel(15, 15), 0xFFFF0000u);
  EXPECT_EQ(shot.GetPixel(5, 5), 0xFF000000u);
  EXPECT_EQ(shot.GetPixel(25, 25), 0xFF000000u);
  c->SetBkImage(u"file='test_red' corner='1,1,1,1'");
  shot = Testing::Render(pm);
  EXPECT_EQ(shot.GetPixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(shot.GetPixel(39, 39), 0xFFFF0000u);
  EXPECT_TRUE(CPaintManagerUI::RemoveImage(u"test_red"));
  EXPECT_FALSE(CPaintManagerUI::RemoveImage(u"test_red"));
  shot = Testing::Render(pm);
  EXPECT_EQ(shot.GetPixel(15, 15), 0xFF000000u);
}

// On a screen of device pixel ratio 2 an image is drawn from its twice-size twin ("x@2x"), with
// the skin's corners counted in the 1x image's pixels; at 1 from the image itself.
TEST(LayoutTest, ATwiceSizeTwinIsDrawnAtDevicePixelRatioTwo) {
  kbtest::UseTestSkin();
  constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;
  CPaintManagerUI::AddImage(u"test_twin.png", CBitmap(4, 4, kRed));
  // The twin: a blue ring of two pixels (one pixel of the 1x image) around green.
  CBitmap twin(8, 8, kBlue);
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 6; ++x) twin.SetPixel(x, y, kGreen);
  CPaintManagerUI::AddImage(u"test_twin@2x.png", twin);
  CPaintManagerUI pm;
  pm.Init(nullptr);
  pm.SetClientSize({40, 40});
  CDialogBuilder builder;
  CControlUI* root = builder.CreateFromString(
      R"(<Container><Control name="c" bkimage="file='test_twin.png' corner='1,1,1,1'"/></Container>)",
      nullptr, &pm);
  ASSERT_NE(root, nullptr);
  pm.AttachDialog(root);
  CBitmap one = Testing::Render(pm, 1);
  EXPECT_EQ(one.GetWidth(), 40);
  EXPECT_EQ(one.GetPixel(20, 20), kRed);
  CBitmap two = Testing::Render(pm, 2);
  ASSERT_EQ(two.GetWidth(), 80);
  EXPECT_EQ(two.GetPixel(40, 40), kGreen);
  EXPECT_EQ(two.GetPixel(40, 0), kBlue);
  EXPECT_EQ(two.GetPixel(40, 1), kBlue);
  EXPECT_EQ(two.GetPixel(40, 2), kGreen);  // the corner is two of the twin's pixels
  EXPECT_EQ(two.GetPixel(79, 40), kBlue);
  // A twin of the wrong size is not used: the image is stretched instead.
  CPaintManagerUI::RemoveImage(u"test_twin@2x.png");
  CPaintManagerUI::AddImage(u"test_twin@2x.png", CBitmap(6, 6, kGreen));
  two = Testing::Render(pm, 2);
  EXPECT_EQ(two.GetPixel(40, 40), kRed);
  CPaintManagerUI::RemoveImage(u"test_twin@2x.png");
  CPaintManagerUI::RemoveImage(u"test_twin.png");
}

TEST(LayoutTest, BitmapsLoadWithTheirPixels) {
  kbtest::UseTestSkin();
  CBitmap bmp(3, 2);
  bmp.SetPixel(0, 0, 0x80112233);
  bmp.SetPixel(2, 1, 0xFFABCDEF);
  CPaintManagerUI::AddImage(u"kb_3_preview_1", bmp);
  auto loaded = CRenderEngine::GdiplusLoadBitmap(u"file='kb_3_preview_1' corner='4,4,4,4'");
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(loaded->GetWidth(), 3);
  EXPECT_EQ(loaded->GetHeight(), 2);
  EXPECT_EQ(loaded->GetPixel(2, 1), 0xFFABCDEFu);
  EXPECT_EQ(loaded->GetPixel(1, 1), 0u);
  EXPECT_EQ(loaded->GetPixel(0, 0) >> 24, 0x80u);
  EXPECT_EQ(loaded->GetPixel(5, 5), 0u);
  auto file = CRenderEngine::GdiplusLoadBitmap(u"skins/swatch.png");
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->GetWidth(), 4);
  EXPECT_EQ(file->GetPixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(file->GetPixel(3, 3) >> 24, 0u);
  EXPECT_FALSE(CRenderEngine::GdiplusLoadBitmap(u"skins/missing.png").has_value());
  EXPECT_EQ(CRenderEngine::ImageFileOf(u"res='a/b.png' dest='1,2,3,4'"), CDuiString(u"a/b.png"));
  CPaintManagerUI::RemoveImage(u"kb_3_preview_1");
}

TEST(LayoutTest, AButtonImageRecolouredInMemoryShowsItsNewPixels) {
  kbtest::UseTestSkin();
  CPaintManagerUI pm;
  pm.Init(nullptr);
  pm.SetClientSize({20, 20});
  CDialogBuilder builder;
  CControlUI* root = builder.CreateFromString(
      R"(<Container><Button name="btn_kb_3_custom_0" bkimage="file='skins/swatch.png' corner='1,1,1,1'"/></Container>)",
      nullptr, &pm);
  ASSERT_NE(root, nullptr);
  pm.AttachDialog(root);
  CControlUI* key = pm.FindControl(u"btn_kb_3_custom_0");
  auto bitmap = CRenderEngine::GdiplusLoadBitmap(key->GetBkImage());
  ASSERT_TRUE(bitmap.has_value());
  // Every pixel that is not transparent takes the colour; alpha stays.
  for (int y = 0; y < bitmap->GetHeight(); ++y)
    for (int x = 0; x < bitmap->GetWidth(); ++x) {
      std::uint32_t p = bitmap->GetPixel(x, y);
      if (p >> 24) bitmap->SetPixel(x, y, (p & 0xFF000000u) | 0x00C80A14u);
    }
  CPaintManagerUI::RemoveImage(u"kb_3_preview_1");
  CPaintManagerUI::AddImage(u"kb_3_preview_1", *bitmap);
  key->SetBkImage(u"file='kb_3_preview_1' corner='1,1,1,1'");
  CBitmap shot = Testing::Render(pm);
  EXPECT_EQ(shot.GetPixel(0, 0), 0xFFC80A14u);
  EXPECT_EQ(shot.GetPixel(19, 19) >> 24, 0u);
  CPaintManagerUI::RemoveImage(u"kb_3_preview_1");
}

}  // namespace
