// The main window as its form resource builds it, in this process and as the real program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindow.h"
#include "ProgramUnits.h"
#include "sysinfo/SuVInfo.h"

using namespace gui;

TESS_START_PROGRAM_UNITS();

namespace {

struct MainWindow : ::testing::Test {
  tsupport::TMainWindow main;
  TApplication& app = *main.app;
};

std::string MenuText(HMENU menu, int pos) {
  char buf[64] = {};
  GetMenuStringA(menu, static_cast<UINT>(pos), buf, sizeof buf, MF_BYPOSITION);
  return buf;
}

}  // namespace

TEST_F(MainWindow, IsBuiltFromItsFormResource) {
  ASSERT_NE(Form1, nullptr);
  EXPECT_EQ(Form1->Caption(), "Brindlex UK Tessaline -  v1.01");
  EXPECT_EQ(Form1->BorderStyle(), bsSingle);
  EXPECT_EQ(Form1->Color(), clBtnFace);
  EXPECT_EQ(Form1->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(Form1->Font().Height(), -11);
  EXPECT_EQ(Form1->Font().Color(), clWindowText);
  EXPECT_FALSE(Form1->Icon().Empty());
  EXPECT_EQ(Form1->Icon().Data().size(), 766u);
  EXPECT_EQ(Form1->Icon().Width(), 32);

  LONG_PTR style = GetWindowLongPtrA(Form1->Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME) << "single border: not resizable";
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX) << "the default caption buttons";
  EXPECT_TRUE(style & WS_SYSMENU);

  HMENU menu = GetMenu(Form1->Handle());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_EQ(MenuText(menu, 0), "E&xit");
  EXPECT_EQ(MenuText(menu, 1), "About");
  EXPECT_EQ(GetSubMenu(menu, 0), nullptr) << "no sub-menus";
  ASSERT_NE(Form1->Exit1, nullptr);
  EXPECT_TRUE(Form1->Exit1->OnClick);
  EXPECT_TRUE(Form1->About1->OnClick);

  // What the resource leaves unstored is at the components' defaults.
  const bitmapbtn::TGxBitmapButton* b = Form1->btnDial;
  EXPECT_EQ((std::vector<int>{b->ShowPressed(), b->Spacing(), b->NumGlyphs(), b->Switch(), b->DownIndentHoriz(),
                              b->DownIndentVert()}),
            (std::vector<int>{true, 2, 1, false, 1, 1}));
  EXPECT_EQ(Form1->cbConn->DropDownCount(), 8);
  EXPECT_EQ(Form1->cbConn->DroppedWidth(), -1);
  EXPECT_EQ(Form1->FxLabel2->Alignment(), taLeftJustify);
}

namespace {

// The texts of this program's windows that a taskbar shows a button for: visible top-level
// windows, unowned or asking for a button, and no tool windows.
std::vector<std::string> TaskbarButtons() {
  std::vector<std::string> texts;
  auto look = [](HWND w, LPARAM l) {
    LONG_PTR ex = GetWindowLongPtrA(w, GWL_EXSTYLE);
    if (IsWindowVisible(w) && !(ex & WS_EX_TOOLWINDOW) && (!GetWindow(w, GW_OWNER) || (ex & WS_EX_APPWINDOW))) {
      char text[64] = {};
      GetWindowTextA(w, text, sizeof text);
      reinterpret_cast<std::vector<std::string>*>(l)->push_back(text);
    }
    return TRUE;
  };
  EnumThreadWindows(GetCurrentThreadId(), look, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

}  // namespace

TEST_F(MainWindow, TheTaskbarButtonShowsTheTitleAndFollowsTheWindowWhichComesBackNormal) {
  main.Show();
  HWND form = Form1->Handle(), button = app.WindowHandle();
  EXPECT_EQ(TaskbarButtons(), std::vector<std::string>{"Tessaline"}) << "not the window's own caption";
  const auto programIcon = reinterpret_cast<LRESULT>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)));
  ASSERT_NE(programIcon, 0);
  for (WPARAM kind : {ICON_BIG, ICON_SMALL, ICON_SMALL2})
    EXPECT_EQ(SendMessageA(button, WM_GETICON, kind, 0), programIcon) << "the button's icon, kind " << kind;
  RECT normal, now;
  GetWindowRect(form, &normal);
  // Maximised by the person, minimised when the line comes up: back in its normal state when
  // it drops, the taskbar's button with it, and active.
  SendMessageA(form, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(IsZoomed(form));
  Form1->RAS1->OnConnect(Form1->RAS1);
  EXPECT_TRUE(IsIconic(form));
  EXPECT_TRUE(IsIconic(button));
  Form1->RAS1->OnDisconnect(Form1->RAS1, 0, "");
  tsupport::Pump();
  EXPECT_FALSE(IsIconic(form));
  EXPECT_FALSE(IsZoomed(form));
  GetWindowRect(form, &now);
  EXPECT_TRUE(EqualRect(&now, &normal));
  EXPECT_FALSE(IsIconic(button));
  EXPECT_EQ(GetActiveWindow(), form);
  // The taskbar's minimise and restore are the window's.
  SendMessageA(button, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(form));
  EXPECT_TRUE(IsIconic(button));
  SendMessageA(button, WM_SYSCOMMAND, SC_RESTORE, 0);
  tsupport::Pump();
  EXPECT_FALSE(IsIconic(form));
  EXPECT_FALSE(IsIconic(button));
  EXPECT_EQ(GetActiveWindow(), form);
  SetActiveWindow(button);  // its taskbar button clicked: the window takes the activation
  EXPECT_EQ(GetActiveWindow(), form);
  EXPECT_EQ(TaskbarButtons(), std::vector<std::string>{"Tessaline"});
}

TEST_F(MainWindow, ClientAreaIs508By161WithTheStatusLineInTheBottom19Rows) {
  Form1->Show();
  RECT c;
  GetClientRect(Form1->Handle(), &c);
  EXPECT_EQ(c.right, 508);
  EXPECT_EQ(c.bottom, 161);
  ASSERT_NE(Form1->StatusBar1, nullptr);
  EXPECT_EQ(Form1->StatusBar1->Top(), 142);
  EXPECT_EQ(Form1->StatusBar1->Height(), 19);
  EXPECT_EQ(Form1->StatusBar1->Width(), 508);
  EXPECT_TRUE(Form1->StatusBar1->SimplePanel());
  EXPECT_FALSE(Form1->StatusBar1->SizeGrip());
  EXPECT_EQ(Form1->StatusBar1->SimpleText(), "");
}

TEST_F(MainWindow, OpensCentredOnTheScreenWhateverTheStoredPosition) {
  Form1->Show();
  RECT w;
  GetWindowRect(Form1->Handle(), &w);
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(w.left, (sw - (w.right - w.left)) / 2);
  EXPECT_EQ(w.top, (sh - (w.bottom - w.top)) / 2);
  EXPECT_NE(w.left, 169);
}

namespace {

// Lines the label's caption takes in its font, wrapped in its width less the 3-D effect's reach.
int LinesOf(fx::TFxLabel* label, int reach) {
  TScreenDC screen;
  TSelectObject font(screen, label->Font().Handle());
  RECT r{0, 0, label->Width() - reach, 0};
  std::string text = label->Caption();
  int height = DrawTextA(screen, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);
  return height / tm.tmHeight;
}

}  // namespace

TEST_F(MainWindow, TheHeadlineAndTheNoticeAreRaised3DLabelsOfOneLineEach) {
  fx::TFxLabel* headline = Form1->FxLabel1;
  fx::TFxLabel* notice = Form1->FxLabel2;
  ASSERT_TRUE(headline && notice);
  // In the resource's order: after the button, before the web link.
  EXPECT_EQ(headline->ComponentIndex(), Form1->btnDial->ComponentIndex() + 1);
  EXPECT_EQ(notice->ComponentIndex(), headline->ComponentIndex() + 1);
  EXPECT_EQ(Form1->EcURL1->ComponentIndex(), notice->ComponentIndex() + 1);
  EXPECT_EQ(headline->Parent(), Form1);

  auto bounds = [](TControl* c) {
    return std::to_string(c->Left()) + "," + std::to_string(c->Top()) + " " + std::to_string(c->Width()) + "x" +
           std::to_string(c->Height());
  };
  EXPECT_EQ(bounds(headline), "8,8 497x33");
  EXPECT_EQ(bounds(notice), "48,88 273x35");
  EXPECT_EQ(headline->Caption(), "Select the Connection and then DIAL");
  EXPECT_EQ(headline->Font().Name(), "Arial");
  EXPECT_EQ(headline->Font().Height(), -27);
  EXPECT_EQ(headline->Font().Style(), FontStyle(fsBold));
  EXPECT_EQ(headline->Font().Color(), clBlack);
  EXPECT_EQ(headline->Font().Charset(), ANSI_CHARSET);
  EXPECT_EQ(notice->Caption(), "\xA9 Brindlex UK");
  EXPECT_EQ(notice->Font().Name(), "Times New Roman");
  EXPECT_EQ(notice->Font().Height(), -27);
  EXPECT_EQ(notice->Font().Style(), 0u);
  EXPECT_EQ(notice->Font().Color(), clGray);
  EXPECT_EQ(notice->Font().Charset(), DEFAULT_CHARSET);
  for (fx::TFxLabel* label : {headline, notice}) {
    EXPECT_FALSE(label->ParentFont());
    EXPECT_EQ(label->Appearance(), fx::apRaised);
    EXPECT_EQ(label->ColorScheme(), fx::csWindows);
    EXPECT_TRUE(label->Transparent());
    EXPECT_TRUE(label->WordWrap());
    EXPECT_EQ(label->CustomSettings().HighlightColor(), clWhite);
    EXPECT_EQ(label->CustomSettings().ShadowColor(), clBlack);
    // Raised text reaches one pixel further each way: two more across.
    EXPECT_EQ(LinesOf(label, 2), 1) << label->Caption();
  }
}

TEST_F(MainWindow, ExitEndsTheMessageLoop) {
  // The menu command arrives as a person's click would: as WM_COMMAND with the item's id.
  PostMessageA(Form1->Handle(), WM_COMMAND, Form1->Exit1->Command(), 0);
  app.Run();  // returns only when the program ends
  EXPECT_TRUE(app.Terminated());
  EXPECT_FALSE(IsWindowVisible(Form1->Handle()));
}

TEST_F(MainWindow, AboutShowsTheProgramsTextAndIconOverTheMainWindow) {
  sysinfo::TSuShellAbout* about = Form1->About;
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->Caption(), "");
  EXPECT_EQ(about->TitleText(), "");
  EXPECT_EQ(about->AdditionalText(), "Tessaline v1.01 \xA9 Brindlex UK. All rights reserved.");
  EXPECT_EQ(about->Icon()->Data(), Form1->Icon().Data()) << "the window's own icon";
  EXPECT_GT(about->ShellVersion(), 0.0);

  int calls = 0;
  HWND parent = nullptr;
  std::string text = "unset", additional;
  HICON icon = nullptr;
  about->SetShellAboutCall([&](HWND p, const char* t, const char* a, HICON i) {
    ++calls, parent = p, text = t, additional = a, icon = i;
    return 1;
  });
  PostMessageA(Form1->Handle(), WM_COMMAND, Form1->About1->Command(), 0);
  app.ProcessMessages();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(parent, Form1->Handle());
  EXPECT_EQ(text, "");
  EXPECT_EQ(additional, about->AdditionalText());
  EXPECT_EQ(icon, about->Icon()->Handle());
  EXPECT_NE(icon, nullptr);
}

TEST_F(MainWindow, ItsCaptionIsStyledWithTheCompanyTheApplicationNameAndTheVersion) {
  styler::TGxFormStyler* s = Form1->GxFormStyler1;
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->CompanyText()->Caption(), "Brindlex UK");
  EXPECT_EQ(s->CompanyText()->FontKind(), styler::fkSystemBI);
  EXPECT_EQ(s->AppNameText()->Caption(), "Tessaline - ");
  EXPECT_EQ(s->AppNameText()->FontKind(), styler::fkSystemB);
  EXPECT_EQ(s->CaptionText()->Caption(), "v1.01");
  EXPECT_EQ(s->CaptionText()->FontKind(), styler::fkSystem);
  for (auto* t : {static_cast<styler::TGxCompanyText*>(s->CompanyText()),
                  static_cast<styler::TGxCompanyText*>(s->AppNameText()),
                  static_cast<styler::TGxCompanyText*>(s->CaptionText())})
    EXPECT_TRUE(t->Visible());
  EXPECT_EQ(s->NumColors(), 64);
  EXPECT_EQ(s->Options(), styler::goSmart);
  EXPECT_TRUE(s->Hooked());
  EXPECT_EQ(s->HookedHandle(), Form1->Handle());
  EXPECT_EQ(Form1->Caption(), "Brindlex UK Tessaline -  v1.01") << "the text the segments compose";
}

TEST(Program, CarriesItsOwnVersionResource) {
  sysinfo::TSuVersionInfo info(nullptr);
  info.SetFileName("Tessaline.exe");
  info.LoadVersionInfo();
  EXPECT_EQ(info.ProductName(), "Tessaline");
  EXPECT_EQ(info.ProductVersion(), "1.01");
  EXPECT_EQ(info.FileVersion(), "1.01");
  EXPECT_DOUBLE_EQ(info.FileVersionNumber(), 1.01);
  EXPECT_EQ(info.CompanyName(), "Brindlex UK");
  EXPECT_EQ(info.LegalCopyright(), "Copyright \xA9 Brindlex UK. All rights reserved.");
}

TEST(Program, ExitFromItsMenuEndsTheProgram) {
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  char cmd[] = "Tessaline.exe";
  ASSERT_TRUE(CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND wnd = tsupport::WaitForWindow("TForm1", "Brindlex UK Tessaline -  v1.01", 15000, pi.dwProcessId);
  ASSERT_NE(wnd, nullptr) << "the main window appears";
  // Alt+X, typed as a person would: the menu's mnemonic chooses "E&xit".
  ASSERT_TRUE(tsupport::BringToFront(wnd));
  INPUT keys[4] = {};
  WORD vks[4] = {VK_MENU, 'X', 'X', VK_MENU};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = vks[i];
    keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, keys, sizeof(INPUT));
  DWORD waited = WaitForSingleObject(pi.hProcess, 15000);
  if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(waited, WAIT_OBJECT_0);
  EXPECT_EQ(code, 0u);
}
