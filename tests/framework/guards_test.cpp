// The owning handle guards give back exactly what they own, on every path, and the framework's
// objects that hold handles through them leave nothing behind, a throwing listener included.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "Forms.h"
#include "GdiCounter.h"
#include "Guards.h"
#include "Menus.h"

using namespace gui;
using tsupport::GdiDelta;

namespace {

HBRUSH NewBrush() { return CreateSolidBrush(RGB(1, 2, 3)); }

struct Thrower : rtl::TObject {
  void Changed(rtl::TObject*) { throw std::runtime_error("listener failed"); }
};

}  // namespace

TEST(Guards, AnOwnedHandleIsFreedOnceWhereverItEndsUp) {
  GdiDelta delta;
  {
    TBrushHandle a(NewBrush()), b(NewBrush());
    EXPECT_EQ(delta.Delta(), 2);
    a = std::move(b);  // a's own brush goes, b's moves over
    EXPECT_EQ(delta.Delta(), 1);
    EXPECT_FALSE(b);
    TBrushHandle c(std::move(a));
    c.Reset(c.Get());  // the same handle again: kept
    EXPECT_EQ(delta.Delta(), 1);
    EXPECT_TRUE(GetObjectType(c) == OBJ_BRUSH);
    c.Reset(NewBrush());
    EXPECT_EQ(delta.Delta(), 1);
  }
  EXPECT_EQ(delta.Delta(), 0);

  HBRUSH kept;
  {
    TBrushHandle d(NewBrush());
    kept = d.Release();
  }
  EXPECT_EQ(delta.Delta(), 1) << "a released handle is the caller's";
  TBrushHandle adopt(kept);
}

TEST(Guards, IconAndMenuHandlesGiveBackTheirKind) {
  GdiDelta delta;
  {
    TIconHandle icon(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */)));
    ASSERT_TRUE(icon);
    TMenuHandle menu(CreateMenu());
    TMenuHandle sub(CreatePopupMenu());
    AppendMenuA(sub, MF_STRING, 1, "item");
    ASSERT_TRUE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Get()), "sub"));
    sub.Release();  // the menu holds it now
    EXPECT_EQ(delta.Delta(), 3);
  }
  EXPECT_EQ(delta.Delta(), 0) << "the menu took its sub-menu with it";
}

TEST(Guards, AThrowingChangeListenerStillLetsTheOldObjectGo) {
  GdiDelta delta;
  {
    TBrush brush;
    brush.Handle();
    Thrower thrower;
    brush.OnChange.Bind(&thrower, &Thrower::Changed);
    EXPECT_THROW(brush.SetColor(clRed), std::runtime_error);
    EXPECT_THROW(brush.SetColor(clLime), std::runtime_error);
  }
  EXPECT_EQ(delta.Delta(), 0);
}

TEST(Guards, AShownMainMenuRebuiltLeavesNoMenuBehind) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* menu = new TMainMenu(form.get());
  auto* file = new TMenuItem(form.get());
  auto* exit = new TMenuItem(form.get());
  menu->Items().Add(file);
  file->SetCaption("&File");
  file->Add(exit);
  exit->SetCaption("E&xit");
  exit->SetShortCut(scCtrl | 'Q');
  form->SetMenu(menu);
  form->HandleNeeded();
  GdiDelta delta;
  for (int i = 0; i < 3; ++i) exit->SetCaption(i % 2 ? "E&xit" : "&Quit");
  EXPECT_EQ(delta.Delta(), 0) << "each rebuild frees the menu and sub-menu it replaced";
  HMENU shown = GetMenu(form->Handle());
  ASSERT_NE(shown, nullptr);
  char text[32] = {};
  GetMenuStringA(GetSubMenu(shown, 0), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Quit\tCtrl+Q");
}

TEST(Guards, ScopedDcsSelectionsAndSavedStatesLeaveTheDcAsItWas) {
  GdiDelta delta;
  {
    TMemoryDC dc;
    TBitmapHandle bmp(CreateCompatibleBitmap(TScreenDC(), 8, 8));
    HGDIOBJ original = GetCurrentObject(dc, OBJ_BITMAP);
    {
      TSelectObject selected(dc, bmp);
      EXPECT_TRUE(selected.Selected());
      EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bmp.Get());
      {
        TSaveDC saved(dc);
        SetBkMode(dc, TRANSPARENT);
        SetViewportOrgEx(dc, 3, 4, nullptr);
      }
      POINT origin;
      GetViewportOrgEx(dc, &origin);
      EXPECT_EQ(GetBkMode(dc), OPAQUE);
      EXPECT_EQ(origin.x, 0);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), original);
    TSelectObject none(dc, nullptr);
    EXPECT_FALSE(none.Selected());
  }
  EXPECT_EQ(delta.Delta(), 0);
}
