#include "MessageRecorder.h"

#include <cstdio>
#include <map>

#include "PrivateMessages.h"
#include "Subclass.h"
#include "rtl/Component.h"

namespace tsupport {

namespace {

#define NAME(m) {m, #m}
const std::map<UINT, const char*>& Names() {
  static const std::map<UINT, const char*> names = {
      NAME(WM_NULL), NAME(WM_CREATE), NAME(WM_DESTROY), NAME(WM_MOVE), NAME(WM_SIZE), NAME(WM_ACTIVATE),
      NAME(WM_SETFOCUS), NAME(WM_KILLFOCUS), NAME(WM_ENABLE), NAME(WM_SETREDRAW), NAME(WM_SETTEXT),
      NAME(WM_GETTEXT), NAME(WM_GETTEXTLENGTH), NAME(WM_PAINT), NAME(WM_CLOSE), NAME(WM_QUIT),
      NAME(WM_ERASEBKGND), NAME(WM_SYSCOLORCHANGE), NAME(WM_SHOWWINDOW), NAME(WM_ACTIVATEAPP),
      NAME(WM_SETCURSOR), NAME(WM_MOUSEACTIVATE), NAME(WM_CHILDACTIVATE), NAME(WM_GETMINMAXINFO),
      NAME(WM_DRAWITEM), NAME(WM_MEASUREITEM), NAME(WM_DELETEITEM), NAME(WM_VKEYTOITEM),
      NAME(WM_CHARTOITEM), NAME(WM_SETFONT), NAME(WM_GETFONT), NAME(WM_COMPAREITEM),
      NAME(WM_WINDOWPOSCHANGING), NAME(WM_WINDOWPOSCHANGED), NAME(WM_NOTIFY), NAME(WM_STYLECHANGING),
      NAME(WM_STYLECHANGED), NAME(WM_NCCREATE), NAME(WM_NCDESTROY), NAME(WM_NCCALCSIZE),
      NAME(WM_NCHITTEST), NAME(WM_NCPAINT), NAME(WM_NCACTIVATE), NAME(WM_GETDLGCODE),
      NAME(WM_NCMOUSEMOVE), NAME(WM_NCLBUTTONDOWN), NAME(WM_KEYDOWN), NAME(WM_KEYUP), NAME(WM_CHAR),
      NAME(WM_DEADCHAR), NAME(WM_SYSKEYDOWN), NAME(WM_SYSKEYUP), NAME(WM_SYSCHAR), NAME(WM_INITDIALOG),
      NAME(WM_COMMAND), NAME(WM_SYSCOMMAND), NAME(WM_TIMER), NAME(WM_HSCROLL), NAME(WM_VSCROLL),
      NAME(WM_INITMENU), NAME(WM_INITMENUPOPUP), NAME(WM_MENUSELECT), NAME(WM_ENTERIDLE),
      NAME(WM_CTLCOLORMSGBOX), NAME(WM_CTLCOLOREDIT), NAME(WM_CTLCOLORLISTBOX), NAME(WM_CTLCOLORBTN),
      NAME(WM_CTLCOLORDLG), NAME(WM_CTLCOLORSCROLLBAR), NAME(WM_CTLCOLORSTATIC), NAME(WM_MOUSEMOVE),
      NAME(WM_LBUTTONDOWN), NAME(WM_LBUTTONUP), NAME(WM_LBUTTONDBLCLK), NAME(WM_RBUTTONDOWN),
      NAME(WM_RBUTTONUP), NAME(WM_RBUTTONDBLCLK), NAME(WM_MBUTTONDOWN), NAME(WM_MBUTTONUP),
      NAME(WM_MBUTTONDBLCLK), NAME(WM_PARENTNOTIFY), NAME(WM_ENTERMENULOOP), NAME(WM_EXITMENULOOP),
      NAME(WM_CAPTURECHANGED), NAME(WM_MOUSELEAVE), NAME(WM_PRINT), NAME(WM_PRINTCLIENT),
      NAME(WM_USER), NAME(WM_APP),
      NAME(gui::CM_MOUSEENTER), NAME(gui::CM_MOUSELEAVE), NAME(gui::CM_ENABLEDCHANGED),
      NAME(gui::CM_FONTCHANGED), NAME(gui::CM_COLORCHANGED), NAME(gui::CM_TEXTCHANGED),
      NAME(gui::CM_PARENTFONTCHANGED), NAME(gui::CM_PARENTCOLORCHANGED), NAME(gui::CM_VISIBLECHANGED),
      NAME(gui::CM_DIALOGCHAR), NAME(gui::CM_RELEASE),
  };
  return names;
}
#undef NAME

std::string Hex(unsigned long long v) {
  char s[24];
  std::snprintf(s, sizeof s, "0x%llX", v);
  return s;
}

std::string FlagText(unsigned flags) {
  std::string s;
  auto add = [&](unsigned f, const char* name) {
    if (!(flags & f)) return;
    if (!s.empty()) s += '|';
    s += name;
  };
  add(sent, "sent");
  add(posted, "posted");
  add(defwinproc, "defwinproc");
  add(optional, "optional");
  return s.empty() ? "-" : s;
}

constexpr unsigned kHowArrived = sent | posted | defwinproc;

// The recorder that gets the messages (one per thread), and the message the thread's loop took
// out of the queue last, until the procedure it was dispatched to has seen it.
thread_local TMessageRecorder* g_active = nullptr;
thread_local MSG g_dequeued{};
thread_local bool g_hasDequeued = false;

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    g_dequeued = *reinterpret_cast<const MSG*>(lParam);
    g_hasDequeued = true;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

std::string MessageName(UINT msg) {
  auto it = Names().find(msg);
  if (it != Names().end()) {
    std::string s = it->second;
    return s.rfind("gui::", 0) == 0 ? s.substr(5) : s;
  }
  if (const gui::TPrivateMessage* p = gui::FindPrivateMessage(msg)) return p->Name;
  if (msg >= gui::CN_BASE && msg < gui::CN_BASE + WM_USER) {
    std::string base = MessageName(msg - gui::CN_BASE);
    if (base.rfind("WM_", 0) == 0) return "CN_" + base.substr(3);
  }
  if (msg >= WM_APP && msg < 0xC000) return "WM_APP+" + std::to_string(msg - WM_APP);
  if (msg >= WM_USER && msg < WM_APP) return "WM_USER+" + std::to_string(msg - WM_USER);
  return Hex(msg);
}

struct TMessageRecorder::TWindowWatch {
  HWND wnd;
  std::string name;
  gui::TSubclass top;
  TWindowWatch(TMessageRecorder& r, HWND w, std::string n)
      : wnd(w), name(std::move(n)), top([this, &r](gui::TMessage& m) {
          r.Record(wnd, m.Msg, r.Arrival(wnd, m.Msg, m.WParam, m.LParam), m.WParam, m.LParam);
          top.CallPrevious(m);
        }) {}
};

// Told when the watched control is freed, so nothing of it is touched afterwards.
class TSentinel : public rtl::TComponent {
 public:
  explicit TSentinel(bool& gone) : TComponent(nullptr), gone_(gone) {}
  void Notification(rtl::TComponent* c, rtl::TOperation op) override {
    TComponent::Notification(c, op);
    if (op == rtl::TOperation::opRemove) gone_ = true;
  }

 private:
  bool& gone_;
};

struct TMessageRecorder::TControlWatch {
  gui::TControl* control;
  std::string name;
  gui::TWndMethod replaced;
  bool gone = false;
  std::unique_ptr<TSentinel> sentinel;
};

TMessageRecorder::TMessageRecorder() {
  if (g_active) throw std::logic_error("one message recorder at a time");
  g_active = this;
  g_hasDequeued = false;
  getMessageHook_ = SetWindowsHookExA(WH_GETMESSAGE, &GetMessageHook, nullptr, GetCurrentThreadId());
  ignored_ = {WM_GETICON, WM_GETOBJECT, WM_IME_SETCONTEXT, WM_IME_NOTIFY, WM_DEVICECHANGE, WM_TIMECHANGE,
              WM_DWMNCRENDERINGCHANGED};
}

TMessageRecorder::~TMessageRecorder() {
  g_active = nullptr;
  if (getMessageHook_) UnhookWindowsHookEx(getMessageHook_);
  probes_.clear();  // each probe leaves its window's chain (or left with the window)
  for (auto& w : controls_) {
    if (w->gone) continue;
    w->control->WindowProc = w->replaced;
    w->control->RemoveFreeNotification(w->sentinel.get());
  }
  windows_.clear();  // each subclass leaves its window's chain
}

void TMessageRecorder::ProbeDefault(HWND wnd, const void* who) {
  if (!wnd || probes_.count(wnd)) return;
  gui::TSubclass* above = gui::TSubclass::Top(wnd);
  if (!above) return;  // not one of ours: its own procedure is all there is to see
  // Just under the framework's subclass: what it passes on is what reaches the default procedure.
  auto probe = std::make_unique<gui::TSubclass>([this, who](gui::TMessage& m) {
    if (g_active == this) Record(who, m.Msg, defwinproc, m.WParam, m.LParam);
  });
  probe->InstallUnder(*above);
  probes_[wnd] = std::move(probe);
}

void TMessageRecorder::Watch(HWND wnd, const std::string& name) {
  ProbeDefault(wnd, wnd);
  std::string label = name;
  if (label.empty()) {
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    label = cls;
  }
  windows_.push_back(std::make_unique<TWindowWatch>(*this, wnd, label));
  windows_.back()->top.Install(wnd);
}

void TMessageRecorder::Watch(gui::TControl& control, const std::string& name) {
  auto w = std::make_unique<TControlWatch>();
  TControlWatch* self = w.get();
  self->control = &control;
  self->name = !name.empty() ? name : !control.Name().empty() ? control.Name() : control.ClassName();
  self->replaced = control.WindowProc;
  self->sentinel = std::make_unique<TSentinel>(self->gone);
  control.FreeNotification(self->sentinel.get());
  auto* windowed = rtl::As<gui::TWinControl>(&control);
  control.WindowProc = [this, self, windowed](gui::TMessage& m) {
    HWND wnd = windowed ? windowed->WindowHandle() : nullptr;
    Record(self->control, m.Msg, Arrival(wnd, m.Msg, m.WParam, m.LParam), m.WParam, m.LParam);
    self->replaced(m);
  };
  if (windowed) ProbeDefault(windowed->WindowHandle(), &control);
  controls_.push_back(std::move(w));
}

void TMessageRecorder::Ignore(std::initializer_list<UINT> messages) { ignored_.insert(messages.begin(), messages.end()); }

void TMessageRecorder::Only(std::initializer_list<UINT> messages) { only_.insert(messages.begin(), messages.end()); }

unsigned TMessageRecorder::Arrival(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (wnd && g_hasDequeued && g_dequeued.hwnd == wnd && g_dequeued.message == msg && g_dequeued.wParam == wParam &&
      g_dequeued.lParam == lParam) {
    g_hasDequeued = false;
    return posted;
  }
  return sent;
}

void TMessageRecorder::Record(const void* who, UINT msg, unsigned flags, WPARAM wParam, LPARAM lParam) {
  if (!only_.empty() && !only_.count(msg)) return;
  if (ignored_.count(msg)) return;
  messages_.push_back(TRecordedMsg{who, msg, flags, wParam, lParam});
}

int TMessageRecorder::Count(UINT msg, const void* who) const {
  int n = 0;
  for (const auto& m : messages_)
    if (m.message == msg && (!who || m.who == who)) ++n;
  return n;
}

std::string TMessageRecorder::NameOf(const void* who) const {
  for (const auto& w : windows_)
    if (w->wnd == who) return w->name;
  for (const auto& c : controls_)
    if (c->control == who) return c->name;
  return who ? Hex(reinterpret_cast<uintptr_t>(who)) : "any";
}

std::string TMessageRecorder::Describe(const TRecordedMsg& m) const {
  return MessageName(m.message) + " " + FlagText(m.flags) + ", " + NameOf(m.who) + ", wParam " + Hex(m.wParam) +
         ", lParam " + Hex(static_cast<unsigned long long>(m.lParam));
}

std::string TMessageRecorder::Describe(const TExpectedMsg& m) const {
  std::string s = MessageName(m.message) + " " + FlagText(m.flags) + ", " + NameOf(m.who);
  if (m.flags & wparam) s += " wParam " + Hex(m.wParam);
  if (m.flags & lparam) s += " lParam " + Hex(static_cast<unsigned long long>(m.lParam));
  return s;
}

std::string TMessageRecorder::Dump() const {
  std::string s;
  for (size_t i = 0; i < messages_.size(); ++i) s += "  " + std::to_string(i) + ": " + Describe(messages_[i]) + "\n";
  return s.empty() ? "  (nothing)\n" : s;
}

::testing::AssertionResult TMessageRecorder::Matches(const std::vector<TExpectedMsg>& expected) const {
  auto same = [](const TExpectedMsg& e, const TRecordedMsg& a) {
    return e.message == a.message && (e.flags & kHowArrived) == (a.flags & kHowArrived) &&
           (!(e.flags & wparam) || e.wParam == a.wParam) && (!(e.flags & lparam) || e.lParam == a.lParam) &&
           (!e.who || e.who == a.who);
  };
  auto fail = [&](const std::string& what) {
    std::string list;
    for (size_t i = 0; i < expected.size(); ++i) list += "  " + std::to_string(i) + ": " + Describe(expected[i]) + "\n";
    return ::testing::AssertionFailure() << what << "\nexpected:\n" << list << "received:\n" << Dump();
  };
  size_t e = 0, a = 0;
  while (e < expected.size() && a < messages_.size()) {
    if (same(expected[e], messages_[a])) {
      ++e;
      ++a;
    } else if (expected[e].flags & optional) {
      ++e;
    } else {
      return fail("expected #" + std::to_string(e) + " " + Describe(expected[e]) + ", received #" + std::to_string(a) +
                  " " + Describe(messages_[a]));
    }
  }
  while (e < expected.size() && (expected[e].flags & optional)) ++e;
  if (e < expected.size()) return fail("missing from #" + std::to_string(e) + ": " + Describe(expected[e]));
  if (a < messages_.size()) return fail("more than expected from #" + std::to_string(a) + ": " + Describe(messages_[a]));
  return ::testing::AssertionSuccess();
}

}  // namespace tsupport
