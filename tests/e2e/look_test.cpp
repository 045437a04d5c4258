// The whole main window as the screen shows it at 96 dpi: every component at its place and size
// by pixels, the status line in the bottom rows, the styled caption; the look kept through
// minimising and restoring, and through another window in front and back again. Expected places
// come from the window's description and the components' drawing rules.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Driver.h"
#include "MainWindow.h"

using namespace e2e;
using tsupport::Sys;

namespace {

const COLORREF kBlack = RGB(0, 0, 0);

// The client area as the screen shows it.
std::unique_ptr<Screenshot> ClientShot(HWND wnd) {
  RECT c;
  GetClientRect(wnd, &c);
  POINT o{0, 0};
  ClientToScreen(wnd, &o);
  return std::make_unique<Screenshot>(RECT{o.x, o.y, o.x + c.right, o.y + c.bottom});
}

// A control's window in the client's coordinates.
RECT ChildRect(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// The smallest rectangle holding every pixel of the area that is not the window's ground.
RECT InkIn(const Screenshot& s, RECT area, COLORREF ground) {
  RECT ink{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (s.At(x, y) != ground) {
        ink.left = std::min<LONG>(ink.left, x), ink.right = std::max<LONG>(ink.right, x + 1);
        ink.top = std::min<LONG>(ink.top, y), ink.bottom = std::max<LONG>(ink.bottom, y + 1);
      }
  return ink;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class WindowLook : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static std::string pbk = TempPath("look.pbk");
    WriteFile(pbk, "[Look Line]\r\nPhoneNumber=555-0042\r\n");
    SetEnvironmentVariableA("RASSERVICE_PHONEBOOK", pbk.c_str());
  }
  void SetUp() override { main_.Show(); }

  // Two pictures of the whole window agree, but for the caret blinking in the entry field.
  void ExpectSameLook(const Screenshot& a, const Screenshot& b, const char* what) {
    ASSERT_EQ(a.Width(), b.Width()) << what;
    ASSERT_EQ(a.Height(), b.Height()) << what;
    RECT w;
    GetWindowRect(wnd_, &w);
    RECT edit;
    GetWindowRect(Form1->cbConn->EditHandle(), &edit);
    OffsetRect(&edit, -w.left, -w.top);
    int differ = 0, outsideEdit = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.At(x, y) != b.At(x, y)) {
          ++differ;
          outsideEdit += !Inside(edit, x, y);
        }
    EXPECT_EQ(outsideEdit, 0) << what << ": pixels changed outside the entry field";
    EXPECT_LE(differ, 2 * (edit.bottom - edit.top)) << what << ": more than a caret changed in the entry field";
  }

  tsupport::TMainWindow main_;
  HWND wnd_ = Form1->Handle();
};

}  // namespace

TEST_F(WindowLook, OpensCentredWithTheFocusInTheEntryField) {
  RECT w;
  GetWindowRect(wnd_, &w);
  EXPECT_EQ(w.left, (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2);
  EXPECT_EQ(w.top, (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 2);
  EXPECT_EQ(GetForegroundWindow(), wnd_);
  // The combo box hands its focus to its edit field: what the person types goes there.
  EXPECT_EQ(GetFocus(), Form1->cbConn->EditHandle());
  TypeText("x");
  EXPECT_EQ(Form1->cbConn->Text(), "x");
}

TEST_F(WindowLook, ShowsEveryComponentAtItsPlaceAndSize) {
  RECT c;
  GetClientRect(wnd_, &c);
  ASSERT_EQ(c.right, 508);
  ASSERT_EQ(c.bottom, 161);
  Form1->StatusBar1->SetSimpleText("Status text");
  Form1->StatusBar1->Update();
  Pump();
  auto shot = ClientShot(wnd_);
  const Screenshot& s = *shot;
  const COLORREF face = Sys(COLOR_BTNFACE), shadow = Sys(COLOR_BTNSHADOW), highlight = Sys(COLOR_BTNHIGHLIGHT);

  // The status line: its window takes the bottom 19 rows, full width, and its text is drawn there.
  RECT status = ChildRect(wnd_, Form1->StatusBar1->Handle());
  EXPECT_EQ(Text(status), "0,142-508,161");
  RECT statusInk = InkIn(s, RECT{0, 142, 508, 161}, face);
  EXPECT_LT(statusInk.left, statusInk.right) << "the status text shows";
  EXPECT_GT(s.Count(RECT{0, 142, 200, 161}, Sys(COLOR_BTNTEXT)), 20) << "in the button-text colour";

  // btnDial at 368,48 129x81: two outer rings, white above and left, black below and right,
  // inside them the face and shadow rings; the window's ground just outside.
  const int bl = 368, bt = 48, bw = 129, bh = 81, my = bt + bh / 2, mx = bl + bw / 2;
  EXPECT_EQ(s.At(bl - 1, my), face);
  EXPECT_EQ(s.At(bl, my), highlight);
  EXPECT_EQ(s.At(bl + 1, my), highlight);
  EXPECT_EQ(s.At(bl + 2, my), face);
  EXPECT_EQ(s.At(bl + bw - 1, my), kBlack);
  EXPECT_EQ(s.At(bl + bw - 2, my), kBlack);
  EXPECT_EQ(s.At(bl + bw - 3, my), shadow);
  EXPECT_EQ(s.At(bl + bw, my), face);
  EXPECT_EQ(s.At(mx, bt - 1), face);
  EXPECT_EQ(s.At(mx, bt), highlight);
  EXPECT_EQ(s.At(mx, bt + bh - 1), kBlack) << "the button's bottom reaches row 128";
  EXPECT_EQ(s.At(mx, bt + bh - 3), shadow);
  EXPECT_EQ(s.At(mx, bt + bh), face);
  EXPECT_GT(s.Count(RECT{bl + 4, bt + bh / 2, bl + bw - 4, bt + bh - 4}, kBlack), 150) << "the caption \"Dial\"";

  // cbConn: its window at 8,48, 353 wide, framed against the ground.
  RECT combo = ChildRect(wnd_, Form1->cbConn->Handle());
  EXPECT_EQ(combo.left, 8);
  EXPECT_EQ(combo.top, 48);
  EXPECT_EQ(combo.right - combo.left, 353);
  const int cy = (combo.top + combo.bottom) / 2;
  EXPECT_EQ(s.At(7, cy), face);
  EXPECT_NE(s.At(8, cy), face);
  EXPECT_NE(s.At(360, cy), face);
  EXPECT_EQ(s.At(361, cy), face);

  // FxLabel1 (8,8 497x33): the headline's ink lies inside it; nothing else above the list.
  RECT head = InkIn(s, RECT{0, 0, 508, 48}, face);
  EXPECT_GE(head.left, 8);
  EXPECT_GE(head.top, 8);
  EXPECT_LE(head.right, 8 + 497);
  EXPECT_LE(head.bottom, 8 + 33);
  EXPECT_LT(head.left, 8 + 20) << "the headline starts at the left";
  EXPECT_GT(head.right - head.left, 400) << "and crosses the window";

  // Under the list: the notice (48,88 273x35) in grey and the web link (105,122 148x16) in blue;
  // every mark there belongs to one of them.
  const RECT notice{48, 88, 48 + 273, 88 + 35}, link{105, 122, 105 + 148, 122 + 16};
  int stray = 0;
  for (int y = combo.bottom; y < 142; ++y)
    for (int x = 0; x < bl; ++x)
      if (s.At(x, y) != face && !Inside(notice, x, y) && !Inside(link, x, y)) ++stray;
  EXPECT_EQ(stray, 0) << "marks outside the two labels";
  EXPECT_GT(s.Count(notice, RGB(128, 128, 128)), 200) << "the grey notice";
  EXPECT_GT(s.Count(link, RGB(0, 0, 255)), 150) << "the blue link";
  EXPECT_EQ(s.Count(RECT{0, 0, 508, 142}, RGB(0, 0, 255)), s.Count(link, RGB(0, 0, 255))) << "blue only there";
  RECT linkInk = InkIn(s, link, face);
  EXPECT_GE(linkInk.left, link.left);
  EXPECT_LE(linkInk.right, link.right);
  RECT underline{linkInk.left, linkInk.bottom - 1, linkInk.right, linkInk.bottom};
  EXPECT_GT(s.Count(underline, RGB(0, 0, 255)), (linkInk.right - linkInk.left) * 3 / 4) << "underlined";
}

TEST_F(WindowLook, ItsCaptionIsStyledAndTheMenuBarHoldsItsTwoItems) {
  Screenshot s(wnd_);
  RECT w, c;
  GetWindowRect(wnd_, &w);
  GetClientRect(wnd_, &c);
  POINT o{0, 0};
  ClientToScreen(wnd_, &o);
  const int fx = GetSystemMetrics(SM_CXDLGFRAME), fy = GetSystemMetrics(SM_CYDLGFRAME);
  const int textLeft = fx + 1 + GetSystemMetrics(SM_CXSMICON) + 1;
  const int buttons = 3 * GetSystemMetrics(SM_CXSIZE) + 2;
  // The gradient from black after the icon to the caption colour before the buttons, with the
  // three segments in the caption-text colour.
  EXPECT_EQ(s.At(fx, fy), kBlack);
  EXPECT_EQ(s.At(s.Width() - fx - buttons - 1, fy), Sys(COLOR_ACTIVECAPTION));
  RECT captionText{textLeft, fy, s.Width() - fx - buttons, fy + GetSystemMetrics(SM_CYCAPTION) - 1};
  EXPECT_GT(s.Count(captionText, Sys(COLOR_CAPTIONTEXT)), 150);
  // The menu bar between the caption and the client area shows "Exit" and "About".
  const int menuTop = fy + GetSystemMetrics(SM_CYCAPTION), menuBottom = o.y - w.top;
  EXPECT_GE(menuBottom - menuTop, GetSystemMetrics(SM_CYMENU) - 1);
  RECT menu{o.x - w.left, menuTop, o.x - w.left + 120, menuBottom};
  EXPECT_GT(s.Count(menu, Sys(COLOR_MENUTEXT)), 30) << "the two items' text";
}

TEST_F(WindowLook, KeepsItsLookWhenMinimisedAndRestored) {
  Screenshot before(wnd_);
  ShowWindow(wnd_, SW_MINIMIZE);
  Pump();
  ASSERT_TRUE(IsIconic(wnd_));
  ShowWindow(wnd_, SW_RESTORE);
  BringToFront(wnd_);
  ASSERT_FALSE(IsIconic(wnd_));
  Screenshot after(wnd_);
  ExpectSameLook(before, after, "restored");
}

TEST_F(WindowLook, KeepsItsLookWhenAnotherWindowCameInFrontAndWentAgain) {
  Screenshot before(wnd_);
  {
    OtherWindow other;
    ASSERT_NE(other.Handle(), nullptr) << "no other window";
    Pump();
    EXPECT_NE(GetForegroundWindow(), wnd_);
    Screenshot inactive(wnd_);
    // Only the caption changes: the client area stays as it was.
    RECT w;
    GetWindowRect(wnd_, &w);
    POINT o{0, 0};
    ClientToScreen(wnd_, &o);
    int clientChanged = 0;
    for (int y = o.y - w.top; y < before.Height(); ++y)
      for (int x = 0; x < before.Width(); ++x) clientChanged += before.At(x, y) != inactive.At(x, y);
    EXPECT_LE(clientChanged, 60) << "at most the caret";
    EXPECT_NE(before.At(before.Width() / 2, GetSystemMetrics(SM_CYDLGFRAME) + 2),
              inactive.At(before.Width() / 2, GetSystemMetrics(SM_CYDLGFRAME) + 2))
        << "the caption shows it is inactive";
  }
  // The person clicks into the window's status line to bring it back.
  POINT p{200, 150};
  ClientToScreen(wnd_, &p);
  ClickAt(p);
  BringToFront(wnd_);
  EXPECT_EQ(GetForegroundWindow(), wnd_);
  Screenshot after(wnd_);
  ExpectSameLook(before, after, "active again");
}

// ------------------------------------------------------------- the program at 120 dpi

namespace {

// The user's screen resolution for programs started from now on (Wine reads it from the
// registry when a process starts); the value before goes back when this goes, so the other
// tests stay at 96.
class ScreenResolution {
 public:
  explicit ScreenResolution(DWORD dpi) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD size = sizeof old_;
    had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  }
  ~ScreenResolution() {
    if (had_)
      RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
    else
      RegDeleteValueA(key_, "LogPixels");
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool had_ = false;
};

// The real program as a process, its main window once shown.
struct Started {
  PROCESS_INFORMATION pi{};
  HWND wnd = nullptr;
  Started() {
    STARTUPINFOA si{sizeof si};
    char cmd[] = "Tessaline.exe";
    if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    wnd = WaitForWindow("TForm1", nullptr, 10000, pi.dwProcessId);
  }
  ~Started() {
    if (wnd) PostMessageA(wnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
};

}  // namespace

TEST(WindowAt120Dpi, TheFormIsScaledByFiveQuarters) {
  std::unique_ptr<Started> p;
  {
    ScreenResolution dpi(120);
    p = std::make_unique<Started>();
  }
  ASSERT_NE(p->wnd, nullptr);
  auto scaled = [](int v) { return MulDiv(v, 120, 96); };
  RECT c;
  GetClientRect(p->wnd, &c);
  EXPECT_EQ(c.right, scaled(508));
  EXPECT_EQ(c.bottom, scaled(161));
  const int bl = scaled(368), bt = scaled(48), bw = scaled(129), bh = scaled(81);
  // The program paints in its own time: until its button's left ring shows and two pictures
  // one after the other agree.
  std::unique_ptr<Screenshot> shot, before;
  PumpUntil(
      [&] {
        before = std::move(shot);
        shot = ClientShot(p->wnd);
        return shot->At(bl, bt + bh / 2) == Sys(COLOR_BTNHIGHLIGHT) && before && *before == *shot;
      },
      3000);
  const Screenshot& s = *shot;
  const COLORREF face = Sys(COLOR_BTNFACE);
  // The button's rings at its scaled bounds.
  EXPECT_EQ(s.At(bl - 1, bt + bh / 2), face);
  EXPECT_EQ(s.At(bl, bt + bh / 2), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.At(bl + bw - 1, bt + bh / 2), kBlack);
  EXPECT_EQ(s.At(bl + bw, bt + bh / 2), face);
  EXPECT_EQ(s.At(bl + bw / 2, bt + bh - 1), kBlack);
  EXPECT_EQ(s.At(bl + bw / 2, bt + bh), face);
  // The entry list and the status line, along the bottom edge, full width.
  HWND combo = FindWindowExA(p->wnd, nullptr, "ComboBox", nullptr);
  RECT cb = ChildRect(p->wnd, combo);
  EXPECT_EQ(cb.left, scaled(8));
  EXPECT_EQ(cb.top, scaled(48));
  EXPECT_EQ(cb.right - cb.left, scaled(353));
  RECT status = ChildRect(p->wnd, FindWindowExA(p->wnd, nullptr, "msctls_statusbar32", nullptr));
  EXPECT_EQ(status.left, 0);
  EXPECT_EQ(status.right, c.right);
  EXPECT_EQ(status.bottom, c.bottom);
  EXPECT_NEAR(status.bottom - status.top, scaled(19), 1);
  // The headline's letters grew with their font: taller than at 96 dpi's 27 pixels of ink at most.
  RECT head = InkIn(s, RECT{0, 0, c.right, scaled(48)}, face);
  EXPECT_GE(head.left, scaled(8));
  EXPECT_LE(head.bottom, scaled(8 + 33));
  EXPECT_GT(head.bottom - head.top, 24) << "the headline's letters at 34 pixels";
  EXPECT_GT(head.right - head.left, 500) << "wider than the 96 dpi window's text";
  s.Save("..\\..\\e2e-screenshots\\main-120dpi.bmp");
}
