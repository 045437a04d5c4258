// The bitmap button's every look, painted by the button and compared pixel for pixel with the
// picture the drawing rules give (ButtonModel): frames of all styles pressed and released, the
// opaque fill and its key, glyph and caption places, the cell each glyph count and state draws,
// the idle looks of the hot-tracking styles, indents, a fixed key; and its mouse rules.
#include <gtest/gtest.h>

#include <memory>

#include "BitmapBtnTest.h"
#include "ButtonModel.h"
#include "ImportPatch.h"
#include "Menus.h"

using namespace bitmapbtn;
using bmpmodel::Picture;
using bmpmodel::Sys;
using tsupport::Surface;

namespace {

constexpr int kL = 20, kT = 10, kW = 100, kH = 70;
const char* const kStyleNames[] = {"bsRegular", "bsIndent", "bsLight", "bsDark", "bsMono", "bsExplorer", "bsHighLight", "bsNone"};

struct Mouse : rtl::TObject {
  std::vector<std::string> log;
  int clicks = 0;
  void Down(rtl::TObject*, gui::TMouseButton b, gui::TShiftState, int, int) { log.push_back("down " + Name(b)); }
  void Up(rtl::TObject*, gui::TMouseButton b, gui::TShiftState, int, int) { log.push_back("up " + Name(b)); }
  void Click(rtl::TObject*) { ++clicks; }
  static std::string Name(gui::TMouseButton b) { return b == gui::mbLeft ? "left" : b == gui::mbRight ? "right" : "middle"; }
};

class Looks : public ::testing::Test, public tsupport::TTestForm {
 protected:
  Looks() : TTestForm(0, 0, 300, 200) {}
  void SetUp() override {
    form->SetColor(gui::clBtnFace);
    list = new TGxBitmapList(form);
    btn = new TGxBitmapButton(form);
    btn->SetParent(form);
    btn->SetBounds(kL, kT, kW, kH);
    btn->SetButtonStyle(bsRegular);
    btn->SetParentFont(false);
    btn->Font().SetName("Arial");
    btn->Font().SetHeight(-14);
    btn->Font().SetColor(gui::clNavy);
    btn->OnClick.Bind(&mouse, &Mouse::Click);
    form->HandleNeeded();
  }

  // The button shows this picture.
  void Use(const Picture& p) {
    picture = p;
    gui::TBitmap b;
    bmpmodel::Fill(b, p);
    list->Clear();
    list->Add(&b);
    btn->SetBitmapList(list);
    btn->SetBitmapIndex(0);
  }
  // The rules' inputs as the test set them; the state flags are the test's to set.
  bmpmodel::Button Model() const {
    bmpmodel::Button m;
    m.w = btn->Width();
    m.h = btn->Height();
    m.style = btn->ButtonStyle();
    m.borderWidth = btn->BorderWidth();
    m.transparent = btn->Transparent();
    m.color = gui::ColorToRGB(btn->Color());
    m.ground = Sys(COLOR_BTNFACE);
    m.showPressed = btn->ShowPressed();
    m.showDisabled = btn->ShowDisabled();
    m.autoGray = btn->AutoGray();
    m.numGlyphs = btn->NumGlyphs();
    m.spacing = btn->Spacing();
    m.align = btn->TextAlign();
    m.wordWrap = btn->WordWrap();
    m.indentH = btn->DownIndentHoriz();
    m.indentV = btn->DownIndentVert();
    m.caption = btn->Caption();
    m.font = &btn->Font();
    m.fontColor = RGB(0, 0, 128);
    m.image = btn->BitmapList() && btn->BitmapIndex() >= 0 ? &picture : nullptr;
    return m;
  }
  // Paints the form as into its window and compares the button's area with the model's picture.
  void ExpectLooks(const bmpmodel::Button& m, const std::string& what) {
    Surface actual(300, 200, RGB(1, 2, 3));
    bmptest::PaintForm(*form, actual);
    Compare(actual, m, what);
  }
  void Compare(const Surface& actual, const bmpmodel::Button& m, const std::string& what) {
    Surface expected(m.w, m.h);
    bmpmodel::Draw(m, expected);
    std::string first;
    EXPECT_EQ(bmpmodel::Differences(actual, kL, kT, expected, &first), 0) << what << ": " << first;
  }
  // What the window shows now, without painting anything.
  void ExpectOnScreen(const bmpmodel::Button& m, const std::string& what) {
    Surface shown(300, 200, RGB(1, 2, 3));
    gui::TClientDC dc(form->Handle());
    BitBlt(shown.Dc(), 0, 0, 300, 200, dc, 0, 0, SRCCOPY);
    Compare(shown, m, what);
  }

  void Send(UINT msg, WPARAM keys, int x, int y) { SendMessageA(form->Handle(), msg, keys, MAKELPARAM(kL + x, kT + y)); }
  void Press(int x = 40, int y = 30) { Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
  void ReleaseOutside() { Send(WM_LBUTTONUP, 0, -10, -5); }
  void PointerOver() { Send(WM_MOUSEMOVE, 0, 40, 30); }
  void PointerAway() { Send(WM_MOUSEMOVE, 0, 200, 150); }

  TGxBitmapList* list = nullptr;
  TGxBitmapButton* btn = nullptr;
  Picture picture;
  Mouse mouse;
};

}  // namespace

TEST_F(Looks, AtRestTheGlyphIsKeyedOnItsBottomLeftCornerAndTheCaptionSitsBelowIt) {
  Picture glyph = bmpmodel::TestGlyph(16, 16);
  ASSERT_NE(glyph.At(0, 0), glyph.At(0, 15)) << "corners that differ, so the wrong one shows";
  Use(glyph);
  btn->SetBorderWidth(2);
  btn->SetCaption("Go");
  btn->SetTextAlign(ttaBottom);
  ExpectLooks(Model(), "at rest");
}

TEST_F(Looks, EveryStyleDrawsItsReleasedAndPressedFrames) {
  btn->SetBorderWidth(2);
  for (int style = bsRegular; style <= bsNone; ++style) {
    btn->SetButtonStyle(static_cast<TGxButtonStyle>(style));
    bmpmodel::Button m = Model();
    ExpectLooks(m, std::string(kStyleNames[style]) + " released");
    Press();
    ASSERT_TRUE(btn->Pressed());
    m.pressed = true;
    ExpectLooks(m, std::string(kStyleNames[style]) + " pressed");
    ReleaseOutside();
  }
  EXPECT_EQ(mouse.clicks, 0);
}

TEST_F(Looks, TheExplorerStylesPressedFrameNeedsThePointerAndFollowsShowPressed) {
  btn->SetButtonStyle(bsExplorer);
  btn->SetBorderWidth(2);
  bmpmodel::Button m = Model();
  PointerOver();
  m.mouseInside = true;
  ExpectLooks(m, "hot");
  Press();
  m.pressed = true;
  ExpectLooks(m, "pressed, sunken");
  ReleaseOutside();
  PointerAway();
  btn->SetShowPressed(false);
  PointerOver();
  Press();
  m.showPressed = false;
  ExpectLooks(m, "pressed without ShowPressed: raised");
  ReleaseOutside();
  PointerAway();
  // Pressed with the pointer away (no enter was told): no frame at all.
  btn->SetShowPressed(true);
  Press();
  m.showPressed = true;
  m.mouseInside = false;
  ExpectLooks(m, "pressed, pointer away");
  ReleaseOutside();
}

TEST_F(Looks, OpaqueButtonsFillTheirColourAndKeyTheChosenCellOnItsOwnCorner) {
  Use(bmpmodel::TestGlyph(16, 16));
  btn->SetTransparent(false);
  btn->SetParentColor(false);
  btn->SetColor(gui::clYellow);
  for (TGxButtonStyle style : {bsRegular, bsIndent, bsLight, bsExplorer}) {
    btn->SetButtonStyle(style);
    bmpmodel::Button m = Model();
    ASSERT_EQ(m.color, RGB(255, 255, 0));
    // The explorer style idles on the grey cell: its own corner, the teal's grey, is the key.
    ExpectLooks(m, std::string(kStyleNames[style]) + " opaque");
    btn->SetEnabled(false);
    m.enabled = false;
    ExpectLooks(m, std::string(kStyleNames[style]) + " opaque disabled");
    btn->SetEnabled(true);
  }
  // Two cells whose corners differ: the disabled cell is keyed on its own corner.
  btn->SetButtonStyle(bsRegular);
  Use(bmpmodel::SolidCells({RGB(255, 0, 0), RGB(0, 0, 255)}, {RGB(0, 128, 0), RGB(255, 0, 0)}, 16));
  EXPECT_EQ(btn->NumGlyphs(), 2);
  btn->SetEnabled(false);
  bmpmodel::Button m = Model();
  m.enabled = false;
  ExpectLooks(m, "second cell keyed on red");
}

TEST_F(Looks, EveryTextAlignPlacesTheGlyphAndTheCaptionOnOppositeSides) {
  const char* const names[] = {"ttaTopLeft", "ttaTop", "ttaTopRight", "ttaRight", "ttaBottomRight",
                               "ttaBottom", "ttaBottomLeft", "ttaLeft", "ttaCenter"};
  Use(bmpmodel::TestGlyph(16, 16));
  btn->SetButtonStyle(bsNone);
  btn->SetCaption("Ab");
  btn->SetSpacing(3);
  for (int a = ttaTopLeft; a <= ttaCenter; ++a) {
    btn->SetTextAlign(static_cast<TGxTextAlign>(a));
    ExpectLooks(Model(), names[a]);
  }
}

TEST_F(Looks, WordWrapBreaksTheCaptionBetweenWords) {
  btn->SetBounds(kL, kT, 60, kH);
  btn->SetCaption("Hang Up Now");
  btn->SetWordWrap(true);
  bmpmodel::Button m = Model();
  ExpectLooks(m, "wrapped");
  // The caption does need more than one line here.
  gui::TCanvas canvas;
  Surface s(10, 10);
  canvas.SetHandle(s.Dc());
  canvas.Font().Assign(&btn->Font());
  RECT one{0, 0, 60, kH}, wrapped{0, 0, 60, kH};
  canvas.DrawText("Hang Up Now", one, DT_CALCRECT | DT_SINGLELINE);
  canvas.DrawText("Hang Up Now", wrapped, DT_CALCRECT | DT_WORDBREAK);
  canvas.SetHandle(nullptr);
  EXPECT_GT(wrapped.bottom, 2 * one.bottom - 2);
}

TEST_F(Looks, TheCellDrawnFollowsTheGlyphCountAndTheState) {
  const std::vector<COLORREF> fills = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 160, 0), RGB(200, 150, 50)};
  const std::vector<COLORREF> corners(4, RGB(0, 128, 128));
  // Cells for at rest, disabled, pressed and down, by glyph count.
  const int expected[5][4] = {{}, {0, 2, 0, 0}, {0, 1, 0, 0}, {0, 1, 2, 2}, {0, 1, 2, 3}};
  for (int n = 1; n <= 4; ++n) {
    Use(bmpmodel::SolidCells(std::vector<COLORREF>(fills.begin(), fills.begin() + n),
                             std::vector<COLORREF>(corners.begin(), corners.begin() + n), 16));
    ASSERT_EQ(btn->NumGlyphs(), n) << "detected from the picture";
    const std::string of = std::to_string(n) + " glyphs, ";
    bmpmodel::Button m = Model();
    EXPECT_EQ(bmpmodel::ChosenCell(m), expected[n][0]);
    ExpectLooks(m, of + "at rest");

    btn->SetEnabled(false);
    m.enabled = false;
    EXPECT_EQ(bmpmodel::ChosenCell(m), expected[n][1]);
    ExpectLooks(m, of + "disabled");
    btn->SetEnabled(true);
    m.enabled = true;

    Press();
    m.pressed = true;
    EXPECT_EQ(bmpmodel::ChosenCell(m), expected[n][2]);
    ExpectLooks(m, of + "pressed");
    ReleaseOutside();

    btn->SetDown(true);
    m.down = true;
    EXPECT_EQ(bmpmodel::ChosenCell(m), expected[n][3]);
    ExpectLooks(m, of + "down");
    btn->SetDown(false);
    btn->SetNumGlyphs(1);
  }
}

namespace {
struct GlyphChooser : rtl::TObject {
  int answer = -1;
  std::vector<bool> asked;
  void Choose(rtl::TObject*, bool isDown, int& index) {
    asked.push_back(isDown);
    EXPECT_EQ(index, -1) << "asked with no choice made";
    index = answer;
  }
};
}  // namespace

TEST_F(Looks, OnGetGlyphIndexChoosesTheCellAndIsToldWhetherTheButtonIsDown) {
  Use(bmpmodel::SolidCells({RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 160, 0), RGB(200, 150, 50)},
                           std::vector<COLORREF>(4, RGB(0, 128, 128)), 16));
  GlyphChooser chooser;
  btn->OnGetGlyphIndex.Bind(&chooser, &GlyphChooser::Choose);
  chooser.answer = 3;
  bmpmodel::Button m = Model();
  m.glyphIndex = 3;
  ExpectLooks(m, "cell 3 at rest");
  EXPECT_EQ(chooser.asked, std::vector<bool>{false});
  Press();
  m.pressed = true;
  chooser.answer = 1;
  m.glyphIndex = 1;
  ExpectLooks(m, "cell 1 pressed");
  EXPECT_EQ(chooser.asked.back(), true);
  ReleaseOutside();
  // Answering -1 leaves the choice to the rules.
  chooser.answer = -1;
  m = Model();
  ExpectLooks(m, "the rules' cell");
}

TEST_F(Looks, TheHotTrackingStylesIdleGlyphFollowsAutoGrayAndShowDisabled) {
  for (TGxButtonStyle style : {bsExplorer, bsHighLight}) {
    const std::string name = kStyleNames[style];
    btn->SetButtonStyle(style);
    btn->SetAutoGray(true);
    btn->SetShowDisabled(true);
    Use(bmpmodel::TestGlyph(16, 16));
    bmpmodel::Button m = Model();
    ASSERT_EQ(bmpmodel::ChosenCell(m), 1) << "the grey cell";
    ExpectLooks(m, name + ": grey while the pointer is away");
    PointerOver();
    m.mouseInside = true;
    ExpectLooks(m, name + ": in colour under the pointer");
    PointerAway();
    m.mouseInside = false;

    btn->SetAutoGray(false);
    ExpectLooks(Model(), name + ": without AutoGray, in colour");
    btn->SetAutoGray(true);
    btn->SetShowDisabled(false);
    ExpectLooks(Model(), name + ": without ShowDisabled, in colour");
    btn->SetShowDisabled(true);

    // Two cells: the second is the idle one without AutoGray; with it, the grey of the first.
    Use(bmpmodel::SolidCells({RGB(255, 0, 0), RGB(0, 0, 255)}, {RGB(0, 128, 128), RGB(0, 128, 128)}, 16));
    ASSERT_EQ(btn->NumGlyphs(), 2);
    ExpectLooks(Model(), name + ": two cells, AutoGray");
    btn->SetAutoGray(false);
    ExpectLooks(Model(), name + ": two cells, the second");
    btn->SetNumGlyphs(1);
  }
}

TEST_F(Looks, ThePressedLookShiftsByEachIndentOnItsOwnAxisUnlessShowPressedIsOff) {
  Use(bmpmodel::TestGlyph(16, 16));
  btn->SetCaption("Go");
  btn->SetTextAlign(ttaBottom);
  btn->SetDownIndentHoriz(3);
  btn->SetDownIndentVert(1);
  Press();
  bmpmodel::Button m = Model();
  m.pressed = true;
  ASSERT_EQ(m.indentH, 3);
  ExpectLooks(m, "indents 3 across, 1 down");
  ReleaseOutside();
  btn->SetShowPressed(false);
  Press();
  m.showPressed = false;
  ExpectLooks(m, "without ShowPressed: no sunken frame, no shift");
  ReleaseOutside();
}

TEST_F(Looks, AFixedTransparentColourIsKeyedAndItsMessageRebuildsTheCells) {
  Picture glyph = bmpmodel::TestGlyph(16, 16);
  Use(glyph);
  form->Show();
  UpdateWindow(form->Handle());
  ValidateRect(form->Handle(), nullptr);
  btn->SetTransparentColor(gui::clRed);
  EXPECT_EQ(btn->TransparentMode(), tmFixed);
  RECT dirty{};
  ASSERT_TRUE(GetUpdateRect(form->Handle(), &dirty, FALSE)) << "the message invalidated the button";
  EXPECT_EQ(dirty.left, kL);
  EXPECT_EQ(dirty.top, kT);
  bmpmodel::Button m = Model();
  m.fixedKey = true;
  m.key = RGB(255, 0, 0);
  ExpectLooks(m, "red left out, teal shown");

  // A change the list keeps quiet about reaches the cells through the message alone.
  list->BeginUpdate();
  list->GetBitmap(0)->SetPixelAt(5, 5, gui::clLime);
  list->GetBitmap(0)->Changed();
  picture.At(5, 5) = RGB(0, 255, 0);
  ValidateRect(form->Handle(), nullptr);
  btn->Perform(CM_TRANSPARENTCOLORCHANGED, 0, 0);
  EXPECT_TRUE(GetUpdateRect(form->Handle(), &dirty, FALSE));
  ExpectLooks(m, "rebuilt from the changed picture");
  list->EndUpdate();
}

TEST_F(Looks, DisablingDuringAPressEndsItAndRepaintsAtOnce) {
  Use(bmpmodel::TestGlyph(16, 16));
  btn->SetCaption("Go");
  form->Show();
  UpdateWindow(form->Handle());
  bmpmodel::Button m = Model();
  Press();
  m.pressed = true;
  ExpectOnScreen(m, "pressed");
  btn->SetEnabled(false);
  EXPECT_FALSE(btn->Pressed());
  EXPECT_FALSE(btn->Armed());
  EXPECT_FALSE(btn->Tracking());
  m.pressed = false;
  m.enabled = false;
  ExpectOnScreen(m, "disabled at once");
  Send(WM_LBUTTONUP, 0, 40, 30);
  EXPECT_EQ(mouse.clicks, 0) << "the release of an ended press";
  btn->SetEnabled(true);
  m.enabled = true;
  ExpectOnScreen(m, "enabled again at once");
  Press();
  EXPECT_TRUE(btn->Tracking());
  Send(WM_LBUTTONUP, 0, 40, 30);
  EXPECT_EQ(mouse.clicks, 1);
}

TEST_F(Looks, OnlyTheLeftButtonPressesTheOthersReachTheHandlersAsTheRulesLetThem) {
  btn->OnMouseDown.Bind(&mouse, &Mouse::Down);
  btn->OnMouseUp.Bind(&mouse, &Mouse::Up);
  using Log = std::vector<std::string>;
  // Alone, another button's press is handed on and changes nothing; its release, with no press
  // being tracked, is ignored.
  Send(WM_RBUTTONDOWN, MK_RBUTTON, 40, 30);
  EXPECT_FALSE(btn->Pressed());
  EXPECT_FALSE(btn->Tracking());
  Send(WM_RBUTTONUP, 0, 40, 30);
  Send(WM_MBUTTONDOWN, MK_MBUTTON, 40, 30);
  Send(WM_MBUTTONUP, 0, 40, 30);
  EXPECT_EQ(mouse.log, (Log{"down right", "down middle"}));
  EXPECT_EQ(mouse.clicks, 0);

  // During a left press another press is ignored, its release handed on; the left release clicks.
  mouse.log.clear();
  Press();
  Send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 40, 30);
  Send(WM_RBUTTONUP, MK_LBUTTON, 40, 30);
  EXPECT_TRUE(btn->Pressed());
  Send(WM_LBUTTONUP, 0, 40, 30);
  EXPECT_EQ(mouse.log, (Log{"down left", "up right", "up left"}));
  EXPECT_EQ(mouse.clicks, 1);
}

namespace {

decltype(&TrackPopupMenu) o_TrackPopupMenu = nullptr;
POINT g_asked{};
RECT g_shown{};
HWND g_form = nullptr;
POINT g_inside{};
int g_menus = 0;

void CALLBACK LookAndClose(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND menu = FindWindowA("#32768", nullptr)) GetWindowRect(menu, &g_shown);
  EndMenu();
}

// The real menu, then what a person's clicks would have left in the queue meanwhile.
BOOL WINAPI WatchedTrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* r) {
  g_asked = POINT{x, y};
  SetTimer(nullptr, 0, 100, &LookAndClose);
  BOOL result = o_TrackPopupMenu(menu, flags, x, y, reserved, owner, r);
  if (++g_menus > 1) return result;  // a click that was not flushed opened it again
  LPARAM at = MAKELPARAM(g_inside.x, g_inside.y);
  PostMessageA(g_form, WM_MOUSEMOVE, 0, at);
  PostMessageA(g_form, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(g_form, WM_LBUTTONUP, 0, at);
  PostMessageA(g_form, WM_APP, 0, 0);
  return result;
}

}  // namespace

TEST_F(Looks, APopupMenuOpensJustBelowTheLowerLeftCornerAndTheMouseMessagesMeanwhileGo) {
  if (!o_TrackPopupMenu) {
    const tsupport::ImportHook hook{"TrackPopupMenu", reinterpret_cast<void*>(&WatchedTrackPopupMenu),
                                       reinterpret_cast<void**>(&o_TrackPopupMenu)};
    tsupport::PatchImports(GetModuleHandleA(nullptr), &hook, 1);
    ASSERT_NE(o_TrackPopupMenu, nullptr);
  }
  auto* menu = new gui::TPopupMenu(form);
  auto* item = new gui::TMenuItem(form);
  item->SetCaption("Item");
  menu->Items().Add(item);
  btn->SetPopupMenu(menu);
  form->Show();
  g_form = form->Handle();
  g_inside = POINT{kL + 40, kT + 30};
  g_shown = RECT{};
  g_menus = 0;

  Press();  // returns once the menu has closed
  POINT corner = btn->ClientToScreen(POINT{0, kH + 2});
  EXPECT_EQ(g_asked.x, corner.x);
  EXPECT_EQ(g_asked.y, corner.y);
  EXPECT_EQ(g_shown.left, corner.x) << "where the menu appeared";
  EXPECT_EQ(g_shown.top, corner.y);
  EXPECT_FALSE(btn->Tracking());
  EXPECT_EQ(mouse.clicks, 1) << "the press ends as a release inside";
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, form->Handle(), WM_LBUTTONDOWN, WM_LBUTTONUP, PM_NOREMOVE))
      << "the clicks that arrived while the menu was open are gone";
  EXPECT_TRUE(PeekMessageA(&msg, form->Handle(), WM_APP, WM_APP, PM_REMOVE)) << "other messages stay";
  app.ProcessMessages();
  EXPECT_EQ(mouse.clicks, 1);
  EXPECT_EQ(g_menus, 1);
  btn->SetPopupMenu(nullptr);
}

TEST_F(Looks, AChangeOfTheListAtRunTimeRecountsTheGlyphsThroughTheObserver) {
  Use(bmpmodel::TestGlyph(16, 16));
  ASSERT_EQ(btn->NumGlyphs(), 1);
  EXPECT_EQ(btn->GlyphStrip().Width(), 16 * 3);
  gui::TBitmap wide;
  bmpmodel::Fill(wide, bmpmodel::TestGlyph(64, 16));
  list->Add(&wide);
  list->Delete(0);  // the button's index now names the wide picture
  EXPECT_EQ(btn->NumGlyphs(), 4);
  EXPECT_EQ(btn->GlyphStrip().Width(), 64) << "rebuilt: four cells, no grey ones for bsRegular";

  // A picture changed in place is a change of the list too.
  btn->SetNumGlyphs(1);
  list->GetBitmap(0)->SetSize(32, 16);
  EXPECT_EQ(btn->NumGlyphs(), 2);
  EXPECT_EQ(btn->GlyphStrip().Width(), 32);
}

TEST(MakeGray, WeighsEachChannelAsGiven) {
  gui::TBitmap b;
  b.SetSize(4, 1);
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(200, 150, 50)};
  for (int x = 0; x < 4; ++x) b.SetPixelAt(x, 0, static_cast<gui::TColor>(colours[x]));
  gui::TBitmap c;
  c.Assign(&b);
  MakeGray(b, 30, 59, 11);
  MakeGray(c, 11, 59, 30);
  for (int x = 0; x < 4; ++x) {
    const int r = GetRValue(colours[x]), g = GetGValue(colours[x]), bl = GetBValue(colours[x]);
    const int luma = (30 * r + 59 * g + 11 * bl) / 100, swapped = (11 * r + 59 * g + 30 * bl) / 100;
    EXPECT_EQ(static_cast<COLORREF>(b.PixelAt(x, 0)), RGB(luma, luma, luma)) << x;
    EXPECT_EQ(static_cast<COLORREF>(c.PixelAt(x, 0)), RGB(swapped, swapped, swapped)) << x;
  }
  EXPECT_EQ(static_cast<COLORREF>(b.PixelAt(0, 0)), RGB(76, 76, 76)) << "pure red, weighted 30";
  EXPECT_EQ(static_cast<COLORREF>(c.PixelAt(0, 0)), RGB(28, 28, 28)) << "pure red, weighted 11";
}
