// End to end: the real main window with the real remote-access service and a test phonebook,
// driven by real mouse clicks and typing; checks what a person sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Driver.h"
#include "Main.h"
#include "MemorySurface.h"

using namespace gui;
using namespace e2e;

namespace {

const char* kPhonebook =
    "[Alpha Net]\r\nPhoneNumber=555-0001\r\nDeviceType=modem\r\nUserName=alpha\r\nPassword=secret\r\n"
    "SavePassword=1\r\nStepDelayMs=40\r\nHangUpDelayMs=150\r\n"
    "[Busy Line]\r\nPhoneNumber=555-0002\r\nFault=busy\r\nStepDelayMs=40\r\n"
    "[Drop Line]\r\nPhoneNumber=555-0003\r\nStepDelayMs=40\r\nDropAfterMs=500\r\nHangUpDelayMs=50\r\n";

std::string StartsOf(const std::string& s, size_t n) { return s.substr(0, n); }

class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pbk_ = TempPath("e2e.pbk");
    WriteFile(pbk_, kPhonebook);
    SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk_.c_str());
  }

  void SetUp() override {
    app_ = std::make_unique<TApplication>();
    app_->Initialize();
    app_->SetTitle("Tessaline");
    app_->CreateForm(Form1);
    Form1->Show();
    SetForegroundWindow(Form1->Handle());
    PumpFor(150);
  }

  void TearDown() override {
    SetObserver(nullptr);
    app_.reset();
    Form1 = nullptr;
  }

  std::string Status() const { return Form1->StatusBar1->SimpleText(); }
  std::string Caption() const { return Form1->btnDial->Caption(); }
  bool Minimised() const { return IsIconic(Form1->Handle()) != 0; }

  POINT Centre(TControl* c) const { return c->ClientToScreen(POINT{c->Width() / 2, c->Height() / 2}); }
  void ClickDial() { ClickAt(Centre(Form1->btnDial)); }
  void TypeEntry(const std::string& name) {
    ClickAt(Form1->cbConn->ClientToScreen(POINT{40, 12}));
    TypeText(name);
  }
  // Records every status text the line shows, in order, from now on.
  void RecordStatus() {
    seen_.clear();
    std::string before = Status();
    SetObserver([this, before] {
      if ((seen_.empty() ? before : seen_.back()) != Status()) seen_.push_back(Status());
    });
  }
  std::vector<std::string> Recorded(const std::function<bool()>& until, DWORD ms) {
    EXPECT_TRUE(PumpUntil(until, ms)) << "timed out; last status: " << Status();
    SetObserver(nullptr);
    return seen_;
  }
  void Restore() {
    ShowWindow(Form1->Handle(), SW_RESTORE);
    SetForegroundWindow(Form1->Handle());
    PumpFor(150);
  }

  static inline std::string pbk_;
  std::unique_ptr<TApplication> app_;
  std::vector<std::string> seen_;
};

}  // namespace

TEST_F(EndToEnd, OpensWithThePhonebookEntriesAndAnEmptyStatusLine) {
  ASSERT_EQ(Form1->cbConn->Items().Count(), 3);
  EXPECT_EQ(Form1->cbConn->Items().Strings(0), "Alpha Net");
  EXPECT_EQ(Form1->cbConn->Items().Strings(1), "Busy Line");
  EXPECT_EQ(Form1->cbConn->Items().Strings(2), "Drop Line");
  EXPECT_EQ(SendMessageA(Form1->cbConn->Handle(), CB_GETCOUNT, 0, 0), 3) << "the list the person opens";
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(Caption(), "Dial");
  EXPECT_EQ(Form1->cbConn->Text(), "");
  EXPECT_TRUE(Form1->cbConn->Focused() || IsChild(Form1->cbConn->Handle(), GetFocus())) << "focus starts in the entry list";
}

TEST_F(EndToEnd, TheHeadlineAndTheNoticeShowOnTheScreenAsRaisedText) {
  const COLORREF back = GetSysColor(COLOR_BTNFACE);
  auto light = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
  struct Shown {
    TControl* label;
    COLORREF face;
  };
  for (Shown s : {Shown{Form1->FxLabel1, RGB(0, 0, 0)}, Shown{Form1->FxLabel2, RGB(128, 128, 128)}}) {
    POINT at = s.label->ClientToScreen(POINT{0, 0});
    const int w = s.label->Width(), h = s.label->Height();
    tsupport::Surface shot(w, h);
    {
      TScreenDC screen;
      BitBlt(shot.Dc(), 0, 0, w, h, screen, at.x, at.y, SRCCOPY);
    }
    // The white highlight lies one pixel above the face, the black shadow one below: the first
    // row with text in it is lighter than the window, the last darker.
    int top = -1, bottom = -1, faces = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (shot.At(x, y) == back) continue;
        if (top < 0) top = y;
        bottom = y;
        faces += shot.At(x, y) == s.face;
      }
    ASSERT_GE(top, 0) << s.label->Name() << " shows something";
    for (int x = 0; x < w; ++x) {
      if (shot.At(x, top) != back) {
        EXPECT_GT(light(shot.At(x, top)), light(back)) << s.label->Name() << " top row, x " << x;
      }
      if (shot.At(x, bottom) != back) {
        EXPECT_LT(light(shot.At(x, bottom)), light(back)) << s.label->Name() << " bottom row, x " << x;
      }
    }
    EXPECT_GT(faces, 100) << s.label->Name() << " in its font colour";
  }
}

TEST_F(EndToEnd, TypingAnUnknownNameSaysNoParametersAreAvailable) {
  TypeEntry("Nowhere");
  EXPECT_EQ(Form1->cbConn->Text(), "Nowhere");
  EXPECT_EQ(Form1->RAS1->EntryName(), "Nowhere");
  EXPECT_EQ(Status(), "No Parameters Available - Check Dial Up Networking");
}

TEST_F(EndToEnd, ChoosingAKnownEntryLeavesTheStatusLineAsItWas) {
  TypeEntry("Alpha Ne");  // "Alpha Ne" is unknown: the message appears ...
  EXPECT_EQ(Status(), "No Parameters Available - Check Dial Up Networking");
  TypeText("t");  // ... and stays when the name becomes a known one
  EXPECT_EQ(Form1->RAS1->EntryName(), "Alpha Net");
  EXPECT_EQ(Status(), "No Parameters Available - Check Dial Up Networking");
}

TEST_F(EndToEnd, DialWithNoEntryShowsTheWarningAndChangesNothing) {
  BoxCloser box("Warning", 5000);
  ClickDial();
  PumpFor(200);
  EXPECT_EQ(box.Join(), "Please Select the Entry to Dial !");
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(Caption(), "Dial");
}

TEST_F(EndToEnd, DialShowsEveryStateMinimisesAndHangsUp) {
  TypeEntry("Alpha Net");
  RecordStatus();
  ClickDial();
  auto seen = Recorded([&] { return Status() == "Connected/Online"; }, 10000);
  ASSERT_EQ(seen.size(), 9u) << ::testing::PrintToString(seen);
  EXPECT_EQ(seen[0], "Opening Serial Port");
  EXPECT_EQ(seen[1], "Serial Port Opened");
  EXPECT_EQ(StartsOf(seen[2], 19), "Connecting/Dialling");
  EXPECT_EQ(StartsOf(seen[3], 18), "Connected/Answered");
  EXPECT_EQ(seen[4], "Connected/Negotiation");
  EXPECT_EQ(seen[5], "Validating User and Password");
  EXPECT_EQ(seen[6], "Login Authenticated");
  EXPECT_EQ(seen[7], "Projection Completion");
  EXPECT_EQ(seen[8], "Connected/Online");
  EXPECT_EQ(Caption(), "Hang Up");
  PumpUntil([&] { return Minimised(); }, 2000);
  EXPECT_TRUE(Minimised());

  // The person brings the window back and presses "Hang Up"; it returns once the line is gone.
  Restore();
  ClickDial();
  PumpUntil([&] { return Caption() == "Dial"; }, 5000);
  EXPECT_EQ(Caption(), "Dial");
  EXPECT_FALSE(Minimised());
  std::string log = ReadFile(pbk_.substr(0, pbk_.size() - 4) + ".log");
  EXPECT_NE(log.find("hang-up requested"), std::string::npos);
}

TEST_F(EndToEnd, ARemoteDropRestoresTheWindowWithDial) {
  TypeEntry("Drop Line");
  ClickDial();
  ASSERT_TRUE(PumpUntil([&] { return Minimised(); }, 10000)) << Status();
  ASSERT_TRUE(PumpUntil([&] { return Caption() == "Dial"; }, 10000)) << Status();
  EXPECT_FALSE(Minimised());
  EXPECT_EQ(Status(), "Disconnected/Offline");
}

TEST_F(EndToEnd, ABusyLineShowsTheServiceErrorText) {
  TypeEntry("Busy Line");
  ClickDial();
  ASSERT_TRUE(PumpUntil([&] { return Status() == "The line is busy."; }, 10000)) << Status();
  EXPECT_EQ(Caption(), "Hang Up") << "the port had opened";
  EXPECT_FALSE(Minimised());
  ClickDial();  // hanging up resets the caption
  EXPECT_TRUE(PumpUntil([&] { return Caption() == "Dial"; }, 5000));
}

// --------------------------------------------------------------- the program as a process

namespace {

struct Program {
  PROCESS_INFORMATION pi{};
  HWND wnd = nullptr;
  // The program runs from the test's folder, where our service sits beside it; withService false
  // runs a copy from a folder without it (only the service is ever loaded for that library).
  explicit Program(bool withService) {
    std::string exe = "Tessaline.exe";
    if (!withService) {
      exe = TempPath("Tessaline.exe");
      CopyFileA("Tessaline.exe", exe.c_str(), FALSE);
    }
    STARTUPINFOA si{sizeof si};
    std::string cmd = "\"" + exe + "\"";
    CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    for (int i = 0; i < 300 && !wnd; ++i) {
      HWND w = FindWindowA("TForm1", "Brindlex UK Tessaline -  v1.01");
      if (w && IsWindowVisible(w)) wnd = w;
      else Sleep(50);
    }
  }
  ~Program() {
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  bool Ended(DWORD ms) { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
  HWND Child(const char* cls) { return FindWindowExA(wnd, nullptr, cls, nullptr); }
  std::string StatusText() {
    char text[256] = {};
    SendMessageA(Child("msctls_statusbar32"), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }
};

}  // namespace

TEST(Program, WithoutTheServiceTheListIsEmptyAndNoMessageAppears) {
  Program p(false);
  ASSERT_NE(p.wnd, nullptr);
  Sleep(300);
  EXPECT_EQ(SendMessageA(p.Child("ComboBox"), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(p.StatusText(), "");
  // No window of the program's other than its main window is shown: no message box.
  struct Seen {
    DWORD pid;
    HWND main;
    int others;
  } seen{p.pi.dwProcessId, p.wnd, 0};
  EnumWindows(
      [](HWND w, LPARAM l) {
        auto* s = reinterpret_cast<Seen*>(l);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == s->pid && w != s->main && IsWindowVisible(w)) ++s->others;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen.others, 0) << "no message box";
  PostMessageA(p.wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.Ended(10000));
}

TEST(Program, ExitWhileConnectedEndsTheProgramAndTheConnection) {
  std::string pbk = TempPath("exit.pbk");
  WriteFile(pbk, "[Stay Up]\r\nPhoneNumber=555-0009\r\nStepDelayMs=30\r\nHangUpDelayMs=50\r\n");
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk.c_str());
  Program p(true);
  ASSERT_NE(p.wnd, nullptr);
  // Choose the entry and dial, as a person would: the list's first item, then the button.
  SetForegroundWindow(p.wnd);
  HWND combo = p.Child("ComboBox");
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  SendMessageA(p.wnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  RECT r;
  GetWindowRect(p.wnd, &r);
  POINT client{0, 0};
  ClientToScreen(p.wnd, &client);
  ClickAt(POINT{client.x + 368 + 64, client.y + 48 + 40});
  bool minimised = false;
  for (int i = 0; i < 200 && !minimised; ++i, Sleep(50)) minimised = IsIconic(p.wnd);
  EXPECT_TRUE(minimised) << "connected";
  // The person brings the window back and chooses "E&xit" (Alt+X).
  ShowWindow(p.wnd, SW_RESTORE);
  SetForegroundWindow(p.wnd);
  Sleep(200);
  PressKey('X', true);
  EXPECT_TRUE(p.Ended(10000));
  std::string log = ReadFile(pbk.substr(0, pbk.size() - 4) + ".log");
  EXPECT_NE(log.find("state 8192"), std::string::npos) << log;
  EXPECT_NE(log.find("hang-up requested"), std::string::npos) << log;
}

namespace {

// The first shown dialog of the platform's dialog class that the process owns.
HWND FindDialogOf(DWORD pid, DWORD timeoutMs) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  for (DWORD waited = 0; !search.found && waited < timeoutMs; waited += 50) {
    EnumWindows(
        [](HWND w, LPARAM l) {
          auto* s = reinterpret_cast<Search*>(l);
          DWORD owner = 0;
          char cls[32] = {};
          GetWindowThreadProcessId(w, &owner);
          GetClassNameA(w, cls, sizeof cls);
          if (owner != s->pid || !IsWindowVisible(w) || lstrcmpA(cls, "#32770") != 0) return TRUE;
          s->found = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(50);
  }
  return search.found;
}

std::string TextOf(HWND w) {
  char text[512] = {};
  GetWindowTextA(w, text, sizeof text);
  return text;
}

std::vector<std::string> StaticTexts(HWND dialog) {
  std::vector<std::string> texts;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) texts.push_back(TextOf(c));
  }
  return texts;
}

}  // namespace

TEST(Program, AboutShowsThePlatformsAboutBoxWithTheProgramsText) {
  Program p(true);
  ASSERT_NE(p.wnd, nullptr);
  SetForegroundWindow(p.wnd);
  Sleep(200);
  // "About" has no mnemonic: the person opens the menu bar with Alt, moves to it and presses Enter.
  PressKey(VK_MENU);
  PressKey(VK_RIGHT);
  PressKey(VK_RETURN);
  HWND about = FindDialogOf(p.pi.dwProcessId, 5000);
  ASSERT_NE(about, nullptr) << "no About dialog appeared";
  // An empty Caption leaves the platform's title alone.
  EXPECT_EQ(TextOf(about).substr(0, 5), "About");
  EXPECT_EQ(GetWindow(about, GW_OWNER), p.wnd) << "the main window is its parent";
  EXPECT_FALSE(IsWindowEnabled(p.wnd)) << "modal";
  std::vector<std::string> texts = StaticTexts(about);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Tessaline v1.01 \xA9 Brindlex UK. All rights reserved."), texts.end())
      << ::testing::PrintToString(texts);

  PostMessageA(about, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && IsWindow(about); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(about)) << "closed";
  EXPECT_TRUE(IsWindowEnabled(p.wnd));
  EXPECT_FALSE(p.Ended(200)) << "the program goes on";
  PostMessageA(p.wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.Ended(10000));
}

namespace {

// The caption bar of a single-bordered window and its text area (the caption less three
// buttons), by the platform's metrics.
RECT CaptionOf(const Screenshot& s) {
  int fx = GetSystemMetrics(SM_CXDLGFRAME), fy = GetSystemMetrics(SM_CYDLGFRAME);
  return RECT{fx, fy, s.Width() - fx, fy + GetSystemMetrics(SM_CYCAPTION) - 1};
}

int CountIn(const Screenshot& s, RECT r, COLORREF c) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += s.At(x, y) == c;
  return n;
}

}  // namespace

TEST(Program, ShowsItsStyledCaptionActiveAndInactive) {
  Program p(true);
  ASSERT_NE(p.wnd, nullptr);
  SetForegroundWindow(p.wnd);
  Sleep(400);
  // The picture of each look is kept beside the other build results.
  const std::string shots = "..\\..\\e2e-screenshots\\";
  for (bool active : {true, false}) {
    std::unique_ptr<OtherWindow> other;
    if (!active) {
      other = std::make_unique<OtherWindow>();
      ASSERT_NE(other->Handle(), nullptr) << "no other window to activate";
      Sleep(400);
    }
    Screenshot s(p.wnd);
    s.Save(shots + (active ? "caption-active.bmp" : "caption-inactive.bmp"));
    RECT c = CaptionOf(s), t = c;
    t.right -= 3 * GetSystemMetrics(SM_CXSIZE) + 2;
    int textStart = t.left + 1 + GetSystemMetrics(SM_CXSMICON) + 1;
    EXPECT_EQ(s.At(t.left, t.top), RGB(0, 0, 0)) << "the gradient starts black; active " << active;
    EXPECT_EQ(s.At(t.right - 1, t.top), GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION))
        << "and ends in the caption colour";
    EXPECT_EQ(s.At(c.right - 1, c.top), GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION))
        << "which fills what the buttons leave";
    RECT text{textStart, t.top, t.right, t.bottom};
    EXPECT_GT(CountIn(s, text, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)), 150)
        << "the three segments in the caption-text colour";
    EXPECT_EQ(TextOf(p.wnd), "Brindlex UK Tessaline -  v1.01") << "the window text stays";
  }
  PostMessageA(p.wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.Ended(10000));
}
