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

namespace {
bool g_called = false;
void CALLBACK Planted(HWND, UINT, UINT_PTR, DWORD) { g_called = true; }
}  // namespace

TEST(Lifetime, ATimerMessageNamingACallbackNeverRunsIt) {
  // The platform's dispatch calls a timer message's lParam; the program's timers name none, so one
  // that does came from elsewhere (here it names a real function). In the application's loop and
  // in a modal one of the platform's (a menu's, ended by a timer of the thread's own).
  tsupport::TTestForm f;
  f.Show();
  g_called = false;
  PostMessageA(f.form->Handle(), WM_TIMER, 1, reinterpret_cast<LPARAM>(&Planted));
  f.app.ProcessMessages();
  EXPECT_FALSE(g_called);
  gui::TMenuHandle menu(CreatePopupMenu());
  AppendMenuA(menu, MF_STRING, 1, "item");
  PostMessageA(f.form->Handle(), WM_TIMER, 1, reinterpret_cast<LPARAM>(&Planted));
  SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
  });
  TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, f.form->Handle(), nullptr);
  EXPECT_FALSE(g_called);
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
