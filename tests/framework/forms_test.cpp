// A form's window made again: what the new window keeps of the old one.
#include <gtest/gtest.h>

#include "Forms.h"
#include "TestWindows.h"

using namespace gui;

TEST(Lifetime, OnlyAReleaseTheProgramAskedForFreesAForm) {
  tsupport::TTestForm f;
  f.form->HandleNeeded();
  rtl::TAliveToken alive = f.form->AliveToken();
  PostMessageA(f.form->Handle(), CM_RELEASE, 0, 0);  // as any program could
  tsupport::Pump();
  EXPECT_TRUE(alive);
  f.form->Release();
  EXPECT_TRUE(alive) << "not before the messages already queued";
  EXPECT_TRUE(tsupport::PumpUntil([&] { return !alive; }, 2000));
}

TEST(FormRecreation, ABorderStyleChangeMakesANewWindowWithTheTextMenuChildrenPlaceAndVisibility) {
  tsupport::TTestForm host;
  TForm* form = host.form;
  auto* menu = new TMainMenu(form);
  auto* item = new TMenuItem(form);
  item->SetCaption("&File");
  menu->Items().Add(item);
  form->SetMenu(menu);
  auto* child = new TWinControl(form);
  child->SetBounds(10, 10, 50, 20);
  child->SetParent(form);
  form->SetBounds(50, 60, 300, 150);
  form->HandleNeeded();
  form->SetClientHeight(90);
  form->Show();
  HWND old = form->Handle();
  SetWindowTextA(old, "Set from outside");  // a text the form did not set itself
  RECT before;
  GetWindowRect(old, &before);

  form->SetBorderStyle(bsToolWindow);
  HWND now = form->Handle();
  EXPECT_NE(now, old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(GetWindowLongPtrA(now, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "only a new window takes it";
  char text[64] = {};
  GetWindowTextA(now, text, sizeof text);
  EXPECT_STREQ(text, "Set from outside");
  ASSERT_TRUE(IsMenu(GetMenu(now))) << "the menu was not destroyed with the old window";
  EXPECT_EQ(GetMenuItemCount(GetMenu(now)), 1);
  EXPECT_TRUE(child->HandleAllocated());
  EXPECT_TRUE(IsChild(now, child->WindowHandle()));
  EXPECT_TRUE(IsWindowVisible(now));
  RECT after, client;
  GetWindowRect(now, &after);
  GetClientRect(now, &client);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(client.bottom, 90) << "the client size stays";
}
