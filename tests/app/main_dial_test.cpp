// The main window's dial button with the real remote-access service behind it: what a press does
// for each caption and entry, with the library missing, and the warning box it shows.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ImportPatch.h"
#include "MainWindow.h"
#include "TestFiles.h"

using namespace gui;
using tsupport::PumpFor;
using tsupport::PumpUntil;

namespace {

// The test program's own LoadLibraryExA (the system folder's libraries are loaded through it):
// "RASAPI32.DLL" can be made to fail.
bool g_noRasLibrary = false;
decltype(&LoadLibraryExA) o_LoadLibraryExA = nullptr;

HMODULE WINAPI NoRasLoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) {
  if (g_noRasLibrary && name && lstrcmpiA(name, "RASAPI32.DLL") == 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return o_LoadLibraryExA(name, file, flags);
}

class MainDial : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!o_LoadLibraryExA) {
      const tsupport::ImportHook hook{"LoadLibraryExA", reinterpret_cast<void*>(&NoRasLoadLibraryExA),
                                         reinterpret_cast<void**>(&o_LoadLibraryExA)};
      tsupport::PatchImports(GetModuleHandleA(nullptr), &hook, 1);
      ASSERT_NE(o_LoadLibraryExA, nullptr);
    }
    dir_ = tsupport::FreshTestDir("tess-app-");
    pbk_ = tsupport::WriteTextFile(dir_ + "\\dial.pbk",
                                      "[Alpha]\r\nUserName=alpha\r\nStepDelayMs=200\r\nHangUpDelayMs=30\r\n");
    SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk_.c_str());
  }
  void TearDown() override {
    g_noRasLibrary = false;
    main_.reset();
    SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", nullptr);
    tsupport::RemoveTree(dir_);
  }

  void Open() {
    main_.emplace();
    main_->Show();
  }
  // Types into the entry list's edit field as keys would, each character a change.
  void Type(const std::string& text) {
    HWND edit = Form1->cbConn->EditHandle();
    ASSERT_NE(edit, nullptr);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  // A left click in the middle of the button, sent to the window as the mouse would.
  void ClickDial() {
    TControl* b = Form1->btnDial;
    LPARAM at = MAKELPARAM(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
    SendMessageA(Form1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(Form1->Handle(), WM_LBUTTONUP, 0, at);
  }
  std::string Status() const { return Form1->StatusBar1->SimpleText(); }
  std::string Caption() const { return Form1->btnDial->Caption(); }
  std::string ServiceLog() const { return tsupport::ReadTextFile(dir_ + "\\dial.log"); }

  std::optional<tsupport::TMainWindow> main_;
  std::string dir_, pbk_;
};

// The window's client area as it is on the screen.
std::vector<COLORREF> Screen(HWND wnd) {
  RECT c;
  GetClientRect(wnd, &c);
  HDC dc = GetDC(wnd);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < c.bottom; ++y)
    for (int x = 0; x < c.right; ++x) pixels.push_back(GetPixel(dc, x, y));
  ReleaseDC(wnd, dc);
  return pixels;
}

}  // namespace

TEST_F(MainDial, ACaptionOtherThanExactlyDialHangsUp) {
  Open();
  Type("Alpha");
  ASSERT_EQ(Form1->RAS1->EntryName(), "Alpha");
  Form1->StatusBar1->SetSimpleText("Ready");
  Form1->btnDial->SetCaption("dial");
  ClickDial();
  PumpFor(300);  // time for a dial to be told: none may come
  EXPECT_EQ(Form1->RAS1->RASConn(), nullptr) << "nothing was dialled";
  EXPECT_EQ(ServiceLog().find("dial 'Alpha'"), std::string::npos) << ServiceLog();
  EXPECT_EQ(Caption(), "Dial") << "the hang-up's OnDisconnect sets it";
  EXPECT_EQ(Status(), "Ready");

  // The caption exactly "Dial" does dial.
  ClickDial();
  EXPECT_NE(Form1->RAS1->RASConn(), nullptr);
  EXPECT_NE(ServiceLog().find("dial 'Alpha' number '' user 'alpha'"), std::string::npos) << "its parameters";
  EXPECT_TRUE(PumpUntil([&] { return Caption() == "Hang Up"; }, 3000));
  EXPECT_EQ(Status(), "Serial Port Opened");
  InvalidateRect(Form1->StatusBar1->Handle(), nullptr, TRUE);
  Form1->RAS1->OnStateChanged(Form1->RAS1);
  EXPECT_FALSE(GetUpdateRect(Form1->StatusBar1->Handle(), nullptr, FALSE)) << "painted at once";
  EXPECT_EQ(Caption(), "Hang Up");
  ClickDial();
  EXPECT_EQ(Form1->RAS1->RASConn(), nullptr);
  EXPECT_EQ(Caption(), "Dial");
}

TEST_F(MainDial, DiallingAnUnknownNameLeavesTheStatusLineAsItWas) {
  Open();
  Type("Nowhere");
  EXPECT_EQ(Status(), "No Parameters Available - Check Dial Up Networking");
  InvalidateRect(Form1->StatusBar1->Handle(), nullptr, TRUE);
  Form1->cbConn->OnChange(Form1->cbConn);
  EXPECT_FALSE(GetUpdateRect(Form1->StatusBar1->Handle(), nullptr, FALSE)) << "painted at once";
  Form1->StatusBar1->SetSimpleText("Ready to dial");
  ClickDial();
  PumpFor(300);  // time for a state change to reach the status line: none may
  EXPECT_EQ(Form1->RAS1->LastError(), static_cast<int32_t>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY)) << "the dial failed";
  EXPECT_EQ(Status(), "Ready to dial");
  EXPECT_EQ(Caption(), "Dial");
  EXPECT_FALSE(IsIconic(Form1->Handle()));
}

TEST_F(MainDial, WithoutTheRemoteAccessLibraryPressingDialChangesNothingOnScreen) {
  g_noRasLibrary = true;
  Open();
  EXPECT_EQ(Form1->cbConn->Items().Count(), 0);
  Type("Alpha");
  EXPECT_EQ(Status(), "No Parameters Available - Check Dial Up Networking");
  UpdateWindow(Form1->Handle());
  HideCaret(nullptr);  // the edit field's blinking caret is not the program's doing
  tsupport::Pump();
  const std::vector<COLORREF> before = Screen(Form1->Handle());
  ClickDial();
  PumpFor(300);  // time for anything to change on the screen: nothing may
  const std::vector<COLORREF> after = Screen(Form1->Handle());
  ASSERT_EQ(after.size(), before.size());
  size_t different = 0;
  for (size_t i = 0; i < before.size(); ++i) different += before[i] != after[i];
  EXPECT_EQ(different, 0u);
  EXPECT_EQ(Form1->RAS1->LastError(), 1157);
  EXPECT_EQ(Form1->RAS1->NotifyWindow(), nullptr);
  EXPECT_EQ(Caption(), "Dial");
  EXPECT_EQ(Status(), "No Parameters Available - Check Dial Up Networking");
  EXPECT_EQ(FindWindowA(nullptr, "Warning"), nullptr);
}

namespace {

// What a watcher on another thread saw of the first "Warning" box of this process.
struct BoxSeen {
  DWORD waitMs = 5000;
  bool found = false;
  HWND owner = nullptr;
  bool ownerEnabled = true;
  std::vector<std::string> buttons;
  std::vector<std::string> texts;
  HICON icon = nullptr;
  int icons = 0;
};

DWORD WINAPI WatchForTheBox(void* param) {
  auto* seen = static_cast<BoxSeen*>(param);
  HWND box = tsupport::WaitForWindow("#32770", "Warning", seen->waitMs, GetCurrentProcessId());
  if (!box) return 0;
  seen->found = true;
  seen->owner = GetWindow(box, GW_OWNER);
  seen->ownerEnabled = IsWindowEnabled(seen->owner);
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32] = {}, text[256] = {};
    GetClassNameA(c, cls, sizeof cls);
    GetWindowTextA(c, text, sizeof text);
    LONG style = GetWindowLongA(c, GWL_STYLE);
    if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(c)) seen->buttons.push_back(text);
    if (lstrcmpiA(cls, "Static") == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        ++seen->icons;
        seen->icon = reinterpret_cast<HICON>(SendMessageA(c, STM_GETICON, 0, 0));
      } else if (text[0]) {
        seen->texts.push_back(text);
      }
    }
  }
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return 0;
}

}  // namespace

TEST_F(MainDial, AnEmptyEntryShowsAWarningWithTheExclamationIconAndOneOKButton) {
  Open();
  Form1->StatusBar1->SetSimpleText("Ready");
  BoxSeen seen;
  HANDLE watcher = CreateThread(nullptr, 0, &WatchForTheBox, &seen, 0, nullptr);
  ClickDial();  // returns when the box has been closed
  WaitForSingleObject(watcher, 10000);
  CloseHandle(watcher);
  ASSERT_TRUE(seen.found) << "no warning box";
  EXPECT_EQ(seen.owner, Form1->Handle());
  EXPECT_FALSE(seen.ownerEnabled) << "modal";
  EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(seen.texts, std::vector<std::string>{"Please Select the Entry to Dial !"});
  EXPECT_EQ(seen.icons, 1);
  EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_EXCLAMATION)) << "the platform's exclamation icon";
  EXPECT_NE(seen.icon, LoadIconA(nullptr, IDI_HAND));
  EXPECT_EQ(Status(), "Ready");
  EXPECT_EQ(Caption(), "Dial");
  EXPECT_EQ(Form1->RAS1->NotifyWindow(), nullptr) << "no dial";
}

TEST_F(MainDial, ANameOfBlanksIsDialledNotWarnedAbout) {
  Open();
  Type("   ");
  BoxSeen seen;
  seen.waitMs = 1000;
  HANDLE watcher = CreateThread(nullptr, 0, &WatchForTheBox, &seen, 0, nullptr);
  ClickDial();  // a box, were there one, would be closed by the watcher
  WaitForSingleObject(watcher, 10000);
  CloseHandle(watcher);
  EXPECT_FALSE(seen.found) << "a warning";
  EXPECT_EQ(GetFocus(), Form1->cbConn->EditHandle()) << "the button never takes the focus";
  EXPECT_EQ(Form1->RAS1->LastError(), static_cast<int32_t>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY)) << "no such entry";
}
