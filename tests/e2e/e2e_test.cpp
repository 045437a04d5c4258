// End to end: the real main window with the real remote-access service and a test phonebook,
// driven by real mouse clicks and typing; checks what a person sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Driver.h"
#include "MainWindow.h"
#include "MemorySurface.h"
#include "ProgramUnits.h"
#include "TestFiles.h"

using namespace gui;
using namespace e2e;

TESS_START_PROGRAM_UNITS();

namespace {

const char* kPhonebook =
    "[Alpha Net]\r\nPhoneNumber=555-0001\r\nDeviceType=modem\r\nUserName=alpha\r\nPassword=secret\r\n"
    "SavePassword=1\r\nStepDelayMs=40\r\nHangUpDelayMs=150\r\n"
    "[Busy Line]\r\nPhoneNumber=555-0002\r\nFault=busy\r\nStepDelayMs=40\r\n"
    "[Drop Line]\r\nPhoneNumber=555-0003\r\nStepDelayMs=40\r\nDropAfterMs=500\r\nHangUpDelayMs=50\r\n"
    "[Slow Hang Up]\r\nPhoneNumber=555-0004\r\nStepDelayMs=30\r\nHangUpDelayMs=1500\r\n";

std::string StartsOf(const std::string& s, size_t n) { return s.substr(0, n); }

class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pbk_ = TempPath("e2e.pbk");
    WriteFile(pbk_, kPhonebook);
    SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk_.c_str());
  }

  void SetUp() override { main_.Show(); }
  void TearDown() override { tsupport::SetPumpObserver(nullptr); }

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
    tsupport::SetPumpObserver([this, before](const MSG&) {
      if ((seen_.empty() ? before : seen_.back()) != Status()) seen_.push_back(Status());
    });
  }
  std::vector<std::string> Recorded(const std::function<bool()>& until, DWORD ms) {
    EXPECT_TRUE(PumpUntil(until, ms)) << "timed out; last status: " << Status();
    tsupport::SetPumpObserver(nullptr);
    return seen_;
  }
  void Restore() {
    ShowWindow(Form1->Handle(), SW_RESTORE);
    BringToFront(Form1->Handle());
  }

  static inline std::string pbk_;
  tsupport::TMainWindow main_;
  std::vector<std::string> seen_;
};

}  // namespace

TEST_F(EndToEnd, OpensWithThePhonebookEntriesAndAnEmptyStatusLine) {
  ASSERT_EQ(Form1->cbConn->Items().Count(), 4);
  EXPECT_EQ(Form1->cbConn->Items().Strings(0), "Alpha Net");
  EXPECT_EQ(Form1->cbConn->Items().Strings(1), "Busy Line");
  EXPECT_EQ(Form1->cbConn->Items().Strings(2), "Drop Line");
  EXPECT_EQ(Form1->cbConn->Items().Strings(3), "Slow Hang Up");
  EXPECT_EQ(SendMessageA(Form1->cbConn->Handle(), CB_GETCOUNT, 0, 0), 4) << "the list the person opens";
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
  ClickDial();  // returns once the box has been closed
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

namespace {

// Counts the window's disconnect notifications and passes each on to the window's own handler.
struct DisconnectCounter : rtl::TObject {
  int count = 0;
  void Seen(rtl::TObject* sender, int32_t error, const std::string& text) {
    ++count;
    Form1->RAS1Disconnect(sender, error, text);
  }
};

// Presses the left mouse button at a point after a pause, from a thread of its own: the person's
// hand, while the program's thread is busy inside a handler.
class LaterClick {
 public:
  LaterClick(POINT at, DWORD afterMs) : at_(at), after_(afterMs) {
    thread_ = CreateThread(nullptr, 0, &LaterClick::Run, this, 0, nullptr);
  }
  ~LaterClick() {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }

 private:
  static DWORD WINAPI Run(void* p) {
    auto* self = static_cast<LaterClick*>(p);
    Sleep(self->after_);  // the pause is the point: the press lands during the hang-up
    SetCursorPos(self->at_.x, self->at_.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    return 0;
  }
  POINT at_;
  DWORD after_;
  HANDLE thread_ = nullptr;
};

}  // namespace

TEST_F(EndToEnd, ASecondPressWhileHangingUpHangsUpAgainAndBothEndWithDial) {
  TypeEntry("Slow Hang Up");
  ClickDial();
  ASSERT_TRUE(PumpUntil([&] { return Minimised(); }, 10000)) << Status();
  Restore();
  DisconnectCounter disconnects;
  Form1->RAS1->OnDisconnect.Bind(&disconnects, &DisconnectCounter::Seen);
  std::string captionDuringHangUp;
  // The hang-up takes 1.5 s and keeps the window working meanwhile: the second press lands in it.
  DWORD start = GetTickCount();
  {
    LaterClick second(Centre(Form1->btnDial), 500);
    ClickDial();  // returns once the first press's handler has returned
    PumpUntil([&] { return disconnects.count >= 2; }, 5000);
  }
  DWORD took = GetTickCount() - start;
  EXPECT_EQ(disconnects.count, 2) << "each of the two hang-ups tells its end";
  EXPECT_GE(took, 1400u) << "the hang-up waited for the line to go";
  EXPECT_EQ(Caption(), "Dial");
  EXPECT_FALSE(Minimised());
  std::string log = ReadFile(pbk_.substr(0, pbk_.size() - 4) + ".log");
  size_t first = log.find("hang-up requested");
  EXPECT_NE(first, std::string::npos) << log;
  // A press after that dials again: the window is back to its start.
  RecordStatus();
  ClickDial();
  auto seen = Recorded([&] { return Minimised(); }, 10000);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0], "Opening Serial Port");
  Restore();
  ClickDial();
  EXPECT_TRUE(PumpUntil([&] { return Caption() == "Dial"; }, 5000));
}

TEST_F(EndToEnd, TheWebLinkLightsUpUnderTheMouseAndAsksTheShellToOpenItsAddress) {
  ec::TEcURL* link = Form1->EcURL1;
  struct Call {
    HWND parent;
    std::string verb, file;
    int show;
  };
  std::vector<Call> calls;
  // The shell's request is watched here; no browser is started.
  link->SetShellExecuteCall([&](HWND parent, const char* verb, const char* file, const char*, const char*, int show) {
    calls.push_back(Call{parent, verb ? verb : "", file ? file : "", show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
  });
  auto inkOf = [&](COLORREF colour) {
    Pump();
    POINT o = link->ClientToScreen(POINT{0, 0});
    const int w = link->Width(), h = link->Height();
    return Screenshot(RECT{o.x, o.y, o.x + w, o.y + h}).Count(RECT{0, 0, w, h}, colour);
  };
  const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
  EXPECT_GT(inkOf(blue), 150);
  EXPECT_EQ(inkOf(red), 0);

  // The mouse comes over the link: it turns red under a hand ...
  POINT over = Centre(link);
  MoveMouse(POINT{over.x - 5, over.y});
  MoveMouse(over);
  ASSERT_TRUE(PumpUntil([&] { return link->Font().Color() == gui::clRed; }, 1000));
  EXPECT_GT(inkOf(red), 150);
  EXPECT_EQ(inkOf(blue), 0);
  CURSORINFO ci{sizeof ci};
  GetCursorInfo(&ci);
  EXPECT_EQ(ci.hCursor, LoadCursor(nullptr, IDC_HAND));
  // ... and back to blue soon after it leaves (the label looks every 100 ms).
  POINT away = Form1->ClientToScreen(POINT{20, 150});
  SetCursorPos(away.x, away.y);
  ASSERT_TRUE(PumpUntil([&] { return link->Font().Color() == gui::clBlue; }, 1000));
  EXPECT_GT(inkOf(blue), 150);
  EXPECT_EQ(inkOf(red), 0);
  EXPECT_TRUE(calls.empty()) << "passing over is no click";

  ClickAt(over);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].verb, "open");
  EXPECT_EQ(calls[0].file, link->URL());
  EXPECT_EQ(calls[0].file.rfind("http://", 0), 0u);
  EXPECT_EQ(calls[0].show, SW_SHOWNORMAL);
  SetCursorPos(away.x, away.y);
  PumpUntil([&] { return link->Font().Color() == gui::clBlue; }, 1000);
  EXPECT_EQ(link->Font().Color(), gui::clBlue) << "no visited colour on this window";
}

TEST_F(EndToEnd, TypingCompletesAfterThePauseAndAPickedEntryJoinsTheTopOfTheList) {
  ec::TEcComboBox* cb = Form1->cbConn;
  TypeEntry("Dro");
  EXPECT_EQ(cb->Text(), "Dro") << "nothing before the pause";
  ASSERT_TRUE(PumpUntil([&] { return cb->Text() != "Dro"; }, 2000));
  EXPECT_EQ(cb->Text(), "Drop Line");
  DWORD start = 0, end = 0;
  SendMessageA(cb->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 3u);
  EXPECT_EQ(end, 9u) << "the letters not typed are selected";
  EXPECT_EQ(Form1->RAS1->EntryName(), "Dro") << "the completion tells no change: a dial would use the typed name";

  // The person opens the list with the drop button and picks entries with the mouse.
  COMBOBOXINFO info{sizeof info};
  ASSERT_TRUE(GetComboBoxInfo(cb->Handle(), &info));
  POINT button{(info.rcButton.left + info.rcButton.right) / 2, (info.rcButton.top + info.rcButton.bottom) / 2};
  ClientToScreen(cb->Handle(), &button);
  const int h = cb->ItemHeightAt(0);
  auto openList = [&] {
    ClickAt(button);
    return PumpUntil([&] { return cb->DroppedDown(); }, 1000);
  };
  auto pick = [&](int index) {
    RECT list;
    GetWindowRect(cb->ListHandle(), &list);
    ClickAt(POINT{list.left + 40, list.top + 1 + index * h + h / 2});
    return PumpUntil([&] { return !cb->DroppedDown(); }, 1000);
  };
  auto items = [&] {
    std::vector<std::string> t;
    for (int i = 0; i < cb->Items().Count(); ++i) t.push_back(cb->Items().Strings(i));
    return t;
  };
  ASSERT_TRUE(openList());
  ASSERT_TRUE(pick(2));
  EXPECT_EQ(cb->Text(), "Drop Line");
  EXPECT_EQ(Form1->RAS1->EntryName(), "Drop Line") << "a pick is a change";
  EXPECT_EQ(items(), (std::vector<std::string>{"Drop Line", "Alpha Net", "Busy Line", "Drop Line", "Slow Hang Up"}));
  ASSERT_TRUE(openList());
  ASSERT_TRUE(pick(1));
  EXPECT_EQ(Form1->RAS1->EntryName(), "Alpha Net");
  EXPECT_EQ(items(),
            (std::vector<std::string>{"Alpha Net", "Drop Line", "Alpha Net", "Busy Line", "Drop Line", "Slow Hang Up"}));
  EXPECT_EQ(cb->ItemIndex(), 2) << "the main section's entry is the one selected";

  // Open again: the recent entries at the top on silver (the first one selected, as the text
  // names it), the grey band under the last of them.
  ASSERT_TRUE(openList());
  RedrawWindow(cb->ListHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  {
    TClientDC dc(cb->ListHandle());
    RECT client;
    GetClientRect(cb->ListHandle(), &client);
    const int x = client.right - 6;
    const COLORREF silver = RGB(192, 192, 192), grey = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(GetPixel(dc, x, 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, x, h + 1), silver) << "MRUListColor";
    EXPECT_EQ(GetPixel(dc, x, h + h - 3), grey);
    EXPECT_EQ(GetPixel(dc, x, h + h - 2), silver);
    EXPECT_EQ(GetPixel(dc, x, h + h - 1), grey);
    EXPECT_EQ(GetPixel(dc, x, 2 * h + 1), GetSysColor(COLOR_WINDOW)) << "the main section";
    EXPECT_EQ(GetPixel(dc, x, h - 1), GetSysColor(COLOR_HIGHLIGHT)) << "no band under the first";
  }
  ClickAt(button);  // closes it on the entry at the top
  ASSERT_TRUE(PumpUntil([&] { return !cb->DroppedDown(); }, 1000));
  EXPECT_EQ(cb->Items().Count(), 6) << "an entry already at the top stays one";
  EXPECT_EQ(cb->Text(), "Alpha Net");

  ClickDial();
  ASSERT_TRUE(PumpUntil([&] { return Minimised(); }, 10000)) << Status();
  EXPECT_EQ(Caption(), "Hang Up");
  EXPECT_EQ(Status(), "Connected/Online");
  Restore();
  ClickDial();
  EXPECT_TRUE(PumpUntil([&] { return Caption() == "Dial"; }, 5000));
}

TEST_F(EndToEnd, ADialAfterACompletionUsesTheNameOfTheLastChange) {
  TypeEntry("Alpha");
  ASSERT_TRUE(PumpUntil([&] { return Form1->cbConn->Text() == "Alpha Net"; }, 2000));
  EXPECT_EQ(Form1->RAS1->EntryName(), "Alpha");
  RecordStatus();
  ClickDial();
  PumpFor(600);  // time for a state change to be told: none may come
  EXPECT_EQ(Caption(), "Dial") << "\"Alpha\" is no entry: the dial fails at once";
  EXPECT_EQ(Recorded([] { return true; }, 10), std::vector<std::string>{}) << "and the status line is not told";
}

// --------------------------------------------------------------- the program as a process

namespace {

struct Program {
  PROCESS_INFORMATION pi{};
  HWND wnd = nullptr;
  // The program from the test's folder; with a folder, a copy there, run with that folder as its
  // current one too.
  explicit Program(const std::string& folder = "") {
    std::string exe = "Tessaline.exe";
    if (!folder.empty()) {
      exe = folder + "\\Tessaline.exe";
      CopyFileA("Tessaline.exe", exe.c_str(), FALSE);
    }
    STARTUPINFOA si{sizeof si};
    std::string cmd = "\"" + exe + "\"";
    CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.empty() ? nullptr : folder.c_str(),
                   &si, &pi);
    wnd = WaitForWindow("TForm1", "Brindlex UK Tessaline -  v1.01", 15000, pi.dwProcessId);
  }
  ~Program() {
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  bool Ended(DWORD ms) { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
  HWND Child(const char* cls) { return FindWindowExA(wnd, nullptr, cls, nullptr); }
  // "About" has no mnemonic: the person opens the menu bar with Alt, moves to it and presses Enter.
  HWND OpenAbout() {
    if (!BringToFront(wnd)) return nullptr;
    PressKey(VK_MENU);
    PressKey(VK_RIGHT);
    PressKey(VK_RETURN);
    return WaitForWindow("#32770", nullptr, 5000, pi.dwProcessId);
  }
  std::string StatusText() {
    char text[256] = {};
    SendMessageA(Child("msctls_statusbar32"), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }
};

// Our service away from the system folder while this lives, as on a machine without one.
struct NoService {
  std::string path = SystemFile("rasapi32.dll");
  NoService() { MoveFileExA(path.c_str(), (path + ".away").c_str(), MOVEFILE_REPLACE_EXISTING); }
  ~NoService() { MoveFileExA((path + ".away").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING); }
  static std::string SystemFile(const char* name) {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
  }
};

}  // namespace

TEST(Program, WithoutTheServiceTheListIsEmptyAndNoMessageAppears) {
  WriteFile(TempPath("none.pbk"), "[Alpha Net]\r\n");  // what the service would list
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", TempPath("none.pbk").c_str());
  NoService away;
  Program p;
  ASSERT_NE(p.wnd, nullptr);
  PumpFor(300);  // time for a message box to appear: none may
  EXPECT_EQ(SendMessageA(p.Child("ComboBox"), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(p.StatusText(), "");
  // No window of the program's other than its main window (and the application window owning it,
  // which carries the taskbar button) is shown: no message box.
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
        if (pid == s->pid && w != s->main && w != GetWindow(s->main, GW_OWNER) && IsWindowVisible(w)) ++s->others;
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
  Program p;
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
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(p.wnd) != 0; }, 10000)) << "connected";
  // The person brings the window back and chooses "E&xit" (Alt+X).
  ShowWindow(p.wnd, SW_RESTORE);
  ASSERT_TRUE(PumpUntil([&] { return !IsIconic(p.wnd) && BringToFront(p.wnd); }, 5000));
  PressKey('X', true);
  EXPECT_TRUE(p.Ended(10000));
  std::string log = ReadFile(pbk.substr(0, pbk.size() - 4) + ".log");
  EXPECT_NE(log.find("state 8192"), std::string::npos) << log;
  EXPECT_NE(log.find("hang-up requested"), std::string::npos) << log;
}

namespace {

std::string WindowText(HWND w) {
  char text[256] = {};
  SendMessageA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// An item's text from another process: only the wide form comes across whole.
std::string ItemText(HWND combo, int i) {
  wchar_t w[256] = {};
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(w));
  char a[256] = {};
  WideCharToMultiByte(CP_ACP, 0, w, -1, a, sizeof a, nullptr, nullptr);
  return a;
}

}  // namespace

TEST(Program, CompletesTypingAndKeepsAPickedEntryAtTheTopThenDialsIt) {
  std::string pbk = TempPath("entry.pbk");
  WriteFile(pbk,
            "[Home Internet]\r\nPhoneNumber=555-0011\r\nStepDelayMs=30\r\nHangUpDelayMs=50\r\n"
            "[Office Network]\r\nPhoneNumber=555-0012\r\nStepDelayMs=30\r\nHangUpDelayMs=50\r\n");
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk.c_str());
  Program p;
  ASSERT_NE(p.wnd, nullptr);
  SetForegroundWindow(p.wnd);
  HWND combo = p.Child("ComboBox");
  ASSERT_NE(combo, nullptr);
  RECT r;
  GetWindowRect(combo, &r);
  // Without a window manager the typing goes where the person clicked first.
  ClickAt(POINT{r.left + 40, (r.top + r.bottom) / 2});
  HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
  GUITHREADINFO focus{sizeof focus};
  ASSERT_TRUE(PumpUntil([&] { return GetGUIThreadInfo(p.pi.dwThreadId, &focus) && focus.hwndFocus == edit; }, 2000));
  TypeText("off");
  EXPECT_TRUE(PumpUntil([&] { return WindowText(combo) == "off"; }, 2000)) << "typed, not yet completed";
  // After the program's pause the search completes it.
  EXPECT_TRUE(PumpUntil([&] { return WindowText(combo) == "Office Network"; }, 3000)) << WindowText(combo);
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 3u);
  EXPECT_EQ(end, 14u);

  // The drop button, then the second entry of the open list.
  ClickAt(POINT{r.right - 9, (r.top + r.bottom) / 2});
  HWND list = WaitForWindow("ComboLBox", nullptr, 2000, p.pi.dwProcessId);
  ASSERT_NE(list, nullptr) << "the list opened";
  int h = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
  RECT lr;
  GetWindowRect(list, &lr);
  ClickAt(POINT{lr.left + 30, lr.top + 1 + h + h / 2});
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(list); }, 2000)) << "the pick closed the list";
  ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ItemText(combo, 0), "Office Network") << "the pick's copy at the top";
  EXPECT_EQ(ItemText(combo, 1), "Home Internet");
  EXPECT_EQ(ItemText(combo, 2), "Office Network");
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(WindowText(combo), "Office Network");

  // Dial it: connected, the window goes to the taskbar.
  POINT client{0, 0};
  ClientToScreen(p.wnd, &client);
  ClickAt(POINT{client.x + 368 + 64, client.y + 48 + 40});
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(p.wnd) != 0; }, 10000)) << "connected";
  std::string log = ReadFile(pbk.substr(0, pbk.size() - 4) + ".log");
  EXPECT_NE(log.find("Office Network"), std::string::npos) << log;
  PostMessageA(p.wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.Ended(10000));
}

namespace {

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
  Program p;
  ASSERT_NE(p.wnd, nullptr);
  HWND about = p.OpenAbout();
  ASSERT_NE(about, nullptr) << "no About dialog appeared";
  // An empty Caption leaves the platform's title alone.
  EXPECT_EQ(TextOf(about).substr(0, 5), "About");
  EXPECT_EQ(GetWindow(about, GW_OWNER), p.wnd) << "the main window is its parent";
  EXPECT_FALSE(IsWindowEnabled(p.wnd)) << "modal";
  std::vector<std::string> texts = StaticTexts(about);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Tessaline v1.01 \xA9 Brindlex UK. All rights reserved."), texts.end())
      << ::testing::PrintToString(texts);

  PostMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(about); }, 5000)) << "closed";
  EXPECT_TRUE(IsWindowEnabled(p.wnd));
  EXPECT_FALSE(p.Ended(200)) << "the program goes on";
  PostMessageA(p.wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.Ended(10000));
}

namespace {

// Native first for the named libraries in the program's processes while this lives: the loader
// then takes a file of that name wherever it looks before its own. Wine reads WINEDLLOVERRIDES
// only from the Unix environment a process starts with, so these go in the prefix's overrides
// for the program (rasapi32 is native only already).
struct NativeFirst {
  static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\Tessaline.exe";
  explicit NativeFirst(const std::vector<std::string>& names) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &key, nullptr);
    for (const std::string& name : names) RegSetValueExA(key, name.c_str(), 0, REG_SZ, (const BYTE*)"native,builtin", 15);
    RegCloseKey(key);
  }
  ~NativeFirst() { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
};

}  // namespace

// A library named like one the program uses and lying beside it (in its current folder too) is
// never taken for the platform's: do-nothing ones under each name, preferred by the loader to its
// own wherever it finds them, while the program starts, lists the service's entries and opens
// About. Each leaves a file when it is loaded.
TEST(Program, LoadsNoLibraryLaidBesideIt) {
  const std::string dir = tsupport::FreshTestDir("tess-planted-");
  const std::vector<std::string> names = {"version", "comctl32", "shell32", "rasapi32", "rnaph"};
  for (const std::string& name : names) ASSERT_TRUE(CopyFileA("planted.dll", (dir + "\\" + name + ".dll").c_str(), FALSE));
  tsupport::WriteTextFile(dir + "\\planted.pbk", "[Home Internet]\r\n[Office Network]\r\n");
  SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", (dir + "\\planted.pbk").c_str());
  {
    NativeFirst overrides(names);
    Program p(dir);
    EXPECT_NE(p.wnd, nullptr) << "the program shows its window";
    if (p.wnd) {
      EXPECT_EQ(SendMessageA(p.Child("ComboBox"), CB_GETCOUNT, 0, 0), 2) << "the service's entries";
      HWND about = p.OpenAbout();
      EXPECT_NE(about, nullptr) << "no About dialog appeared";
      if (about) PostMessageA(about, WM_COMMAND, IDOK, 0);
      EXPECT_TRUE(PumpUntil([&] { return !IsWindow(about); }, 5000));
      PostMessageA(p.wnd, WM_CLOSE, 0, 0);
      EXPECT_TRUE(p.Ended(10000));
    }
  }
  for (const std::string& name : names)
    EXPECT_EQ(GetFileAttributesA((dir + "\\" + name + ".dll.loaded").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the program loaded the " << name << ".dll beside it";
  tsupport::RemoveTree(dir);
}

namespace {

// The caption bar of a single-bordered window and its text area (the caption less three
// buttons), by the platform's metrics.
RECT CaptionOf(const Screenshot& s) {
  int fx = GetSystemMetrics(SM_CXDLGFRAME), fy = GetSystemMetrics(SM_CYDLGFRAME);
  return RECT{fx, fy, s.Width() - fx, fy + GetSystemMetrics(SM_CYCAPTION) - 1};
}

}  // namespace

TEST(Program, ShowsItsStyledCaptionActiveAndInactive) {
  Program p;
  ASSERT_NE(p.wnd, nullptr);
  ASSERT_TRUE(BringToFront(p.wnd));
  // The picture of each look is kept beside the other build results.
  const std::string shots = "..\\..\\e2e-screenshots\\";
  for (bool active : {true, false}) {
    std::unique_ptr<OtherWindow> other;
    if (!active) {
      other = std::make_unique<OtherWindow>();
      ASSERT_NE(other->Handle(), nullptr) << "no other window to activate";
    }
    // The program repaints its caption in its own time: until the end of the caption shows the
    // colour of the state and two pictures one after the other agree.
    std::unique_ptr<Screenshot> shot, before;
    PumpUntil(
        [&] {
          before = std::move(shot);
          shot = std::make_unique<Screenshot>(p.wnd);
          RECT c = CaptionOf(*shot);
          return shot->At(c.right - 1, c.top) == GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION) &&
                 before && *before == *shot;
        },
        3000);
    const Screenshot& s = *shot;
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
    EXPECT_GT(s.Count(text, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)), 150)
        << "the three segments in the caption-text colour";
    EXPECT_EQ(TextOf(p.wnd), "Brindlex UK Tessaline -  v1.01") << "the window text stays";
  }
  PostMessageA(p.wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.Ended(10000));
}
